#include "desktop/sim/sim_scenario.h"

#include <algorithm>
#include <set>

#include "base/atomic_file.h"
#include "desktop/sim/sim_pasteboard.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

struct ScenarioError {
    std::string message;
};

[[noreturn]] void fail(const std::string& where, const std::string& what) {
    throw ScenarioError{where.empty() ? what : where + ": " + what};
}

std::string join(const std::string& where, const std::string& key) {
    return where.empty() ? key : where + "." + key;
}

std::string indexed(const std::string& where, std::size_t index) {
    return where + "[" + std::to_string(index) + "]";
}

// One JSON object of the scenario, read with its place in the file for error messages.
class Object {
  public:
    Object(const Json& json, std::string where, std::set<std::string> allowed)
        : json_(json), where_(std::move(where)) {
        if (!json.is_object())
            fail(where_, "must be an object");
        for (const auto& [key, value] : json.items()) {
            if (!allowed.count(key))
                fail(where_, "unknown key \"" + key + "\"");
        }
    }

    bool has(const std::string& key) const { return json_.contains(key); }
    const Json& at(const std::string& key) const { return json_.at(key); }
    std::string where(const std::string& key) const { return join(where_, key); }
    const std::string& where() const { return where_; }

    std::optional<std::string> text(const std::string& key) const {
        if (!has(key))
            return std::nullopt;
        if (!at(key).is_string())
            fail(where(key), "must be a string");
        return at(key).get<std::string>();
    }
    std::string requiredText(const std::string& key) const {
        if (!has(key))
            fail(where_, "missing \"" + key + "\"");
        return *text(key);
    }
    std::optional<bool> flag(const std::string& key) const {
        if (!has(key))
            return std::nullopt;
        if (!at(key).is_boolean())
            fail(where(key), "must be true or false");
        return at(key).get<bool>();
    }
    std::optional<double> number(const std::string& key) const {
        if (!has(key))
            return std::nullopt;
        if (!at(key).is_number())
            fail(where(key), "must be a number");
        return at(key).get<double>();
    }
    std::optional<int> integer(const std::string& key, int minimum, int maximum) const {
        if (!has(key))
            return std::nullopt;
        const Json& value = at(key);
        if (!value.is_number_integer() || value.get<std::int64_t>() < minimum ||
            value.get<std::int64_t>() > maximum) {
            fail(where(key), "must be a whole number from " + std::to_string(minimum) + " to " +
                                 std::to_string(maximum));
        }
        return value.get<int>();
    }
    const Json& array(const std::string& key) const {
        if (!at(key).is_array())
            fail(where(key), "must be a list");
        return at(key);
    }
    std::vector<std::string> texts(const std::string& key) const {
        std::vector<std::string> result;
        if (!has(key))
            return result;
        const Json& list = array(key);
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (!list[i].is_string())
                fail(indexed(where(key), i), "must be a string");
            result.push_back(list[i].get<std::string>());
        }
        return result;
    }

  private:
    const Json& json_;
    std::string where_;
};

struct Parsed {
    std::optional<std::pair<std::string, std::string>> self;
    fs::path home;
    fs::path temporary;
    bool createFolders = true;
    std::map<SimPermission, SimPermissionState> permissions;
    std::optional<std::vector<std::string>> languages;
    std::vector<std::tuple<std::string, std::string, std::string>> defaults;
    std::optional<std::string> defaultBrowser;
    std::optional<std::string> frontmost;
    std::optional<std::string> pasteboardText;
    KeyModifiers held;
    std::vector<SimCaptureResult> captures;
    std::optional<SimCaptureResult> defaultCapture;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> reservedHotKeys;
    std::vector<std::pair<std::string, SimTabSpec>> webPages;
    std::vector<SimAppSpec> apps;
    std::vector<std::pair<fs::path, std::string>> files;
    std::vector<fs::path> folders;  // file-manager folders to create
};

