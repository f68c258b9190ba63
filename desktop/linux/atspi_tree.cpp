#include "desktop/linux/atspi_tree.h"

#include "desktop/linux/atspi_role_mapping.h"

#include <atspi/atspi-constants.h>

#include <cstring>
#include <utility>

namespace orvex::linux_desktop {

namespace {

constexpr const char* cachePath = "/org/a11y/atspi/cache";

const char* cString(DBusMessageIter* iter) {
    if (dbus_message_iter_get_arg_type(iter) != DBUS_TYPE_STRING)
        return nullptr;
    const char* text = nullptr;
    dbus_message_iter_get_basic(iter, &text);
    return text;
}

std::set<std::string> readInterfaces(DBusMessageIter* iter) {
    std::set<std::string> names;
    if (dbus_message_iter_get_arg_type(iter) != DBUS_TYPE_ARRAY)
        return names;
    DBusMessageIter items;
    dbus_message_iter_recurse(iter, &items);
    while (const char* name = cString(&items)) {
        names.insert(name);
        dbus_message_iter_next(&items);
    }
    return names;
}

// One entry of the bulk answer: object, application, parent, then either index in parent
// and child count, or (older toolkits) the child list; interfaces, name, role,
// description, states.
struct BulkItem {
    ObjectRef object;
    ObjectRef parent;
    int indexInParent = -1;
    int childCount = -1;
    std::optional<std::vector<ObjectRef>> childList;
    std::set<std::string> interfaces;
    std::string name;
    std::uint32_t role = 0;
    std::string description;
    std::uint64_t states = 0;
};

std::optional<BulkItem> readBulkItem(DBusMessageIter* entry) {
    DBusMessageIter f;
    dbus_message_iter_recurse(entry, &f);
    BulkItem item;
    auto object = readObjectRef(&f);
    if (!object)
        return std::nullopt;
    item.object = *object;
    dbus_message_iter_next(&f);
    dbus_message_iter_next(&f);  // application
    auto parent = readObjectRef(&f);
    if (!parent)
        return std::nullopt;
    item.parent = *parent;
    dbus_message_iter_next(&f);
    if (dbus_message_iter_get_arg_type(&f) == DBUS_TYPE_INT32) {
        dbus_int32_t value = 0;
        dbus_message_iter_get_basic(&f, &value);
        item.indexInParent = value;
        dbus_message_iter_next(&f);
        if (dbus_message_iter_get_arg_type(&f) != DBUS_TYPE_INT32)
            return std::nullopt;
        dbus_message_iter_get_basic(&f, &value);
        item.childCount = value;
    } else if (dbus_message_iter_get_arg_type(&f) == DBUS_TYPE_ARRAY) {
        DBusMessageIter refs;
        dbus_message_iter_recurse(&f, &refs);
        item.childList.emplace();
        while (auto ref = readObjectRef(&refs)) {
            item.childList->push_back(*ref);
            dbus_message_iter_next(&refs);
        }
    } else {
        return std::nullopt;
    }
    dbus_message_iter_next(&f);
    item.interfaces = readInterfaces(&f);
    dbus_message_iter_next(&f);
    const char* name = cString(&f);
    if (!name)
        return std::nullopt;
    item.name = name;
    dbus_message_iter_next(&f);
    if (dbus_message_iter_get_arg_type(&f) != DBUS_TYPE_UINT32)
        return std::nullopt;
    dbus_uint32_t role = 0;
    dbus_message_iter_get_basic(&f, &role);
    item.role = role;
    dbus_message_iter_next(&f);
    const char* description = cString(&f);
    if (!description)
        return std::nullopt;
    item.description = description;
    dbus_message_iter_next(&f);
    auto states = readStates(&f);
    if (!states)
        return std::nullopt;
    item.states = *states;
    return item;
}

template <typename T>
Answer<T> failed(AXError error) {
    return Answer<T>{error, T{}};
}

}  // namespace

AtspiApplicationTree::AtspiApplicationTree(std::shared_ptr<AtspiBus> bus, std::string busName,
                                           std::int32_t pid, bool bulkFetch)
    : bus_(std::move(bus)), busName_(std::move(busName)), pid_(pid), bulkFetch_(bulkFetch) {}

BusReply AtspiApplicationTree::ask(const std::string& path, const char* interface,
                                   const char* method,
                                   std::function<void(DBusMessageIter*)> arguments) {
    return bus_->call({busName_, path, interface, method, std::move(arguments)});
}

void AtspiApplicationTree::forget() {
    nodes_.clear();
    snapshotTried_ = false;
}

void AtspiApplicationTree::ensureSnapshot() {
    if (snapshotTried_ || !bulkFetch_)
        return;
    snapshotTried_ = true;
    BusReply reply = ask(cachePath, ATSPI_DBUS_INTERFACE_CACHE, "GetItems");
    if (reply.error == AXError::attributeUnsupported) {
        // The GTK bridge sets up its cache only once a client has asked for its direct
        // connection; asking is enough, the answer goes unused.
        ask(rootPath, ATSPI_DBUS_INTERFACE_APPLICATION, "GetApplicationBusAddress");
        reply = ask(cachePath, ATSPI_DBUS_INTERFACE_CACHE, "GetItems");
    }
    if (!reply.ok())
        return;
    DBusMessageIter iter, entries;
    if (!dbus_message_iter_init(reply.message.get(), &iter) ||
        dbus_message_iter_get_arg_type(&iter) != DBUS_TYPE_ARRAY) {
        return;
    }
    // Children are placed by their index in the parent; a parent whose slots do not all
    // fill up is asked directly later.
    std::map<std::string, std::vector<std::string>> slots;
    std::set<std::string> manages;
    dbus_message_iter_recurse(&iter, &entries);
    while (dbus_message_iter_get_arg_type(&entries) == DBUS_TYPE_STRUCT) {
        auto item = readBulkItem(&entries);
        dbus_message_iter_next(&entries);
        if (!item || item->object.busName != busName_)
            continue;
        AtspiNode& entry = node(item->object.path);
        entry.role = item->role;
        entry.states = item->states;
        entry.name = item->name;
        entry.description = item->description;
        entry.interfaces = item->interfaces;
        if (hasState(item->states, ATSPI_STATE_MANAGES_DESCENDANTS)) {
            manages.insert(item->object.path);
        }
        if (item->childList) {
            std::vector<std::string> paths;
            for (auto& child : *item->childList)
                paths.push_back(child.path);
            slots[item->object.path] = std::move(paths);
        } else if (item->childCount >= 0) {
            slots[item->object.path].resize(static_cast<std::size_t>(item->childCount));
        }
        if (item->indexInParent >= 0 && item->parent.busName == busName_) {
            auto& siblings = slots[item->parent.path];
            auto index = static_cast<std::size_t>(item->indexInParent);
            if (siblings.size() <= index)
                siblings.resize(index + 1);
            siblings[index] = item->object.path;
        }
    }
    for (auto& [path, children] : slots) {
        if (manages.count(path))
            continue;
        bool complete = true;
        for (auto& child : children)
            complete = complete && !child.empty();
        if (complete && nodes_.count(path))
            node(path).children = std::move(children);
    }
}

void AtspiApplicationTree::fetchBasics(const std::vector<std::string>& paths) {
    std::vector<BusCall> calls;
    std::vector<std::string> asked;
    for (const auto& path : paths) {
        AtspiNode& entry = node(path);
        if (entry.role && entry.states)
            continue;
        calls.push_back({busName_, path, ATSPI_DBUS_INTERFACE_ACCESSIBLE, "GetRole", {}});
        calls.push_back({busName_, path, ATSPI_DBUS_INTERFACE_ACCESSIBLE, "GetState", {}});
        asked.push_back(path);
    }
    if (calls.empty())
        return;
    auto replies = bus_->callAll(calls);
    for (std::size_t i = 0; i < asked.size(); ++i) {
        AtspiNode& entry = node(asked[i]);
        if (auto role = readUint32(replies[2 * i].message))
            entry.role = *role;
        if (auto states = readStates(replies[2 * i + 1].message))
            entry.states = *states;
    }
}

Answer<std::uint32_t> AtspiApplicationTree::role(const std::string& path) {
    ensureSnapshot();
    if (!node(path).role)
        fetchBasics({path});
    if (auto role = node(path).role)
        return {AXError::success, *role};
    return failed<std::uint32_t>(bus_->isUnresponsive(busName_) ? AXError::cannotComplete
                                                                : AXError::failure);
}

Answer<std::uint64_t> AtspiApplicationTree::states(const std::string& path) {
    ensureSnapshot();
    if (!node(path).states)
        fetchBasics({path});
    if (auto states = node(path).states)
        return {AXError::success, *states};
    return failed<std::uint64_t>(bus_->isUnresponsive(busName_) ? AXError::cannotComplete
                                                                : AXError::failure);
}

Answer<std::uint64_t> AtspiApplicationTree::freshStates(const std::string& path) {
    return freshStates(std::vector<std::string>{path}).front();
}

std::vector<Answer<std::uint64_t>> AtspiApplicationTree::freshStates(
    const std::vector<std::string>& paths) {
    std::vector<BusCall> calls;
    for (const auto& path : paths) {
        calls.push_back({busName_, path, ATSPI_DBUS_INTERFACE_ACCESSIBLE, "GetState", {}});
    }
    auto replies = bus_->callAll(calls);
    std::vector<Answer<std::uint64_t>> answers;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        auto states = readStates(replies[i].message);
        if (states) {
            node(paths[i]).states = *states;
            answers.push_back({AXError::success, *states});
        } else {
            answers.push_back(
                failed<std::uint64_t>(replies[i].ok() ? AXError::failure : replies[i].error));
        }
    }
    return answers;
}

