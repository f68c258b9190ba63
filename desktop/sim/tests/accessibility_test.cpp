#include <gmock/gmock.h>

#include "desktop/sim/tests/sim_fixture.h"

namespace orvex {
namespace {

class AccessibilityTest : public SimFixture {
  protected:
    void SetUp() override {
        load(kEditorAndChat);
        d_ = desktop_->desktop();
    }
    std::int32_t pid(const std::string& app) { return desktop_->application(app)->pid; }
    AXElementRef app(const std::string& name) {
        return d_.accessibility->applicationElement(pid(name));
    }
    static std::string role(const AXElementRef& element) {
        auto result = element->copyAttribute("AXRole");
        return result.string() ? *result.string() : "";
    }

    Desktop d_;
};

TEST_F(AccessibilityTest, FocusedElementAndItsSelectionAreReadable) {
    auto focused = app("Editor")->copyAttribute("AXFocusedUIElement");
    ASSERT_TRUE(focused.ok());
    AXElementRef element = focused.element();
    EXPECT_EQ(role(element), "AXTextArea");
    EXPECT_EQ(*element->copyAttribute("AXSelectedText").string(), "brave");
    EXPECT_EQ(*element->copyAttribute("AXSelectedTextRange").range(), (AXRange{6, 5}));
    EXPECT_EQ(*element->copyAttribute("AXValue").string(), "Hello brave new world");
    EXPECT_EQ(*element->copyAttribute("AXPosition").point(), (AXPoint{0, 30}));
    EXPECT_EQ(*element->copyAttribute("AXSize").size(), (AXSize{800, 570}));
    EXPECT_EQ(*element->copyAttribute("AXFocused").boolean(), true);

    // The system-wide element answers for the frontmost application.
    auto systemWide = d_.accessibility->systemWideElement()->copyAttribute("AXFocusedUIElement");
    ASSERT_TRUE(systemWide.ok());
    EXPECT_TRUE(sameElement(systemWide.element(), element));
    EXPECT_EQ(element->pid(), pid("Editor"));
}

TEST_F(AccessibilityTest, WindowsAndTheStandardChatTreeAreWalkable) {
    auto windows = app("ChatGPT")->copyAttribute("AXWindows");
    ASSERT_TRUE(windows.ok());
    ASSERT_EQ(windows.elements()->size(), 1u);
    AXElementRef window = windows.elements()->front();
    EXPECT_EQ(role(window), "AXWindow");
    EXPECT_EQ(*window->copyAttribute("AXTitle").string(), "ChatGPT");
    EXPECT_EQ(*window->copyAttribute("AXMinimized").boolean(), false);
    EXPECT_TRUE(sameElement(app("ChatGPT")->copyAttribute("AXFocusedWindow").element(), window));
    EXPECT_TRUE(sameElement(app("ChatGPT")->copyAttribute("AXMainWindow").element(), window));
    // Nothing is focused in a fresh chat window.
    EXPECT_EQ(app("ChatGPT")->copyAttribute("AXFocusedUIElement").error, AXError::noValue);

    // window > chat group > [history list, input, send button]
    auto group = window->copyAttribute("AXChildren").elements()->front();
    auto parts = *group->copyAttribute("AXChildren").elements();
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(role(parts[0]), "AXList");
    EXPECT_EQ(role(parts[1]), "AXTextArea");
    EXPECT_EQ(*parts[1]->copyAttribute("AXPlaceholderValue").string(), "Message ChatGPT");
    EXPECT_EQ(parts[1]->copyAttribute("AXDescription").error, AXError::noValue);
    bool settable = false;
    EXPECT_EQ(parts[1]->isAttributeSettable("AXValue", settable), AXError::success);
    EXPECT_TRUE(settable);
    EXPECT_EQ(parts[2]->isAttributeSettable("AXValue", settable), AXError::success);
    EXPECT_FALSE(settable);
    // The input lies inside the window.
    auto position = *parts[1]->copyAttribute("AXPosition").point();
    auto size = *parts[1]->copyAttribute("AXSize").size();
    EXPECT_GE(position.y, 0);
    EXPECT_LE(position.y + size.height, 800);
    EXPECT_GE(size.width, 40);
}

TEST_F(AccessibilityTest, SettingFocusSelectionAndMinimizedChangesTheModel) {
    auto window = app("ChatGPT")->copyAttribute("AXWindows").elements()->front();
    auto input = (*window->copyAttribute("AXChildren")
                       .elements()
                       ->front()
                       ->copyAttribute("AXChildren")
                       .elements())[1];
    EXPECT_EQ(input->setAttribute("AXFocused", true), AXError::success);
    EXPECT_EQ(desktop_->focusedElementId("ChatGPT"), "input");
    EXPECT_EQ(events("focus").size(), 1u);

    EXPECT_EQ(input->setAttribute("AXValue", std::string("draft text")), AXError::success);
    EXPECT_EQ(input->setAttribute("AXSelectedTextRange", AXRange{0, 5}), AXError::success);
    EXPECT_EQ(*input->copyAttribute("AXSelectedText").string(), "draft");
    EXPECT_EQ(input->setAttribute("AXSelectedTextRange", AXRange{8, 100}), AXError::success);
    EXPECT_EQ(*input->copyAttribute("AXSelectedTextRange").range(), (AXRange{8, 2}));
    EXPECT_EQ(input->setAttribute("AXValue", true), AXError::illegalArgument);

    EXPECT_EQ(window->setAttribute("AXMinimized", true), AXError::success);
    EXPECT_EQ(app("ChatGPT")->copyAttribute("AXFocusedWindow").error, AXError::noValue);
    EXPECT_EQ(app("ChatGPT")->copyAttribute("AXWindows").elements()->size(), 1u);
    EXPECT_EQ(window->setAttribute("AXMinimized", false), AXError::success);
    EXPECT_EQ(events("windowRestored").size(), 1u);

    auto button = (*window->copyAttribute("AXChildren")
                        .elements()
                        ->front()
                        ->copyAttribute("AXChildren")
                        .elements())[2];
    EXPECT_EQ(button->setAttribute("AXValue", std::string("x")), AXError::attributeUnsupported);
    EXPECT_EQ(input->copyAttribute("AXMinimized").error, AXError::attributeUnsupported);
    EXPECT_EQ(input->copyAttribute("AXNoSuchThing").error, AXError::attributeUnsupported);
}

TEST_F(AccessibilityTest, FailuresAreErrorCodes) {
    auto editor = app("Editor");
    auto focused = editor->copyAttribute("AXFocusedUIElement").element();

    desktop_->setPermission(SimPermission::accessibility, SimPermissionState::denied);
    EXPECT_EQ(editor->copyAttribute("AXRole").error, AXError::apiDisabled);
    EXPECT_EQ(focused->copyAttribute("AXValue").error, AXError::apiDisabled);
    desktop_->setPermission(SimPermission::accessibility, SimPermissionState::granted);

    ASSERT_TRUE(desktop_->terminate("Editor"));
    EXPECT_EQ(editor->copyAttribute("AXRole").error, AXError::invalidElement);
    EXPECT_EQ(focused->copyAttribute("AXValue").error, AXError::invalidElement);
    EXPECT_EQ(d_.accessibility->applicationElement(99999)->copyAttribute("AXWindows").error,
              AXError::invalidElement);

    load(R"({"applications": [{"name": "Stubborn", "running": true, "accessibilityBroken": true,
             "windows": [{}]}]})");
    EXPECT_EQ(app("Stubborn")->copyAttribute("AXWindows").error, AXError::cannotComplete);
}

