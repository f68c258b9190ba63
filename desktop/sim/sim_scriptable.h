#pragma once

// The simulated desktop's applications as scripts see them: System Events (keystrokes,
// processes and their windows), and every application by name with its windows; browsers
// add tabs (URL, active tab, new tabs and windows) and need the browser-automation
// permission, file managers add the folder a window shows.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desktop/script/scriptable_object.h"
#include "desktop/sim/sim_desktop.h"

namespace orvex {

class SimScriptableApplication : public script::ScriptObject,
                                 public std::enable_shared_from_this<SimScriptableApplication> {
  public:
    // `name` is how scripts address it; the application is looked up by that name, then by
    // `bundleId` when given.
    SimScriptableApplication(std::shared_ptr<SimDesktop> desktop, std::string name,
                             std::optional<std::string> bundleId = std::nullopt);

    std::string describe() const override;
    std::optional<script::Value> property(const std::string& name) override;
    bool setProperty(const std::string& name, const script::Value& value) override;
    std::optional<std::vector<script::ObjectRef>> elements(const std::string& className) override;
    std::optional<script::Value> makeNew(const std::string& className,
                                         const script::Record& properties) override;
    std::optional<script::Value> perform(const std::string& command, const script::Value& direct,
                                         const script::Record& labelled) override;
    bool sameObject(const ScriptObject& other) const override;

    // The application now; throws "Can't get application" when it is neither installed
    // nor running, and the automation refusal for a browser the user has not allowed.
    SimAppInfo resolve() const;
    const std::string& name() const { return name_; }
    SimDesktop& desktop() const { return *desktop_; }

  private:
    std::shared_ptr<SimDesktop> desktop_;
    std::string name_;
    std::optional<std::string> bundleId_;
};

// A window of an application (or of a System Events process, which has no browser or
// file-manager terms).
class SimScriptableWindow : public script::ScriptObject {
  public:
    SimScriptableWindow(std::shared_ptr<SimScriptableApplication> application, SimWindowId id,
                        bool applicationTerms, std::string owner);

    std::string describe() const override;
    std::optional<script::Value> property(const std::string& name) override;
    bool setProperty(const std::string& name, const script::Value& value) override;
    std::optional<std::vector<script::ObjectRef>> elements(const std::string& className) override;
    std::optional<script::Value> makeNew(const std::string& className,
                                         const script::Record& properties) override;
    bool sameObject(const ScriptObject& other) const override;

    SimWindowInfo info() const;
    SimWindowId id() const { return id_; }
    SimScriptableApplication& application() const { return *application_; }

  private:
    std::optional<script::Value> browserProperty(const std::string& name,
                                                 const SimWindowInfo& window);

    std::shared_ptr<SimScriptableApplication> application_;
    SimWindowId id_;
    bool applicationTerms_;
    std::string owner_;
};

// A browser tab, by its identity (it keeps it when tabs move).
class SimScriptableTab : public script::ScriptObject {
  public:
    SimScriptableTab(std::shared_ptr<SimScriptableApplication> application, SimWindowId window,
                     SimTabId id);

    std::string describe() const override;
    std::optional<script::Value> property(const std::string& name) override;
    bool setProperty(const std::string& name, const script::Value& value) override;
    bool sameObject(const ScriptObject& other) const override;

  private:
    // The tab's window and its position there (from 1); throws when the tab is gone.
    std::pair<SimWindowInfo, int> locate() const;

    std::shared_ptr<SimScriptableApplication> application_;
    SimWindowId window_;
    SimTabId id_;
};

// A folder shown by a file-manager window.
class SimScriptableFolder : public script::ScriptObject {
  public:
    explicit SimScriptableFolder(std::string path);
    std::string describe() const override;
    std::optional<script::Value> property(const std::string& name) override;
    std::optional<script::Value> coerce(const std::string& type) override;
    bool sameObject(const ScriptObject& other) const override;

  private:
    std::string path_;
};

// System Events: keystrokes into the frontmost application, and the running processes.
class SimSystemEvents : public script::ScriptObject,
                        public std::enable_shared_from_this<SimSystemEvents> {
  public:
    explicit SimSystemEvents(std::shared_ptr<SimDesktop> desktop);
    std::string describe() const override;
    std::optional<script::Value> property(const std::string& name) override;
    std::optional<std::vector<script::ObjectRef>> elements(const std::string& className) override;
    std::optional<script::Value> perform(const std::string& command, const script::Value& direct,
                                         const script::Record& labelled) override;

  private:
    std::shared_ptr<SimDesktop> desktop_;
};

// A running application as a System Events process.
class SimScriptableProcess : public script::ScriptObject {
  public:
    SimScriptableProcess(std::shared_ptr<SimDesktop> desktop, SimAppInfo info);
    std::string describe() const override;
    std::optional<script::Value> property(const std::string& name) override;
    bool setProperty(const std::string& name, const script::Value& value) override;
    std::optional<std::vector<script::ObjectRef>> elements(const std::string& className) override;
    bool sameObject(const ScriptObject& other) const override;

  private:
    std::shared_ptr<SimDesktop> desktop_;
    SimAppInfo info_;
};

}  // namespace orvex
