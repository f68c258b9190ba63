// Commands through the command directory: the round trip of orvex-cli for app.status and
// for preset.list with 1,000 presets, and Orvex's own handling time (the command file in
// place to the answer written, watched through inotify). With --peer and copyq on the
// PATH, CopyQ's command-line round trip (`copyq size`) is measured in the same rounds, one
// run of each in turn, so both see the same machine. CopyQ needs a display.
//
//   build/bin/command_bench [--rounds N] [--peer]
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_support.h"
#include "cli/core/response_waiter.h"

namespace {

using namespace orvex::bench;
namespace fs = std::filesystem;

// The client cannot answer sooner than its first poll after the command plus the settle
// delay before it reads the answer.
const double kClientFloorMs = std::chrono::duration<double, std::milli>(
                                  orvex::kResponsePollInterval + orvex::kResponseSettleDelay)
                                  .count();

struct Series {
    std::vector<double> orvexStatus, orvexList, peer, handleStatus, handleList;
};

}  // namespace

int main(int argc, char** argv) {
    int rounds = 15;
    bool withPeer = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
            rounds = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--peer") == 0) {
            withPeer = true;
        }
    }
    const fs::path root =
        fs::temp_directory_path() / ("orvex-command-bench-" + std::to_string(getpid()));
    OrvexUnderTest orvex(root, {"--headless"}, samplePresets(1000), {"DISPLAY"});
    if (!orvex.command("app.status")) {
        std::fprintf(stderr, "command_bench: Orvex did not answer\n");
        return 1;
    }
    std::unique_ptr<CopyqServer> copyq;
    if (withPeer) {
        copyq = std::make_unique<CopyqServer>(root / "copyq");
        if (!copyq->firstAnswerMs()) {
            std::fprintf(stderr, "command_bench: CopyQ did not start; measuring without it\n");
            copyq.reset();
        }
    }
    const std::string cli = (binDir() / "orvex-cli").string();
    Series series;
    for (int round = 0; round < rounds; ++round) {
        if (auto ms = timedRun({cli, "app.status"}, orvex.clientEnvironment())) {
            series.orvexStatus.push_back(*ms);
        }
        if (auto ms = timedRun({cli, "preset.list"}, orvex.clientEnvironment())) {
            series.orvexList.push_back(*ms);
        }
        if (copyq) {
            if (auto ms = copyq->roundTripMs()) {
                series.peer.push_back(*ms);
            }
        }
    }
    for (int round = 0; round < rounds * 4; ++round) {
        if (auto ms = orvex.command("app.status")) {
            series.handleStatus.push_back(*ms);
        }
        if (auto ms = orvex.command("preset.list")) {
            series.handleList.push_back(*ms);
        }
    }
    copyq.reset();
    fs::remove_all(root);
    if (series.orvexStatus.size() != static_cast<std::size_t>(rounds) ||
        series.orvexList.size() != static_cast<std::size_t>(rounds)) {
        std::fprintf(stderr, "command_bench: some orvex-cli commands failed\n");
        return 1;
    }

    const double status = median(series.orvexStatus), list = median(series.orvexList);
    const double handleStatus = median(series.handleStatus), handleList = median(series.handleList);
    std::printf("medians of %d rounds (orvex-cli) and %d commands (handling), milliseconds\n",
                rounds, rounds * 4);
    std::printf("  orvex-cli app.status            %8.1f  (client floor %.0f)\n", status,
                kClientFloorMs);
    std::printf("  orvex-cli preset.list, 1,000    %8.1f\n", list);
    std::printf("  handling app.status             %8.2f\n", handleStatus);
    std::printf("  handling preset.list, 1,000     %8.2f\n", handleList);
    const std::string peer =
        series.peer.empty() ? "-" : "copyq size " + format("%.1f ms", median(series.peer));
    if (!series.peer.empty()) {
        std::printf("  copyq size                      %8.1f\n", median(series.peer));
    }
    const double roundTripGoal = kClientFloorMs + 10;
    printRow("orvex-cli app.status round trip", format("%.1f ms", status),
             format("<= %.0f ms (floor + 10)", roundTripGoal), peer,
             status <= roundTripGoal ? "yes" : "no");
    printRow("orvex-cli preset.list round trip (1,000 presets)", format("%.1f ms", list),
             format("<= %.0f ms (floor + 10)", roundTripGoal), peer,
             list <= roundTripGoal ? "yes" : "no");
    printRow("handling app.status (file in place to answer)", format("%.2f ms", handleStatus),
             "<= 2 ms", "-", handleStatus <= 2 ? "yes" : "no");
    printRow("handling preset.list, 1,000 presets", format("%.2f ms", handleList), "<= 20 ms", "-",
             handleList <= 20 ? "yes" : "no");
    return 0;
}
