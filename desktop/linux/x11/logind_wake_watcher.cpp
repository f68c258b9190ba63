#include "desktop/linux/x11/logind_wake_watcher.h"

#include <gio/gio.h>

namespace orvex::linux_desktop {

namespace {

void onPrepareForSleep(GDBusConnection*, const char*, const char*, const char*, const char*,
                       GVariant* parameters, gpointer data) {
    gboolean goingToSleep = TRUE;
    if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(b)")))
        return;
    g_variant_get(parameters, "(b)", &goingToSleep);
    if (!goingToSleep)
        (*static_cast<std::function<void()>*>(data))();
}

}  // namespace

LogindWakeWatcher::LogindWakeWatcher(std::function<void()> onWake) : onWake_(std::move(onWake)) {
    GError* error = nullptr;
    // A private connection: the shared one would deliver signals to whichever context
    // first asked for it.
    char* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SYSTEM, nullptr, &error);
    if (address) {
        bus_ = g_dbus_connection_new_for_address_sync(
            address,
            static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                              G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, &error);
        g_free(address);
    }
    if (!bus_) {
        problem_ = std::string("no system bus, so no wake events: ") +
                   (error ? error->message : "unknown reason");
        if (error)
            g_error_free(error);
        return;
    }
    context_ = g_main_context_new();
    loop_ = g_main_loop_new(context_, FALSE);
    // Signal callbacks run in the context that was the thread default when subscribing.
    g_main_context_push_thread_default(context_);
    subscription_ = g_dbus_connection_signal_subscribe(
        bus_, "org.freedesktop.login1", "org.freedesktop.login1.Manager", "PrepareForSleep",
        "/org/freedesktop/login1", nullptr, G_DBUS_SIGNAL_FLAGS_NONE, onPrepareForSleep, &onWake_,
        nullptr);
    g_main_context_pop_thread_default(context_);
    thread_ = std::thread([this] {
        g_main_context_push_thread_default(context_);
        g_main_loop_run(loop_);
        g_main_context_pop_thread_default(context_);
    });
}

LogindWakeWatcher::~LogindWakeWatcher() {
    if (!bus_)
        return;
    // Quitting from inside the loop also covers a loop that has not started running yet.
    GSource* stop = g_idle_source_new();
    g_source_set_callback(
        stop,
        [](gpointer loop) -> gboolean {
            g_main_loop_quit(static_cast<GMainLoop*>(loop));
            return G_SOURCE_REMOVE;
        },
        loop_, nullptr);
    g_source_attach(stop, context_);
    g_source_unref(stop);
    if (thread_.joinable())
        thread_.join();
    g_dbus_connection_signal_unsubscribe(bus_, subscription_);
    g_dbus_connection_close_sync(bus_, nullptr, nullptr);
    g_object_unref(bus_);
    g_main_loop_unref(loop_);
    g_main_context_unref(context_);
}

}  // namespace orvex::linux_desktop
