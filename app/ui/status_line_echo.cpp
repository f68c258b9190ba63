#include "app/ui/status_line_echo.h"

namespace orvex {

StatusLineEcho::StatusLineEcho(AppState& state, Writer writer) : state_(state) {
    // The flag is assigned after the message, so its change sees the whole status.
    observer_ = state_.addObserver(
        {.willChange = {}, .didChange = [this, writer = std::move(writer)](StateField field) {
             if (field == StateField::statusIsError && !state_.statusMessage().empty()) {
                 writer(lineFor(state_.statusMessage(), state_.statusIsError()));
             }
         }});
}

StatusLineEcho::~StatusLineEcho() {
    state_.removeObserver(observer_);
}

std::string StatusLineEcho::lineFor(const std::string& message, bool isError) {
    // One status, one line: a message with line breaks (an error with its details) must
    // not read as several statuses.
    std::string flat = message;
    for (char& c : flat) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return (isError ? "status (error): " : "status: ") + flat;
}

}  // namespace orvex
