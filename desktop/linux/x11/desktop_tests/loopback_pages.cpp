#include "desktop/linux/x11/desktop_tests/loopback_pages.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

namespace orvex::testing {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

namespace {

std::string page(const std::string& host, bool editable) {
    const std::string label = "Message " + host.substr(0, host.find('.'));
    const std::string input =
        editable
            ? "<div id=\"box\" autofocus contenteditable=\"true\" role=\"textbox\" aria-label=\"" +
                  label + "\" style=\"min-height:3em;border:1px solid\"></div>"
            : "<textarea id=\"box\" autofocus aria-label=\"" + label + "\"></textarea>";
    return "<!doctype html><html><head><meta charset=\"utf-8\"><title>" + host +
           " chat</title></head><body><h1>Chat</h1>" + input +
           "<script>\n"
           "const box = document.getElementById('box');\n"
           "box.addEventListener('keydown', e => {\n"
           "  if (e.key !== 'Enter' || e.shiftKey) return;\n"
           "  e.preventDefault();\n"
           "  const text = box.value !== undefined ? box.value : box.innerText;\n"
           "  fetch('/sent', {method: 'POST', body: text});\n"
           "  if (box.value !== undefined) box.value = ''; else box.innerText = '';\n"
           "});\n"
           "</script></body></html>";
}

}  // namespace

struct LoopbackPages::Server {
    asio::io_context io;
    tcp::acceptor acceptor{io, tcp::endpoint(asio::ip::address_v4::loopback(), 0)};
    std::vector<std::shared_ptr<tcp::socket>> connections;
    std::vector<std::thread> threads;
};

LoopbackPages::LoopbackPages() : server_(std::make_unique<Server>()) {
    port_ = server_->acceptor.local_endpoint().port();
    thread_ = std::thread([this] {
        while (true) {
            auto socket = std::make_shared<tcp::socket>(server_->io);
            beast::error_code ec;
            server_->acceptor.accept(*socket, ec);
            if (ec || !server_->acceptor.is_open()) {
                return;  // closed: the pages are done
            }
            // The browser keeps connections open (and opens some it never uses), so each
            // has a thread of its own, ended by closing its socket.
            std::lock_guard lock(mutex_);
            server_->connections.push_back(socket);
            server_->threads.emplace_back([this, socket] { serve(*socket); });
        }
    });
}

void LoopbackPages::serve(tcp::socket& socket) {
    beast::flat_buffer buffer;
    beast::error_code ec;
    while (true) {
        http::request<http::string_body> request;
        http::read(socket, buffer, request, ec);
        if (ec) {
            return;
        }
        std::string host(request[http::field::host]);
        host = host.substr(0, host.find(':'));
        http::response<http::string_body> response{http::status::ok, request.version()};
        if (request.method() == http::verb::post && request.target() == "/sent") {
            std::lock_guard lock(mutex_);
            received_.push_back(host + ": " + request.body());
            response.set(http::field::content_type, "text/plain");
        } else {
            response.set(http::field::content_type, "text/html; charset=utf-8");
            response.body() = page(host, std::string(request.target()).starts_with("/editable"));
        }
        response.keep_alive(request.keep_alive());
        response.prepare_payload();
        http::write(socket, response, ec);
        if (ec || !request.keep_alive()) {
            return;
        }
    }
}

LoopbackPages::~LoopbackPages() {
    beast::error_code ignored;
    server_->acceptor.close(ignored);
    // accept() may not notice the close; a connection of our own wakes it.
    tcp::socket wake(server_->io);
    wake.connect(tcp::endpoint(asio::ip::address_v4::loopback(), port_), ignored);
    thread_.join();
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(mutex_);
        for (auto& socket : server_->connections) {
            socket->shutdown(tcp::socket::shutdown_both, ignored);
        }
        threads = std::move(server_->threads);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}

std::string LoopbackPages::url(const std::string& host, const std::string& path) const {
    return "http://" + host + ":" + std::to_string(port_) + path;
}

std::vector<std::string> LoopbackPages::received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

}  // namespace orvex::testing
