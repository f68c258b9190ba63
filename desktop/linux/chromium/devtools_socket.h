#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "base/json.h"

namespace orvex::chromium {

// A DevTools call that failed: no connection, no answer in time, or the browser's own error.
class DevToolsError : public std::runtime_error {
  public:
    enum class Kind { connection, timeout, protocol };
    DevToolsError(Kind kind, const std::string& message)
        : std::runtime_error(message), kind_(kind) {}
    Kind kind() const { return kind_; }

  private:
    Kind kind_;
};

// One WebSocket connection to a DevTools endpoint on loopback (the browser's, or one
// page's), speaking the protocol's JSON calls. Every call has a deadline; a call that misses
// it leaves the connection closed (later calls fail at once), because the answer could still
// arrive and be taken for the next call's. Events the browser sends between answers are
// skipped. One caller at a time.
class DevToolsSocket {
  public:
    // Connects to ws://127.0.0.1:PORT/PATH within `timeout`; throws DevToolsError.
    static std::unique_ptr<DevToolsSocket> connect(std::uint16_t port, const std::string& path,
                                                   std::chrono::milliseconds timeout);
    ~DevToolsSocket();
    DevToolsSocket(const DevToolsSocket&) = delete;
    DevToolsSocket& operator=(const DevToolsSocket&) = delete;

    // Sends {"id", "method", "params"} and waits for the answer with that id; its "result"
    // (an object), or DevToolsError (protocol: the browser's "error" message).
    Json call(const std::string& method, const Json& params, std::chrono::milliseconds timeout);
    bool open() const;

  private:
    struct Connection;
    explicit DevToolsSocket(std::unique_ptr<Connection> connection);

    std::unique_ptr<Connection> connection_;
    std::int64_t nextId_ = 1;
};

}  // namespace orvex::chromium
