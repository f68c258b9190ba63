#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "app/store/app_state.h"

namespace orvex {

// Orvex has no window yet, so its status line is written out: every status the state
// takes becomes one line ("status: …", or "status (error): …" when flagged), which is
// what the user running it from a terminal, and the desktop tests, can follow.
class StatusLineEcho {
  public:
    using Writer = std::function<void(std::string_view line)>;

    StatusLineEcho(AppState& state, Writer writer);
    ~StatusLineEcho();
    StatusLineEcho(const StatusLineEcho&) = delete;
    StatusLineEcho& operator=(const StatusLineEcho&) = delete;

    static std::string lineFor(const std::string& message, bool isError);

  private:
    AppState& state_;
    AppState::ObserverId observer_;
};

}  // namespace orvex
