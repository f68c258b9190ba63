// full_disk [FILL_KIB]
//
// A headless Orvex whose settings directory is a small tmpfs (FILL_KIB KiB, default 512)
// mounted in a private user and mount namespace, so nothing outside this process sees it
// and no root is needed; its command directory is a tmpfs of its own. With the settings
// file system filled up, a preset.create must answer failure, leave the settings file
// byte for byte as it was and say so in the status line, and Orvex must keep answering;
// once space returns a save must succeed. Then the command directory is filled: orvex-cli
// must refuse with the reason, and Orvex must answer again once it has room. Exits 1 on
// any violation.

#include <sched.h>
#include <sys/mount.h>

#include "bench/trials/trial_support.h"
#include "testing/temp_dir.h"

namespace {

using namespace orvex;
namespace fs = std::filesystem;

int violations = 0;

void expect(bool holds, const std::string& what) {
    if (!holds) {
        ++violations;
        std::fprintf(stderr, "full-disk: %s\n", what.c_str());
    }
}

// This process becomes root of a user namespace of its own with a mount namespace of its
// own: the tmpfs mounts below are private to it and its children and vanish with them.
std::string enterPrivateMounts() {
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
        return std::string("unshare: ") + std::strerror(errno);
    }
    testing::writeText("/proc/self/setgroups", "deny");
    testing::writeText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1");
    testing::writeText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return std::string("making the mounts private: ") + std::strerror(errno);
    }
    return {};
}

bool mountTmpfs(const fs::path& where, long kib) {
    fs::create_directories(where);
    const std::string options = "size=" + std::to_string(kib) + "k,mode=0700";
    return ::mount("tmpfs", where.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

// Writes `file` until the file system holding it has no space left; returns whether it
// got there.
bool fillUp(const fs::path& file) {
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    const std::string block(4096, 'x');
    while (::write(fd, block.data(), block.size()) >= 0 || errno == EINTR) {
    }
    const bool full = errno == ENOSPC;
    ::close(fd);
    return full;
}

}  // namespace

int main(int argc, char** argv) {
    const long fillKib = trials::argumentOr(argc, argv, 1, 512);
    testing::TempDir home;
    const fs::path orvexDir = home / "orvex";
    const fs::path settings = orvexDir / "settings.json";
    const fs::path log = home / "orvex.log";

    if (std::string problem = enterPrivateMounts(); !problem.empty()) {
        std::fprintf(stderr, "full-disk: cannot make a private file system (%s)\n",
                     problem.c_str());
        return 1;
    }
    if (!mountTmpfs(orvexDir, fillKib) || !mountTmpfs(orvexDir / "commands", 1024)) {
        std::fprintf(stderr, "full-disk: cannot mount a tmpfs: %s\n", std::strerror(errno));
        return 1;
    }
    {
        trials::HeadlessOrvex orvex(home.path(), log);
        expect(orvex.answers(), "Orvex did not start; see " + log.string());
        expect(trials::runCli(home.path(), {"preset.create", "--label", "before"}).success(),
               "the save before the disk filled failed");
        const std::string before = testing::readText(settings);
        const long presets = trials::runCli(home.path(), {"app.status"})
                                 .answer["data"]["status"]
                                 .value("presetCount", -1L);

        expect(fillUp(orvexDir / "filler"), "the settings file system did not fill up");
        trials::CliAnswer refused =
            trials::runCli(home.path(), {"preset.create", "--label", "on a full disk"});
        const std::string error = refused.answer.value("error", "");
        expect(refused.exitCode == 1 && !refused.success() &&
                   error.starts_with("Failed to save settings: ") &&
                   error.find(std::strerror(ENOSPC)) != std::string::npos,
               "the save on the full disk did not answer its failure: " + refused.answer.dump());
        expect(testing::readText(settings) == before, "the settings file changed on the full disk");
        for (const auto& entry : fs::directory_iterator(orvexDir)) {
            expect(entry.path().filename().string().find(".tmp-") == std::string::npos,
                   "a temporary file stayed: " + entry.path().string());
        }
        expect(testing::readText(log).find("status (error): Could not save the settings: ") !=
                   std::string::npos,
               "the status line did not say the save failed; see " + log.string());
        trials::CliAnswer status = trials::runCli(home.path(), {"app.status"});
        expect(status.success() &&
                   status.answer["data"]["status"].value("presetCount", -2L) == presets,
               "after the failed save Orvex answers app.status with " + status.answer.dump());

        fs::remove(orvexDir / "filler");
        expect(trials::runCli(home.path(), {"preset.create", "--label", "space again"}).success(),
               "the save after space returned failed");
        expect(testing::readText(settings).find("space again") != std::string::npos,
               "the settings file does not hold the save after space returned");

        expect(fillUp(orvexDir / "commands" / "filler"), "the command directory did not fill up");
        trials::CliAnswer blocked = trials::runCli(home.path(), {"app.status"});
        expect(blocked.exitCode == 1 &&
                   blocked.err.find("Cannot write command file") != std::string::npos &&
                   blocked.err.find(std::strerror(ENOSPC)) != std::string::npos,
               "orvex-cli on a full command directory said: " + blocked.err);
        fs::remove(orvexDir / "commands" / "filler");
        expect(orvex.answers(), "Orvex did not answer once the command directory had room");
        expect(orvex.stillRunning(), "Orvex is gone");
    }
    // Unmounted first, so the temporary directory under them can go.
    ::umount2((orvexDir / "commands").c_str(), MNT_DETACH);
    ::umount2(orvexDir.c_str(), MNT_DETACH);
    std::printf(
        "full-disk: %ld KiB tmpfs in a private mount namespace; save on the full disk "
        "answered failure, settings file intact, status line said so, Orvex kept "
        "answering, the save after space returned succeeded; a full command directory "
        "was refused by orvex-cli with its reason; %d violations\n",
        fillKib, violations);
    return violations == 0 ? 0 : 1;
}
