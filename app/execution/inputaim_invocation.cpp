#include "app/execution/inputaim_invocation.h"

#include "app/execution/apple_script_results.h"

namespace orvex {
namespace {

constexpr const char* kToolName = "inputaim";

bool isValidUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t value = 0;
        if (byte < 0x80) {
            ++i;
            continue;
        } else if ((byte & 0xE0) == 0xC0) {
            length = 2;
            value = byte & 0x1F;
        } else if ((byte & 0xF0) == 0xE0) {
            length = 3;
            value = byte & 0x0F;
        } else if ((byte & 0xF8) == 0xF0) {
            length = 4;
            value = byte & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            value = (value << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past the last code point are not UTF-8.
        static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string decoded(const std::string& bytes) {
    return isValidUtf8(bytes) ? trimScriptResult(bytes) : std::string();
}

}  // namespace

std::string inputaimPath(Desktop& desktop) {
    if (std::optional<std::string> shipped = desktop.processes->bundledToolPath(kToolName)) {
        return *shipped;
    }
    return desktop.workspace->ownApplicationPath() + "/Contents/Resources/" + kToolName;
}

InputaimResult runInputaim(Desktop& desktop, const std::vector<std::string>& arguments) {
    ProcessResult process = desktop.processes->run(inputaimPath(desktop), arguments);
    InputaimResult result;
    if (!process.started) {
        result.errorOutput = std::string(kInputaimLaunchFailure) + process.launchError;
        return result;
    }
    result.ok = process.exitStatus == 0;
    result.output = decoded(process.standardOutput);
    result.errorOutput = decoded(process.standardError);
    return result;
}

std::vector<std::string> inputaimArguments(bool list, const std::optional<std::string>& bundleId,
                                           const std::optional<std::string>& hint) {
    std::vector<std::string> arguments;
    if (list) {
        arguments.push_back("--list");
    }
    if (bundleId) {
        arguments.push_back("--app");
        arguments.push_back(*bundleId);
    }
    if (hint && !hint->empty()) {
        arguments.push_back("--hint");
        arguments.push_back(*hint);
    }
    return arguments;
}

bool inputaimFocus(Desktop& desktop, const std::optional<std::string>& bundleId,
                   const std::optional<std::string>& hint) {
    return runInputaim(desktop, inputaimArguments(false, bundleId, hint)).ok;
}

std::string inputaimList(Desktop& desktop, const std::optional<std::string>& bundleId,
                         const std::optional<std::string>& hint) {
    InputaimResult result = runInputaim(desktop, inputaimArguments(true, bundleId, hint));
    return result.output.empty() ? result.errorOutput : result.output;
}

}  // namespace orvex
