#pragma once

#include <dbus/dbus.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "desktop/accessibility.h"

namespace orvex::linux_desktop {

// An object on the accessibility bus.
struct ObjectRef {
    std::string busName;
    std::string path;
    bool operator==(const ObjectRef&) const = default;
    auto operator<=>(const ObjectRef&) const = default;
};

inline constexpr const char* rootPath = "/org/a11y/atspi/accessible/root";
inline constexpr const char* nullPath = "/org/a11y/atspi/null";

// Owns one reference to a D-Bus message.
using MessagePtr = std::shared_ptr<DBusMessage>;
MessagePtr adoptMessage(DBusMessage* message);

struct BusReply {
    AXError error = AXError::success;
    MessagePtr message;  // the method return when error is success
    std::string errorName;
    bool ok() const { return error == AXError::success; }
};

struct BusCall {
    std::string destination;
    std::string path;
    const char* interface = nullptr;
    const char* method = nullptr;
    std::function<void(DBusMessageIter*)> appendArguments;
};

// A private connection to the accessibility bus, with a bounded wait on every call.
//
// Calls go straight over the bus instead of through a client library that, on first
// contact, asks every application on the desktop for its whole tree and waits up to 15 s
// on applications it has only just seen. An application that once fails to answer in
// time is not asked again by this connection, so a frozen process costs one time-out per
// run, not one per query.
class AtspiBus {
  public:
    // 3 s: bulk tree requests on large applications take well over a second.
    static constexpr std::chrono::milliseconds defaultTimeout{3000};

    // Connects using AT_SPI_BUS_ADDRESS or the session bus's org.a11y.Bus. Gives
    // nothing, with `problem` set, when there is no accessibility bus.
    static std::shared_ptr<AtspiBus> connect(std::chrono::milliseconds timeout,
                                             std::string* problem);
    ~AtspiBus();
    AtspiBus(const AtspiBus&) = delete;
    AtspiBus& operator=(const AtspiBus&) = delete;

    BusReply call(const BusCall& request);
    // Sends all requests before waiting for any, so a slow application costs one time-out
    // for the batch rather than one per request.
    std::vector<BusReply> callAll(const std::vector<BusCall>& requests);

    bool isUnresponsive(const std::string& busName) const {
        return unresponsive_.count(busName) > 0;
    }
    std::chrono::milliseconds timeout() const { return timeout_; }

    // Applications registered with the accessibility registry, in its order.
    std::vector<ObjectRef> registeredApplications();
    // Process of a bus connection, asked of the bus daemon (never of the application).
    std::optional<std::int32_t> processOf(const std::string& busName);

  private:
    AtspiBus(DBusConnection* connection, std::chrono::milliseconds timeout);
    DBusMessage* newCall(const BusCall& request) const;
    BusReply finish(const std::string& destination, DBusMessage* reply);

    DBusConnection* connection_;
    std::chrono::milliseconds timeout_;
    std::set<std::string> unresponsive_;
};

// Readers for the shapes the accessibility interfaces answer with. Each returns nothing
// when the message does not have the expected signature.
std::optional<ObjectRef> readObjectRef(DBusMessageIter* iter);
std::optional<std::vector<ObjectRef>> readObjectRefs(const MessagePtr& message);
std::optional<std::uint64_t> readStates(DBusMessageIter* iter);
std::optional<std::uint64_t> readStates(const MessagePtr& message);
std::optional<std::uint32_t> readUint32(const MessagePtr& message);
// Also reads a property value, unwrapping the variant of Properties.Get.
std::optional<std::string> readString(const MessagePtr& message);
std::optional<bool> readBoolean(const MessagePtr& message);

// Appends the arguments of org.freedesktop.DBus.Properties.Get.
std::function<void(DBusMessageIter*)> propertyArguments(const char* interface, const char* name);

}  // namespace orvex::linux_desktop