TEST_F(AccessibilityTest, TrustPromptGrantsLaterWhenTheUserAllows) {
    desktop_->setPermission(SimPermission::accessibility, SimPermissionState::grantedOnPrompt);
    EXPECT_FALSE(d_.accessibility->isProcessTrusted(false));
    EXPECT_TRUE(events("permissionPrompt").empty());
    EXPECT_FALSE(d_.accessibility->isProcessTrusted(true));  // the answer comes later
    EXPECT_TRUE(d_.accessibility->isProcessTrusted(false));
    ASSERT_EQ(events("permissionPrompt").size(), 1u);
    EXPECT_EQ(events("permissionPrompt")[0].at("permission"), "accessibility");

    desktop_->setPermission(SimPermission::accessibility, SimPermissionState::denied);
    EXPECT_FALSE(d_.accessibility->isProcessTrusted(true));
    EXPECT_FALSE(d_.accessibility->isProcessTrusted(false));
}

TEST_F(AccessibilityTest, BrowserWindowShowsTheActiveTabsPage) {
    load(R"({
      "webPages": {"gemini.google.com": {"title": "Gemini", "page": "chat", "inputLabel": "Gemini"}},
      "applications": [{"bundleId": "com.google.Chrome", "name": "Google Chrome",
        "kind": "browser", "running": true, "windows": [{"tabs": [
          {"url": "https://news.example.com/", "title": "News"},
          {"url": "https://gemini.google.com/app"}]}]}]})");
    auto window = app("Google Chrome")->copyAttribute("AXFocusedWindow").element();
    auto children = *window->copyAttribute("AXChildren").elements();
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(role(children[1]), "AXWebArea");
    EXPECT_EQ(*children[1]->copyAttribute("AXTitle").string(), "News");
    EXPECT_TRUE(children[1]->copyAttribute("AXChildren").elements()->empty());

    auto windowId = desktop_->windows("Google Chrome").front().id;
    ASSERT_TRUE(desktop_->setActiveTab(windowId, 2));
    children = *window->copyAttribute("AXChildren").elements();
    EXPECT_EQ(*children[1]->copyAttribute("AXTitle").string(), "Gemini");
    auto chat = children[1]->copyAttribute("AXChildren").elements()->front();
    auto input = (*chat->copyAttribute("AXChildren").elements())[1];
    EXPECT_EQ(*input->copyAttribute("AXDescription").string(), "Gemini");
    EXPECT_EQ(*window->copyAttribute("AXTitle").string(), "Gemini");
    // The address field follows the tab.
    auto address = children[0]->copyAttribute("AXChildren").elements()->front();
    EXPECT_EQ(*address->copyAttribute("AXValue").string(), "https://gemini.google.com/app");
}

}  // namespace
}  // namespace orvex
