#include "desktop/linux/atspi_accessibility.h"

#include <dbus/dbus.h>

#include "desktop/linux/atspi_element.h"

namespace orvex::linux_desktop {

namespace {

// The desktop as a whole.
class SystemWideElement : public AXElement {
  public:
    explicit SystemWideElement(std::shared_ptr<AtspiDesktop> desktop)
        : desktop_(std::move(desktop)) {}

    AXResult copyAttribute(const std::string& name) override {
        if (name != "AXFocusedApplication" && name != "AXFocusedUIElement") {
            return {AXError::attributeUnsupported, {}};
        }
        if (!desktop_->connected())
            return {AXError::apiDisabled, {}};
        auto front = desktop_->frontmost();
        if (!front)
            return {AXError::noValue, {}};
        auto app = std::make_shared<AtspiElement>(desktop_->tree(*front), rootPath);
        if (name == "AXFocusedApplication")
            return {AXError::success, AXElementRef(app)};
        auto focused = app->focusedDescendant();
        if (!focused)
            return {AXError::noValue, {}};
        return {AXError::success, focused};
    }
    AXError isAttributeSettable(const std::string&, bool& settable) override {
        settable = false;
        return AXError::success;
    }
    AXError setAttribute(const std::string&, const AXValue&) override {
        return AXError::attributeUnsupported;
    }
    std::int32_t pid() const override { return 0; }
    bool isSame(const AXElement& other) const override { return &other == this; }

  private:
    std::shared_ptr<AtspiDesktop> desktop_;
};

// org.a11y.Status IsEnabled on the session bus; with `enable`, sets it first.
std::optional<bool> toolkitAccessibilityEnabled(bool enable) {
    DBusError error;
    dbus_error_init(&error);
    DBusConnection* session = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
    dbus_error_free(&error);
    if (!session)
        return std::nullopt;
    dbus_connection_set_exit_on_disconnect(session, FALSE);
    const char* interface = "org.a11y.Status";
    const char* property = "IsEnabled";
    if (enable) {
        DBusMessage* set = dbus_message_new_method_call("org.a11y.Bus", "/org/a11y/bus",
                                                        DBUS_INTERFACE_PROPERTIES, "Set");
        DBusMessageIter iter, variant;
        dbus_message_iter_init_append(set, &iter);
        dbus_message_iter_append_basic(&iter, DBUS_TYPE_STRING, &interface);
        dbus_message_iter_append_basic(&iter, DBUS_TYPE_STRING, &property);
        dbus_message_iter_open_container(&iter, DBUS_TYPE_VARIANT, "b", &variant);
        dbus_bool_t on = TRUE;
        dbus_message_iter_append_basic(&variant, DBUS_TYPE_BOOLEAN, &on);
        dbus_message_iter_close_container(&iter, &variant);
        DBusMessage* reply = dbus_connection_send_with_reply_and_block(session, set, 3000, nullptr);
        dbus_message_unref(set);
        if (reply)
            dbus_message_unref(reply);
    }
    DBusMessage* get = dbus_message_new_method_call("org.a11y.Bus", "/org/a11y/bus",
                                                    DBUS_INTERFACE_PROPERTIES, "Get");
    dbus_message_append_args(get, DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING, &property,
                             DBUS_TYPE_INVALID);
    MessagePtr reply =
        adoptMessage(dbus_connection_send_with_reply_and_block(session, get, 3000, nullptr));
    dbus_message_unref(get);
    dbus_connection_close(session);
    dbus_connection_unref(session);
    return readBoolean(reply);
}

}  // namespace

AtspiAccessibility::AtspiAccessibility(std::shared_ptr<AtspiDesktop> desktop)
    : desktop_(std::move(desktop)) {}

bool AtspiAccessibility::isProcessTrusted(bool prompt) {
    if (!desktop_->connected())
        return false;
    auto enabled = toolkitAccessibilityEnabled(false);
    if (enabled && !*enabled && prompt)
        enabled = toolkitAccessibilityEnabled(true);
    // A session without the status property still serves accessibility.
    return enabled.value_or(true);
}

AXElementRef AtspiAccessibility::applicationElement(std::int32_t pid) {
    return desktop_->applicationElement(pid);
}

AXElementRef AtspiAccessibility::systemWideElement() {
    return std::make_shared<SystemWideElement>(desktop_);
}

}  // namespace orvex::linux_desktop
