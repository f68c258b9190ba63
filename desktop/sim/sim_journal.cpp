#include "desktop/sim/sim_journal.h"

namespace orvex {

void SimJournal::record(const std::string& event, std::int64_t milliseconds, Json fields) {
    Json entry = fields.is_object() ? std::move(fields) : Json::object();
    entry["event"] = event;
    entry["t"] = milliseconds;
    if (mirror_.is_open()) {
        mirror_ << line(entry) << '\n';
        mirror_.flush();
    }
    entries_.push_back(std::move(entry));
}

std::vector<std::string> SimJournal::lines() const {
    std::vector<std::string> result;
    result.reserve(entries_.size());
    for (const Json& entry : entries_)
        result.push_back(line(entry));
    return result;
}

std::optional<std::string> SimJournal::mirrorTo(const std::filesystem::path& path) {
    std::ofstream file(path, std::ios::app);
    if (!file)
        return "cannot open journal file " + path.string();
    mirror_ = std::move(file);
    return std::nullopt;
}

std::string SimJournal::line(const Json& entry) {
    // Invalid UTF-8 from a test's text must not throw here; replace it instead.
    return entry.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace orvex
