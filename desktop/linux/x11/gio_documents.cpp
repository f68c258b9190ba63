#include "desktop/linux/x11/gio_documents.h"

#include <gio/gio.h>

#include <filesystem>

#include "base/log.h"

namespace orvex::linux_desktop {

namespace {

void logError(const std::string& what, GError* error) {
    if (error) {
        log::system("[Workspace] " + what + ": " + error->message);
        g_error_free(error);
    }
}

std::string fileUri(const std::string& path) {
    GFile* file = g_file_new_for_path(path.c_str());
    char* uri = g_file_get_uri(file);
    std::string out = uri ? uri : "";
    g_free(uri);
    g_object_unref(file);
    return out;
}

bool launchDefault(const std::string& uri) {
    GError* error = nullptr;
    gboolean launched = g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error);
    logError("Cannot open " + uri, error);
    return launched;
}

bool callFileManager1(const std::string& uri) {
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (!bus) {
        logError("No session bus for the file manager", error);
        return false;
    }
    const char* uris[] = {uri.c_str(), nullptr};
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
        "org.freedesktop.FileManager1", "ShowFolders", g_variant_new("(^ass)", uris, ""), nullptr,
        G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, &error);
    g_object_unref(bus);
    if (!reply) {
        logError("org.freedesktop.FileManager1 did not show the folder", error);
        return false;
    }
    g_variant_unref(reply);
    return true;
}

}  // namespace

std::string entryIdFromFileName(const std::string& desktopFileId) {
    static const std::string suffix = ".desktop";
    if (desktopFileId.size() > suffix.size() && desktopFileId.ends_with(suffix))
        return desktopFileId.substr(0, desktopFileId.size() - suffix.size());
    return desktopFileId;
}

bool openFileWithDefault(const std::string& path) {
    std::error_code error;
    if (path.empty() || !std::filesystem::exists(path, error))
        return false;
    return launchDefault(fileUri(path));
}

bool openUrlWithDefault(const std::string& url) {
    if (url.empty())
        return false;
    return launchDefault(url);
}

bool showFolderInFileManager(const std::string& folderPath) {
    std::error_code error;
    if (!std::filesystem::is_directory(folderPath, error))
        return false;
    const std::string uri = fileUri(folderPath);
    if (callFileManager1(uri))
        return true;
    GAppInfo* handler = g_app_info_get_default_for_type("inode/directory", FALSE);
    if (!handler)
        return false;
    GList uris{const_cast<char*>(uri.c_str()), nullptr, nullptr};
    GError* launchError = nullptr;
    gboolean launched = g_app_info_launch_uris(handler, &uris, nullptr, &launchError);
    logError("Cannot show " + folderPath, launchError);
    g_object_unref(handler);
    return launched;
}

std::vector<std::string> httpsHandlerIds() {
    std::vector<std::string> ids;
    GList* handlers = g_app_info_get_all_for_type("x-scheme-handler/https");
    for (GList* item = handlers; item; item = item->next) {
        const char* id = g_app_info_get_id(G_APP_INFO(item->data));
        if (id)
            ids.push_back(entryIdFromFileName(id));
    }
    g_list_free_full(handlers, g_object_unref);
    return ids;
}

std::string fileManagerId() {
    GAppInfo* handler = g_app_info_get_default_for_type("inode/directory", FALSE);
    if (!handler)
        return {};
    const char* id = g_app_info_get_id(handler);
    std::string out = id ? entryIdFromFileName(id) : "";
    g_object_unref(handler);
    return out;
}

}  // namespace orvex::linux_desktop
