#pragma once

#include <stdexcept>
#include <string>

namespace orvex {

// A script that failed. Its description is the message itself, which the executor matches
// to pick a status text ("Chrome automation denied", "Chrome not installed", or the
// platform's own message).
class AppleScriptError : public std::runtime_error {
  public:
    static AppleScriptError executionFailed(const std::string& message) {
        return AppleScriptError(message);
    }

    const std::string& message() const { return message_; }
    const std::string& description() const { return message_; }

  private:
    explicit AppleScriptError(const std::string& message)
        : std::runtime_error(message), message_(message) {}

    std::string message_;
};

}  // namespace orvex
