#include <algorithm>
#include <cctype>
#include <map>

#include "desktop/sim/sim_state.h"
#include "desktop/sim/sim_text.h"

namespace orvex {
namespace {

// Key codes that keystrokes by code can name, with the key they stand for.
const std::map<std::uint16_t, std::string>& keyNames() {
    static const std::map<std::uint16_t, std::string> names = {
        {0, "a"},       {7, "x"},       {8, "c"},    {9, "v"},       {45, "n"},
        {36, "return"}, {76, "return"}, {48, "tab"}, {51, "delete"}, {53, "escape"},
    };
    return names;
}

Json modifierList(KeyModifiers modifiers) {
    Json list = Json::array();
    if (modifiers.command)
        list.push_back("command");
    if (modifiers.control)
        list.push_back("control");
    if (modifiers.option)
        list.push_back("option");
    if (modifiers.shift)
        list.push_back("shift");
    return list;
}

KeyModifiers combine(KeyModifiers a, KeyModifiers b) {
    return KeyModifiers{a.shift || b.shift, a.control || b.control, a.option || b.option,
                        a.command || b.command};
}

bool isBlank(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](unsigned char c) { return std::isspace(c) != 0; });
}

// Splits UTF-8 text into characters.
std::vector<std::string> characters(const std::string& text) {
    std::vector<std::string> result;
    for (std::int64_t i = 0, n = simtext::length(text); i < n; ++i) {
        result.push_back(simtext::substring(text, i, 1));
    }
    return result;
}

void insertText(SimNode& input, const std::string& text) {
    std::string value = input.value.value_or("");
    AXRange range = simtext::clamp(input.selection, simtext::length(value));
    input.value = simtext::replace(value, range, text);
    input.selection = AXRange{range.location + simtext::length(text), 0};
}

}  // namespace

// ---- Modifiers ----------------------------------------------------------------------------

KeyModifiers SimState::heldModifiers() const {
    auto held = [&](std::uint16_t left, std::uint16_t right) {
        return heldKeys.count(left) > 0 || heldKeys.count(right) > 0;
    };
    return KeyModifiers{held(keycode::kShift, keycode::kRightShift),
                        held(keycode::kControl, keycode::kRightControl),
                        held(keycode::kOption, keycode::kRightOption),
                        held(keycode::kCommand, keycode::kRightCommand)};
}

void SimState::keyUp(std::uint16_t code) {
    bool released = heldKeys.erase(code) > 0;
    record("keyUp", {{"keyCode", code}, {"released", released}});
}

// ---- Keystrokes ---------------------------------------------------------------------------

std::optional<std::string> SimState::typeCharacters(const std::string& text,
                                                    KeyModifiers modifiers) {
    if (!granted(SimPermission::accessibility)) {
        record("keystrokeRefused", {{"characters", text}, {"modifiers", modifierList(modifiers)}});
        const SimApp* self = findApp(selfKey);
        return "System Events got an error: " +
               (self ? self->definition.name : std::string("Orvex")) +
               " is not allowed to send keystrokes.";
    }
    for (const std::string& character : characters(text)) {
        KeyModifiers effective = combine(modifiers, heldModifiers());
        std::string key = character;
        if (character == "\r" || character == "\n") {
            key = "return";
        } else if (character.size() == 1 &&
                   std::isupper(static_cast<unsigned char>(character[0]))) {
            key = std::string(1, static_cast<char>(std::tolower(character[0])));
            effective.shift = true;
        } else if (character == "\t") {
            key = "tab";
        }
        applyKey(key, effective);
    }
    return std::nullopt;
}

