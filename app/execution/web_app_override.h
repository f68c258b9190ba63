#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/execution/execution_config.h"

namespace orvex {

// For tests only: the web apps' addresses replaced by pages the test serves, read from
// ORVEX_TEST_WEB_APPS, "chatgpt=URL,gemini=URL,claude=URL" (any subset). Each service's
// host becomes its URL's host, so the tab search and the tracker recognise the test pages.
// The error names the bad part; the configuration is then unchanged.
std::optional<std::string> applyWebAppOverride(ExecutionConfig& config, std::string_view text);

}  // namespace orvex
