#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvex {

// The host of an absolute URL with an authority ("https://user@chat.example:8443/x" gives
// "chat.example"; an IPv6 literal comes without its brackets). None when the text is not
// such a URL or its host is empty. The host is returned as written.
std::optional<std::string> urlHost(std::string_view url);

}  // namespace orvex