Answer<std::vector<std::string>> AtspiApplicationTree::children(const std::string& path) {
    ensureSnapshot();
    AtspiNode& entry = node(path);
    if (!entry.children) {
        BusReply reply = ask(path, ATSPI_DBUS_INTERFACE_ACCESSIBLE, "GetChildren");
        if (!reply.ok())
            return failed<std::vector<std::string>>(reply.error);
        auto refs = readObjectRefs(reply.message);
        if (!refs)
            return failed<std::vector<std::string>>(AXError::failure);
        std::vector<std::string> paths;
        for (auto& ref : *refs) {
            // Children living in another process (embedded plugs) are left out.
            if (ref.busName == busName_ && ref.path != nullPath)
                paths.push_back(ref.path);
        }
        fetchBasics(paths);
        node(path).children = std::move(paths);
    }
    return {AXError::success, *node(path).children};
}

Answer<std::string> AtspiApplicationTree::stringProperty(const std::string& path,
                                                         const char* property) {
    BusReply reply = ask(path, DBUS_INTERFACE_PROPERTIES, "Get",
                         propertyArguments(ATSPI_DBUS_INTERFACE_ACCESSIBLE, property));
    if (!reply.ok())
        return failed<std::string>(reply.error);
    auto text = readString(reply.message);
    if (!text)
        return failed<std::string>(AXError::failure);
    return {AXError::success, *text};
}

