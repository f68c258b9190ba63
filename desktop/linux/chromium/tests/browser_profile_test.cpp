#include "desktop/linux/chromium/browser_profile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "testing/temp_dir.h"

namespace orvex::chromium {
namespace {

namespace fs = std::filesystem;

TEST(DevToolsActivePort, ReadsPortAndBrowserPathAndRefusesAnythingElse) {
    auto endpoint = parseDevToolsActivePort("42627\n/devtools/browser/ca64a460-b9e3\n");
    ASSERT_TRUE(endpoint);
    EXPECT_EQ(endpoint->port, 42627);
    EXPECT_EQ(endpoint->browserPath, "/devtools/browser/ca64a460-b9e3");

    for (const char* bad :
         {"", "42627\n", "0\n/devtools/browser/x\n", "70000\n/devtools/browser/x",
          "12ab\n/devtools/browser/x", "9222\n/devtools/page/x", "-1\n/devtools/browser/x"}) {
        EXPECT_FALSE(parseDevToolsActivePort(bad)) << bad;
    }
}

TEST(SingletonLock, NamesTheOwningProcessOfThisHostOnly) {
    EXPECT_EQ(parseSingletonLock("vm-15579", "vm"), 15579);
    EXPECT_EQ(parseSingletonLock("my-host-name-7", "my-host-name"), 7);
    EXPECT_FALSE(parseSingletonLock("other-15579", "vm"));
    EXPECT_FALSE(parseSingletonLock("vm-", "vm"));
    EXPECT_FALSE(parseSingletonLock("vm-0", "vm"));
    EXPECT_FALSE(parseSingletonLock("vm15579", "vm"));

    orvex::testing::TempDir dir;
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    EXPECT_FALSE(profileOwner(dir.path()));
    fs::create_symlink(std::string(host) + "-" + std::to_string(getpid()), dir / "SingletonLock");
    EXPECT_EQ(profileOwner(dir.path()), getpid());
    // A lock left by a browser that is gone does not count.
    fs::remove(dir / "SingletonLock");
    fs::create_symlink(std::string(host) + "-999999999", dir / "SingletonLock");
    EXPECT_FALSE(profileOwner(dir.path()));
}

TEST(BrowserBinary, FirstExecutableCandidateOnThePathOrGivenAsAPath) {
    orvex::testing::TempDir dir;
    fs::create_directories(dir / "a");
    fs::create_directories(dir / "b");
    orvex::testing::writeText(dir / "a" / "chromium", "#!/bin/sh\n");  // not executable
    orvex::testing::writeText(dir / "b" / "chromium", "#!/bin/sh\n");
    fs::permissions(dir / "b" / "chromium", fs::perms::owner_all);
    const std::string path = (dir / "a").string() + "::" + (dir / "b").string();

    EXPECT_EQ(findBrowserBinary({"google-chrome", "chromium"}, path),
              (dir / "b" / "chromium").string());
    EXPECT_EQ(findBrowserBinary({(dir / "b" / "chromium").string()}, ""),
              (dir / "b" / "chromium").string());
    EXPECT_FALSE(findBrowserBinary({(dir / "a" / "chromium").string(), "google-chrome"}, path));
}

// The rest of the command line is seen at work in the desktop tests, which run as root.
TEST(BrowserArguments, NoSandboxOnlyForRoot) {
    auto has = [](const std::vector<std::string>& list, const std::string& item) {
        return std::find(list.begin(), list.end(), item) != list.end();
    };
    EXPECT_FALSE(has(browserArguments("/p", false, {}), "--no-sandbox"));
    EXPECT_TRUE(has(browserArguments("/p", true, {}), "--no-sandbox"));
}

}  // namespace
}  // namespace orvex::chromium
