#pragma once

// The applications scripts address on an X11 desktop:
// - "System Events": keystrokes into the application in front, and the running processes
//   with their windows. A terminal emulator's process is named "Terminal" and the file
//   manager's "Finder", as scripts expect.
// - "Terminal": the session's terminal emulator (x-terminal-emulator).
// - "Finder": the file manager. Its current folder cannot be known, so it reports no
//   window and a new file goes to the Desktop folder.
// - any other name: the running or installed application of that name.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desktop/keyboard.h"
#include "desktop/linux/x11/x11_applications.h"
#include "desktop/script/scriptable_object.h"
#include "desktop/workspace.h"

namespace orvex::linux_desktop {

struct ScriptingServices {
    std::shared_ptr<X11Applications> applications;
    Workspace* workspace = nullptr;
    Keyboard* keyboard = nullptr;

    // The name scripts know a running application by.
    std::string scriptName(const X11AppInfo& app) const;
    bool isTerminal(const X11AppInfo& app) const;
    bool isFileManager(const X11AppInfo& app) const;
};

class SystemEventsObject : public script::ScriptObject {
  public:
    explicit SystemEventsObject(std::shared_ptr<const ScriptingServices> services)
        : services_(std::move(services)) {}
    std::string describe() const override { return "application \"System Events\""; }
    std::optional<script::Value> property(const std::string& name) override;
    std::optional<std::vector<script::ObjectRef>> elements(const std::string& className) override;
    std::optional<script::Value> perform(const std::string& command, const script::Value& direct,
                                         const script::Record& labelled) override;

  private:
    std::shared_ptr<const ScriptingServices> services_;
};

// A running application as a System Events process.
class ProcessObject : public script::ScriptObject {
  public:
    ProcessObject(std::shared_ptr<const ScriptingServices> services, X11AppInfo app)
        : services_(std::move(services)), app_(std::move(app)) {}
    std::string describe() const override;
    std::optional<script::Value> property(const std::string& name) override;
    bool setProperty(const std::string& name, const script::Value& value) override;
    std::optional<std::vector<script::ObjectRef>> elements(const std::string& className) override;
    bool sameObject(const ScriptObject& other) const override;

  private:
    std::shared_ptr<const ScriptingServices> services_;
    X11AppInfo app_;
};

class WindowObject : public script::ScriptObject {
  public:
    WindowObject(ClientWindow window, std::string owner)
        : window_(std::move(window)), owner_(std::move(owner)) {}
    std::string describe() const override;
    std::optional<script::Value> property(const std::string& name) override;
    bool sameObject(const ScriptObject& other) const override;

  private:
    ClientWindow window_;
    std::string owner_;
};

// An application addressed by name.
class ApplicationObject : public script::ScriptObject {
  public:
    enum class Kind { terminal, fileManager, named };
    ApplicationObject(std::shared_ptr<const ScriptingServices> services, Kind kind,
                      std::string name)
        : services_(std::move(services)), kind_(kind), name_(std::move(name)) {}

    std::string describe() const override { return "application \"" + name_ + "\""; }
    std::optional<script::Value> property(const std::string& name) override;
    std::optional<std::vector<script::ObjectRef>> elements(const std::string& className) override;
    std::optional<script::Value> perform(const std::string& command, const script::Value& direct,
                                         const script::Record& labelled) override;
    bool sameObject(const ScriptObject& other) const override;

    // Whether a running or installed application answers to this object.
    bool exists() const;

  private:
    std::vector<X11AppInfo> running() const;
    // Where to start the application from; nothing when it is not installed.
    std::optional<std::string> location() const;
    void activate();

    std::shared_ptr<const ScriptingServices> services_;
    Kind kind_;
    std::string name_;
};

}  // namespace orvex::linux_desktop
