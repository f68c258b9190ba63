#include "desktop/linux/atspi_bus.h"

#include <cstdlib>
#include <cstring>

namespace orvex::linux_desktop {

namespace {

constexpr const char* registryName = "org.a11y.atspi.Registry";
constexpr const char* accessibleInterface = "org.a11y.atspi.Accessible";

struct ScopedError {
    DBusError error;
    ScopedError() { dbus_error_init(&error); }
    ~ScopedError() { dbus_error_free(&error); }
    bool isSet() const { return dbus_error_is_set(&error); }
};

bool sameName(const char* name, const char* expected) {
    return name && std::strcmp(name, expected) == 0;
}

bool isTimeout(const char* name) {
    return sameName(name, DBUS_ERROR_NO_REPLY) || sameName(name, DBUS_ERROR_TIMEOUT) ||
           sameName(name, DBUS_ERROR_TIMED_OUT);
}

AXError errorFor(const char* name) {
    if (isTimeout(name))
        return AXError::cannotComplete;
    if (sameName(name, DBUS_ERROR_SERVICE_UNKNOWN) ||
        sameName(name, DBUS_ERROR_NAME_HAS_NO_OWNER) || sameName(name, DBUS_ERROR_DISCONNECTED)) {
        return AXError::invalidElement;
    }
    if (sameName(name, DBUS_ERROR_UNKNOWN_METHOD) || sameName(name, DBUS_ERROR_UNKNOWN_INTERFACE) ||
        sameName(name, DBUS_ERROR_UNKNOWN_OBJECT) || sameName(name, DBUS_ERROR_UNKNOWN_PROPERTY)) {
        return AXError::attributeUnsupported;
    }
    return AXError::failure;
}

int milliseconds(std::chrono::milliseconds timeout) {
    return static_cast<int>(timeout.count());
}

std::optional<std::string> accessibilityBusAddress(std::chrono::milliseconds timeout,
                                                   std::string* problem) {
    if (const char* address = std::getenv("AT_SPI_BUS_ADDRESS"); address && *address) {
        return std::string(address);
    }
    ScopedError error;
    DBusConnection* session = dbus_bus_get_private(DBUS_BUS_SESSION, &error.error);
    if (!session) {
        if (problem)
            *problem = std::string("no session bus: ") + error.error.message;
        return std::nullopt;
    }
    dbus_connection_set_exit_on_disconnect(session, FALSE);
    DBusMessage* call =
        dbus_message_new_method_call("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress");
    DBusMessage* reply = dbus_connection_send_with_reply_and_block(
        session, call, milliseconds(timeout), &error.error);
    dbus_message_unref(call);
    std::optional<std::string> address;
    const char* text = nullptr;
    if (reply &&
        dbus_message_get_args(reply, nullptr, DBUS_TYPE_STRING, &text, DBUS_TYPE_INVALID) && text &&
        *text) {
        address = text;
    } else if (problem) {
        *problem = std::string("no accessibility bus: ") +
                   (error.isSet() ? error.error.message : "empty address");
    }
    if (reply)
        dbus_message_unref(reply);
    dbus_connection_close(session);
    dbus_connection_unref(session);
    return address;
}

}  // namespace

MessagePtr adoptMessage(DBusMessage* message) {
    return MessagePtr(message, [](DBusMessage* m) {
        if (m)
            dbus_message_unref(m);
    });
}

std::shared_ptr<AtspiBus> AtspiBus::connect(std::chrono::milliseconds timeout,
                                            std::string* problem) {
    auto address = accessibilityBusAddress(timeout, problem);
    if (!address)
        return nullptr;
    ScopedError error;
    DBusConnection* connection = dbus_connection_open_private(address->c_str(), &error.error);
    if (!connection) {
        if (problem)
            *problem = std::string("cannot open the accessibility bus: ") + error.error.message;
        return nullptr;
    }
    dbus_connection_set_exit_on_disconnect(connection, FALSE);
    if (!dbus_bus_register(connection, &error.error)) {
        if (problem)
            *problem = std::string("cannot join the accessibility bus: ") + error.error.message;
        dbus_connection_close(connection);
        dbus_connection_unref(connection);
        return nullptr;
    }
    return std::shared_ptr<AtspiBus>(new AtspiBus(connection, timeout));
}

AtspiBus::AtspiBus(DBusConnection* connection, std::chrono::milliseconds timeout)
    : connection_(connection), timeout_(timeout) {}

AtspiBus::~AtspiBus() {
    dbus_connection_close(connection_);
    dbus_connection_unref(connection_);
}

DBusMessage* AtspiBus::newCall(const BusCall& request) const {
    DBusMessage* message = dbus_message_new_method_call(
        request.destination.c_str(), request.path.c_str(), request.interface, request.method);
    if (message && request.appendArguments) {
        DBusMessageIter iter;
        dbus_message_iter_init_append(message, &iter);
        request.appendArguments(&iter);
    }
    return message;
}

BusReply AtspiBus::finish(const std::string& destination, DBusMessage* reply) {
    BusReply result;
    if (!reply) {
        result.error = AXError::cannotComplete;
        return result;
    }
    result.message = adoptMessage(reply);
    if (dbus_message_get_type(reply) == DBUS_MESSAGE_TYPE_ERROR) {
        const char* name = dbus_message_get_error_name(reply);
        result.errorName = name ? name : "";
        result.error = errorFor(name);
        result.message.reset();
        if (isTimeout(name))
            unresponsive_.insert(destination);
    }
    return result;
}

BusReply AtspiBus::call(const BusCall& request) {
    return callAll({request}).front();
}

std::vector<BusReply> AtspiBus::callAll(const std::vector<BusCall>& requests) {
    std::vector<BusReply> replies(requests.size());
    std::vector<DBusPendingCall*> pending(requests.size(), nullptr);
    for (std::size_t i = 0; i < requests.size(); ++i) {
        if (isUnresponsive(requests[i].destination)) {
            replies[i].error = AXError::cannotComplete;
            continue;
        }
        DBusMessage* message = newCall(requests[i]);
        if (!message ||
            !dbus_connection_send_with_reply(connection_, message, &pending[i],
                                             milliseconds(timeout_)) ||
            !pending[i]) {
            replies[i].error = dbus_connection_get_is_connected(connection_) ? AXError::failure
                                                                             : AXError::apiDisabled;
        }
        if (message)
            dbus_message_unref(message);
    }
    for (std::size_t i = 0; i < requests.size(); ++i) {
        if (!pending[i])
            continue;
        dbus_pending_call_block(pending[i]);
        DBusMessage* reply = dbus_pending_call_steal_reply(pending[i]);
        dbus_pending_call_unref(pending[i]);
        replies[i] = finish(requests[i].destination, reply);
    }
    return replies;
}

std::vector<ObjectRef> AtspiBus::registeredApplications() {
    BusReply reply = call({registryName, rootPath, accessibleInterface, "GetChildren", {}});
    if (!reply.ok())
        return {};
    return readObjectRefs(reply.message).value_or(std::vector<ObjectRef>{});
}

std::optional<std::int32_t> AtspiBus::processOf(const std::string& busName) {
    std::string name = busName;
    BusReply reply = call({DBUS_SERVICE_DBUS, DBUS_PATH_DBUS, DBUS_INTERFACE_DBUS,
                           "GetConnectionUnixProcessID", [name](DBusMessageIter* iter) {
                               const char* text = name.c_str();
                               dbus_message_iter_append_basic(iter, DBUS_TYPE_STRING, &text);
                           }});
    if (!reply.ok())
        return std::nullopt;
    auto pid = readUint32(reply.message);
    if (!pid || *pid == 0)
        return std::nullopt;
    return static_cast<std::int32_t>(*pid);
}

std::optional<ObjectRef> readObjectRef(DBusMessageIter* iter) {
    if (dbus_message_iter_get_arg_type(iter) != DBUS_TYPE_STRUCT)
        return std::nullopt;
    DBusMessageIter fields;
    dbus_message_iter_recurse(iter, &fields);
    if (dbus_message_iter_get_arg_type(&fields) != DBUS_TYPE_STRING)
        return std::nullopt;
    const char* name = nullptr;
    dbus_message_iter_get_basic(&fields, &name);
    dbus_message_iter_next(&fields);
    if (dbus_message_iter_get_arg_type(&fields) != DBUS_TYPE_OBJECT_PATH)
        return std::nullopt;
    const char* path = nullptr;
    dbus_message_iter_get_basic(&fields, &path);
    return ObjectRef{name, path};
}

std::optional<std::vector<ObjectRef>> readObjectRefs(const MessagePtr& message) {
    if (!message || std::strcmp(dbus_message_get_signature(message.get()), "a(so)") != 0) {
        return std::nullopt;
    }
    DBusMessageIter iter, items;
    dbus_message_iter_init(message.get(), &iter);
    dbus_message_iter_recurse(&iter, &items);
    std::vector<ObjectRef> refs;
    while (dbus_message_iter_get_arg_type(&items) == DBUS_TYPE_STRUCT) {
        if (auto ref = readObjectRef(&items))
            refs.push_back(*ref);
        dbus_message_iter_next(&items);
    }
    return refs;
}

std::optional<std::uint64_t> readStates(DBusMessageIter* iter) {
    if (dbus_message_iter_get_arg_type(iter) != DBUS_TYPE_ARRAY ||
        dbus_message_iter_get_element_type(iter) != DBUS_TYPE_UINT32) {
        return std::nullopt;
    }
    DBusMessageIter words;
    dbus_message_iter_recurse(iter, &words);
    std::uint64_t states = 0;
    for (int shift = 0; shift < 64 && dbus_message_iter_get_arg_type(&words) == DBUS_TYPE_UINT32;
         shift += 32) {
        dbus_uint32_t word = 0;
        dbus_message_iter_get_basic(&words, &word);
        states |= static_cast<std::uint64_t>(word) << shift;
        dbus_message_iter_next(&words);
    }
    return states;
}

std::optional<std::uint64_t> readStates(const MessagePtr& message) {
    if (!message)
        return std::nullopt;
    DBusMessageIter iter;
    if (!dbus_message_iter_init(message.get(), &iter))
        return std::nullopt;
    return readStates(&iter);
}

namespace {
template <typename T>
std::optional<T> readBasic(const MessagePtr& message, int type) {
    if (!message)
        return std::nullopt;
    DBusMessageIter iter;
    if (!dbus_message_iter_init(message.get(), &iter))
        return std::nullopt;
    if (dbus_message_iter_get_arg_type(&iter) == DBUS_TYPE_VARIANT) {
        DBusMessageIter inner;
        dbus_message_iter_recurse(&iter, &inner);
        iter = inner;
    }
    if (dbus_message_iter_get_arg_type(&iter) != type)
        return std::nullopt;
    T value{};
    dbus_message_iter_get_basic(&iter, &value);
    return value;
}
}  // namespace

std::optional<std::uint32_t> readUint32(const MessagePtr& message) {
    return readBasic<dbus_uint32_t>(message, DBUS_TYPE_UINT32);
}

std::optional<std::string> readString(const MessagePtr& message) {
    auto text = readBasic<const char*>(message, DBUS_TYPE_STRING);
    if (!text || !*text)
        return text ? std::optional<std::string>("") : std::nullopt;
    return std::string(*text);
}

std::optional<bool> readBoolean(const MessagePtr& message) {
    auto value = readBasic<dbus_bool_t>(message, DBUS_TYPE_BOOLEAN);
    if (!value)
        return std::nullopt;
    return *value != 0;
}

std::function<void(DBusMessageIter*)> propertyArguments(const char* interface, const char* name) {
    return [interface, name](DBusMessageIter* iter) {
        dbus_message_iter_append_basic(iter, DBUS_TYPE_STRING, &interface);
        dbus_message_iter_append_basic(iter, DBUS_TYPE_STRING, &name);
    };
}

}  // namespace orvex::linux_desktop
