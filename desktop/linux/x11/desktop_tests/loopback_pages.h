#pragma once

#include <boost/asio/ip/tcp.hpp>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orvex::testing {

// Chat pages served on loopback for the browser tests. Any path gives a page with one
// message input: a contenteditable box for paths starting with "/editable", else a
// textarea; its accessible name is "Message " plus the host's first label ("Message
// claude"). Return in the input posts its text back; `received()` lists those texts with
// the host they came from ("claude.localhost: text").
class LoopbackPages {
  public:
    LoopbackPages();
    ~LoopbackPages();
    std::uint16_t port() const { return port_; }
    // "http://HOST:PORT/PATH"; hosts under .localhost reach this server from the browser.
    std::string url(const std::string& host, const std::string& path = "/") const;
    std::vector<std::string> received() const;

  private:
    struct Server;
    void serve(boost::asio::ip::tcp::socket& socket);
    std::unique_ptr<Server> server_;
    std::uint16_t port_ = 0;
    mutable std::mutex mutex_;
    std::vector<std::string> received_;
    std::thread thread_;
};

}  // namespace orvex::testing
