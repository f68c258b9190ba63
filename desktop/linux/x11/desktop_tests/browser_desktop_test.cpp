// Orvex's Chromium on the X11 desktop: the tab-search script through the interpreter
// against a real Chromium, and web sends by the real Orvex into chat pages served on
// loopback.
#include "desktop/linux/x11/desktop_tests/desktop_fixture.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include "app/execution/apple_scripts.h"
#include "desktop/linux/chromium/browser_profile.h"
#include "desktop/linux/chromium/chromium_browser.h"
#include "desktop/linux/chromium/chromium_scriptable.h"
#include "desktop/linux/x11/x11_browser_windows.h"
#include "desktop/script/script_interpreter.h"
#include "desktop/script/scriptable_application_registry.h"

namespace orvex::testing {
namespace {

namespace asio = boost::asio;
namespace http = boost::beast::http;
using tcp = asio::ip::tcp;

// Chat pages served on loopback. Any path gives a page with one message input: a
// contenteditable box for paths starting with "/editable", else a textarea; its accessible
// name is "Message " plus the host's first label ("Message claude"). Return in the input
// posts its text back; `received()` lists those texts with the host they came from
// ("claude.localhost: text").
class LoopbackPages {
  public:
    LoopbackPages() {
        thread_ = std::thread([this] {
            while (true) {
                auto socket = std::make_shared<tcp::socket>(io_);
                boost::system::error_code ec;
                acceptor_.accept(*socket, ec);
                if (ec || !acceptor_.is_open())
                    return;  // closed: the pages are done
                // The browser keeps connections open (and opens some it never uses), so each
                // has a thread of its own, ended by closing its socket.
                std::lock_guard lock(mutex_);
                connections_.push_back(socket);
                threads_.emplace_back([this, socket] { serve(*socket); });
            }
        });
    }
    ~LoopbackPages() {
        boost::system::error_code ignored;
        acceptor_.close(ignored);
        // accept() may not notice the close; a connection of our own wakes it.
        tcp::socket(io_).connect({asio::ip::address_v4::loopback(), port_}, ignored);
        thread_.join();
        std::vector<std::thread> threads;
        {
            std::lock_guard lock(mutex_);
            for (auto& socket : connections_)
                socket->shutdown(tcp::socket::shutdown_both, ignored);
            threads = std::move(threads_);
        }
        for (std::thread& thread : threads)
            thread.join();
    }
    // "http://HOST:PORT/PATH"; hosts under .localhost reach this server from the browser.
    std::string url(const std::string& host, const std::string& path = "/") const {
        return "http://" + host + ":" + std::to_string(port_) + path;
    }
    std::vector<std::string> received() const {
        std::lock_guard lock(mutex_);
        return received_;
    }

  private:
    static std::string page(const std::string& host, bool editable) {
        const std::string label = "Message " + host.substr(0, host.find('.'));
        const std::string input =
            editable ? "<div id=\"box\" autofocus contenteditable=\"true\" role=\"textbox\" "
                       "aria-label=\"" +
                           label + "\" style=\"min-height:3em;border:1px solid\"></div>"
                     : "<textarea id=\"box\" autofocus aria-label=\"" + label + "\"></textarea>";
        return "<!doctype html><html><head><meta charset=\"utf-8\"><title>" + host +
               " chat</title></head><body><h1>Chat</h1>" + input +
               "<script>\n"
               "const box = document.getElementById('box');\n"
               "box.addEventListener('keydown', e => {\n"
               "  if (e.key !== 'Enter' || e.shiftKey) return;\n"
               "  e.preventDefault();\n"
               "  const text = box.value !== undefined ? box.value : box.innerText;\n"
               "  fetch('/sent', {method: 'POST', body: text});\n"
               "  if (box.value !== undefined) box.value = ''; else box.innerText = '';\n"
               "});\n"
               "</script></body></html>";
    }
    void serve(tcp::socket& socket) {
        boost::beast::flat_buffer buffer;
        boost::system::error_code ec;
        while (true) {
            http::request<http::string_body> request;
            http::read(socket, buffer, request, ec);
            if (ec)
                return;
            std::string host(request[http::field::host]);
            host = host.substr(0, host.find(':'));
            http::response<http::string_body> response{http::status::ok, request.version()};
            if (request.method() == http::verb::post && request.target() == "/sent") {
                std::lock_guard lock(mutex_);
                received_.push_back(host + ": " + request.body());
                response.set(http::field::content_type, "text/plain");
            } else {
                response.set(http::field::content_type, "text/html; charset=utf-8");
                response.body() =
                    page(host, std::string(request.target()).starts_with("/editable"));
            }
            response.keep_alive(request.keep_alive());
            response.prepare_payload();
            http::write(socket, response, ec);
            if (ec || !request.keep_alive())
                return;
        }
    }

