#include "desktop/linux/x11/gio_applications.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <set>

namespace orvex::linux_desktop {

namespace {

std::string takeError(GError* error, const std::string& fallback) {
    if (!error)
        return fallback;
    std::string message = error->message;
    g_error_free(error);
    return message;
}

void rememberPid(GDesktopAppInfo*, GPid pid, gpointer data) {
    *static_cast<std::int32_t*>(data) = static_cast<std::int32_t>(pid);
}

}  // namespace

std::optional<std::string> desktopFileForId(const std::string& id) {
    if (id.empty() || id.find('/') != std::string::npos)
        return std::nullopt;
    GDesktopAppInfo* info = g_desktop_app_info_new((id + ".desktop").c_str());
    if (!info)
        return std::nullopt;
    std::optional<std::string> path;
    if (const char* file = g_desktop_app_info_get_filename(info))
        path = file;
    g_object_unref(info);
    return path;
}

std::optional<std::string> desktopFileForName(const std::string& name) {
    if (name.empty())
        return std::nullopt;
    std::optional<std::string> path;
    GList* all = g_app_info_get_all();
    for (GList* item = all; item && !path; item = item->next) {
        if (!G_IS_DESKTOP_APP_INFO(item->data))
            continue;
        auto* info = G_DESKTOP_APP_INFO(item->data);
        const char* localized = g_app_info_get_name(G_APP_INFO(info));
        char* plain = g_desktop_app_info_get_string(info, "Name");
        bool matches = (localized && name == localized) || (plain && name == plain);
        g_free(plain);
        const char* file = g_desktop_app_info_get_filename(info);
        if (matches && file)
            path = file;
    }
    g_list_free_full(all, g_object_unref);
    return path;
}

std::vector<std::string> applicationNames() {
    std::set<std::string> names;
    GList* all = g_app_info_get_all();
    for (GList* item = all; item; item = item->next) {
        auto* info = G_APP_INFO(item->data);
        const char* name = g_app_info_get_name(info);
        if (name && *name && g_app_info_should_show(info))
            names.insert(name);
    }
    g_list_free_full(all, g_object_unref);
    return {names.begin(), names.end()};
}

LaunchOutcome launchDesktopFile(const std::string& path) {
    LaunchOutcome outcome;
    GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(path.c_str());
    if (!info) {
        outcome.error = "Not an application: " + path;
        return outcome;
    }
    GAppLaunchContext* context = g_app_launch_context_new();
    GError* error = nullptr;
    // Without G_SPAWN_DO_NOT_REAP_CHILD the child is reaped for us; the pid reported is
    // the application's own.
    gboolean launched = g_desktop_app_info_launch_uris_as_manager(
        info, nullptr, context, G_SPAWN_SEARCH_PATH, nullptr, nullptr, rememberPid, &outcome.pid,
        &error);
    if (!launched)
        outcome.error = takeError(error, "Cannot launch " + path);
    else if (error)
        g_error_free(error);
    g_object_unref(context);
    g_object_unref(info);
    return outcome;
}

LaunchOutcome launchExecutable(const std::string& path) {
    LaunchOutcome outcome;
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    GPid pid = 0;
    GError* error = nullptr;
    gboolean spawned = g_spawn_async(nullptr, argv, nullptr, G_SPAWN_STDIN_FROM_DEV_NULL, nullptr,
                                     nullptr, &pid, &error);
    if (!spawned) {
        outcome.error = takeError(error, "Cannot launch " + path);
        return outcome;
    }
    outcome.pid = static_cast<std::int32_t>(pid);
    return outcome;
}

}  // namespace orvex::linux_desktop
