#include "desktop/script/scriptable_object.h"

namespace orvex::script {

std::optional<Value> ScriptObject::property(const std::string&) {
    return std::nullopt;
}

bool ScriptObject::setProperty(const std::string&, const Value&) {
    return false;
}

std::optional<std::vector<ObjectRef>> ScriptObject::elements(const std::string&) {
    return std::nullopt;
}

std::optional<Value> ScriptObject::makeNew(const std::string&, const Record&) {
    return std::nullopt;
}

std::optional<Value> ScriptObject::perform(const std::string&, const Value&, const Record&) {
    return std::nullopt;
}

std::optional<Value> ScriptObject::coerce(const std::string&) {
    return std::nullopt;
}

}  // namespace orvex::script