Answer<std::string> AtspiApplicationTree::name(const std::string& path) {
    if (path != rootPath)
        ensureSnapshot();
    if (!node(path).name) {
        auto answer = stringProperty(path, "Name");
        if (!answer.ok())
            return answer;
        node(path).name = answer.value;
    }
    return {AXError::success, *node(path).name};
}

Answer<std::string> AtspiApplicationTree::description(const std::string& path) {
    ensureSnapshot();
    if (!node(path).description) {
        auto answer = stringProperty(path, "Description");
        if (!answer.ok())
            return answer;
        node(path).description = answer.value;
    }
    return {AXError::success, *node(path).description};
}

bool AtspiApplicationTree::mayOffer(const std::string& path, const char* interface) {
    auto found = nodes_.find(path);
    if (found == nodes_.end() || !found->second.interfaces)
        return true;
    return found->second.interfaces->count(interface) > 0;
}

Answer<ScreenFrame> AtspiApplicationTree::extents(const std::string& path) {
    if (!mayOffer(path, ATSPI_DBUS_INTERFACE_COMPONENT)) {
        return failed<ScreenFrame>(AXError::attributeUnsupported);
    }
    BusReply reply =
        ask(path, ATSPI_DBUS_INTERFACE_COMPONENT, "GetExtents", [](DBusMessageIter* iter) {
            dbus_uint32_t screen = ATSPI_COORD_TYPE_SCREEN;
            dbus_message_iter_append_basic(iter, DBUS_TYPE_UINT32, &screen);
        });
    if (!reply.ok())
        return failed<ScreenFrame>(reply.error);
    if (std::strcmp(dbus_message_get_signature(reply.message.get()), "(iiii)") != 0) {
        return failed<ScreenFrame>(AXError::failure);
    }
    DBusMessageIter iter, fields;
    dbus_message_iter_init(reply.message.get(), &iter);
    dbus_message_iter_recurse(&iter, &fields);
    dbus_int32_t values[4] = {};
    for (auto& value : values) {
        dbus_message_iter_get_basic(&fields, &value);
        dbus_message_iter_next(&fields);
    }
    return {AXError::success, ScreenFrame{double(values[0]), double(values[1]), double(values[2]),
                                          double(values[3])}};
}

