#include "app/execution/app_actions.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>

#include "app/execution/app_activation.h"
#include "app/execution/apple_script_error.h"
#include "app/execution/apple_script_results.h"
#include "app/execution/apple_script_runner.h"
#include "app/execution/apple_scripts.h"
#include "app/execution/run_status.h"
#include "base/clock.h"

namespace orvex {

namespace {

constexpr const char* kFinderName = "Finder";
constexpr const char* kFinderBundleId = "com.apple.finder";
// A safety bound on the numbering: a folder holding this many new files is not worth
// searching further, and the loop must end on a file system that answers "exists" forever.
constexpr int kMaxNewFileNumber = 100000;
// The file manager, just brought forward by script, takes a moment before Command-N reaches
// it. (The other fixed waits of a run are in execution_waits.h; this one belongs to the
// file-manager action alone.)
constexpr std::chrono::milliseconds kAfterActivatingFinder{300};

std::string joinPath(const std::string& folder, const std::string& name) {
    return (std::filesystem::path(folder) / name).string();
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The path of a URL such as "file:///Users/me/Projects/" (percent escapes decoded), or of a
// bare absolute path. None when the text does not read as either.
std::optional<std::string> urlPath(const std::string& text) {
    std::string rest = text;
    std::size_t colon = rest.find(':');
    std::size_t slash = rest.find('/');
    if (colon != std::string::npos && (slash == std::string::npos || colon < slash)) {
        std::string scheme = rest.substr(0, colon);
        if (scheme.empty()) {
            return std::nullopt;
        }
        rest = rest.substr(colon + 1);
        if (rest.rfind("//", 0) == 0) {
            std::size_t pathStart = rest.find('/', 2);
            rest = pathStart == std::string::npos ? "" : rest.substr(pathStart);
        }
    }
    rest = rest.substr(0, rest.find_first_of("?#"));
    if (rest.empty() || rest.front() != '/') {
        return std::nullopt;
    }
    std::string decoded;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '%') {
            if (i + 2 >= rest.size() || hexValue(rest[i + 1]) < 0 || hexValue(rest[i + 2]) < 0) {
                return std::nullopt;
            }
            decoded += static_cast<char>(hexValue(rest[i + 1]) * 16 + hexValue(rest[i + 2]));
            i += 2;
        } else if (static_cast<unsigned char>(rest[i]) <= ' ') {
            return std::nullopt;
        } else {
            decoded += rest[i];
        }
    }
    return decoded;
}

}  // namespace

RunningApplicationRef AppActions::findRunningApp(const std::string& name) {
    RunningApplications& running = *context_.desktop.runningApplications;
    for (const RunningApplicationRef& app : running.runningApplications()) {
        if (app && app->localizedName() == name) {
            return app;
        }
    }
    if (name == kFinderName) {
        auto finders = running.runningApplications(kFinderBundleId);
        if (!finders.empty()) {
            return finders.front();
        }
    }
    return nullptr;
}

void AppActions::bringAppToFront(const PresetData& preset) {
    const std::string& name = preset.appName;
    const TextParams params{{"appName", name}};
    setStatusKey(context_, "status.bringToFront", false, params);

    if (name == kFinderName) {
        if (context_.scripts.finderHasWindow()) {
            activateByName(kFinderName);
        } else {
            openNewFinderWindow();
        }
        setStatusKey(context_, "status.broughtToFront", false, params);
        return;
    }

    bool brought = false;
    if (RunningApplicationRef app = findRunningApp(name)) {
        WindowState windows = inspectWindows(app);
        if (windows == WindowState::someOpen || windows == WindowState::allMinimized) {
            if (RunningApplicationRef again = findRunningApp(name)) {
                again->activate(true);
            }
            brought = true;
        }
    }

    if (!brought) {
        // Launching also brings forward an application that runs without a usable window:
        // the workspace reopens it, which makes it put up a window.
        Workspace& workspace = *context_.desktop.workspace;
        if (std::optional<std::string> url = workspace.urlForApplication(name)) {
            openApplicationAndWait(context_.desktop, *url);
        } else if (std::optional<std::string> path =
                       workspace.applicationPathForName(name, false)) {
            openApplicationAndWait(context_.desktop, *path);
        } else {
            setStatusKey(context_, "status.cannotLaunch", true, params);
            postShowMainWindow(context_);
            return;
        }
    }
    setStatusKey(context_, "status.broughtToFront", false, params);
}

