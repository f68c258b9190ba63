#pragma once

#include <string>

namespace orvex {

// The full usage text, ending in one newline.
std::string usageText();

}  // namespace orvex
