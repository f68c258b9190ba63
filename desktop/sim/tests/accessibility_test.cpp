#include <gmock/gmock.h>

#include "desktop/sim/tests/sim_fixture.h"

namespace orvex {
namespace {

class AccessibilityTest : public SimFixture {
  protected:
    void SetUp() override { load(kEditorAndChat); }
    std::int32_t pid(const std::string& app) { return desktop_->application(app)->pid; }
    AXElementRef app(const std::string& name) {
        return d_.accessibility->applicationElement(pid(name));
    }
};

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

// Refused permission and unreadable applications are reached through the debug commands
// and routes (app/commands/tests, app/execution/tests); here, elements that are gone.
TEST_F(AccessibilityTest, ElementsOfAQuitApplicationAreInvalid) {
    auto editor = app("Editor");
    auto focused = editor->copyAttribute("AXFocusedUIElement").element();
    ASSERT_TRUE(desktop_->terminate("Editor"));
    EXPECT_EQ(editor->copyAttribute("AXRole").error, AXError::invalidElement);
    EXPECT_EQ(focused->copyAttribute("AXValue").error, AXError::invalidElement);
    EXPECT_EQ(d_.accessibility->applicationElement(99999)->copyAttribute("AXWindows").error,
              AXError::invalidElement);
}

}  // namespace
}  // namespace orvex