class Parser {
  public:
    explicit Parser(fs::path base) : base_(std::move(base)) {}

    Parsed parse(const Json& json) {
        Object root(json, "",
                    {"self", "home", "temporaryDirectory", "createFolders", "permissions",
                     "preferredLanguages", "defaults", "defaultBrowser", "frontmost", "pasteboard",
                     "heldModifiers", "captures", "defaultCapture", "reservedHotKeys", "webPages",
                     "applications", "files"});
        if (root.has("self")) {
            Object self(root.at("self"), "self", {"bundleId", "name"});
            parsed_.self = {self.requiredText("bundleId"), self.requiredText("name")};
        }
        parsed_.home = directory(root, "home", "home");
        parsed_.temporary = directory(root, "temporaryDirectory", "tmp");
        parsed_.createFolders = root.flag("createFolders").value_or(true);
        if (root.has("permissions"))
            permissions(root.at("permissions"));
        if (root.has("preferredLanguages"))
            parsed_.languages = root.texts("preferredLanguages");
        if (root.has("defaults"))
            defaults(root.at("defaults"));
        parsed_.defaultBrowser = root.text("defaultBrowser");
        parsed_.frontmost = root.text("frontmost");
        if (root.has("pasteboard")) {
            Object pasteboard(root.at("pasteboard"), "pasteboard", {"text"});
            parsed_.pasteboardText = pasteboard.text("text");
        }
        for (const std::string& name : root.texts("heldModifiers")) {
            if (name == "command")
                parsed_.held.command = true;
            else if (name == "option")
                parsed_.held.option = true;
            else if (name == "control")
                parsed_.held.control = true;
            else if (name == "shift")
                parsed_.held.shift = true;
            else
                fail("heldModifiers", "unknown modifier \"" + name + "\"");
        }
        if (root.has("captures")) {
            const Json& list = root.array("captures");
            for (std::size_t i = 0; i < list.size(); ++i) {
                parsed_.captures.push_back(capture(list[i], indexed("captures", i)));
            }
        }
        if (root.has("defaultCapture")) {
            parsed_.defaultCapture = capture(root.at("defaultCapture"), "defaultCapture");
        }
        if (root.has("reservedHotKeys")) {
            const Json& list = root.array("reservedHotKeys");
            for (std::size_t i = 0; i < list.size(); ++i) {
                Object key(list[i], indexed("reservedHotKeys", i), {"keyCode", "modifiers"});
                parsed_.reservedHotKeys.push_back(
                    {static_cast<std::uint32_t>(*requiredInteger(key, "keyCode", 0, 0xFFFF)),
                     static_cast<std::uint32_t>(*requiredInteger(key, "modifiers", 0, 0xFFFF))});
            }
        }
        if (root.has("webPages")) {
            if (!root.at("webPages").is_object())
                fail("webPages", "must be an object");
            for (const auto& [host, page] : root.at("webPages").items()) {
                SimTabSpec definition = tab(page, join("webPages", host), false);
                parsed_.webPages.push_back({host, definition});
            }
        }
        if (root.has("applications")) {
            const Json& list = root.array("applications");
            for (std::size_t i = 0; i < list.size(); ++i) {
                parsed_.apps.push_back(application(list[i], indexed("applications", i)));
            }
        }
        if (root.has("files"))
            files(root.at("files"));
        crossCheck();
        return parsed_;
    }

  private:
    std::optional<int> requiredInteger(const Object& object, const std::string& key, int minimum,
                                       int maximum) {
        if (!object.has(key))
            fail(object.where(), "missing \"" + key + "\"");
        return object.integer(key, minimum, maximum);
    }

    fs::path directory(const Object& root, const std::string& key, const std::string& fallback) {
        fs::path path = root.text(key).value_or(fallback);
        if (path.empty())
            fail(key, "must not be empty");
        return (path.is_absolute() ? path : base_ / path).lexically_normal();
    }

