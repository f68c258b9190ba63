#include "app/commands/ax_probe.h"

#include <vector>

namespace orvex {

namespace {

constexpr int kMaxSearchDepth = 9;

// Length of the UTF-8 sequence starting at `text[at]`, or 1 when it is not one.
std::size_t sequenceLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80           ? 1
                               : (lead >> 5) == 0x06 ? 2
                               : (lead >> 4) == 0x0E ? 3
                               : (lead >> 3) == 0x1E ? 4
                                                     : 1;
    if (length == 1 || at + length > text.size()) {
        return 1;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) {
            return 1;
        }
    }
    return length;
}

std::string code(AXError error) {
    return std::to_string(static_cast<std::int32_t>(error));
}

const char* yesNo(bool value) {
    return value ? "true" : "false";
}

// A value that is not a text reads as the empty string.
std::string textAttribute(const AXElementRef& element, const char* name) {
    const AXResult result = element->copyAttribute(name);
    const std::string* text = result.string();
    return text ? *text : std::string();
}

// The character count of "AXValue", or -1 when it is not a text.
std::string valueLength(const AXElementRef& element) {
    const AXResult value = element->copyAttribute("AXValue");
    const std::string* text = value.string();
    return text ? std::to_string(characterCount(*text)) : "-1";
}

// " sel='<first 30 characters>' selErr=<code>"
std::string selectionPart(const AXElementRef& element) {
    const AXResult selected = element->copyAttribute("AXSelectedText");
    const std::string* text = selected.string();
    return " sel='" + firstCharacterPrefix(text ? *text : std::string(), 30) +
           "' selErr=" + code(selected.error);
}

AXResult readFocused(const AXElementRef& element) {
    if (!element) {
        return AXResult{AXError::invalidElement, {}};
    }
    return element->copyAttribute("AXFocusedUIElement");
}

AXElementRef search(const AXElementRef& element, int depth) {
    if (!element) {
        return nullptr;
    }
    const std::string role = textAttribute(element, "AXRole");
    if (role == "AXTextArea" || role == "AXTextField") {
        return element;
    }
    if (depth >= kMaxSearchDepth) {
        return nullptr;
    }
    const AXResult children = element->copyAttribute("AXChildren");
    if (const std::vector<AXElementRef>* list = children.elements()) {
        for (const AXElementRef& child : *list) {
            if (AXElementRef found = search(child, depth + 1)) {
                return found;
            }
        }
    }
    return nullptr;
}

}  // namespace

std::int64_t characterCount(std::string_view text) {
    std::int64_t count = 0;
    for (std::size_t at = 0; at < text.size(); at += sequenceLength(text, at)) {
        ++count;
    }
    return count;
}

std::string firstCharacterPrefix(std::string_view text, std::int64_t count) {
    std::size_t at = 0;
    for (std::int64_t taken = 0; taken < count && at < text.size(); ++taken) {
        at += sequenceLength(text, at);
    }
    return std::string(text.substr(0, at));
}

AXElementRef findTextElement(const AXElementRef& root) {
    return search(root, 0);
}

ProbeOutcome axReadReport(Desktop& desktop) {
    RunningApplicationRef app = desktop.runningApplications->frontmostApplication();
    if (!app) {
        return {false, "No frontmost app"};
    }
    const std::int32_t pid = app->processIdentifier();
    std::vector<std::string> lines;
    lines.push_back("app=" + app->localizedName().value_or("unknown") +
                    " pid=" + std::to_string(pid) +
                    " trusted=" + yesNo(desktop.accessibility->isProcessTrusted(false)));

    const AXElementRef appElement = desktop.accessibility->applicationElement(pid);

    const AXResult appFocused = readFocused(appElement);
    lines.push_back("method1_appFocused: " + code(appFocused.error));
    if (AXElementRef element = appFocused.ok() ? appFocused.element() : nullptr) {
        lines.push_back("  role=" + textAttribute(element, "AXRole") + selectionPart(element));
    }

    const AXResult systemFocused = readFocused(desktop.accessibility->systemWideElement());
    lines.push_back("method2_systemWide: " + code(systemFocused.error));
    if (AXElementRef element = systemFocused.ok() ? systemFocused.element() : nullptr) {
        lines.push_back("  role=" + textAttribute(element, "AXRole") +
                        " val_len=" + valueLength(element) + selectionPart(element));
    }

    const AXResult windows =
        appElement ? appElement->copyAttribute("AXWindows") : AXResult{AXError::invalidElement, {}};
    lines.push_back("method3_windows: " + code(windows.error));
    const std::vector<AXElementRef>* windowList = windows.ok() ? windows.elements() : nullptr;
    if (windowList && !windowList->empty()) {
        if (AXElementRef found = findTextElement(windowList->front())) {
            lines.push_back("  found role=" + textAttribute(found, "AXRole") +
                            " val_len=" + valueLength(found) + selectionPart(found));
        } else {
            lines.push_back("  no text element found");
        }
    }

    std::string report;
    for (const std::string& line : lines) {
        report += (report.empty() ? "" : "\n") + line;
    }
    return {true, report};
}

ProbeOutcome axSelectAllReport(Desktop& desktop) {
    RunningApplicationRef app = desktop.runningApplications->frontmostApplication();
    if (!app) {
        return {false, "No frontmost app"};
    }
    const AXResult focused =
        readFocused(desktop.accessibility->applicationElement(app->processIdentifier()));
    const AXElementRef element = focused.ok() ? focused.element() : nullptr;
    if (!element) {
        return {false, "AXFocusedUIElement failed: " + code(focused.error)};
    }
    const std::int64_t length = characterCount(textAttribute(element, "AXValue"));
    const AXError setError = element->setAttribute("AXSelectedTextRange", AXRange{0, length});
    const std::string selected = textAttribute(element, "AXSelectedText");
    return {true, "set_range=" + code(setError) +
                      " selected_len=" + std::to_string(characterCount(selected)) + " text='" +
                      firstCharacterPrefix(selected, 50) + "'"};
}

}  // namespace orvex