std::optional<std::string> SimState::typeKeyCode(std::uint16_t code, KeyModifiers modifiers) {
    if (!granted(SimPermission::accessibility)) {
        record("keystrokeRefused", {{"keyCode", code}, {"modifiers", modifierList(modifiers)}});
        const SimApp* self = findApp(selfKey);
        return "System Events got an error: " +
               (self ? self->definition.name : std::string("Orvex")) +
               " is not allowed to send keystrokes.";
    }
    auto name = keyNames().find(code);
    applyKey(name == keyNames().end() ? "keycode " + std::to_string(code) : name->second,
             combine(modifiers, heldModifiers()));
    return std::nullopt;
}

void SimState::applyKey(const std::string& key, KeyModifiers modifiers) {
    SimApp* app = appByPid(frontmostPid);
    SimWindow* w = app ? frontWindow(*app) : nullptr;
    SimNode* focus = w ? node(focusedNode(*w)) : nullptr;
    const bool commandOnly =
        modifiers.command && !modifiers.shift && !modifiers.option && !modifiers.control;
    const bool plain = !modifiers.command && !modifiers.option && !modifiers.control;
    const bool hasText = focus && focus->value.has_value();
    const bool editable = focus && focus->settable;

    // What the key does, decided before anything changes so the journal line comes first.
    std::string effect = "none";
    if (commandOnly && key == "a" && hasText)
        effect = "selectAll";
    if (commandOnly && key == "c" && hasText)
        effect = "copy";
    if (commandOnly && key == "x" && hasText)
        effect = app->definition.ignoresCut ? "ignored" : "cut";
    if (commandOnly && key == "v" && editable)
        effect = "paste";
    if (commandOnly && key == "n" && app) {
        if (app->definition.kind == SimAppKind::chat)
            effect = "newChat";
        if (app->definition.kind == SimAppKind::browser ||
            app->definition.kind == SimAppKind::terminal ||
            app->definition.kind == SimAppKind::fileManager ||
            app->definition.kind == SimAppKind::editor) {
            effect = "newWindow";
        }
    }
    if (plain && key == "return" && focus) {
        if (focus->sendsOnReturn) {
            if (!isBlank(focus->value.value_or("")) || !focus->attachments.empty())
                effect = "send";
        } else if (editable && focus->role == "AXTextArea") {
            effect = "newline";
        }
    }
    if (plain && key == "delete" && editable)
        effect = "delete";
    // Named keys ("return", "tab") are longer than one character, so this is only text.
    if (plain && editable && simtext::length(key) == 1)
        effect = "type";

    Json entry = {{"key", key},
                  {"modifiers", modifierList(modifiers)},
                  {"app", appName(app)},
                  {"effect", effect}};
    if (focus)
        entry["element"] = describe(*focus);
    record("keystroke", entry);

    if (effect == "selectAll") {
        focus->selection = AXRange{0, simtext::length(*focus->value)};
    } else if (effect == "copy" || effect == "cut") {
        std::string selected =
            simtext::substring(*focus->value, focus->selection.location, focus->selection.length);
        if (!selected.empty()) {
            clearPasteboard(effect);
            writePasteboardText(selected, effect);
            if (effect == "cut" && editable)
                insertText(*focus, "");
        }
    } else if (effect == "paste") {
        if (pasteboardImage && focus->acceptsImages) {
            focus->attachments.push_back(*pasteboardImage);
            record("paste", {{"app", app->key},
                             {"element", describe(*focus)},
                             {"kind", "image"},
                             {"width", pasteboardImage->width},
                             {"height", pasteboardImage->height}});
        } else if (pasteboardText) {
            insertText(*focus, *pasteboardText);
            record("paste", {{"app", app->key},
                             {"element", describe(*focus)},
                             {"kind", "text"},
                             {"text", *pasteboardText}});
        }
    } else if (effect == "newChat") {
        newChat(*app, *w);
    } else if (effect == "newWindow") {
        openWindow(*app);
    } else if (effect == "send") {
        sendMessage(*app, *w, *focus);
    } else if (effect == "newline") {
        insertText(*focus, "\n");
    } else if (effect == "delete") {
        std::string value = focus->value.value_or("");
        AXRange range = simtext::clamp(focus->selection, simtext::length(value));
        if (range.length == 0 && range.location > 0)
            range = AXRange{range.location - 1, 1};
        focus->selection = range;
        insertText(*focus, "");
    } else if (effect == "type") {
        insertText(*focus, key);
    }
}