    // An absolute path, or one starting with "~/" inside the home.
    std::string location(const std::string& text, const std::string& where) {
        if (text == "~")
            return parsed_.home.string();
        if (text.rfind("~/", 0) == 0) {
            return (parsed_.home / text.substr(2)).lexically_normal().string();
        }
        if (!fs::path(text).is_absolute())
            fail(where, "must be an absolute path or start with ~/");
        return fs::path(text).lexically_normal().string();
    }

    void permissions(const Json& json) {
        Object object(json, "permissions",
                      {"accessibility", "screenRecording", "browserAutomation"});
        for (SimPermission permission :
             {SimPermission::accessibility, SimPermission::screenRecording,
              SimPermission::browserAutomation}) {
            std::string key(toString(permission));
            if (auto text = object.text(key)) {
                auto state = simPermissionStateFromString(*text);
                if (!state) {
                    fail(object.where(key),
                         "must be \"granted\", \"denied\" or \"grantedOnPrompt\", not \"" + *text +
                             "\"");
                }
                parsed_.permissions[permission] = *state;
            }
        }
    }

    void defaults(const Json& json) {
        if (!json.is_object())
            fail("defaults", "must be an object");
        for (const auto& [suite, values] : json.items()) {
            if (!values.is_object())
                fail(join("defaults", suite), "must be an object");
            for (const auto& [key, value] : values.items()) {
                if (!value.is_string())
                    fail(join(join("defaults", suite), key), "must be a string");
                parsed_.defaults.emplace_back(suite, key, value.get<std::string>());
            }
        }
    }

    SimCaptureResult capture(const Json& json, const std::string& where) {
        Object object(json, where, {"cancelled", "width", "height"});
        SimCaptureResult result;
        result.cancelled = object.flag("cancelled").value_or(false);
        result.width = object.integer("width", 1, 4096).value_or(result.width);
        result.height = object.integer("height", 1, 4096).value_or(result.height);
        return result;
    }

    std::optional<SimFrame> frame(const Object& object, const std::string& key) {
        if (!object.has(key))
            return std::nullopt;
        const Json& list = object.at(key);
        if (!list.is_array() || list.size() != 4 ||
            !std::all_of(list.begin(), list.end(), [](const Json& v) { return v.is_number(); })) {
            fail(object.where(key), "must be a list of four numbers [x, y, width, height]");
        }
        if (list[2].get<double>() < 0 || list[3].get<double>() < 0) {
            fail(object.where(key), "width and height must not be negative");
        }
        return SimFrame{AXPoint{list[0].get<double>(), list[1].get<double>()},
                        AXSize{list[2].get<double>(), list[3].get<double>()}};
    }

    SimElementSpec element(const Json& json, const std::string& where, int depth) {
        if (depth > 48)
            fail(where, "elements nest too deeply");
        Object object(json, where,
                      {"role", "id", "title", "description", "placeholder", "value", "settable",
                       "focusable", "selection", "frame", "focused", "sendsOnReturn",
                       "acceptsImages", "takesFocusBack", "children"});
        SimElementSpec definition;
        definition.role = object.requiredText("role");
        definition.id = object.text("id").value_or("");
        definition.title = object.text("title");
        definition.description = object.text("description");
        definition.placeholder = object.text("placeholder");
        definition.value = object.text("value");
        definition.settable = object.flag("settable").value_or(false);
        definition.focusable = object.flag("focusable");
        definition.focused = object.flag("focused").value_or(false);
        definition.sendsOnReturn = object.flag("sendsOnReturn").value_or(false);
        definition.acceptsImages = object.flag("acceptsImages");
        definition.takesFocusBack = object.integer("takesFocusBack", 0, 100).value_or(0);
        definition.frame = frame(object, "frame");
        if (object.has("selection")) {
            const Json& range = object.at("selection");
            if (!range.is_array() || range.size() != 2 || !range[0].is_number_integer() ||
                !range[1].is_number_integer() || range[0].get<std::int64_t>() < 0 ||
                range[1].get<std::int64_t>() < 0) {
                fail(object.where("selection"), "must be [location, length], two whole numbers");
            }
            if (!definition.value)
                fail(object.where("selection"), "needs a \"value\" to select in");
            definition.selection =
                AXRange{range[0].get<std::int64_t>(), range[1].get<std::int64_t>()};
        }
        if (definition.focused)
            ++focusedCount_;
        if (object.has("children")) {
            const Json& list = object.array("children");
            for (std::size_t i = 0; i < list.size(); ++i) {
                definition.children.push_back(
                    element(list[i], indexed(object.where("children"), i), depth + 1));
            }
        }
        return definition;
    }

