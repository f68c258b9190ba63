#include "desktop/linux/x11/posix_processes.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

extern char** environ;

namespace orvex::linux_desktop {

namespace {

struct Pipe {
    int read = -1;
    int write = -1;
    ~Pipe() {
        for (int fd : {read, write}) {
            if (fd >= 0)
                close(fd);
        }
    }
    bool open() {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            return false;
        read = fds[0];
        write = fds[1];
        return true;
    }
    void closeWrite() {
        if (write >= 0)
            close(write);
        write = -1;
    }
};

// Reads both pipes until both reach their ends.
void drain(int outFd, int errFd, std::string& out, std::string& err) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    std::string* sinks[2] = {&out, &err};
    int open = 2;
    while (open > 0) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buffer[8192];
            ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                fds[i].fd = -1;
                --open;
            }
        }
    }
}

}  // namespace

PosixProcesses::PosixProcesses(std::string toolDirectory)
    : toolDirectory_(std::move(toolDirectory)) {
    if (toolDirectory_.empty()) {
        std::error_code error;
        auto self = std::filesystem::read_symlink("/proc/self/exe", error);
        if (!error)
            toolDirectory_ = self.parent_path().string();
    }
}

ProcessResult PosixProcesses::run(const std::string& executable,
                                  const std::vector<std::string>& arguments) {
    ProcessResult result;
    Pipe out, err;
    if (!out.open() || !err.open()) {
        result.launchError = std::strerror(errno);
        return result;
    }
    std::vector<std::string> words{executable};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.write, 1);
    posix_spawn_file_actions_adddup2(&actions, err.write, 2);
    pid_t pid = -1;
    int spawned = posix_spawn(&pid, executable.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        result.launchError = std::strerror(spawned);
        return result;
    }
    result.started = true;
    out.closeWrite();
    err.closeWrite();
    drain(out.read, err.read, result.standardOutput, result.standardError);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        result.exitStatus = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.exitStatus = 128 + WTERMSIG(status);
    return result;
}

std::optional<std::string> PosixProcesses::bundledToolPath(const std::string& name) {
    if (toolDirectory_.empty() || name.empty() || name.find('/') != std::string::npos)
        return std::nullopt;
    std::string path = toolDirectory_ + "/" + name;
    if (access(path.c_str(), X_OK) != 0)
        return std::nullopt;
    return path;
}

}  // namespace orvex::linux_desktop
