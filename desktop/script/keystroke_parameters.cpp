#include "desktop/script/keystroke_parameters.h"

#include "desktop/script/script_error.h"

namespace orvex::script {
namespace {

void addModifier(KeyModifiers& modifiers, const Value& value) {
    if (value.kind() == Value::Kind::constant) {
        const std::string& name = value.asConstant();
        bool* flag = name == "command down"   ? &modifiers.command
                     : name == "shift down"   ? &modifiers.shift
                     : name == "option down"  ? &modifiers.option
                     : name == "control down" ? &modifiers.control
                                              : nullptr;
        if (flag) {
            *flag = true;
            return;
        }
    }
    throw ScriptError("Can't make " + describe(value) + " into a modifier key.",
                      errnum::kCantMakeType);
}

}  // namespace

KeyModifiers keystrokeModifiers(const Record& labelled) {
    KeyModifiers modifiers;
    const Value* given = labelled.find("using");
    if (!given) {
        return modifiers;
    }
    if (given->kind() == Value::Kind::list) {
        for (const Value& item : given->asList()) {
            addModifier(modifiers, item);
        }
    } else {
        addModifier(modifiers, *given);
    }
    return modifiers;
}

void throwIfKeystrokesRefused(const std::optional<std::string>& error) {
    if (error) {
        throw ScriptError(*error, kKeystrokesRefused);
    }
}

std::optional<Value> performKeystrokeCommand(Keyboard& keyboard, const std::string& command,
                                             const Value& direct, const Record& labelled) {
    if (command == "keystroke") {
        throwIfKeystrokesRefused(
            keyboard.postKeystroke(toText(direct), keystrokeModifiers(labelled)));
        return Value();
    }
    if (command == "key code") {
        KeyModifiers modifiers = keystrokeModifiers(labelled);
        for (const Value& code : toList(direct)) {
            std::int64_t number = toInteger(code);
            if (number < 0 || number > 0xFFFF) {
                throw ScriptError("Can't make " + describe(code) + " into a key code.",
                                  errnum::kCantMakeType);
            }
            throwIfKeystrokesRefused(
                keyboard.postKeyCode(static_cast<std::uint16_t>(number), modifiers));
        }
        return Value();
    }
    return std::nullopt;
}

}  // namespace orvex::script
