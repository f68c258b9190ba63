#pragma once

#include <string>
#include <vector>

namespace orvex {

// The full usage text, ending in one newline.
std::string usageText();

struct ListedAction {
    std::string name;
    std::string description;
};

// The actions the usage text lists, in its order, each once with its first description.
std::vector<ListedAction> listedActions();

}  // namespace orvex