    asio::io_context io_;
    tcp::acceptor acceptor_{io_, tcp::endpoint(asio::ip::address_v4::loopback(), 0)};
    std::uint16_t port_ = acceptor_.local_endpoint().port();
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<tcp::socket>> connections_;
    std::vector<std::thread> threads_;
    std::vector<std::string> received_;
    std::thread thread_;
};

class BrowserDesktop : public OrvexDesktop {
  protected:
    void SetUp() override {
        OrvexDesktop::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        if (!chromium::findBrowserBinary({"chromium", "google-chrome"}, std::getenv("PATH"))) {
            ORVEX_SKIP_UNLESS_REQUIRED("no Chromium installed");
        }
        profile_ = configHome_ / "orvex" / "browser";
    }
    void TearDown() override {
        // The browser outlives Orvex by design; the test's must not outlive the test.
        if (auto pid = chromium::profileOwner(profile_)) {
            kill(*pid, SIGTERM);
            pumpUntil([&] { return !chromium::profileOwner(profile_); }, 10s);
        }
        OrvexDesktop::TearDown();
    }

    // The scripts' "Google Chrome" in this process, on the profile Orvex would use.
    script::ScriptInterpreter& interpreter() {
        if (!interpreter_) {
            chromium::BrowserOptions options;
            options.searchPath = std::getenv("PATH");
            options.profileDirectory = profile_;
            options.logFile = root_ / "browser.log";
            browser_ = std::make_shared<chromium::ChromiumBrowser>(
                options, clock_, std::make_shared<linux_desktop::X11BrowserWindows>(apps_));
            registry_.add("Google Chrome",
                          std::make_shared<chromium::ChromeApplicationObject>(browser_));
            interpreter_ = std::make_unique<script::ScriptInterpreter>(registry_, clock_, nullptr);
        }
        return *interpreter_;
    }
    // The tab search for a page of `host`; the script's Boolean.
    std::string search(const std::string& host, const std::string& path = "/") {
        ScriptOutcome outcome =
            interpreter().run(chromeOpenOrFocusTabScript(host, pages_.url(host, path)));
        EXPECT_FALSE(outcome.failed) << outcome.errorMessage.value_or("");
        return outcome.stringValue.value_or("");
    }
    std::vector<chromium::BrowserWindow> windows() { return browser_->windows(); }
    std::string frontURL() {
        auto now = windows();
        return now.empty() ? "" : now.front().active().url;
    }

    // What a send that never arrived left behind: Orvex's words and where the browser is.
    std::string undelivered() {
        std::string front;
        try {
            front = frontURL();
        } catch (const std::exception& error) {
            front = std::string("unknown (") + error.what() + ")";
        }
        return output() + errors() + "\nthe browser's front tab: " + front;
    }

