#include <gmock/gmock.h>

#include <fstream>

#include "desktop/sim/sim_pasteboard.h"
#include "desktop/sim/tests/sim_fixture.h"

namespace orvex {
namespace {

using ::testing::HasSubstr;

using ScenarioTest = SimFixture;

TEST_F(ScenarioTest, DemoScenarioSetsUpTheDesktopItDescribes) {
    auto error = applyScenarioFile(*desktop_, demoPath(), sandbox_);
    ASSERT_FALSE(error) << *error;

    auto front = desktop_->frontmostApplication();
    ASSERT_TRUE(front);
    EXPECT_EQ(front->name, "TextEdit");
    auto selection = desktop_->elementSelection("TextEdit", "document");
    auto value = desktop_->elementValue("TextEdit", "document");
    ASSERT_TRUE(selection && value);
    EXPECT_EQ(value->substr(selection->location, selection->length),
              "The release moves to Friday because the installer still fails on clean machines.");

    auto chatgpt = desktop_->application("com.openai.codex");
    ASSERT_TRUE(chatgpt);
    EXPECT_TRUE(chatgpt->running);
    EXPECT_EQ(chatgpt->windows.size(), 1u);
    for (const char* installedOnly : {"com.google.GeminiMacOS", "com.anthropic.claudefordesktop"}) {
        auto app = desktop_->application(installedOnly);
        ASSERT_TRUE(app) << installedOnly;
        EXPECT_TRUE(app->installed);
        EXPECT_FALSE(app->running);
        EXPECT_TRUE(desktop_->desktop().workspace->urlForApplication(installedOnly));
    }

    auto browserWindows = desktop_->windows("com.google.Chrome");
    ASSERT_EQ(browserWindows.size(), 1u);
    EXPECT_EQ(browserWindows[0].tabs[0].url, "https://claude.ai/new");
    EXPECT_EQ(browserWindows[0].activeTabIndex, 1);
    // The chat page has a real input to find.
    EXPECT_EQ(desktop_->elementValue("com.google.Chrome", "input"), "");

    auto finderWindows = desktop_->windows("Finder");
    ASSERT_EQ(finderWindows.size(), 1u);
    EXPECT_EQ(finderWindows[0].folder, (sandbox_ / "home/Documents").string());
    EXPECT_TRUE(std::filesystem::is_directory(sandbox_ / "home/Documents"));
    EXPECT_TRUE(std::filesystem::exists(sandbox_ / "home/Documents/notes.txt"));
    EXPECT_TRUE(desktop_->application("com.apple.Terminal")->running);

    // Setting up is not an event: the journal starts empty.
    EXPECT_TRUE(desktop_->journal().empty());
}

TEST_F(ScenarioTest, BadScenariosAreRefusedWithTheirPlaceNamed) {
    struct Case {
        const char* scenario;
        const char* message;
    };
    const Case cases[] = {
        {"[1, 2]", "scenario: must be an object"},
        {"{\"aplications\": []}", "scenario: unknown key \"aplications\""},
        {"{\"applications\": [{\"bundleId\": \"a.b\"}]}", "applications[0]: missing \"name\""},
        {"{\"applications\": [{\"name\": \"X\", \"kind\": \"spreadsheet\"}]}",
         "applications[0].kind: unknown kind \"spreadsheet\""},
        {"{\"applications\": [{\"name\": \"X\", \"windows\": [{}]}]}",
         "applications[0].windows: an application that does not run has no windows"},
        {"{\"applications\": [{\"name\": \"X\", \"running\": true, \"windows\": [{\"titel\": "
         "\"t\"}]}]}",
         "applications[0].windows[0]: unknown key \"titel\""},
        {"{\"applications\": [{\"name\": \"X\", \"running\": true, \"windows\": [{\"elements\": "
         "[{\"role\": \"AXTextArea\", \"selection\": [0, 1]}]}]}]}",
         "applications[0].windows[0].elements[0].selection: needs a \"value\" to select in"},
        {"{\"applications\": [{\"name\": \"X\", \"running\": true, \"windows\": [{\"frame\": [1, "
         "2, 3]}]}]}",
         "applications[0].windows[0].frame: must be a list of four numbers"},
        {"{\"applications\": [{\"name\": \"B\", \"kind\": \"browser\", \"running\": true, "
         "\"windows\": [{\"tabs\": [{\"url\": \"https://a.example/\"}], \"activeTab\": 2}]}]}",
         "applications[0].windows[0].activeTab: must be a whole number from 1 to 1"},
        {"{\"applications\": [{\"name\": \"X\"}, {\"name\": \"X\"}]}",
         "applications[1]: application \"X\" is defined twice"},
        {"{\"applications\": [{\"name\": \"X\"}], \"frontmost\": \"X\"}",
         "frontmost: \"X\" is not a running application"},
        {"{\"permissions\": {\"accessibility\": \"maybe\"}}",
         "permissions.accessibility: must be \"granted\", \"denied\" or \"grantedOnPrompt\""},
        {"{\"files\": {\"/etc/orvex-test\": \"x\"}}",
         "files./etc/orvex-test: files may only be created inside the home"},
        {"{\"heldModifiers\": [\"hyper\"]}", "heldModifiers: unknown modifier \"hyper\""},
        {"{\"applications\": [{\"name\": \"X\", \"running\": true, \"windows\": [{\"elements\": "
         "[{\"role\": \"AXTextArea\", \"focused\": true}, {\"role\": \"AXTextField\", "
         "\"focused\": true}]}]}]}",
         "applications[0].windows[0].elements: more than one element is focused"},
        {"{\"applications\": [ {\"name\": ", "scenario: not valid JSON"},
    };
    for (const Case& c : cases) {
        auto error = applyScenarioText(*desktop_, c.scenario, sandbox_);
        ASSERT_TRUE(error) << c.scenario;
        EXPECT_THAT(*error, HasSubstr(c.message)) << c.scenario;
    }
    // Nothing of the refused scenarios arrived: only the own application exists.
    ASSERT_EQ(desktop_->applications().size(), 1u);
    EXPECT_EQ(desktop_->applications()[0].key, "com.tavrin.orvex");
}

TEST_F(ScenarioTest, MissingFileIsAnError) {
    auto error = applyScenarioFile(*desktop_, sandbox_ / "absent.json", sandbox_);
    ASSERT_TRUE(error);
    EXPECT_THAT(*error, HasSubstr("cannot read"));
}

TEST_F(ScenarioTest, StartingStateOptionsTakeEffect) {
    load(R"({
      "self": {"bundleId": "org.example.launcher", "name": "Launcher"},
      "permissions": {"accessibility": "denied", "screenRecording": "grantedOnPrompt"},
      "preferredLanguages": ["ja-JP", "en"],
      "defaults": {"com.apple.finder": {"NewWindowTarget": "PfHm"}},
      "pasteboard": {"text": "already there"},
      "heldModifiers": ["command", "shift"],
      "captures": [{"cancelled": true}],
      "reservedHotKeys": [{"keyCode": 19, "modifiers": 768}],
      "frontmost": "Launcher"
    })");
    Desktop d = desktop_->desktop();
    EXPECT_EQ(d.workspace->ownBundleIdentifier(), "org.example.launcher");
    EXPECT_EQ(desktop_->frontmostApplication()->name, "Launcher");
    EXPECT_FALSE(d.accessibility->isProcessTrusted(false));
    EXPECT_FALSE(d.screenCapture->mayRecordScreen());
    EXPECT_EQ(d.userDefaults->preferredLanguages(), (std::vector<std::string>{"ja-JP", "en"}));
    EXPECT_EQ(d.userDefaults->stringForKey("com.apple.finder", "NewWindowTarget"), "PfHm");
    EXPECT_EQ(d.pasteboard->readString(), "already there");
    EXPECT_EQ(d.keyboard->heldModifiers(), (KeyModifiers{true, false, false, true}));
    EXPECT_NE(d.hotKeys->registerHotKey(19, 768, 1), HotKeys::kSuccess);
    EXPECT_EQ(d.workspace->homeDirectory(), (sandbox_ / "home").string());
    EXPECT_EQ(d.workspace->temporaryDirectory(), (sandbox_ / "tmp").string());
    EXPECT_TRUE(std::filesystem::is_directory(sandbox_ / "tmp"));
}

}  // namespace
}  // namespace orvex
