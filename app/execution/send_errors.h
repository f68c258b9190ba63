#pragma once

#include <stdexcept>
#include <string>

namespace orvex {

// Failures of the preset actions that the executor turns into a status message by looking
// at description(). what() gives the same text.
class ActionError : public std::runtime_error {
  public:
    explicit ActionError(const std::string& description) : std::runtime_error(description) {}
    std::string description() const { return what(); }
};

// The destination's message input could not be focused.
class SendError : public ActionError {
  public:
    enum class Kind { inputFieldNotFound };

    static SendError inputFieldNotFound() { return SendError(Kind::inputFieldNotFound); }
    Kind kind() const { return kind_; }

  private:
    explicit SendError(Kind kind) : ActionError("input field not found"), kind_(kind) {}
    Kind kind_;
};

// No text input could be found in a browser (or the last-input target); the pipeline then
// tries its fallback destination.
class GenericSendError : public ActionError {
  public:
    enum class Kind { inputFieldNotFound };

    static GenericSendError inputFieldNotFound() {
        return GenericSendError(Kind::inputFieldNotFound);
    }
    Kind kind() const { return kind_; }

  private:
    explicit GenericSendError(Kind kind)
        : ActionError("browser input field not found"), kind_(kind) {}
    Kind kind_;
};

// The user dismissed the screen selection.
class CaptureError : public ActionError {
  public:
    enum class Kind { cancelled };

    static CaptureError cancelled() { return CaptureError(Kind::cancelled); }
    Kind kind() const { return kind_; }

  private:
    explicit CaptureError(Kind kind) : ActionError("capture cancelled"), kind_(kind) {}
    Kind kind_;
};

// An application that should be launched is not installed. Domain "AISendAction", code -1.
class AppNotFoundError : public ActionError {
  public:
    static constexpr const char* kDomain = "AISendAction";
    static constexpr int kCode = -1;

    // `name` is the bundle identifier, or the application name for a lookup by name.
    explicit AppNotFoundError(const std::string& name)
        : ActionError("App not found: " + name), name_(name) {}
    const std::string& name() const { return name_; }
    const char* domain() const { return kDomain; }
    int code() const { return kCode; }

  private:
    std::string name_;
};

// A launch the workspace refused; its description is the workspace's own message.
class LaunchError : public ActionError {
  public:
    explicit LaunchError(const std::string& description) : ActionError(description) {}
};

}  // namespace orvex
