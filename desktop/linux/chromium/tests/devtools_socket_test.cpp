#include "desktop/linux/chromium/devtools_socket.h"

#include <gtest/gtest.h>

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>
#include <thread>

namespace orvex::chromium {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace websocket = beast::websocket;
using tcp = asio::ip::tcp;
using namespace std::chrono_literals;

// A DevTools endpoint of our own on loopback: "Echo" answers with its params after an event
// and a stray answer, "Fail" answers with an error, "Hang" never answers.
class FakeEndpoint {
  public:
    FakeEndpoint() : acceptor_(io_, tcp::endpoint(asio::ip::address_v4::loopback(), 0)) {
        thread_ = std::thread([this] { serve(); });
    }
    ~FakeEndpoint() {
        beast::error_code ignored;
        acceptor_.close(ignored);
        if (socket_)
            beast::get_lowest_layer(*socket_).shutdown(tcp::socket::shutdown_both, ignored);
        thread_.join();
    }
    std::uint16_t port() const { return acceptor_.local_endpoint().port(); }

  private:
    void serve() {
        beast::error_code ec;
        tcp::socket raw(io_);
        acceptor_.accept(raw, ec);
        if (ec)
            return;
        socket_ = std::make_unique<websocket::stream<tcp::socket>>(std::move(raw));
        beast::http::request<beast::http::empty_body> request;
        beast::flat_buffer handshake;
        beast::http::read(socket_->next_layer(), handshake, request, ec);
        if (ec)
            return;
        socket_->accept(request, ec);
        while (!ec) {
            beast::flat_buffer buffer;
            socket_->read(buffer, ec);
            if (ec)
                return;
            Json call = Json::parse(beast::buffers_to_string(buffer.data()));
            auto send = [&](const Json& message) {
                socket_->write(asio::buffer(message.dump()), ec);
            };
            const std::string method = call["method"];
            if (method == "Echo") {
                send({{"method", "Target.targetCreated"}, {"params", Json::object()}});
                send({{"id", call["id"].get<int>() + 1000}, {"result", {{"stray", true}}}});
                send({{"id", call["id"]}, {"result", call["params"]}});
            } else if (method == "Fail") {
                send({{"id", call["id"]},
                      {"error", {{"code", -32000}, {"message", "No target with given id found"}}}});
            }
        }
    }

    asio::io_context io_;
    tcp::acceptor acceptor_;
    std::unique_ptr<websocket::stream<tcp::socket>> socket_;
    std::thread thread_;
};

TEST(DevToolsSocket, AnswersItsOwnCallsSkippingEventsAndOtherAnswers) {
    FakeEndpoint endpoint;
    auto socket = DevToolsSocket::connect(endpoint.port(), "/devtools/browser/abc", 2s);
    Json result = socket->call("Echo", {{"targetId", "T1"}}, 2s);
    EXPECT_EQ(result, (Json{{"targetId", "T1"}}));

    try {
        socket->call("Fail", {}, 2s);
        FAIL() << "no error";
    } catch (const DevToolsError& error) {
        EXPECT_EQ(error.kind(), DevToolsError::Kind::protocol);
        EXPECT_STREQ(error.what(), "Fail: No target with given id found");
    }
    EXPECT_TRUE(socket->open()) << "a refused call leaves the connection usable";
}

TEST(DevToolsSocket, ACallWithoutAnswerTimesOutAndClosesTheConnection) {
    FakeEndpoint endpoint;
    auto socket = DevToolsSocket::connect(endpoint.port(), "/devtools/page/P", 2s);
    try {
        socket->call("Hang", {}, 200ms);
        FAIL() << "no timeout";
    } catch (const DevToolsError& error) {
        EXPECT_EQ(error.kind(), DevToolsError::Kind::timeout);
    }
    EXPECT_FALSE(socket->open());
    EXPECT_THROW(socket->call("Echo", {}, 1s), DevToolsError);
}

TEST(DevToolsSocket, NobodyListeningIsAConnectionError) {
    std::uint16_t port;
    {
        FakeEndpoint gone;
        port = gone.port();
        auto socket = DevToolsSocket::connect(port, "/devtools/browser/x", 2s);  // lets it end
    }
    try {
        DevToolsSocket::connect(port, "/devtools/browser/x", 1s);
        FAIL() << "connected to nothing";
    } catch (const DevToolsError& error) {
        EXPECT_EQ(error.kind(), DevToolsError::Kind::connection);
    }
}

}  // namespace
}  // namespace orvex::chromium
