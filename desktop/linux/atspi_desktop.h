#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desktop/accessibility.h"
#include "desktop/linux/atspi_bus.h"
#include "desktop/linux/atspi_tree.h"

namespace orvex::linux_desktop {

struct AtspiOptions {
    std::chrono::milliseconds timeout = AtspiBus::defaultTimeout;
    // Fetch a whole application tree at once on first use. Right for one-shot searches;
    // a long-lived caller forgets trees (forgetTrees) before each new look.
    bool bulkFetch = true;
};

// The applications on the accessibility bus and their trees, shared by the accessibility
// and running-application views of the desktop. Applications are known by process id:
// asking an application object for its name or toolkit can take over a second in a big
// application, while the bus daemon names the process of a connection at once.
class AtspiDesktop {
  public:
    struct Application {
        std::string busName;
        std::int32_t pid = 0;
    };

    // Without an accessibility bus the desktop still exists and every query fails.
    explicit AtspiDesktop(AtspiOptions options = {});

    bool connected() const { return bus_ != nullptr; }
    const std::string& problem() const { return problem_; }

    // Registered applications in the registry's order, one per process.
    std::vector<Application> applications();
    std::optional<Application> applicationOf(std::int32_t pid);
    // The application owning the active window, if any says so; else the application of
    // the process the window system names (some toolkits never mark a window active on the
    // bus, Chromium among them).
    std::optional<Application> frontmost();
    using FrontmostProcess = std::function<std::optional<std::int32_t>()>;
    void setFrontmostProcess(FrontmostProcess frontmostProcess) {
        frontmostProcess_ = std::move(frontmostProcess);
    }

    std::shared_ptr<AtspiApplicationTree> tree(const Application& application);
    AXElementRef applicationElement(std::int32_t pid);
    AtspiBus* bus() { return bus_.get(); }
    void forgetTrees();

  private:
    AtspiOptions options_;
    // Before bus_: connecting writes the reason it failed here.
    std::string problem_;
    std::shared_ptr<AtspiBus> bus_;
    std::map<std::string, std::shared_ptr<AtspiApplicationTree>> trees_;
    FrontmostProcess frontmostProcess_;
};

}  // namespace orvex::linux_desktop
