#include "desktop/linux/x11/maim_screen_capture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "base/executable_search.h"
#include "base/log.h"
#include "base/uuid.h"

namespace orvex::linux_desktop {

namespace fs = std::filesystem;

std::vector<std::string> captureArguments(const std::string& tool, const std::string& file) {
    if (fs::path(tool).filename() == "scrot")
        return {"--select", "--overwrite", file};
    // --hidecursor keeps the pointer out of the picture; -u is its short form on old maim.
    return {"--select", "--hidecursor", file};
}

std::string MaimScreenCapture::findTool() {
    for (const char* program : {"maim", "scrot"}) {
        if (auto found = findExecutable(program, executableSearchPath()))
            return *found;
    }
    return {};
}

MaimScreenCapture::MaimScreenCapture(Processes& processes, Pasteboard& pasteboard,
                                     std::string temporaryDirectory)
    : processes_(processes),
      pasteboard_(pasteboard),
      temporaryDirectory_(std::move(temporaryDirectory)) {}

std::optional<int> MaimScreenCapture::runInteractiveCapture(const CaptureRequest& request) {
    const std::string tool = findTool();
    if (tool.empty()) {
        log::system("[ScreenCapture] Neither maim nor scrot is installed");
        return std::nullopt;
    }
    std::string file;
    if (request.toClipboard) {
        file = (fs::path(temporaryDirectory_) / ("orvex-clip-" + newUuid() + ".png")).string();
    } else if (request.filePath) {
        file = *request.filePath;
    } else {
        return std::nullopt;
    }
    ProcessResult result = processes_.run(tool, captureArguments(tool, file));
    if (!result.started) {
        log::system("[ScreenCapture] Cannot start " + tool + ": " + result.launchError);
        return std::nullopt;
    }
    std::error_code error;
    if (result.exitStatus != 0) {
        // A cancelled selection leaves no picture behind, not even an empty one.
        if (fs::exists(file, error) && fs::file_size(file, error) == 0)
            fs::remove(file, error);
        return result.exitStatus;
    }
    if (request.toClipboard) {
        std::ifstream in(file, std::ios::binary);
        std::vector<std::uint8_t> png((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
        fs::remove(file, error);
        if (!pasteboard_.canReadImage(png))
            return 1;
        pasteboard_.clearContents();
        pasteboard_.writeImagePNG(png);
    }
    return 0;
}

}  // namespace orvex::linux_desktop
