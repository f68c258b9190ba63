#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/json.h"

namespace orvex {

// Named values for the "${name}" placeholders of a text.
using TextParams = std::map<std::string, std::string>;

// One parsed locale file. Immutable once built, so a table can be shared between threads
// and a language switch replaces the whole table instead of editing it.
class LocaleTable {
  public:
    // The empty table: every lookup answers its key.
    LocaleTable() = default;
    // Anything but a JSON object gives the empty table.
    explicit LocaleTable(Json root);

    // Reads and parses "<directory>/<code>.json". Missing, unreadable, invalid or non-object
    // files give nullopt with the reason in `error`.
    static std::optional<LocaleTable> fromFile(const std::filesystem::path& directory,
                                               std::string_view code, std::string* error = nullptr);

    // The text at the dotted key with its placeholders filled in, or the key itself when
    // the key does not lead to a string.
    std::string text(std::string_view key, const TextParams& params = {}) const;

    const Json& root() const { return root_; }

  private:
    Json root_ = Json::object();
};

// Replaces every "${name}" whose name is in `params` by its value in one pass over
// `text`, so a value that itself contains a placeholder is inserted literally.
std::string fillPlaceholders(std::string_view text, const TextParams& params);

}  // namespace orvex
