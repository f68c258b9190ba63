#pragma once

#include <string_view>

#include "app/execution/execution_context.h"
#include "app/i18n/locale_table.h"

namespace orvex {

// Shows the localized text of `key` in the status line (from any thread).
void setStatusKey(const ExecutionContext& context, std::string_view key, bool isError,
                  const TextParams& params = {});

// Asks the application shell to bring the main window forward, so that the user sees an
// error in the status line.
void postShowMainWindow(const ExecutionContext& context);

}  // namespace orvex
