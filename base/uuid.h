#pragma once

#include <string>

namespace orvex {

// A fresh random UUID in canonical upper-case 8-4-4-4-12 form.
std::string newUuid();

}  // namespace orvex
