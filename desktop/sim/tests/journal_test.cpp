#include <gmock/gmock.h>

#include "desktop/sim/sim_hot_keys.h"
#include "desktop/sim/tests/sim_fixture.h"

namespace orvex {
namespace {

class JournalTest : public SimFixture {
  protected:
    void SetUp() override { load(kEditorAndChat); }
};

TEST_F(JournalTest, HotKeysRegisterOncePerCombinationAndFireOnTheMainQueue) {
    std::vector<std::uint32_t> fired;
    d_.hotKeys->setHandler([&](std::uint32_t id) { fired.push_back(id); });
    EXPECT_EQ(d_.hotKeys->registerHotKey(19, 768, 1), HotKeys::kSuccess);
    EXPECT_EQ(d_.hotKeys->registerHotKey(19, 768, 2), SimHotKeys::kHotKeyExists);
    EXPECT_EQ(d_.hotKeys->registerHotKey(20, 768, 2), HotKeys::kSuccess);
    desktop_->pressHotKey(19, 768);
    desktop_->pressHotKey(21, 768);  // nobody's
    EXPECT_TRUE(fired.empty());
    queue_.runUntilIdle();
    EXPECT_EQ(fired, (std::vector<std::uint32_t>{1}));

    d_.hotKeys->unregisterHotKey(1);
    EXPECT_EQ(d_.hotKeys->registerHotKey(19, 768, 2), HotKeys::kSuccess);  // re-registered as 2
    desktop_->pressHotKey(19, 768);
    queue_.runUntilIdle();
    EXPECT_EQ(fired, (std::vector<std::uint32_t>{1, 2}));
    auto presses = events("hotKeyPressed");
    ASSERT_EQ(presses.size(), 3u);
    EXPECT_TRUE(presses[1].at("id").is_null());
}

// The example of the journal in desktop/sim/README.md, reproduced.
using JournalExampleTest = SimFixture;

TEST_F(JournalExampleTest, CopyFromTheEditorAndSendToChatGpt) {
    load(R"({
      "frontmost": "com.apple.TextEdit",
      "applications": [
        {"bundleId": "com.apple.TextEdit", "name": "TextEdit", "kind": "editor", "running": true,
         "windows": [{"elements": [{"role": "AXTextArea", "id": "document",
           "value": "Hello brave new world", "settable": true, "focused": true,
           "selection": [6, 5]}]}]},
        {"bundleId": "com.openai.codex", "name": "ChatGPT", "kind": "chat", "running": true,
         "windows": [{"title": "ChatGPT"}]}]})");
    const KeyModifiers command{false, false, false, true};
    auto wait = [&](int ms) { clock_.advanceTo(clock_.now() + std::chrono::milliseconds(ms)); };

    wait(200);
    d_.pasteboard->clearContents();
    d_.keyboard->postKeystroke("c", command);
    wait(300);
    d_.runningApplications->runningApplications("com.openai.codex")[0]->activate(true);
    wait(300);
    auto window = d_.accessibility->applicationElement(desktop_->application("ChatGPT")->pid)
                      ->copyAttribute("AXFocusedWindow")
                      .element();
    auto pane = window->copyAttribute("AXChildren").elements()->front();
    auto input = (*pane->copyAttribute("AXChildren").elements())[1];
    input->setAttribute("AXFocused", true);
    d_.keyboard->postKeystroke("v", command);
    wait(300);
    d_.keyboard->postKeystroke("\r", KeyModifiers{});

    std::vector<std::string> expected = {
        R"({"by":"application","event":"pasteboardClear","t":200})",
        R"({"app":"com.apple.TextEdit","effect":"copy","element":"document","event":"keystroke","key":"c","modifiers":["command"],"t":200})",
        R"({"by":"copy","event":"pasteboardClear","t":200})",
        R"({"by":"copy","event":"pasteboardWrite","kind":"text","t":200,"text":"brave"})",
        R"({"app":"com.openai.codex","by":"requestIgnoringOtherApps","event":"activate","pid":502,"previous":"com.apple.TextEdit","t":500})",
        R"({"app":"com.openai.codex","element":"input","event":"focus","role":"AXTextArea","t":800})",
        R"({"app":"com.openai.codex","effect":"paste","element":"input","event":"keystroke","key":"v","modifiers":["command"],"t":800})",
        R"({"app":"com.openai.codex","element":"input","event":"paste","kind":"text","t":800,"text":"brave"})",
        R"({"app":"com.openai.codex","effect":"send","element":"input","event":"keystroke","key":"return","modifiers":[],"t":1100})",
        R"({"app":"com.openai.codex","event":"messageSent","images":0,"t":1100,"text":"brave"})",
    };
    EXPECT_EQ(desktop_->journalLines(), expected);
}

}  // namespace
}  // namespace orvex
