#pragma once

// "Google Chrome" for scripts, on Orvex's Chromium: windows front first, their tabs, the
// active tab, `make new tab` / `make new window`, `set index of w to 1`, `activate`.
// Reading the browser never starts it; `activate` and `make new window` do. Failures read
// like the platform's: a browser that cannot be driven is "not authorized" (-1743), a
// missing one cannot be got (-1728).

#include <memory>
#include <string>

#include "desktop/linux/chromium/chromium_browser.h"
#include "desktop/script/scriptable_object.h"

namespace orvex::chromium {

class ChromeApplicationObject : public script::ScriptObject {
  public:
    static constexpr const char* kName = "Google Chrome";
    explicit ChromeApplicationObject(std::shared_ptr<ChromiumBrowser> browser)
        : browser_(std::move(browser)) {}

    std::string describe() const override;
    std::optional<script::Value> property(const std::string& name) override;
    std::optional<std::vector<script::ObjectRef>> elements(const std::string& className) override;
    std::optional<script::Value> makeNew(const std::string& className,
                                         const script::Record& properties) override;
    std::optional<script::Value> perform(const std::string& command, const script::Value& direct,
                                         const script::Record& labelled) override;
    bool sameObject(const ScriptObject& other) const override;

  private:
    std::shared_ptr<ChromiumBrowser> browser_;
};

class ChromeWindowObject : public script::ScriptObject {
  public:
    ChromeWindowObject(std::shared_ptr<ChromiumBrowser> browser, std::int64_t windowId)
        : browser_(std::move(browser)), windowId_(windowId) {}

    std::string describe() const override;
    std::optional<script::Value> property(const std::string& name) override;
    bool setProperty(const std::string& name, const script::Value& value) override;
    std::optional<std::vector<script::ObjectRef>> elements(const std::string& className) override;
    std::optional<script::Value> makeNew(const std::string& className,
                                         const script::Record& properties) override;
    bool sameObject(const ScriptObject& other) const override;

  private:
    // The window as it is now, with its place from the front (1 is the front window).
    std::pair<BrowserWindow, int> locate() const;

    std::shared_ptr<ChromiumBrowser> browser_;
    std::int64_t windowId_;
};

class ChromeTabObject : public script::ScriptObject {
  public:
    ChromeTabObject(std::shared_ptr<ChromiumBrowser> browser, std::string targetId)
        : browser_(std::move(browser)), targetId_(std::move(targetId)) {}

    std::string describe() const override;
    std::optional<script::Value> property(const std::string& name) override;
    bool setProperty(const std::string& name, const script::Value& value) override;
    bool sameObject(const ScriptObject& other) const override;

  private:
    std::shared_ptr<ChromiumBrowser> browser_;
    std::string targetId_;
};

}  // namespace orvex::chromium
