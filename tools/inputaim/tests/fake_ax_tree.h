#pragma once
// A tiny in-memory accessibility tree and workspace for the tests.

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desktop/accessibility.h"
#include "desktop/running_apps.h"

namespace orvex::inputaim::testing {

class FakeElement : public AXElement, public std::enable_shared_from_this<FakeElement> {
  public:
    static std::shared_ptr<FakeElement> make(std::string role = "AXGroup") {
        auto element = std::make_shared<FakeElement>();
        if (!role.empty())
            element->set("AXRole", role);
        return element;
    }
    // A text area with a frame and a description.
    static std::shared_ptr<FakeElement> textArea(double x, double y, double w, double h,
                                                 bool settable = true,
                                                 std::optional<std::string> description = {}) {
        auto element = make("AXTextArea");
        element->setFrame(x, y, w, h);
        element->valueSettable = settable;
        if (description)
            element->set("AXDescription", *description);
        return element;
    }

    FakeElement& set(const std::string& name, AXValue value) {
        attributes[name] = AXResult{AXError::success, std::move(value)};
        return *this;
    }
    FakeElement& fail(const std::string& name, AXError error) {
        attributes[name] = AXResult{error, {}};
        return *this;
    }
    FakeElement& setFrame(double x, double y, double w, double h) {
        set("AXPosition", AXPoint{x, y});
        return set("AXSize", AXSize{w, h});
    }
    std::shared_ptr<FakeElement> add(std::shared_ptr<FakeElement> child) {
        children.push_back(child);
        auto& list = attributes["AXChildren"];
        if (!list.elements())
            list = AXResult{AXError::success, std::vector<AXElementRef>{}};
        std::get<std::vector<AXElementRef>>(list.value).push_back(child);
        return child;
    }

    AXResult copyAttribute(const std::string& name) override {
        ++reads[name];
        auto found = attributes.find(name);
        if (found == attributes.end())
            return {AXError::noValue, {}};
        return found->second;
    }
    AXError isAttributeSettable(const std::string& name, bool& settable) override {
        settable = false;
        if (name != "AXValue")
            return AXError::success;
        if (settableError != AXError::success)
            return settableError;
        settable = valueSettable;
        return AXError::success;
    }
    AXError setAttribute(const std::string& name, const AXValue& value) override {
        if (setError != AXError::success)
            return setError;
        writes.push_back({name, value});
        return AXError::success;
    }
    std::int32_t pid() const override { return 42; }
    bool isSame(const AXElement& other) const override { return &other == this; }

    std::map<std::string, AXResult> attributes;
    std::vector<std::shared_ptr<FakeElement>> children;
    bool valueSettable = false;
    AXError settableError = AXError::success;
    AXError setError = AXError::success;
    std::map<std::string, int> reads;
    std::vector<std::pair<std::string, AXValue>> writes;
};
using FakeElementRef = std::shared_ptr<FakeElement>;

struct FakeApp : RunningApplication {
    FakeApp(std::int32_t pid, std::optional<std::string> bundle, std::optional<std::string> name)
        : pid(pid), bundle(std::move(bundle)), name(std::move(name)) {}
    std::int32_t processIdentifier() const override { return pid; }
    std::optional<std::string> bundleIdentifier() const override { return bundle; }
    std::optional<std::string> localizedName() const override { return name; }
    bool isTerminated() const override { return terminated; }
    bool activate(bool) override { return true; }
    std::int32_t pid;
    std::optional<std::string> bundle, name;
    bool terminated = false;
};

struct FakeWorkspace : RunningApplications {
    RunningApplicationRef frontmostApplication() override { return frontmost; }
    std::vector<RunningApplicationRef> runningApplications() override { return apps; }
    std::vector<RunningApplicationRef> runningApplications(const std::string& bundle) override {
        std::vector<RunningApplicationRef> matching;
        std::ranges::copy_if(apps, std::back_inserter(matching),
                             [&](auto& app) { return app->bundleIdentifier() == bundle; });
        return matching;
    }
    RunningApplicationRef frontmost;
    std::vector<RunningApplicationRef> apps;
};

class FakeAccessibility : public Accessibility {
  public:
    bool isProcessTrusted(bool) override { return true; }
    AXElementRef applicationElement(std::int32_t pid) override {
        auto found = elements.find(pid);
        return found == elements.end() ? nullptr : found->second;
    }
    AXElementRef systemWideElement() override { return nullptr; }
    std::map<std::int32_t, AXElementRef> elements;
};

}  // namespace orvex::inputaim::testing
