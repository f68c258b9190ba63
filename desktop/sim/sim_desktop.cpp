#include "desktop/sim/sim_desktop.h"

#include "desktop/sim/sim_accessibility.h"
#include "desktop/sim/sim_hot_keys.h"
#include "desktop/sim/sim_keyboard.h"
#include "desktop/sim/sim_pasteboard.h"
#include "desktop/sim/sim_processes.h"
#include "desktop/sim/sim_running_apps.h"
#include "desktop/sim/sim_screen_capture.h"
#include "desktop/sim/sim_state.h"
#include "desktop/sim/sim_text.h"
#include "desktop/sim/sim_user_defaults.h"
#include "desktop/sim/sim_workspace.h"

namespace orvex {

std::shared_ptr<SimDesktop> SimDesktop::create(Clock& clock, MainQueue& mainQueue) {
    std::shared_ptr<SimDesktop> desktop(new SimDesktop(clock, mainQueue));
    std::weak_ptr<SimDesktop> weak = desktop;
    desktop->state_->makeElement = [weak](const SimAXTarget& target) -> AXElementRef {
        return std::make_shared<SimAXElement>(weak, target);
    };
    desktop->state_->makeApplication = [weak](std::int32_t pid) -> RunningApplicationRef {
        return std::make_shared<SimRunningApplication>(weak, pid);
    };
    return desktop;
}

SimDesktop::SimDesktop(Clock& clock, MainQueue& mainQueue)
    : clock_(clock),
      mainQueue_(mainQueue),
      state_(std::make_unique<SimState>(clock, mainQueue)),
      workspace_(std::make_unique<SimWorkspace>(*this)),
      runningApplications_(std::make_unique<SimRunningApplications>(*this)),
      pasteboard_(std::make_unique<SimPasteboard>(*this)),
      accessibility_(std::make_unique<SimAccessibility>(*this)),
      keyboard_(std::make_unique<SimKeyboard>(*this)),
      hotKeys_(std::make_unique<SimHotKeys>(*this)),
      screenCapture_(std::make_unique<SimScreenCapture>(*this)),
      processes_(std::make_unique<SimProcesses>(*this)),
      userDefaults_(std::make_unique<SimUserDefaults>(*this)) {
    SimAppSpec self;
    self.bundleId = "com.tavrin.orvex";
    self.name = "Orvex";
    self.kind = SimAppKind::self;
    self.running = true;
    state_->addApplication(self);
    state_->selfKey = "com.tavrin.orvex";
}

SimDesktop::~SimDesktop() = default;

// ---- The capabilities ---------------------------------------------------------------------

Desktop SimDesktop::desktop() {
    std::lock_guard lock(mutex_);
    Desktop result;
    result.runningApplications = runningApplications_.get();
    result.workspace = workspace_.get();
    result.pasteboard = pasteboard_.get();
    result.accessibility = accessibility_.get();
    result.keyboard = keyboard_.get();
    result.hotKeys = hotKeys_.get();
    result.screenCapture = screenCapture_.get();
    result.processes = processes_.get();
    result.userDefaults = userDefaults_.get();
    result.scriptHost = scriptHost_;
    return result;
}

void SimDesktop::setScriptHost(ScriptHost* host) {
    std::lock_guard lock(mutex_);
    scriptHost_ = host;
}

SimWorkspace& SimDesktop::workspace() {
    return *workspace_;
}
SimRunningApplications& SimDesktop::runningApplications() {
    return *runningApplications_;
}
SimPasteboard& SimDesktop::pasteboard() {
    return *pasteboard_;
}
SimAccessibility& SimDesktop::accessibility() {
    return *accessibility_;
}
SimKeyboard& SimDesktop::keyboard() {
    return *keyboard_;
}
SimHotKeys& SimDesktop::hotKeys() {
    return *hotKeys_;
}
SimScreenCapture& SimDesktop::screenCapture() {
    return *screenCapture_;
}
SimProcesses& SimDesktop::processes() {
    return *processes_;
}
SimUserDefaults& SimDesktop::userDefaults() {
    return *userDefaults_;
}
Clock& SimDesktop::clock() {
    return clock_;
}

// ---- Setting up ---------------------------------------------------------------------------

void SimDesktop::setSetupMode(bool on) {
    std::lock_guard lock(mutex_);
    state_->quiet += on ? 1 : -1;
}

bool SimDesktop::setFrontmost(const std::string& app) {
    std::lock_guard lock(mutex_);
    SimApp* target = state_->findApp(app);
    return target && target->running && state_->activate(target->pid, "setup");
}

void SimDesktop::setSelf(const std::string& bundleId, const std::string& name) {
    std::lock_guard lock(mutex_);
    SimApp* self = state_->selfApp();
    if (!self)
        return;
    self->definition.bundleId = bundleId;
    self->definition.name = name;
    self->definition.path = "/Applications/" + name + ".app";
    self->key = bundleId;
    state_->processes[self->pid].appKey = bundleId;
    state_->selfKey = bundleId;
}

void SimDesktop::setHomeDirectory(const std::filesystem::path& path) {
    std::lock_guard lock(mutex_);
    state_->homeDirectory = path.string();
}

void SimDesktop::setTemporaryDirectory(const std::filesystem::path& path) {
    std::lock_guard lock(mutex_);
    state_->temporaryDirectory = path.string();
}

std::filesystem::path SimDesktop::homeDirectory() const {
    std::lock_guard lock(mutex_);
    return state_->homeDirectory;
}

std::filesystem::path SimDesktop::temporaryDirectory() const {
    std::lock_guard lock(mutex_);
    return state_->temporaryDirectory;
}

void SimDesktop::setPermission(SimPermission permission, SimPermissionState value) {
    std::lock_guard lock(mutex_);
    state_->permissions[permission] = value;
    state_->prompted.erase(permission);
}

bool SimDesktop::permissionGranted(SimPermission permission) const {
    std::lock_guard lock(mutex_);
    return state_->granted(permission);
}

bool SimDesktop::requestPermission(SimPermission permission) {
    std::lock_guard lock(mutex_);
    if (!state_->granted(permission) && state_->prompted.count(permission) == 0)
        state_->prompt(permission);
    return state_->granted(permission);
}

void SimDesktop::setPreferredLanguages(std::vector<std::string> languages) {
    std::lock_guard lock(mutex_);
    state_->preferredLanguages = std::move(languages);
}

void SimDesktop::setDefault(const std::string& suite, const std::string& key,
                            const std::string& value) {
    std::lock_guard lock(mutex_);
    state_->defaults[suite][key] = value;
}

std::optional<std::string> SimDesktop::defaultValue(const std::string& suite,
                                                    const std::string& key) const {
    return userDefaults_->stringForKey(suite, key);
}

void SimDesktop::setDefaultBrowser(const std::string& app) {
    std::lock_guard lock(mutex_);
    state_->defaultBrowser = app;
}

std::optional<std::string> SimDesktop::addApplication(const SimAppSpec& definition) {
    std::lock_guard lock(mutex_);
    return state_->addApplication(definition);
}

void SimDesktop::setWebPage(const std::string& host, const SimTabSpec& page) {
    std::lock_guard lock(mutex_);
    state_->webPages[host] = page;
}

void SimDesktop::queueCapture(SimCaptureResult result) {
    std::lock_guard lock(mutex_);
    state_->captures.push_back(result);
}

void SimDesktop::setDefaultCapture(SimCaptureResult result) {
    std::lock_guard lock(mutex_);
    state_->defaultCapture = result;
}

void SimDesktop::reserveHotKey(std::uint32_t keyCode, std::uint32_t modifiers) {
    std::lock_guard lock(mutex_);
    state_->reservedHotKeys.insert({keyCode, modifiers});
}

std::optional<std::string> SimDesktop::setJournalFile(const std::filesystem::path& path) {
    std::lock_guard lock(mutex_);
    return state_->journal.mirrorTo(path);
}

// ---- The user at the machine --------------------------------------------------------------

bool SimDesktop::userActivate(const std::string& app) {
    std::lock_guard lock(mutex_);
    SimApp* target = state_->findApp(app);
    return target && target->running && state_->activate(target->pid, "user");
}

void SimDesktop::holdModifiers(KeyModifiers modifiers) {
    std::lock_guard lock(mutex_);
    if (modifiers.command)
        state_->heldKeys.insert(keycode::kCommand);
    if (modifiers.option)
        state_->heldKeys.insert(keycode::kOption);
    if (modifiers.control)
        state_->heldKeys.insert(keycode::kControl);
    if (modifiers.shift)
        state_->heldKeys.insert(keycode::kShift);
    state_->record("modifiersHeld", {{"command", modifiers.command},
                                     {"option", modifiers.option},
                                     {"control", modifiers.control},
                                     {"shift", modifiers.shift}});
}

void SimDesktop::releaseAllModifiers() {
    std::lock_guard lock(mutex_);
    state_->heldKeys.clear();
    state_->record("modifiersReleased");
}

bool SimDesktop::userFocus(const std::string& app, const std::string& elementId) {
    std::lock_guard lock(mutex_);
    SimNode* target = state_->findElement(app, elementId);
    SimWindow* w = target ? state_->window(target->window) : nullptr;
    if (!w)
        return false;
    state_->setFocusedNode(*w, target->id);
    state_->raise(*w);
    state_->record(
        "focus",
        {{"app", w->appKey}, {"element", elementId}, {"role", target->role}, {"by", "user"}});
    return true;
}

bool SimDesktop::userSelect(const std::string& app, const std::string& elementId, AXRange range) {
    std::lock_guard lock(mutex_);
    SimNode* target = state_->findElement(app, elementId);
    if (!target || !target->value)
        return false;
    target->selection = simtext::clamp(range, simtext::length(*target->value));
    state_->record("selectionSet", {{"app", state_->window(target->window)->appKey},
                                    {"element", elementId},
                                    {"location", target->selection.location},
                                    {"length", target->selection.length},
                                    {"by", "user"}});
    return true;
}

void SimDesktop::pressHotKey(std::uint32_t keyCode, std::uint32_t modifiers) {
    std::lock_guard lock(mutex_);
    Json entry = {{"keyCode", keyCode}, {"modifiers", modifiers}, {"id", nullptr}};
    for (const auto& [id, key] : state_->hotKeys) {
        if (key != std::pair{keyCode, modifiers})
            continue;
        entry["id"] = id;
        if (state_->hotKeyHandler) {
            mainQueue_.post([handler = state_->hotKeyHandler, id = id] { handler(id); });
        }
    }
    state_->record("hotKeyPressed", entry);
}

void SimDesktop::wake() {
    std::lock_guard lock(mutex_);
    state_->emitWake();
}

bool SimDesktop::terminate(const std::string& app) {
    std::lock_guard lock(mutex_);
    SimApp* target = state_->findApp(app);
    if (!target || !target->running)
        return false;
    state_->terminate(*target);
    return true;
}

bool SimDesktop::setWindowMinimized(SimWindowId id, bool minimized) {
    std::lock_guard lock(mutex_);
    SimWindow* w = state_->window(id);
    if (!w)
        return false;
    state_->setMinimized(*w, minimized, "user");
    return true;
}

bool SimDesktop::closeWindow(SimWindowId id) {
    std::lock_guard lock(mutex_);
    if (!state_->window(id))
        return false;
    state_->closeWindow(id);
    return true;
}

// ---- What scripts do ----------------------------------------------------------------------

std::vector<SimAppInfo> SimDesktop::applications() const {
    std::lock_guard lock(mutex_);
    std::vector<SimAppInfo> result;
    for (const SimApp& app : state_->apps)
        result.push_back(state_->info(app));
    return result;
}

std::optional<SimAppInfo> SimDesktop::application(const std::string& app) const {
    std::lock_guard lock(mutex_);
    const SimApp* found = state_->findApp(app);
    return found ? std::optional(state_->info(*found)) : std::nullopt;
}

std::optional<SimAppInfo> SimDesktop::frontmostApplication() const {
    std::lock_guard lock(mutex_);
    const SimApp* found = state_->appByPid(state_->frontmostPid);
    return found ? std::optional(state_->info(*found)) : std::nullopt;
}

std::vector<SimWindowInfo> SimDesktop::windows(const std::string& app) const {
    std::lock_guard lock(mutex_);
    std::vector<SimWindowInfo> result;
    if (const SimApp* found = state_->findApp(app)) {
        for (SimWindowId id : found->windows)
            result.push_back(state_->info(*state_->window(id)));
    }
    return result;
}

std::optional<SimWindowInfo> SimDesktop::window(SimWindowId id) const {
    std::lock_guard lock(mutex_);
    const SimWindow* found = state_->window(id);
    return found ? std::optional(state_->info(*found)) : std::nullopt;
}

std::optional<std::string> SimDesktop::activateApplication(const std::string& app) {
    std::lock_guard lock(mutex_);
    SimApp* target = state_->findApp(app);
    if (!target || (!target->running && !target->definition.installed)) {
        return "Can't get application \"" + app + "\".";
    }
    if (!target->running)
        return state_->launch(*target, true, "activate");
    state_->activate(target->pid, "activate");
    return std::nullopt;
}

std::optional<std::string> SimDesktop::keystroke(const std::string& characters,
                                                 KeyModifiers modifiers) {
    std::lock_guard lock(mutex_);
    return state_->typeCharacters(characters, modifiers);
}

std::optional<std::string> SimDesktop::keyCode(std::uint16_t code, KeyModifiers modifiers) {
    std::lock_guard lock(mutex_);
    return state_->typeKeyCode(code, modifiers);
}

bool SimDesktop::raiseWindow(SimWindowId id) {
    std::lock_guard lock(mutex_);
    SimWindow* w = state_->window(id);
    if (!w)
        return false;
    state_->raise(*w);
    return true;
}

bool SimDesktop::setActiveTab(SimWindowId id, int index) {
    std::lock_guard lock(mutex_);
    SimWindow* w = state_->window(id);
    return w && state_->setActiveTab(*w, index);
}

std::optional<SimTabId> SimDesktop::openTab(SimWindowId id, const std::string& url) {
    std::lock_guard lock(mutex_);
    SimWindow* w = state_->window(id);
    if (!w || w->tabs.empty())
        return std::nullopt;
    return state_->openTab(*w, url);
}

std::optional<SimWindowId> SimDesktop::openWindow(const std::string& app) {
    std::lock_guard lock(mutex_);
    SimApp* target = state_->findApp(app);
    return target ? state_->openWindow(*target) : std::nullopt;
}

bool SimDesktop::setTabURL(SimWindowId id, int index, const std::string& url) {
    std::lock_guard lock(mutex_);
    SimWindow* w = state_->window(id);
    return w && state_->setTabURL(*w, index, url);
}

std::optional<SimWindowId> SimDesktop::showFolderWindow(const std::string& folder) {
    std::lock_guard lock(mutex_);
    return state_->showFolder(folder);
}

// ---- Observing ----------------------------------------------------------------------------

std::vector<Json> SimDesktop::journal() const {
    std::lock_guard lock(mutex_);
    return state_->journal.entries();
}

std::vector<std::string> SimDesktop::journalLines() const {
    std::lock_guard lock(mutex_);
    return state_->journal.lines();
}

std::vector<SimMessage> SimDesktop::messages() const {
    std::lock_guard lock(mutex_);
    return state_->messages;
}

std::optional<std::string> SimDesktop::pasteboardText() const {
    std::lock_guard lock(mutex_);
    return state_->pasteboardText;
}

std::optional<SimImage> SimDesktop::pasteboardImage() const {
    std::lock_guard lock(mutex_);
    return state_->pasteboardImage;
}

KeyModifiers SimDesktop::heldModifiers() const {
    std::lock_guard lock(mutex_);
    return state_->heldModifiers();
}

std::optional<std::string> SimDesktop::elementValue(const std::string& app,
                                                    const std::string& elementId) const {
    std::lock_guard lock(mutex_);
    const SimNode* found = state_->findElement(app, elementId);
    return found ? found->value : std::nullopt;
}

std::optional<AXRange> SimDesktop::elementSelection(const std::string& app,
                                                    const std::string& elementId) const {
    std::lock_guard lock(mutex_);
    const SimNode* found = state_->findElement(app, elementId);
    if (!found || !found->value)
        return std::nullopt;
    return found->selection;
}

std::optional<std::string> SimDesktop::focusedElementId(const std::string& app) const {
    std::lock_guard lock(mutex_);
    const SimApp* found = state_->findApp(app);
    const SimWindow* w = found ? state_->frontWindow(*found) : nullptr;
    const SimNode* focused = w ? state_->node(state_->focusedNode(*w)) : nullptr;
    return focused ? std::optional(focused->scenarioId) : std::nullopt;
}

int SimDesktop::attachedImages(const std::string& app, const std::string& elementId) const {
    std::lock_guard lock(mutex_);
    const SimNode* found = state_->findElement(app, elementId);
    return found ? static_cast<int>(found->attachments.size()) : 0;
}

}  // namespace orvex