    LoopbackPages pages_;
    fs::path profile_;
    script::ScriptableApplicationRegistry registry_;
    std::shared_ptr<chromium::ChromiumBrowser> browser_;
    std::unique_ptr<script::ScriptInterpreter> interpreter_;
};

TEST_F(BrowserDesktop, TheTabSearchStartsReusesAndOpensTabsAndWindows) {
    // Not running: the browser is started and the page opens in a new window.
    EXPECT_EQ(search("chat.localhost"), "false");
    ASSERT_EQ(windows().size(), 1u);
    EXPECT_EQ(windows().front().tabs.size(), 1u);
    // The script only asks for the page; it loads after the script has ended.
    EXPECT_TRUE(pumpUntil([&] { return frontURL() == pages_.url("chat.localhost"); }));

    // The page is the active tab of the front window: reused as it is.
    EXPECT_EQ(search("chat.localhost"), "true");
    ASSERT_EQ(windows().size(), 1u);
    EXPECT_EQ(windows().front().tabs.size(), 1u);

    // No tab of that host: a new tab in the front window.
    EXPECT_EQ(search("gemini.localhost", "/app"), "false");
    ASSERT_EQ(windows().size(), 1u);
    EXPECT_EQ(windows().front().tabs.size(), 2u);
    EXPECT_TRUE(pumpUntil([&] { return frontURL() == pages_.url("gemini.localhost", "/app"); }));

    // A second window in front; the chat page is a background tab of the first window.
    browser_->newWindow(pages_.url("other.localhost"));
    ASSERT_EQ(windows().size(), 2u);
    EXPECT_TRUE(pumpUntil([&] { return frontURL() == pages_.url("other.localhost"); }));
    EXPECT_EQ(search("chat.localhost"), "true");
    auto now = windows();
    ASSERT_EQ(now.size(), 2u);
    EXPECT_EQ(now.front().tabs.size(), 2u) << "no tab was opened";
    EXPECT_EQ(frontURL(), pages_.url("chat.localhost"));

    // The other window's active page, behind: its window comes forward.
    EXPECT_EQ(search("other.localhost"), "true");
    EXPECT_EQ(frontURL(), pages_.url("other.localhost"));
    EXPECT_EQ(windows().size(), 2u);
}

TEST_F(BrowserDesktop, ReadingTheBrowserNeverStartsItAndTheFrontTabIsAskedFor) {
    ScriptOutcome before = interpreter().run(frontTabQueryScript());
    EXPECT_TRUE(before.failed) << "no browser, no front tab";
    EXPECT_FALSE(chromium::profileOwner(profile_)) << "the query started the browser";

    EXPECT_EQ(search("claude.localhost", "/new"), "false");
    ScriptOutcome after = interpreter().run(frontTabQueryScript());
    ASSERT_FALSE(after.failed) << after.errorMessage.value_or("");
    EXPECT_EQ(after.stringValue, pages_.url("claude.localhost", "/new"));
}

// The real Orvex sends to the web pages: the browser is started for the first send (the
// page loads), the open tab is reused for the next; the flavour's input is focused by
// inputaim, the text pasted and sent with Return.
TEST_F(BrowserDesktop, WebSendsPasteIntoTheChatPageAndSend) {
    writeSettings(
        Json::array({preset("claude", "claude-web", "Summarise:"), preset("gemini", "gemini")}));
    extraEnvironment_["ORVEX_TEST_WEB_APPS"] =
        "claude=" + pages_.url("claude.localhost", "/editable/new") +
        ",gemini=" + pages_.url("gemini.localhost", "/app");
    BackgroundChild& source = editor("the selected words");
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(source.pid()); }));
    startOrvex();

    ASSERT_EQ(cli({"preset.execute", "--id", "claude"}), 0);
    ASSERT_TRUE(pumpUntil([&] { return !pages_.received().empty(); }, 40s)) << undelivered();
    EXPECT_EQ(pages_.received().front(), "claude.localhost: Summarise:\nthe selected words");
    EXPECT_NE(output().find("status: Opening the browser…"), std::string::npos) << output();
    EXPECT_NE(output().find("status: Loading the page…"), std::string::npos) << output();

    ASSERT_TRUE(apps_->activate(source.pid()));
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(source.pid()); }));
    ASSERT_EQ(cli({"preset.execute", "--id", "gemini"}), 0);
    ASSERT_TRUE(pumpUntil([&] { return pages_.received().size() == 2; }, 40s)) << undelivered();
    EXPECT_EQ(pages_.received().back(), "gemini.localhost: the selected words");

    // The Claude page is open now: the third send reuses its tab without loading it.
    ASSERT_TRUE(apps_->activate(source.pid()));
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(source.pid()); }));
    const std::string loading = "status: Loading the page…";
    const std::size_t loads = countOf(output(), loading);
    ASSERT_EQ(cli({"preset.execute", "--id", "claude"}), 0);
    ASSERT_TRUE(pumpUntil([&] { return pages_.received().size() == 3; }, 40s)) << undelivered();
    EXPECT_EQ(pages_.received().back(), "claude.localhost: Summarise:\nthe selected words");
    EXPECT_EQ(countOf(output(), loading), loads) << output();
}

