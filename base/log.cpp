#include "base/log.h"

#include <syslog.h>

#include <algorithm>
#include <cstdio>

namespace orvex {

void SyslogSink::write(std::string_view line) {
    static std::once_flag opened;
    std::call_once(opened, [] { ::openlog("orvex", LOG_PID, LOG_USER); });
    ::syslog(LOG_NOTICE, "%.*s", static_cast<int>(line.size()), line.data());
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
    static std::shared_ptr<LogSink> sink = std::make_shared<SyslogSink>();
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
