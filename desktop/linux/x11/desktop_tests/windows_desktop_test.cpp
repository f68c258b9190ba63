// The real Orvex with its windows on the simulated demo desktop, inside the private
// session with its tray: the tray icon's clicks, a preset button pressed as a user would,
// and a second start bringing the main window back.
#include <fstream>

#include "desktop/linux/x11/desktop_tests/desktop_fixture.h"

namespace orvex::testing {
namespace {

struct Point {
    int x = 0;
    int y = 0;
};

class WindowsDesktop : public BackendFixture {
  protected:
    std::vector<std::string> xdotool(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "/usr/bin/xdotool");
        ChildResult result = runChild(arguments, environment(), 10s);
        EXPECT_NE(result.exitCode, -1) << "xdotool hung: " << arguments[1];
        std::vector<std::string> lines;
        std::istringstream in(result.out);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    bool mainWindowShown() {
        return !xdotool({"search", "--onlyvisible", "--name", "^Orvex$"}).empty();
    }
    std::string demo() { return (sourceDir() / "desktop/sim/scenarios/demo.json").string(); }
    void startWithWindows() {
        startOrvex({"--desktop", "sim:" + demo(), "--journal", journal_.string()});
    }

    // The centre of Orvex's icon in the tray, once the tray has embedded it: a small window
    // of Orvex's class that is visible (the main window is far larger).
    std::map<std::string, int> geometry(const std::string& id) {
        std::map<std::string, int> values;
        for (const std::string& line : xdotool({"getwindowgeometry", "--shell", id})) {
            auto equals = line.find('=');
            if (equals != std::string::npos)
                values[line.substr(0, equals)] = std::atoi(line.c_str() + equals + 1);
        }
        return values;
    }
    bool isTrayIcon(const std::string& id) {
        std::map<std::string, int> size = geometry(id);
        return size["WIDTH"] > 0 && size["WIDTH"] <= 64 && size["HEIGHT"] <= 64;
    }
    std::optional<Point> trayIcon() {
        for (const std::string& id : xdotool({"search", "--onlyvisible", "--class", "^orvex$"})) {
            if (isTrayIcon(id)) {
                std::map<std::string, int> at = geometry(id);
                return Point{at["X"] + at["WIDTH"] / 2, at["Y"] + at["HEIGHT"] / 2};
            }
        }
        return std::nullopt;
    }
    // Clicks a second apart, as a user's are: two quick ones on the icon are a double click.
    void click(Point at, int button) {
        pumpFor(1s);
        // Without --sync: it waits for a motion, and there is none when the pointer is
        // already there.
        xdotool({"mousemove", std::to_string(at.x), std::to_string(at.y), "sleep", "0.2", "click",
                 std::to_string(button)});
    }

    // Depth-first through Orvex's accessibility tree: the elements of `role` whose title is
    // `title`.
    void findAll(const AXElementRef& from, const std::string& role, const std::string& title,
                 std::vector<AXElementRef>& found, int depth = 0) {
        if (!from || depth > 40)
            return;
        AXResult hasRole = from->copyAttribute("AXRole");
        AXResult hasTitle = from->copyAttribute("AXTitle");
        if (hasRole.string() && *hasRole.string() == role && hasTitle.string() &&
            *hasTitle.string() == title)
            found.push_back(from);
        AXResult children = from->copyAttribute("AXChildren");
        if (!children.elements())
            return;
        for (const AXElementRef& child : *children.elements())
            findAll(child, role, title, found, depth + 1);
    }
    // Where to click the first such element that is on screen (hidden widgets have no area).
    // With `top`, a point just inside its upper edge instead of its middle.
    std::optional<Point> onScreen(const std::string& role, const std::string& title,
                                  bool top = false) {
        std::vector<AXElementRef> found;
        findAll(orvexElement(), role, title, found);
        for (const AXElementRef& element : found) {
            AXResult position = element->copyAttribute("AXPosition");
            AXResult size = element->copyAttribute("AXSize");
            if (position.point() && size.size() && size.size()->width > 0 &&
                size.size()->height > 0 && position.point()->x >= 0 && position.point()->y >= 0) {
                // A check box answers only on its box and text: its left end, not its centre.
                const double across = role == "AXCheckBox" ? 12 : size.size()->width / 2;
                return Point{
                    static_cast<int>(position.point()->x + across),
                    static_cast<int>(position.point()->y + (top ? 4 : size.size()->height / 2))};
            }
        }
        return std::nullopt;
    }
    // Orvex's windows on screen other than the main window and the tray icon: its menus.
    std::size_t popUps() {
        std::size_t count = 0;
        for (const std::string& id : xdotool({"search", "--onlyvisible", "--class", "^orvex$"})) {
            std::vector<std::string> name = xdotool({"getwindowname", id});
            if (!name.empty() && name.front() != "Orvex" && !isTrayIcon(id))
                ++count;
        }
        return count;
    }
    // Opens the tray menu and picks an item with the keyboard, as a user can: `keys` moves
    // through the items (separators are skipped), Return chooses.
    void chooseFromTrayMenu(Point icon, std::vector<std::string> keys) {
        click(icon, 3);
        ASSERT_TRUE(pumpUntil([&] { return popUps() == 1; })) << "no menu";
        // The menu opens under the pointer; away from it no item is under the pointer.
        xdotool({"mousemove", "0", "0"});
        pumpFor(300ms);
        keys.insert(keys.begin(), "key");
        keys.push_back("Return");
        xdotool(keys);
        ASSERT_TRUE(pumpUntil([&] { return popUps() == 0; }));
    }
    std::string status() {
        return runChild({builtProgram("orvex-cli"), "app.status"}, environment(), 30s).out;
    }
    AXElementRef orvexElement() {
        return desktop().accessibility->applicationElement(orvex_->pid());
    }
    std::string journal() { return readText(journal_); }
    // Clicks the centre of Orvex's control of that role and accessible name, once it shows.
    void focusNamed(const std::string& role, const std::string& name) {
        std::vector<AXElementRef> found;
        ASSERT_TRUE(pumpUntil([&] {
            found.clear();
            findAll(orvexElement(), role, name, found);
            return !found.empty();
        })) << role
            << " \"" << name << "\" is not there";
        ASSERT_EQ(found.front()->setAttribute("AXFocused", true), AXError::success);
        ASSERT_TRUE(pumpUntil([&] {
            AXResult focused = found.front()->copyAttribute("AXFocused");
            return focused.boolean() && *focused.boolean();
        }));
    }
    // Clicks Orvex's control of that role and accessible name once it shows.
    void clickNamed(const std::string& role, const std::string& name) {
        std::optional<Point> at;
        ASSERT_TRUE(pumpUntil([&] { return (at = onScreen(role, name)).has_value(); }))
            << role << " \"" << name << "\" is not on screen";
        click(*at, 1);
    }

