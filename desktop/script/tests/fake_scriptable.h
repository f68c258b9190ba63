#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "desktop/script/script_error.h"
#include "desktop/script/scriptable_object.h"

namespace orvex::script::testing {

// A scriptable object whose properties, elements and commands a test sets up directly.
class FakeObject : public ScriptObject {
  public:
    explicit FakeObject(std::string description) : description_(std::move(description)) {}

    std::string describe() const override { return description_; }

    std::optional<Value> property(const std::string& name) override {
        guard();
        auto it = properties.find(name);
        if (it == properties.end()) {
            return std::nullopt;
        }
        return it->second;
    }

    bool setProperty(const std::string& name, const Value& value) override {
        guard();
        if (properties.count(name) == 0 || readOnly.count(name) > 0) {
            return false;
        }
        properties[name] = value;
        log.push_back("set " + name + " " + script::describe(value));
        return true;
    }

    std::optional<std::vector<ObjectRef>> elements(const std::string& className) override {
        guard();
        auto it = children.find(className);
        if (it == children.end()) {
            return std::nullopt;
        }
        return std::vector<ObjectRef>(it->second.begin(), it->second.end());
    }

    std::optional<Value> makeNew(const std::string& className, const Record& props) override {
        guard();
        if (!maker) {
            return std::nullopt;
        }
        return maker(className, props);
    }

    std::optional<Value> perform(const std::string& command, const Value& direct,
                                 const Record& labelled) override {
        guard();
        if (commands.count(command) == 0) {
            return std::nullopt;
        }
        std::string entry = command;
        if (!direct.isNothing()) {
            entry += " " + script::describe(direct);
        }
        if (const Value* using_ = labelled.find("using")) {
            entry += " using " + script::describe(*using_);
        }
        log.push_back(entry);
        return Value();
    }

    std::optional<Value> coerce(const std::string& type) override {
        guard();
        if (type == "alias" && aliasPath) {
            return Value::alias(*aliasPath);
        }
        return std::nullopt;
    }

    void guard() const {
        if (denied) {
            throw ScriptError(*denied, errnum::kNotAuthorized);
        }
    }

    std::map<std::string, Value> properties;
    std::set<std::string> readOnly;
    std::map<std::string, std::vector<std::shared_ptr<FakeObject>>> children;
    std::set<std::string> commands;
    std::function<std::optional<Value>(const std::string&, const Record&)> maker;
    std::optional<std::string> aliasPath;
    std::optional<std::string> denied;
    std::vector<std::string> log;

  private:
    std::string description_;
};

}  // namespace orvex::script::testing
