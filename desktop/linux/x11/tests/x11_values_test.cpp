#include <gtest/gtest.h>  // before the X11 headers, whose macros clash with it

#include "desktop/linux/x11/gio_documents.h"
#include "desktop/linux/x11/x11_applications.h"
#include "desktop/linux/x11/x11_properties.h"
#include "desktop/linux/x11/x11_windows.h"

namespace orvex::linux_desktop {
namespace {

TEST(WindowClass, BothNamesAreRead) {
    auto names = parseWindowClass(std::string("gnome-terminal-server\0Gnome-terminal\0", 38));
    ASSERT_TRUE(names);
    EXPECT_EQ(names->instance, "gnome-terminal-server");
    EXPECT_EQ(names->className, "Gnome-terminal");
    EXPECT_FALSE(parseWindowClass("no separator"));
}

TEST(ProcessStart, TheNameMayHoldSpacesAndParentheses) {
    std::string stat =
        "4242 (my (odd) app) S 1 4242 4242 0 -1 4194560 100 0 0 0 1 2 0 0 20 0 3 0 "
        "987654 100000 200";
    EXPECT_EQ(parseStartTime(stat), 987654u);
    EXPECT_EQ(parseStartTime("garbage"), 0u);
    EXPECT_EQ(parseStartTime("1 (x) S 1 2"), 0u);
    // This very process exists and has a start time; a pid nobody has does not.
    EXPECT_GT(processStartTime(static_cast<std::int32_t>(getpid())), 0u);
    EXPECT_EQ(processStartTime(-1), 0u);
}

TEST(WindowToActivate, TopmostVisibleElseTopmostMinimized) {
    ClientWindow bottom{1, 10, std::nullopt, "a", false};
    ClientWindow middle{2, 10, std::nullopt, "b", false};
    ClientWindow top{3, 10, std::nullopt, "c", true};
    EXPECT_EQ(windowToActivate({bottom, middle, top}), std::optional<Window>(2));
    middle.hidden = bottom.hidden = true;
    EXPECT_EQ(windowToActivate({bottom, middle, top}), std::optional<Window>(3));
    EXPECT_FALSE(windowToActivate({}));
}

TEST(AppNames, EntryThenWindowClassThenExecutable) {
    X11AppInfo app;
    app.bundleIdentifier = "xterm";
    app.executable = "/usr/bin/xterm";
    EXPECT_EQ(app.localizedName(), "xterm");
    app.windowClass = WindowClass{"xterm", "XTerm"};
    EXPECT_EQ(app.localizedName(), "XTerm");
    app.entryName = "ターミナル";
    EXPECT_EQ(app.localizedName(), "ターミナル");
}

TEST(EntryIds, DesktopSuffixIsDropped) {
    EXPECT_EQ(entryIdFromFileName("org.gnome.Nautilus.desktop"), "org.gnome.Nautilus");
    EXPECT_EQ(entryIdFromFileName("firefox"), "firefox");
    EXPECT_EQ(entryIdFromFileName(".desktop"), ".desktop");
}

}  // namespace
}  // namespace orvex::linux_desktop