AppActions::WindowState AppActions::inspectWindows(const RunningApplicationRef& app) {
    AXElementRef element =
        context_.desktop.accessibility->applicationElement(app->processIdentifier());
    if (!element) {
        return WindowState::unknown;
    }
    AXResult windows = element->copyAttribute("AXWindows");
    if (!windows.ok() || !windows.elements()) {
        return WindowState::unknown;
    }
    if (windows.elements()->empty()) {
        return WindowState::none;
    }
    bool anyOpen = false;
    AXElementRef firstMinimized;
    for (const AXElementRef& window : *windows.elements()) {
        if (!window) {
            continue;
        }
        AXResult minimized = window->copyAttribute("AXMinimized");
        const bool* flag = minimized.ok() ? minimized.boolean() : nullptr;
        if (flag && *flag) {
            if (!firstMinimized) {
                firstMinimized = window;
            }
        } else {
            anyOpen = true;
        }
    }
    if (anyOpen) {
        return WindowState::someOpen;
    }
    if (!firstMinimized) {
        return WindowState::unknown;
    }
    firstMinimized->setAttribute("AXMinimized", AXValue(false));
    return WindowState::allMinimized;
}

void AppActions::activateByName(const std::string& name) {
    context_.scripts.activateByName(name);
}

void AppActions::openNewFinderWindow() {
    std::optional<std::string> target = readFinderDefault("NewWindowTarget");
    std::string home = context_.desktop.workspace->homeDirectory();

    std::optional<std::string> folder;
    if (target == "PfDe") {
        folder = context_.desktop.workspace->desktopDirectory();
    } else if (target == "PfDo") {
        folder = joinPath(home, "Documents");
    } else if (target == "PfHm") {
        folder = home;
    } else if (target == "PfVo") {
        folder = "/";
    } else if (target == "PfLo") {
        folder = home;
        if (std::optional<std::string> location = readFinderDefault("NewWindowTargetPath")) {
            if (std::optional<std::string> path = urlPath(*location)) {
                folder = *path;
            }
        }
    }

    if (!folder) {
        activateByName(kFinderName);
        context_.clock.sleepFor(kAfterActivatingFinder);
        context_.scripts.runAsync(newChatKeystrokeScript());
        return;
    }
    // The file manager shows its own error when the folder is gone; nothing to add here.
    context_.desktop.workspace->showFolder(*folder);
}

std::optional<std::string> AppActions::readFinderDefault(const std::string& key) {
    if (std::optional<std::string> value =
            context_.desktop.userDefaults->stringForKey(kFinderBundleId, key)) {
        return value;
    }
    std::optional<std::string> result =
        context_.scripts.runSynchronously(finderDefaultReadScript(key));
    if (!result) {
        return std::nullopt;
    }
    return trimScriptResult(*result);
}

void AppActions::openPresetFile(const PresetData& preset) {
    setStatusKey(context_, "status.openingFile", false);
    if (context_.desktop.workspace->openFile(preset.filePath)) {
        setStatusKey(context_, "status.fileOpened", false);
        return;
    }
    setStatusKey(context_, "status.fileOpenFailed", true, {{"result", "Cannot open file"}});
    postShowMainWindow(context_);
}

void AppActions::createNewFile(const PresetData& preset) {
    setStatusKey(context_, "status.creatingFile", false);
    std::string extension = preset.fileExt.empty() ? "txt" : preset.fileExt;

    std::string frontFolder;
    try {
        frontFolder = context_.scripts.runAsync(finderFrontFolderScript());
    } catch (const AppleScriptError& error) {
        setStatusKey(context_, "status.finderError", true, {{"msg", error.description()}});
        postShowMainWindow(context_);
        return;
    }
    std::string folder = trimScriptResult(frontFolder);
    if (folder.empty()) {
        folder = context_.desktop.workspace->desktopDirectory();
    }

    if (std::optional<std::string> name = uniqueNewFileName(folder, extension)) {
        setStatusKey(context_, "status.fileCreated", false, {{"fileName", *name}});
        return;
    }
    setStatusKey(context_, "status.fileCreateFailed", true);
    postShowMainWindow(context_);
}

std::optional<std::string> uniqueNewFileName(const std::string& folder,
                                             const std::string& extension, std::string* error) {
    for (int number = 1; number <= kMaxNewFileNumber; ++number) {
        std::string name = number == 1 ? "NewFile." + extension
                                       : "NewFile" + std::to_string(number) + "." + extension;
        std::string path = joinPath(folder, name);
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        if (errno != EEXIST) {
            if (error) {
                *error = std::strerror(errno);
            }
            return std::nullopt;
        }
    }
    if (error) {
        *error = "too many new files in " + folder;
    }
    return std::nullopt;
}

}  // namespace orvex