TEST_F(BrowserDesktop, AMissingBrowserAndOneOrvexCannotDriveHaveTheirStatuses) {
    writeSettings(Json::array({preset("claude", "claude-web")}));
    BackgroundChild& source = editor("words");
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(source.pid()); }));

    extraEnvironment_["ORVEX_BROWSER"] = "/nonexistent/chromium";
    startOrvex();
    EXPECT_EQ(cli({"preset.execute", "--id", "claude"}), 1) << "the run failed, and says so";
    EXPECT_TRUE(says("status (error): Google Chrome is not installed.")) << output();
    orvex_.reset();
    extraEnvironment_.erase("ORVEX_BROWSER");

    // Chromium on Orvex's profile, started by someone else without a debugging port.
    fs::create_directories(profile_);
    start({"/bin/sh", "-c",
           "chromium --user-data-dir='" + profile_.string() + "' --no-first-run about:blank" +
               (geteuid() == 0 ? " --no-sandbox" : "") + " >/dev/null 2>&1 & echo ready; wait"},
          {});
    ASSERT_TRUE(pumpUntil([&] { return chromium::profileOwner(profile_).has_value(); }, 20s));
    startOrvex();
    EXPECT_EQ(cli({"preset.execute", "--id", "claude"}), 1) << "the run failed, and says so";
    EXPECT_TRUE(says("status (error): Orvex cannot control its browser", 20s)) << output();
}

// Orvex learns from the browser which services the user chats with there: Chromium comes
// to the front on a Claude page with its input focused, and from then on a preset for the
// Claude app sends to that page instead.
TEST_F(BrowserDesktop, TheTrackerLearnsAServiceUsedInTheBrowser) {
    writeSettings(Json::array({preset("claude", "claude-app")}));
    extraEnvironment_["ORVEX_TEST_WEB_APPS"] = "claude=" + pages_.url("claude.localhost", "/new");
    // The Claude app is installed: without what Orvex learns, the preset would go there.
    entry("com.anthropic.claudefordesktop", "Claude", "--record " + chatRecord_.string());
    BackgroundChild& source = editor("learned");
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(source.pid()); }));
    startOrvex();

    // The page opens (its input takes the focus); the browser is checked when it comes to
    // the front, so the user goes back to the editor and then to the browser.
    EXPECT_EQ(search("claude.localhost", "/new"), "false");
    ASSERT_TRUE(pumpUntil([&] { return frontURL() == pages_.url("claude.localhost", "/new"); }));
    ASSERT_TRUE(apps_->activate(source.pid()));
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(source.pid()); }));
    const std::int32_t browser = *chromium::profileOwner(profile_);
    ASSERT_TRUE(apps_->activate(browser));
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(browser); }));
    // The focus poll looks every 0.25 s; on a busy machine the browser's answer takes longer.
    ASSERT_TRUE(pumpUntil(
        [&] {
            return errors().find("Input focused for claude-app in the browser") !=
                   std::string::npos;
        },
        20s))
        << errors();

    ASSERT_TRUE(apps_->activate(source.pid()));
    ASSERT_TRUE(pumpUntil([&] { return frontmostIs(source.pid()); }));
    EXPECT_EQ(cli({"preset.execute", "--id", "claude"}), 0);
    ASSERT_TRUE(pumpUntil([&] { return !pages_.received().empty(); }, 40s)) << output() << errors();
    EXPECT_EQ(pages_.received().front(), "claude.localhost: learned");
    EXPECT_EQ(readText(chatRecord_), "");
}

}  // namespace
}  // namespace orvex::testing