Answer<bool> AtspiApplicationTree::grabFocus(const std::string& path) {
    if (!mayOffer(path, ATSPI_DBUS_INTERFACE_COMPONENT)) {
        return failed<bool>(AXError::attributeUnsupported);
    }
    BusReply reply = ask(path, ATSPI_DBUS_INTERFACE_COMPONENT, "GrabFocus");
    if (!reply.ok())
        return failed<bool>(reply.error);
    auto granted = readBoolean(reply.message);
    if (!granted)
        return failed<bool>(AXError::failure);
    return {AXError::success, *granted};
}

Answer<std::map<std::string, std::string>> AtspiApplicationTree::attributes(
    const std::string& path) {
    BusReply reply = ask(path, ATSPI_DBUS_INTERFACE_ACCESSIBLE, "GetAttributes");
    if (!reply.ok())
        return failed<std::map<std::string, std::string>>(reply.error);
    if (std::strcmp(dbus_message_get_signature(reply.message.get()), "a{ss}") != 0) {
        return failed<std::map<std::string, std::string>>(AXError::failure);
    }
    std::map<std::string, std::string> result;
    DBusMessageIter iter, entries;
    dbus_message_iter_init(reply.message.get(), &iter);
    dbus_message_iter_recurse(&iter, &entries);
    while (dbus_message_iter_get_arg_type(&entries) == DBUS_TYPE_DICT_ENTRY) {
        DBusMessageIter pair;
        dbus_message_iter_recurse(&entries, &pair);
        const char* key = cString(&pair);
        dbus_message_iter_next(&pair);
        const char* value = cString(&pair);
        if (key && value)
            result[key] = value;
        dbus_message_iter_next(&entries);
    }
    return {AXError::success, std::move(result)};
}

Answer<std::string> AtspiApplicationTree::text(const std::string& path) {
    if (!mayOffer(path, ATSPI_DBUS_INTERFACE_TEXT)) {
        return failed<std::string>(AXError::attributeUnsupported);
    }
    BusReply reply = ask(path, ATSPI_DBUS_INTERFACE_TEXT, "GetText", [](DBusMessageIter* iter) {
        dbus_int32_t start = 0, end = -1;
        dbus_message_iter_append_basic(iter, DBUS_TYPE_INT32, &start);
        dbus_message_iter_append_basic(iter, DBUS_TYPE_INT32, &end);
    });
    if (!reply.ok())
        return failed<std::string>(reply.error);
    auto value = readString(reply.message);
    if (!value)
        return failed<std::string>(AXError::failure);
    return {AXError::success, *value};
}

