#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "desktop/script/scriptable_object.h"

namespace orvex::script {

// The applications scripts can address by name ("System Events", "Terminal", "Finder",
// "Google Chrome"). Each backend fills it with its own objects. Names match ignoring case.
class ScriptableApplicationRegistry {
  public:
    // Adds an application, replacing one of the same name.
    void add(const std::string& name, ObjectRef application);
    void remove(const std::string& name);
    // Asked for names that were not added (any other application the backend knows);
    // answers null when there is no such application.
    using Resolver = std::function<ObjectRef(const std::string& name)>;
    void setResolver(Resolver resolver);
    // The application of that name; null when there is none.
    ObjectRef find(const std::string& name) const;
    std::vector<std::string> names() const;

  private:
    mutable std::mutex mutex_;
    std::vector<std::pair<std::string, ObjectRef>> entries_;
    Resolver resolver_;
};

}  // namespace orvex::script
