#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "desktop/linux/atspi_bus.h"

namespace orvex::linux_desktop {

template <typename T>
struct Answer {
    AXError error = AXError::success;
    T value{};
    bool ok() const { return error == AXError::success; }
};

struct ScreenFrame {
    double x = 0, y = 0, width = 0, height = 0;
};

// What is known about one accessible object of an application.
struct AtspiNode {
    std::optional<std::uint32_t> role;
    std::optional<std::uint64_t> states;
    std::optional<std::vector<std::string>> children;  // paths; same application
    std::optional<std::string> name;
    std::optional<std::string> description;
    std::optional<std::set<std::string>> interfaces;
};

// One application's accessibility tree as seen by this process.
//
// Walking a big tree one query at a time costs seconds, so the first structural question
// fetches the whole tree in one request (the cache interface toolkits offer) and answers
// roles, children, names and descriptions from it. States that change under the user
// (focused, active, showing, minimized) are always asked afresh. Objects the bulk answer
// leaves out (toolkits without it, or descendants their parent manages itself) are asked
// for directly, their children's roles and states in one batch.
class AtspiApplicationTree {
  public:
    AtspiApplicationTree(std::shared_ptr<AtspiBus> bus, std::string busName, std::int32_t pid,
                         bool bulkFetch);

    const std::string& busName() const { return busName_; }
    std::int32_t pid() const { return pid_; }
    AtspiBus& bus() { return *bus_; }

    Answer<std::uint32_t> role(const std::string& path);
    Answer<std::uint64_t> states(const std::string& path);
    Answer<std::uint64_t> freshStates(const std::string& path);
    std::vector<Answer<std::uint64_t>> freshStates(const std::vector<std::string>& paths);
    Answer<std::vector<std::string>> children(const std::string& path);
    Answer<std::string> name(const std::string& path);
    Answer<std::string> description(const std::string& path);
    // False only when the object is known not to offer the interface.
    bool mayOffer(const std::string& path, const char* interface);

    Answer<ScreenFrame> extents(const std::string& path);
    Answer<bool> grabFocus(const std::string& path);
    Answer<std::map<std::string, std::string>> attributes(const std::string& path);
    Answer<std::string> text(const std::string& path);
    Answer<bool> setText(const std::string& path, const std::string& text);
    // Objects under `path` with the FOCUSED state, in document order; attributeUnsupported
    // when the toolkit has no collection interface there.
    Answer<std::vector<std::string>> focusedDescendants(const std::string& path);

    // Drops everything known; the next question fetches the tree again.
    void forget();

  private:
    AtspiNode& node(const std::string& path) { return nodes_[path]; }
    void ensureSnapshot();
    void fetchBasics(const std::vector<std::string>& paths);
    BusReply ask(const std::string& path, const char* interface, const char* method,
                 std::function<void(DBusMessageIter*)> arguments = {});
    Answer<std::string> stringProperty(const std::string& path, const char* property);

    std::shared_ptr<AtspiBus> bus_;
    std::string busName_;
    std::int32_t pid_;
    bool bulkFetch_;
    bool snapshotTried_ = false;
    std::map<std::string, AtspiNode> nodes_;
};

}  // namespace orvex::linux_desktop