Answer<bool> AtspiApplicationTree::setText(const std::string& path, const std::string& text) {
    if (!mayOffer(path, ATSPI_DBUS_INTERFACE_EDITABLE_TEXT)) {
        return failed<bool>(AXError::attributeUnsupported);
    }
    BusReply reply = ask(path, ATSPI_DBUS_INTERFACE_EDITABLE_TEXT, "SetTextContents",
                         [text](DBusMessageIter* iter) {
                             const char* value = text.c_str();
                             dbus_message_iter_append_basic(iter, DBUS_TYPE_STRING, &value);
                         });
    if (!reply.ok())
        return failed<bool>(reply.error);
    auto done = readBoolean(reply.message);
    if (!done)
        return failed<bool>(AXError::failure);
    return {AXError::success, *done};
}

Answer<std::vector<std::string>> AtspiApplicationTree::focusedDescendants(const std::string& path) {
    if (!mayOffer(path, ATSPI_DBUS_INTERFACE_COLLECTION)) {
        return failed<std::vector<std::string>>(AXError::attributeUnsupported);
    }
    // Match rule: states (all of FOCUSED), attributes, roles, interfaces (all empty), no
    // inversion; canonical order, at most 8 matches, searching the whole subtree.
    BusReply reply =
        ask(path, ATSPI_DBUS_INTERFACE_COLLECTION, "GetMatches", [](DBusMessageIter* iter) {
            DBusMessageIter rule, array;
            dbus_int32_t all = ATSPI_Collection_MATCH_ALL;
            dbus_message_iter_open_container(iter, DBUS_TYPE_STRUCT, nullptr, &rule);
            dbus_message_iter_open_container(&rule, DBUS_TYPE_ARRAY, "i", &array);
            dbus_int32_t words[2] = {1 << ATSPI_STATE_FOCUSED, 0};
            for (auto word : words) {
                dbus_message_iter_append_basic(&array, DBUS_TYPE_INT32, &word);
            }
            dbus_message_iter_close_container(&rule, &array);
            dbus_message_iter_append_basic(&rule, DBUS_TYPE_INT32, &all);
            dbus_message_iter_open_container(&rule, DBUS_TYPE_ARRAY, "{ss}", &array);
            dbus_message_iter_close_container(&rule, &array);
            dbus_message_iter_append_basic(&rule, DBUS_TYPE_INT32, &all);
            dbus_message_iter_open_container(&rule, DBUS_TYPE_ARRAY, "i", &array);
            dbus_int32_t none = 0;
            for (int i = 0; i < 4; ++i) {
                dbus_message_iter_append_basic(&array, DBUS_TYPE_INT32, &none);
            }
            dbus_message_iter_close_container(&rule, &array);
            dbus_message_iter_append_basic(&rule, DBUS_TYPE_INT32, &all);
            dbus_message_iter_open_container(&rule, DBUS_TYPE_ARRAY, "s", &array);
            dbus_message_iter_close_container(&rule, &array);
            dbus_message_iter_append_basic(&rule, DBUS_TYPE_INT32, &all);
            dbus_bool_t invert = FALSE;
            dbus_message_iter_append_basic(&rule, DBUS_TYPE_BOOLEAN, &invert);
            dbus_message_iter_close_container(iter, &rule);
            dbus_uint32_t sort = ATSPI_Collection_SORT_ORDER_CANONICAL;
            dbus_int32_t count = 8;
            dbus_bool_t traverse = TRUE;
            dbus_message_iter_append_basic(iter, DBUS_TYPE_UINT32, &sort);
            dbus_message_iter_append_basic(iter, DBUS_TYPE_INT32, &count);
            dbus_message_iter_append_basic(iter, DBUS_TYPE_BOOLEAN, &traverse);
        });
    if (!reply.ok())
        return failed<std::vector<std::string>>(reply.error);
    auto refs = readObjectRefs(reply.message);
    if (!refs)
        return failed<std::vector<std::string>>(AXError::failure);
    std::vector<std::string> paths;
    for (auto& ref : *refs) {
        if (ref.busName == busName_)
            paths.push_back(ref.path);
    }
    return {AXError::success, std::move(paths)};
}

}  // namespace orvex::linux_desktop
