#include "base/log.h"

#include <sys/uio.h>
#include <syslog.h>
#include <systemd/sd-journal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

namespace orvex {
namespace {

constexpr const char* kIdentifier = "orvex";

// "CommandQueue" of "[CommandQueue] ..."; empty for a line without that prefix.
std::string_view subsystemOf(std::string_view line) {
    if (!line.starts_with('[')) {
        return {};
    }
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) {
        return {};
    }
    std::string_view name = line.substr(1, close - 1);
    const bool wordLike = std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '_' || c == '-' || c == '.';
    });
    return wordLike ? name : std::string_view{};
}

// The lines carry no level of their own. Those that report a failure say so in their
// first word ("Failed to write response", "Cannot start maim", "DECODE FAILED",
// "error: ..."); everything else is information.
int priorityOf(std::string_view line) {
    std::string_view text = line;
    if (const std::string_view subsystem = subsystemOf(line); !subsystem.empty()) {
        text.remove_prefix(std::min(text.size(), subsystem.size() + 2));
    }
    while (text.starts_with(' ')) {
        text.remove_prefix(1);
    }
    std::string start;
    for (char c : text.substr(0, 13)) {
        start += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    for (std::string_view failure : {"fail", "cannot", "error", "decode failed"}) {
        if (start.starts_with(failure)) {
            return LOG_ERR;
        }
    }
    return LOG_INFO;
}

void writeSyslog(int priority, std::string_view line) {
    static std::once_flag opened;
    std::call_once(opened, [] { ::openlog(kIdentifier, LOG_PID, LOG_USER); });
    ::syslog(priority, "%.*s", static_cast<int>(line.size()), line.data());
}

// The native protocol's socket: where it is missing, so is the journal.
bool journalPresent() {
    static const bool present = ::access("/run/systemd/journal/socket", F_OK) == 0;
    return present;
}

}  // namespace

void SystemLogSink::write(std::string_view line) {
    const int priority = priorityOf(line);
    if (journalPresent()) {
        // libsystemd rather than the datagram protocol by hand: it knows the journal's
        // framing for long and multi-line messages, and a real journald in a private mount
        // namespace tests this end to end (app/ui/e2e/journal_e2e_test.sh).
        const std::string message = "MESSAGE=" + std::string(line);
        const std::string level = "PRIORITY=" + std::to_string(priority);
        const std::string_view subsystem = subsystemOf(line);
        const std::string subsystemField = "ORVEX_SUBSYSTEM=" + std::string(subsystem);
        std::array<std::string_view, 4> given{message, level, "SYSLOG_IDENTIFIER=orvex",
                                              subsystemField};
        std::array<iovec, 4> fields{};
        const std::size_t count = subsystem.empty() ? 3 : 4;
        for (std::size_t i = 0; i < count; ++i) {
            fields[i] = iovec{const_cast<char*>(given[i].data()), given[i].size()};
        }
        if (::sd_journal_sendv(fields.data(), static_cast<int>(count)) >= 0) {
            return;
        }
    }
    writeSyslog(priority, line);
}

void StdoutSink::write(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void CapturingLogSink::write(std::string_view line) {
    std::lock_guard lock(mutex_);
    lines_.emplace_back(line);
}

std::vector<std::string> CapturingLogSink::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

bool CapturingLogSink::contains(std::string_view text) const {
    return count(text) > 0;
}

std::size_t CapturingLogSink::count(std::string_view text) const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(std::count_if(lines_.begin(), lines_.end(), [&](auto& line) {
        return line.find(text) != std::string::npos;
    }));
}

void CapturingLogSink::clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
}

namespace log {
namespace {
std::mutex sinkMutex;
std::shared_ptr<LogSink>& systemSlot() {
    static std::shared_ptr<LogSink> sink = std::make_shared<SystemLogSink>();
    return sink;
}
std::shared_ptr<LogSink>& consoleSlot() {
    static std::shared_ptr<LogSink> sink = std::make_shared<StdoutSink>();
    return sink;
}
}  // namespace

void system(std::string_view line) {
    systemSink()->write(line);
}
void console(std::string_view line) {
    consoleSink()->write(line);
}

void setSystemSink(std::shared_ptr<LogSink> sink) {
    std::lock_guard lock(sinkMutex);
    systemSlot() = std::move(sink);
}
void setConsoleSink(std::shared_ptr<LogSink> sink) {
    std::lock_guard lock(sinkMutex);
    consoleSlot() = std::move(sink);
}
std::shared_ptr<LogSink> systemSink() {
    std::lock_guard lock(sinkMutex);
    return systemSlot();
}
std::shared_ptr<LogSink> consoleSink() {
    std::lock_guard lock(sinkMutex);
    return consoleSlot();
}
}  // namespace log

ScopedLogCapture::ScopedLogCapture()
    : previousSystem_(log::systemSink()), previousConsole_(log::consoleSink()) {
    log::setSystemSink(system_);
    log::setConsoleSink(console_);
}

ScopedLogCapture::~ScopedLogCapture() {
    log::setSystemSink(previousSystem_);
    log::setConsoleSink(previousConsole_);
}

}  // namespace orvex
