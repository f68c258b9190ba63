#include "desktop/script/scriptable_application_registry.h"

#include <algorithm>

namespace orvex::script {

void ScriptableApplicationRegistry::add(const std::string& name, ObjectRef application) {
    std::lock_guard lock(mutex_);
    std::string key = foldCase(name);
    for (auto& entry : entries_) {
        if (foldCase(entry.first) == key) {
            entry = {name, std::move(application)};
            return;
        }
    }
    entries_.emplace_back(name, std::move(application));
}

void ScriptableApplicationRegistry::remove(const std::string& name) {
    std::lock_guard lock(mutex_);
    std::string key = foldCase(name);
    std::erase_if(entries_, [&](const auto& entry) { return foldCase(entry.first) == key; });
}

void ScriptableApplicationRegistry::setResolver(Resolver resolver) {
    std::lock_guard lock(mutex_);
    resolver_ = std::move(resolver);
}

ObjectRef ScriptableApplicationRegistry::find(const std::string& name) const {
    Resolver resolver;
    {
        std::lock_guard lock(mutex_);
        std::string key = foldCase(name);
        for (const auto& entry : entries_) {
            if (foldCase(entry.first) == key) {
                return entry.second;
            }
        }
        resolver = resolver_;
    }
    // Outside the lock: the resolver asks the backend, which has locks of its own.
    return resolver ? resolver(name) : nullptr;
}

std::vector<std::string> ScriptableApplicationRegistry::names() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    for (const auto& entry : entries_) {
        out.push_back(entry.first);
    }
    return out;
}

}  // namespace orvex::script
