#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desktop/script/script_value.h"

namespace orvex::script {

// Something a script can address: an application, one of its windows, tabs or processes.
// Names of properties, element classes and commands arrive lower-case and singular
// ("url", "active tab index", "window", "keystroke").
//
// A method answers `std::nullopt` (or false) when the object has no such property, element
// class or command, so the interpreter can try the enclosing tell target; a real failure
// (permission denied, bad value) is thrown as ScriptError. Objects may be addressed from
// several script runs at once and must be safe to use from any thread.
class ScriptObject {
  public:
    virtual ~ScriptObject() = default;

    // How the object reads in messages: `window 1 of application "Google Chrome"`.
    virtual std::string describe() const = 0;

    virtual std::optional<Value> property(const std::string& name);
    // False when the object has no such property; throws when it refuses the value.
    virtual bool setProperty(const std::string& name, const Value& value);

    // Every element of a class, in the application's order (index 1 is the front one).
    virtual std::optional<std::vector<ObjectRef>> elements(const std::string& className);

    // `make new <className> with properties {...}`; the new object (or no result).
    virtual std::optional<Value> makeNew(const std::string& className, const Record& properties);

    // A command such as "activate", "keystroke" or "key code", with its direct parameter
    // (nothing when absent) and labelled parameters ("using").
    virtual std::optional<Value> perform(const std::string& command, const Value& direct,
                                         const Record& labelled);

    // `<object> as <type>` (for example "alias" for a folder).
    virtual std::optional<Value> coerce(const std::string& type);

    // Two references to one underlying thing compare equal.
    virtual bool sameObject(const ScriptObject& other) const { return this == &other; }
};

}  // namespace orvex::script
