#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace orvex {

// Where diagnostic lines go. Two channels exist: the system log (lines such as
// "[SettingsManager] Loading from: /path") and standard output (the few failure lines
// such as "Failed to save settings: ..."). Tests swap either for a capturing sink.
class LogSink {
  public:
    virtual ~LogSink() = default;
    virtual void write(std::string_view line) = 0;
};

// The system log: the systemd journal, where a reader filters Orvex's lines by
// SYSLOG_IDENTIFIER=orvex, PRIORITY and ORVEX_SUBSYSTEM (the "CommandQueue" of a
// "[CommandQueue] ..." line); syslog, as "orvex", on a system without a journal.
class SystemLogSink final : public LogSink {
  public:
    void write(std::string_view line) override;
};

class StdoutSink final : public LogSink {
  public:
    void write(std::string_view line) override;
};

class CapturingLogSink final : public LogSink {
  public:
    void write(std::string_view line) override;
    std::vector<std::string> lines() const;
    bool contains(std::string_view text) const;
    std::size_t count(std::string_view text) const;
    void clear();

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};

namespace log {
// One line to the system log.
void system(std::string_view line);
// One line (a newline is added) to standard output.
void console(std::string_view line);

void setSystemSink(std::shared_ptr<LogSink> sink);
void setConsoleSink(std::shared_ptr<LogSink> sink);
std::shared_ptr<LogSink> systemSink();
std::shared_ptr<LogSink> consoleSink();
}  // namespace log

// Installs capturing sinks for both channels for its lifetime (tests).
class ScopedLogCapture {
  public:
    ScopedLogCapture();
    ~ScopedLogCapture();
    ScopedLogCapture(const ScopedLogCapture&) = delete;
    ScopedLogCapture& operator=(const ScopedLogCapture&) = delete;

    CapturingLogSink& system() { return *system_; }
    CapturingLogSink& console() { return *console_; }

  private:
    std::shared_ptr<CapturingLogSink> system_ = std::make_shared<CapturingLogSink>();
    std::shared_ptr<CapturingLogSink> console_ = std::make_shared<CapturingLogSink>();
    std::shared_ptr<LogSink> previousSystem_;
    std::shared_ptr<LogSink> previousConsole_;
};

}  // namespace orvex