    std::vector<SimElementSpec> elements(const Object& object) {
        std::vector<SimElementSpec> result;
        const Json& list = object.array("elements");
        focusedCount_ = 0;
        for (std::size_t i = 0; i < list.size(); ++i) {
            result.push_back(element(list[i], indexed(object.where("elements"), i), 0));
        }
        if (focusedCount_ > 1)
            fail(object.where("elements"), "more than one element is focused");
        return result;
    }

    SimTabSpec tab(const Json& json, const std::string& where, bool needsURL) {
        Object object(json, where, {"url", "title", "page", "inputLabel", "elements"});
        SimTabSpec definition;
        if (needsURL)
            definition.url = object.requiredText("url");
        definition.title = object.text("title").value_or("");
        // A tab that names no page shows what its host serves.
        std::string fallback = object.has("elements") ? "custom" : (needsURL ? "" : "blank");
        definition.page = object.text("page").value_or(fallback);
        if (definition.page != "blank" && definition.page != "chat" &&
            definition.page != "custom" && !(definition.page.empty() && !object.has("page"))) {
            fail(object.where("page"), "must be \"blank\", \"chat\" or \"custom\"");
        }
        definition.inputLabel = object.text("inputLabel");
        if (object.has("elements")) {
            if (definition.page != "custom")
                fail(object.where("elements"), "only a \"custom\" page has elements");
            definition.elements = elements(object);
        }
        return definition;
    }

    SimWindowSpec window(const Json& json, const std::string& where, SimAppKind kind) {
        Object object(json, where,
                      {"title", "frame", "minimized", "folder", "tabs", "activeTab", "elements"});
        SimWindowSpec definition;
        definition.title = object.text("title").value_or("");
        definition.frame = frame(object, "frame");
        definition.minimized = object.flag("minimized").value_or(false);
        if (auto folder = object.text("folder")) {
            if (kind != SimAppKind::fileManager)
                fail(object.where("folder"), "only file-manager windows show a folder");
            definition.folder = location(*folder, object.where("folder"));
            parsed_.folders.push_back(*definition.folder);
        }
        if (object.has("tabs")) {
            if (kind != SimAppKind::browser)
                fail(object.where("tabs"), "only browser windows have tabs");
            const Json& list = object.array("tabs");
            for (std::size_t i = 0; i < list.size(); ++i) {
                definition.tabs.push_back(tab(list[i], indexed(object.where("tabs"), i), true));
            }
        }
        int tabCount = std::max<int>(1, static_cast<int>(definition.tabs.size()));
        definition.activeTab = object.integer("activeTab", 1, tabCount).value_or(1);
        if (object.has("elements")) {
            if (kind == SimAppKind::browser)
                fail(object.where("elements"), "a browser window's content comes from its tabs");
            definition.elements = elements(object);
        }
        return definition;
    }

