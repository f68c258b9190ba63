#include "desktop/linux/chromium/devtools_socket.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>

#include "desktop/linux/chromium/devtools_reply.h"

namespace orvex::chromium {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace websocket = beast::websocket;
using tcp = asio::ip::tcp;

struct DevToolsSocket::Connection {
    asio::io_context io;
    websocket::stream<beast::tcp_stream> ws{io};
    bool open = false;

    // Runs one asynchronous step to its end or to the deadline (the stream's timer then
    // closes the socket and the step ends with a timeout).
    template <typename Start>
    beast::error_code step(std::chrono::milliseconds timeout, Start start) {
        beast::get_lowest_layer(ws).expires_after(timeout);
        beast::error_code result = asio::error::would_block;
        start([&result](beast::error_code ec, auto&&...) { result = ec; });
        io.restart();
        io.run();
        return result;
    }
};

namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds left(Clock::time_point deadline) {
    auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return std::max(remaining, std::chrono::milliseconds(1));
}

[[noreturn]] void fail(beast::error_code ec, const std::string& doing) {
    if (ec == beast::error::timeout) {
        throw DevToolsError(DevToolsError::Kind::timeout, doing + ": no answer in time");
    }
    throw DevToolsError(DevToolsError::Kind::connection, doing + ": " + ec.message());
}

}  // namespace

DevToolsSocket::DevToolsSocket(std::unique_ptr<Connection> connection)
    : connection_(std::move(connection)) {}

DevToolsSocket::~DevToolsSocket() {
    if (connection_ && connection_->open) {
        // A polite close, but never waiting long for it.
        beast::error_code ignored;
        connection_->step(std::chrono::milliseconds(200), [&](auto handler) {
            connection_->ws.async_close(websocket::close_code::normal, handler);
        });
        beast::get_lowest_layer(connection_->ws).socket().close(ignored);
    }
}

std::unique_ptr<DevToolsSocket> DevToolsSocket::connect(std::uint16_t port, const std::string& path,
                                                        std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    auto connection = std::make_unique<Connection>();
    // Loopback only: the debugging port gives full control of the browser.
    tcp::endpoint endpoint(asio::ip::address_v4::loopback(), port);
    beast::error_code ec = connection->step(left(deadline), [&](auto handler) {
        beast::get_lowest_layer(connection->ws).async_connect(endpoint, handler);
    });
    if (ec) {
        fail(ec, "connecting to the browser on port " + std::to_string(port));
    }
    connection->ws.read_message_max(64 * 1024 * 1024);
    ec = connection->step(left(deadline), [&](auto handler) {
        connection->ws.async_handshake("127.0.0.1:" + std::to_string(port), path, handler);
    });
    if (ec) {
        fail(ec, "opening the DevTools connection " + path);
    }
    connection->ws.text(true);
    connection->open = true;
    return std::unique_ptr<DevToolsSocket>(new DevToolsSocket(std::move(connection)));
}

bool DevToolsSocket::open() const {
    return connection_->open;
}

Json DevToolsSocket::call(const std::string& method, const Json& params,
                          std::chrono::milliseconds timeout) {
    if (!connection_->open) {
        throw DevToolsError(DevToolsError::Kind::connection,
                            method + ": the DevTools connection is closed");
    }
    const auto deadline = Clock::now() + timeout;
    const std::int64_t id = nextId_++;
    const std::string message =
        Json{{"id", id}, {"method", method}, {"params", params.is_null() ? Json::object() : params}}
            .dump();
    beast::error_code ec = connection_->step(left(deadline), [&](auto handler) {
        connection_->ws.async_write(asio::buffer(message), handler);
    });
    if (ec) {
        connection_->open = false;
        fail(ec, method);
    }
    while (true) {
        beast::flat_buffer buffer;
        ec = connection_->step(left(deadline),
                               [&](auto handler) { connection_->ws.async_read(buffer, handler); });
        if (ec) {
            connection_->open = false;
            fail(ec, method);
        }
        DevToolsReply reply = readDevToolsReply(beast::buffers_to_string(buffer.data()), id);
        if (reply.kind == DevToolsReply::Kind::error) {
            throw DevToolsError(DevToolsError::Kind::protocol, method + ": " + reply.error);
        }
        if (reply.kind == DevToolsReply::Kind::result) {
            return reply.result;
        }
        // Otherwise an event, or a late answer to a call that gave up: the answer may
        // still come.
    }
}

}  // namespace orvex::chromium