    fs::path journal_ = root_ / "journal.jsonl";
};

TEST_F(WindowsDesktop, TheTrayIconTogglesTheWindowAndOpensItsMenu) {
    writeSettings(Json::array());
    startWithWindows();
    std::optional<Point> icon;
    ASSERT_TRUE(pumpUntil([&] { return (icon = trayIcon()).has_value(); }, 20s))
        << "no icon in the tray\n"
        << output() << errors();
    EXPECT_FALSE(mainWindowShown()) << "a start with the tutorial done stays in the tray";

    click(*icon, 1);
    EXPECT_TRUE(pumpUntil([&] { return mainWindowShown(); })) << "a left click shows the window";
    click(*icon, 1);
    EXPECT_TRUE(pumpUntil([&] { return !mainWindowShown(); })) << "and a second one hides it";

    // The menu's three items, top to bottom: "Show Window", "Always on Top", "Quit"
    // (separators are skipped). A right click never toggles the window.
    chooseFromTrayMenu(*icon, {"Down", "Down"});
    EXPECT_NE(status().find("\"alwaysOnTop\": true"), std::string::npos) << status();
    EXPECT_FALSE(mainWindowShown());
    chooseFromTrayMenu(*icon, {"Down"});
    EXPECT_TRUE(pumpUntil([&] { return mainWindowShown(); }));
    chooseFromTrayMenu(*icon, {"Up"});
    EXPECT_TRUE(pumpUntil([&] { return kill(orvex_->pid(), 0) != 0 || says("stopped"); }));
}

TEST_F(WindowsDesktop, APresetButtonClickedSendsTheSelectionToTheChatApp) {
    writeSettings(Json::array({[] {
        Json ask = preset("ask", "chatgpt-app", "Summarise:");
        ask["label"] = "Ask ChatGPT";
        return ask;
    }()}));
    startWithWindows();
    ASSERT_EQ(cli({"window.show"}), 0);
    ASSERT_TRUE(pumpUntil([&] { return mainWindowShown(); }));

    // Found by its accessible name, the preset's label, and clicked where it is drawn.
    clickNamed("AXButton", "Ask ChatGPT");
    EXPECT_TRUE(pumpUntil(
        [&] { return journal().find("\"event\":\"messageSent\"") != std::string::npos; }, 20s))
        << journal() << output() << errors();
    EXPECT_NE(journal().find("Summarise:\\nThe release moves to Friday"), std::string::npos)
        << journal();
}

// A preset made in the settings screen as a user makes it (controls found by their
// accessible names, text and keys typed), saved, and run from its new button. A new preset
// starts with the ChatGPT app as its destination.
TEST_F(WindowsDesktop, APresetMadeInTheEditorIsSavedAndRuns) {
    writeSettings(Json::array());
    startWithWindows();
    ASSERT_EQ(cli({"window.show"}), 0);
    ASSERT_TRUE(pumpUntil([&] { return mainWindowShown(); }));
    clickNamed("AXButton", "Settings");
    clickNamed("AXButton", "Add Preset");
    clickNamed("AXTextField", "Name");
    xdotool({"type", "Summarise it"});
    clickNamed("AXTextArea", "Fixed Prompt");
    xdotool({"type", "Summarise:"});
    // Below the page's fold: focused through accessibility, as a screen reader user would.
    focusNamed("AXTextField", "shortcut-input");
    xdotool({"key", "ctrl+alt+k"});
    clickNamed("AXButton", "Save");
    clickNamed("AXButton", "Back");

    Json saved;
    ASSERT_TRUE(pumpUntil([&] {
        saved = savedSettings();
        return saved["presets"].size() == 1;
    })) << saved.dump(2)
        << errors();
    const Json& made = saved["presets"][0];
    EXPECT_EQ(made.value("label", ""), "Summarise it");
    EXPECT_EQ(made.value("fixedPrompt", ""), "Summarise:");
    EXPECT_EQ(made["destinations"], Json::array({"chatgpt-app"})) << made.dump(2);
    EXPECT_EQ(made.value("shortcut", ""), "CommandOrControl+Alt+K") << errors();

    clickNamed("AXButton", "Summarise it");
    EXPECT_TRUE(pumpUntil(
        [&] { return journal().find("Summarise:\\nThe release moves") != std::string::npos; }, 20s))
        << journal();
}

// A preset dragged with the pointer above another in the settings list moves there, and
// the new order is what the settings file holds.
TEST_F(WindowsDesktop, APresetDraggedInTheSettingsListIsSavedInItsNewPlace) {
    writeSettings(Json::array({preset("Alpha"), preset("Beta")}));
    startWithWindows();
    ASSERT_EQ(cli({"window.show"}), 0);
    ASSERT_TRUE(pumpUntil([&] { return mainWindowShown(); }));
    clickNamed("AXButton", "Settings");
    std::optional<Point> alpha, beta;
    ASSERT_TRUE(pumpUntil([&] {
        alpha = onScreen("AXCell", "Alpha", /*top=*/true);
        beta = onScreen("AXCell", "Beta");
        return alpha && beta;
    })) << "the list's rows are not seen through accessibility";

    std::vector<std::string> drag{"mousemove", std::to_string(beta->x), std::to_string(beta->y),
                                  "mousedown", "1"};
    // In steps, as a hand moves: the drag starts after a few pixels of motion.
    for (int step = 1; step <= 8; ++step) {
        const int y = beta->y + (alpha->y - beta->y) * step / 8;
        drag.insert(drag.end(),
                    {"sleep", "0.05", "mousemove", std::to_string(alpha->x), std::to_string(y)});
    }
    drag.insert(drag.end(), {"sleep", "0.3", "mouseup", "1"});
    xdotool(drag);

    auto labels = [&] {
        std::vector<std::string> order;
        Json saved = savedSettings();
        for (const Json& item : saved["presets"])
            order.push_back(item.value("label", ""));
        return order;
    };
    EXPECT_TRUE(pumpUntil([&] {
        return labels() == std::vector<std::string>{"Beta", "Alpha"};
    })) << readText(settingsFile());
}

// The language is chosen in the main window's menu as a user would; Orvex restarts in place
// with the same arguments, its single-instance lock no obstacle, and answers in Japanese.
TEST_F(WindowsDesktop, ChoosingALanguageRestartsOrvexInThatLanguage) {
    writeSettings(Json::array({preset("kept")}));
    startWithWindows();
    ASSERT_EQ(cli({"window.show"}), 0);
    ASSERT_TRUE(pumpUntil([&] { return mainWindowShown(); }));
    clickNamed("AXMenuItem", "View");
    ASSERT_TRUE(pumpUntil([&] { return popUps() == 1; })) << "no View menu";
    // "Always on Top", "Language" ▸ "日本語".
    xdotool({"key", "Down", "Down", "Right", "Return"});

    ASSERT_TRUE(says("orvex: restarting for the new language")) << output() << errors();
    EXPECT_TRUE(pumpUntil(
        [&] {
            return countOf(output(), "orvex: running (pid " + std::to_string(orvex_->pid())) == 2;
        },
        20s))
        << output() << errors();
    EXPECT_TRUE(
        pumpUntil([&] { return status().find("\"language\": \"ja\"") != std::string::npos; }, 20s))
        << status();
    EXPECT_EQ(countOf(output(), "orvex: Desktop: the simulated desktop of " + demo()), 2u)
        << "the same arguments\n"
        << output();
    Json settings = savedSettings();
    EXPECT_EQ(settings.value("language", ""), "ja");
    EXPECT_EQ(settings["presets"].size(), 1u) << "nothing lost";
}

TEST_F(WindowsDesktop, ASecondStartBringsTheWindowBack) {
    writeSettings(Json::array());
    startWithWindows();
    pumpFor(1s);
    EXPECT_FALSE(mainWindowShown());

    ChildResult second =
        runChild({builtProgram("orvex"), "--desktop", "sim:" + demo()}, environment(), 30s);
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.out, "orvex: Orvex is already running; its window is shown\n");
    EXPECT_TRUE(pumpUntil([&] { return mainWindowShown(); })) << output() << errors();

    ASSERT_EQ(cli({"window.hide"}), 0);
    EXPECT_TRUE(pumpUntil([&] { return !mainWindowShown(); }));
}

}  // namespace
}  // namespace orvex::testing