    SimAppSpec application(const Json& json, const std::string& where) {
        Object object(json, where,
                      {"bundleId", "name", "kind", "path", "installed", "running", "opensHttps",
                       "documentTypes", "ignoresCut", "launchError", "accessibilityBroken",
                       "windows", "launchWindow"});
        SimAppSpec definition;
        definition.bundleId = object.text("bundleId");
        if (definition.bundleId && definition.bundleId->empty())
            fail(object.where("bundleId"), "must not be empty");
        definition.name = object.requiredText("name");
        if (definition.name.empty())
            fail(object.where("name"), "must not be empty");
        if (auto kind = object.text("kind")) {
            auto parsedKind = simAppKindFromString(*kind);
            if (!parsedKind || *parsedKind == SimAppKind::self) {
                fail(object.where("kind"),
                     "unknown kind \"" + *kind +
                         "\" (generic, editor, chat, terminal, fileManager, browser)");
            }
            definition.kind = *parsedKind;
        }
        if (auto path = object.text("path")) {
            if (!fs::path(*path).is_absolute())
                fail(object.where("path"), "must be an absolute path");
            definition.path = *path;
        }
        definition.installed = object.flag("installed").value_or(true);
        definition.running = object.flag("running").value_or(false);
        definition.opensHttps = object.flag("opensHttps");
        definition.documentTypes = object.texts("documentTypes");
        definition.ignoresCut = object.flag("ignoresCut").value_or(false);
        definition.launchError = object.text("launchError");
        definition.accessibilityBroken = object.flag("accessibilityBroken").value_or(false);
        if (object.has("windows")) {
            if (!definition.running)
                fail(object.where("windows"), "an application that does not run has no windows");
            const Json& list = object.array("windows");
            for (std::size_t i = 0; i < list.size(); ++i) {
                definition.windows.push_back(
                    window(list[i], indexed(object.where("windows"), i), definition.kind));
            }
        }
        if (object.has("launchWindow")) {
            definition.launchWindow =
                window(object.at("launchWindow"), object.where("launchWindow"), definition.kind);
        }
        return definition;
    }

    void files(const Json& json) {
        if (!json.is_object())
            fail("files", "must be an object of path to content");
        for (const auto& [path, content] : json.items()) {
            std::string where = join("files", path);
            if (!content.is_string())
                fail(where, "content must be a string");
            fs::path resolved = location(path, where);
            auto inside = [&](const fs::path& root) {
                auto relative = resolved.lexically_relative(root);
                return !relative.empty() && *relative.begin() != "..";
            };
            // Scenario files are written for real, so they may only land in the sandbox.
            if (!inside(parsed_.home) && !inside(parsed_.temporary)) {
                fail(where, "files may only be created inside the home or temporary directory");
            }
            parsed_.files.push_back({resolved, content.get<std::string>()});
        }
    }

    void crossCheck() {
        std::set<std::string> keys;
        auto known = [&](const std::string& app) {
            for (const SimAppSpec& definition : parsed_.apps) {
                if (definition.bundleId.value_or(definition.name) == app || definition.name == app)
                    return &definition;
            }
            return static_cast<const SimAppSpec*>(nullptr);
        };
        for (std::size_t i = 0; i < parsed_.apps.size(); ++i) {
            const SimAppSpec& definition = parsed_.apps[i];
            std::string key = definition.bundleId.value_or(definition.name);
            std::string selfKey = parsed_.self ? parsed_.self->first : "com.tavrin.orvex";
            if (!keys.insert(key).second || key == selfKey) {
                fail(indexed("applications", i), "application \"" + key + "\" is defined twice");
            }
        }
        if (parsed_.frontmost) {
            const SimAppSpec* front = known(*parsed_.frontmost);
            std::string selfName = parsed_.self ? parsed_.self->second : "Orvex";
            bool isSelf =
                *parsed_.frontmost == selfName ||
                *parsed_.frontmost == (parsed_.self ? parsed_.self->first : "com.tavrin.orvex");
            if (!isSelf && (!front || !front->running)) {
                fail("frontmost", "\"" + *parsed_.frontmost + "\" is not a running application");
            }
        }
        if (parsed_.defaultBrowser && !known(*parsed_.defaultBrowser)) {
            fail("defaultBrowser", "\"" + *parsed_.defaultBrowser + "\" is not an application");
        }
    }

