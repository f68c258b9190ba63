// load [COMMANDS] [CLIENTS] [SEED]
//
// A headless Orvex of its own (private XDG_CONFIG_HOME, no desktop) and CLIENTS clients
// at once, each a thread running orvex-cli one command after another until COMMANDS
// commands have gone out in all: app.status, preset.list and preset.create, .update and
// .delete of the client's own presets. Every answer must be the one to its own command
// (the created or updated preset's label, the client's presets exactly as it left them in
// every list), nothing may be lost, the command directory must be empty afterwards, and
// the final preset list must be what the successful answers imply. COMMANDS defaults to
// 10000 and CLIENTS to 50 (scripts/test runs 600 and 12); SEED (default: from the clock)
// chooses each client's mix and is printed. Exits 1 on any violation.

#include <algorithm>
#include <mutex>
#include <random>
#include <thread>

#include "bench/trials/trial_support.h"
#include "testing/temp_dir.h"

namespace {

using namespace orvex;
using trials::CliAnswer;
using Presets = std::map<std::string, std::string>;  // id -> label

struct Totals {
    std::mutex mutex;
    long answered = 0, lost = 0, wrong = 0;
    std::map<std::string, long> actions;
    Presets finalPresets;

    void complain(const std::string& what) {
        if (++wrong <= 10) {
            std::fprintf(stderr, "load: %s\n", what.c_str());
        }
    }
};

// The presets of one client (labels starting with `prefix`) in a preset.list answer.
Presets presetsIn(const Json& answer, const std::string& prefix) {
    Presets found;
    const Json data = answer.is_object() ? answer.value("data", Json::object()) : Json::object();
    for (const Json& preset : data.value("presets", Json::array())) {
        const std::string label = preset.value("label", "");
        if (prefix.empty() || label.starts_with(prefix)) {
            found[preset.value("id", "")] = label;
        }
    }
    return found;
}

void runClient(const std::filesystem::path& home, int client, long commands, unsigned long seed,
               Totals& totals) {
    std::mt19937_64 random(seed + static_cast<unsigned long>(client));
    const std::string prefix = "c" + std::to_string(client) + "-";
    Presets own;
    for (long n = 0; n < commands; ++n) {
        const std::string label = prefix + std::to_string(n);
        const int roll = static_cast<int>(random() % 100);
        std::string action = roll < 20   ? "app.status"
                             : roll < 40 ? "preset.list"
                             : roll < 65 ? "preset.create"
                             : roll < 80 ? "preset.update"
                                         : "preset.delete";
        if (own.empty() && (action == "preset.update" || action == "preset.delete")) {
            action = "preset.create";
        }
        auto target = own.begin();
        std::advance(target, own.empty() ? 0 : static_cast<long>(random() % own.size()));
        std::vector<std::string> arguments{action};
        if (action == "preset.create") {
            arguments.insert(arguments.end(), {"--label", label});
        } else if (action == "preset.update") {
            arguments.insert(arguments.end(), {"--id", target->first, "--label", label});
        } else if (action == "preset.delete") {
            arguments.insert(arguments.end(), {"--id", target->first});
        }

        CliAnswer reply = trials::runCli(home, arguments);
        Json data = reply.success() ? reply.answer.value("data", Json::object()) : Json::object();
        std::string fault;
        if (reply.exitCode != 0 || !reply.success()) {
            fault = reply.exitCode < 0
                        ? "orvex-cli did not start, or died by a signal"
                        : "no successful answer (exit " + std::to_string(reply.exitCode) + ", " +
                              reply.err + reply.answer.dump() + ")";
        } else if (action == "preset.create" || action == "preset.update") {
            const Json preset = data.value("preset", Json::object());
            const std::string id = preset.value("id", "");
            if (preset.value("label", "") != label ||
                (action == "preset.update" && id != target->first) || id.empty()) {
                fault = "an answer to another command: " + data.dump();
            } else {
                own[id] = label;
            }
        } else if (action == "preset.delete") {
            if (data.value("message", "") != "Deleted") {
                fault = "an answer to another command: " + data.dump();
            }
            own.erase(target);
        } else if (action == "preset.list") {
            if (presetsIn(reply.answer, prefix) != own) {
                fault = "the list does not hold the client's presets as it left them";
            }
        } else if (!data["status"].is_object() ||
                   data["status"].value("presetCount", -1L) < static_cast<long>(own.size())) {
            fault = "a status without the client's presets: " + data.dump();
        }

        std::lock_guard lock(totals.mutex);
        ++totals.actions[action];
        if (reply.exitCode != 0 && reply.answer.is_null()) {
            ++totals.lost;
        } else {
            ++totals.answered;
        }
        if (!fault.empty()) {
            totals.complain("client " + std::to_string(client) + ", " + action + ": " + fault);
        }
    }
    std::lock_guard lock(totals.mutex);
    totals.finalPresets.insert(own.begin(), own.end());
}

}  // namespace

int main(int argc, char** argv) {
    const long commands = trials::argumentOr(argc, argv, 1, 10000);
    const long clients = trials::argumentOr(argc, argv, 2, 50);
    const unsigned long seed = static_cast<unsigned long>(trials::argumentOr(
        argc, argv, 3, std::chrono::system_clock::now().time_since_epoch().count() % 1000000007));

    testing::TempDir home;
    trials::HeadlessOrvex orvex(home.path(), home / "orvex.log");
    if (!orvex.answers()) {
        std::fprintf(stderr, "load: Orvex did not start; its output is in %s\n",
                     (home / "orvex.log").c_str());
        return 1;
    }
    Totals totals;
    // The factory presets are there before the clients and stay.
    totals.finalPresets = presetsIn(trials::runCli(home.path(), {"preset.list"}).answer, "");

    const auto started = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (long client = 0; client < clients; ++client) {
        const long share = commands / clients + (client < commands % clients ? 1 : 0);
        threads.emplace_back(runClient, home.path(), static_cast<int>(client), share, seed,
                             std::ref(totals));
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    // Every client takes its answer away, so nothing is left for the cleanup to remove.
    const auto commandDir = home / "orvex" / "commands";
    const long leftFiles = std::distance(std::filesystem::directory_iterator(commandDir), {});
    const bool finalMatches =
        presetsIn(trials::runCli(home.path(), {"preset.list"}).answer, "") == totals.finalPresets;

    std::printf(
        "load: %ld commands from %ld clients in %.1f s (%.0f commands/s, seed %lu; "
        "%ld app.status, %ld preset.list, %ld preset.create, %ld preset.update, %ld "
        "preset.delete), %ld answered, %ld lost, %ld wrong answers, final list of %zu "
        "presets %s, %ld files left in the command directory\n",
        commands, clients, seconds, static_cast<double>(commands) / seconds, seed,
        totals.actions["app.status"], totals.actions["preset.list"],
        totals.actions["preset.create"], totals.actions["preset.update"],
        totals.actions["preset.delete"], totals.answered, totals.lost, totals.wrong,
        totals.finalPresets.size(), finalMatches ? "matches" : "DIFFERS", leftFiles);
    const bool clean = totals.answered == commands && totals.lost == 0 && totals.wrong == 0 &&
                       finalMatches && leftFiles == 0 && orvex.stillRunning();
    return clean ? 0 : 1;
}
