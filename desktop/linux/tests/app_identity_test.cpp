#include "desktop/linux/app_identity.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <optional>

#include "desktop/linux/desktop_entries.h"
#include "testing/temp_dir.h"

namespace orvex::linux_desktop {
namespace {

namespace fs = std::filesystem;

using orvex::testing::TempDir;

void write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    orvex::testing::writeText(path, text);
}

std::string entry(const std::string& body) {
    return "[Desktop Entry]\nType=Application\n" + body;
}

TEST(DesktopEntries, ParsesTheEntryGroupOnly) {
    auto parsed = parseDesktopEntry(
        "# comment\n[Desktop Entry]\nType=Application\nName=Chat\nName[ja]=チャット\n"
        "Exec=env GDK_BACKEND=x11 /opt/chat/chat --new %U\nStartupWMClass=ChatApp\n"
        "[Desktop Action new]\nName=New window\nExec=other\n",
        "com.example.Chat", "/x/com.example.Chat.desktop");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->localizedName({"ja_JP", "ja"}), "チャット");
    EXPECT_EQ(parsed->localizedName({"fr"}), "Chat");
    EXPECT_EQ(parsed->execProgram(), "/opt/chat/chat");
    EXPECT_EQ(parsed->startupWMClass, "ChatApp");

    EXPECT_FALSE(parseDesktopEntry(entry("Hidden=true\nName=x\n"), "a", "a"));
    EXPECT_FALSE(parseDesktopEntry("[Desktop Entry]\nType=Link\nName=x\n", "a", "a"));
    auto quoted = parseDesktopEntry(entry("Exec=\"/opt/My App/run\" --flag\n"), "b", "b");
    EXPECT_EQ(quoted->execProgram(), "/opt/My App/run");
}

TEST(DesktopEntries, IdsFromRelativePathsAndEarlierDirectoriesWin) {
    TempDir home, system;
    write(home / "applications/org.example.Notes.desktop", entry("Name=My Notes\nExec=notes\n"));
    write(system / "applications/org.example.Notes.desktop", entry("Name=Notes\nExec=notes\n"));
    write(system / "applications/vendor/tool.desktop", entry("Name=Tool\nExec=tool\n"));
    write(system / "applications/readme.txt", "not an entry");
    auto entries =
        loadDesktopEntries({home.path().string(), system.path().string(), "/nonexistent"});
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].id, "org.example.Notes");
    EXPECT_EQ(entries[0].localizedName({}), "My Notes");
    EXPECT_EQ(entries[1].id, "vendor-tool");
}

TEST(DesktopEntries, PreferredLocalesFromTheEnvironment) {
    const char* old = std::getenv("LC_ALL");
    const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
    setenv("LC_ALL", "ja_JP.UTF-8", 1);
    EXPECT_EQ(preferredLocales(), (std::vector<std::string>{"ja_JP", "ja"}));
    setenv("LC_ALL", "C", 1);
    EXPECT_TRUE(preferredLocales().empty());
    saved ? setenv("LC_ALL", saved->c_str(), 1) : unsetenv("LC_ALL");
}

TEST(ProcessInfo, ReadsExecutableArgumentsAndLaunchingEntry) {
    TempDir proc;
    write(proc / "77/comm", "chat\n");
    using namespace std::string_literals;
    write(proc / "77/cmdline", "/opt/chat/chat\0--new\0"s);
    write(proc / "77/environ",
          "A=1\0GIO_LAUNCHED_DESKTOP_FILE=/usr/share/applications/com.example.Chat.desktop\0"
          "B=2\0"s);
    fs::create_symlink("/opt/chat/chat (deleted)", proc / "77/exe");
    auto info = readProcessInfo(77, proc.path().string());
    EXPECT_EQ(info.executable, "/opt/chat/chat");
    EXPECT_EQ(info.commandName, "chat");
    EXPECT_EQ(info.arguments, (std::vector<std::string>{"/opt/chat/chat", "--new"}));
    EXPECT_EQ(info.launchedDesktopFile, "/usr/share/applications/com.example.Chat.desktop");

    auto missing = readProcessInfo(78, proc.path().string());
    EXPECT_TRUE(missing.executable.empty());
    EXPECT_FALSE(missing.launchedDesktopFile);
}

TEST(AppIdentity, LaunchEntryThenWindowClassThenExecutableThenName) {
    std::vector<DesktopEntry> entries{
        *parseDesktopEntry(entry("Name=Chat\nExec=/opt/chat/chat %U\n"), "com.example.Chat",
                           "/usr/share/applications/com.example.Chat.desktop"),
        *parseDesktopEntry(entry("Name=Editor\nName[ja]=エディタ\nExec=editor\n"
                                 "StartupWMClass=Gedit\n"),
                           "org.example.Editor", "/e.desktop"),
        *parseDesktopEntry(entry("Name=Term\nTryExec=term\nExec=term-wrapper\n"),
                           "org.example.Term", "/t.desktop")};
    AppIdentityResolver resolver(entries, {"ja"});

    ProcessInfo launched{"/usr/bin/python3", "python3", {"python3"}, "/elsewhere/x.y.desktop"};
    EXPECT_EQ(resolver.identify(launched).bundleIdentifier, "x.y");
    EXPECT_FALSE(resolver.identify(launched).entryName);
    launched.launchedDesktopFile = "/usr/share/applications/com.example.Chat.desktop";
    EXPECT_EQ(resolver.identify(launched).entryName, "Chat");

    ProcessInfo byClass{"/usr/bin/x", "x", {"x"}, std::nullopt};
    auto editor = resolver.identify(byClass, std::string("Gedit"));
    EXPECT_EQ(editor.bundleIdentifier, "org.example.Editor");
    EXPECT_EQ(editor.entryName, "エディタ");

    EXPECT_EQ(
        resolver.identify({"/opt/chat/chat", "chat", {"chat"}, std::nullopt}).bundleIdentifier,
        "com.example.Chat");
    // A full Exec path must be the executable itself, not just share its name.
    EXPECT_EQ(resolver.identify({"/tmp/chat", "chat", {"chat"}, std::nullopt}).bundleIdentifier,
              "chat");
    EXPECT_EQ(resolver.identify({"/usr/bin/editor", "editor", {}, std::nullopt}).bundleIdentifier,
              "org.example.Editor");
    EXPECT_EQ(resolver.identify({"/usr/bin/term", "term", {}, std::nullopt}).bundleIdentifier,
              "org.example.Term");
    EXPECT_EQ(resolver.identify({"", "kworker", {}, std::nullopt}).bundleIdentifier, "kworker");
}

}  // namespace
}  // namespace orvex::linux_desktop