    fs::path base_;
    Parsed parsed_;
    int focusedCount_ = 0;
};

std::optional<std::string> createDirectory(const fs::path& path) {
    std::error_code error;
    fs::create_directories(path, error);
    if (error)
        return "cannot create " + path.string() + ": " + error.message();
    return std::nullopt;
}

}  // namespace

std::optional<std::string> applyScenario(SimDesktop& desktop, const Json& scenario,
                                         const fs::path& baseDirectory) {
    Parsed parsed;
    try {
        parsed = Parser(fs::absolute(baseDirectory)).parse(scenario);
    } catch (const ScenarioError& error) {
        return "scenario: " + error.message;
    }

    // The disk first: when that fails, the desktop itself is still untouched.
    std::vector<fs::path> directories = {parsed.home, parsed.temporary};
    if (parsed.createFolders) {
        for (const fs::path& folder : parsed.folders) {
            auto relative = folder.lexically_relative(parsed.home);
            if (!relative.empty() && *relative.begin() != "..")
                directories.push_back(folder);
        }
    }
    for (const auto& [path, content] : parsed.files)
        directories.push_back(path.parent_path());
    for (const fs::path& directory : directories) {
        if (auto error = createDirectory(directory))
            return "scenario: " + *error;
    }
    for (const auto& [path, content] : parsed.files) {
        if (auto error = writeFileDirectly(path, content)) {
            return "scenario: cannot write " + path.string() + ": " + *error;
        }
    }

    desktop.setSetupMode(true);
    if (parsed.self)
        desktop.setSelf(parsed.self->first, parsed.self->second);
    desktop.setHomeDirectory(parsed.home);
    desktop.setTemporaryDirectory(parsed.temporary);
    for (const auto& [permission, state] : parsed.permissions)
        desktop.setPermission(permission, state);
    if (parsed.languages)
        desktop.setPreferredLanguages(*parsed.languages);
    for (const auto& [suite, key, value] : parsed.defaults)
        desktop.setDefault(suite, key, value);
    for (const auto& [host, page] : parsed.webPages)
        desktop.setWebPage(host, page);
    std::optional<std::string> error;
    for (const SimAppSpec& app : parsed.apps) {
        if (!error)
            error = desktop.addApplication(app);
    }
    if (parsed.defaultBrowser)
        desktop.setDefaultBrowser(*parsed.defaultBrowser);
    if (parsed.frontmost)
        desktop.setFrontmost(*parsed.frontmost);
    if (parsed.pasteboardText)
        desktop.pasteboard().writeString(*parsed.pasteboardText);
    if (parsed.held.any())
        desktop.holdModifiers(parsed.held);
    for (const SimCaptureResult& capture : parsed.captures)
        desktop.queueCapture(capture);
    if (parsed.defaultCapture)
        desktop.setDefaultCapture(*parsed.defaultCapture);
    for (const auto& [keyCode, modifiers] : parsed.reservedHotKeys) {
        desktop.reserveHotKey(keyCode, modifiers);
    }
    desktop.setSetupMode(false);
    if (error)
        return "scenario: " + *error;
    return std::nullopt;
}

std::optional<std::string> applyScenarioText(SimDesktop& desktop, std::string_view text,
                                             const fs::path& baseDirectory) {
    JsonParseResult parsed = parseJson(text);
    if (!parsed.value)
        return "scenario: not valid JSON: " + parsed.error;
    return applyScenario(desktop, *parsed.value, baseDirectory);
}

std::optional<std::string> applyScenarioFile(SimDesktop& desktop, const fs::path& file,
                                             const fs::path& baseDirectory) {
    std::string error;
    std::optional<std::string> text = readWholeFile(file, &error, 8u << 20);
    if (!text)
        return "scenario: cannot read " + file.string() + ": " + error;
    if (auto failure = applyScenarioText(desktop, *text, baseDirectory)) {
        return file.string() + ": " + *failure;
    }
    return std::nullopt;
}

}  // namespace orvex