void SimState::sendMessage(SimApp& app, SimWindow& w, SimNode& input) {
    SimMessage message;
    message.appKey = app.key;
    message.pid = app.pid;
    message.window = w.id;
    message.text = input.value.value_or("");
    message.images = static_cast<int>(input.attachments.size());
    Json entry = {{"app", app.key}, {"text", message.text}, {"images", message.images}};
    if (!w.tabs.empty() && input.tab != 0) {
        for (const SimTab& tab : w.tabs) {
            if (tab.id == input.tab)
                message.url = tab.url;
        }
        if (message.url)
            entry["url"] = *message.url;
    }
    messages.push_back(message);
    record("messageSent", entry);
    input.value = "";
    input.selection = AXRange{0, 0};
    input.attachments.clear();

    // The message shows in the conversation, as a read-only bubble inside the history list.
    SimNodeId root = input.tab != 0 ? 0 : w.node;
    for (const SimTab& tab : w.tabs) {
        if (tab.id == input.tab)
            root = tab.webArea;
    }
    std::function<SimNode*(SimNodeId)> history = [&](SimNodeId id) -> SimNode* {
        SimNode* current = node(id);
        if (!current)
            return nullptr;
        if (current->scenarioId == "history")
            return current;
        for (SimNodeId child : current->children) {
            if (SimNode* found = history(child))
                return found;
        }
        return nullptr;
    };
    if (SimNode* list = history(root)) {
        SimFrame listFrame = list->frame.value_or(SimFrame{});
        SimElementSpec bubble;
        bubble.role = "AXStaticText";
        bubble.value = message.text;
        double row = 30.0 * static_cast<double>(list->children.size());
        bubble.frame = SimFrame{AXPoint{listFrame.position.x, listFrame.position.y + row},
                                AXSize{listFrame.size.width, 28}};
        SimNodeId listId = list->id;
        SimNodeId bubbleId = addNode(bubble, listId, w.id, input.tab, listFrame, nullptr);
        nodes[listId].children.push_back(bubbleId);
    }
}

void SimState::newChat(SimApp& app, SimWindow& w) {
    SimNode* input = nullptr;
    SimNode* history = nullptr;
    std::function<void(SimNodeId)> scan = [&](SimNodeId id) {
        SimNode* current = node(id);
        if (!current)
            return;
        if (current->scenarioId == "history" && !history)
            history = current;
        if (current->sendsOnReturn && !input)
            input = current;
        for (SimNodeId child : current->children)
            scan(child);
    };
    scan(w.node);
    if (history) {
        for (SimNodeId child : std::vector<SimNodeId>(history->children))
            destroyNode(child);
        history->children.clear();
    }
    if (input) {
        input->value = "";
        input->selection = AXRange{0, 0};
        input->attachments.clear();
        setFocusedNode(w, input->id);
    }
    record("newChat", {{"app", app.key}, {"window", w.id}});
}

// ---- Pasteboard ---------------------------------------------------------------------------

void SimState::clearPasteboard(const std::string& by) {
    pasteboardText.reset();
    pasteboardImage.reset();
    record("pasteboardClear", {{"by", by}});
}

void SimState::writePasteboardText(const std::string& text, const std::string& by) {
    pasteboardText = text;
    record("pasteboardWrite", {{"by", by}, {"kind", "text"}, {"text", text}});
}

void SimState::writePasteboardImage(SimImage image, const std::string& by) {
    record("pasteboardWrite", {{"by", by},
                               {"kind", "image"},
                               {"width", image.width},
                               {"height", image.height},
                               {"bytes", image.png.size()}});
    pasteboardImage = std::move(image);
}

}  // namespace orvex
