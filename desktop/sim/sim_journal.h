#pragma once

// The journal of a simulated desktop: one JSON object per observable event, in the order
// the events happened, each with "event" (its kind) and "t" (milliseconds of desktop time
// since the desktop was made). Keys are sorted, so equal runs give equal lines.

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "base/json.h"

namespace orvex {

class SimJournal {
  public:
    // Appends one event; `fields` (an object) gives everything but "event" and "t".
    void record(const std::string& event, std::int64_t milliseconds, Json fields);
    const std::vector<Json>& entries() const { return entries_; }
    std::vector<std::string> lines() const;
    // Mirrors every later entry into `path` (appending). An error text when it cannot open.
    std::optional<std::string> mirrorTo(const std::filesystem::path& path);

    // The one-line form of an entry.
    static std::string line(const Json& entry);

  private:
    std::vector<Json> entries_;
    std::ofstream mirror_;
};

}  // namespace orvex
