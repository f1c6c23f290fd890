// A loopback HTTP server of the tests' own, on 127.0.0.1 and a free port, that answers each
// connection the way it is told (and can misbehave: say nothing, stall, trickle, redirect).
#pragma once
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace rw::test {

enum class Behaviour { Answer, Silent, StallMidBody, Huge, Redirect, Status, Trickle, Pages };

// Serves connections on 127.0.0.1 and an ephemeral port until destroyed.
class LoopbackServer {
public:
    // Pages: the path's body from pages (404 for any other path). Redirect: every path but /final is answered "302"
    // with the Location given as body
    // ("{port}" replaced by the server's); Status: the body is the status line's code.
    LoopbackServer(Behaviour behaviour, std::string body = {}) : behaviour_(behaviour), body_(std::move(body)) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listen_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listen_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        int length = sizeof address;
        getsockname(listen_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        listen(listen_, 4);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackServer() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
            released_.notify_all();
        }
        closesocket(listen_);
        thread_.join();
        WSACleanup();
    }
    int Port() const { return port_; }
    std::wstring Url(const std::wstring& path) const { return L"http://127.0.0.1:" + std::to_wstring(port_) + path; }
    std::string Request() {
        std::lock_guard<std::mutex> lock(mutex_);
        return request_;
    }
    void SetPage(const std::string& path, std::string body) {
        std::lock_guard<std::mutex> lock(mutex_);
        pages_[path] = std::move(body);
    }
    // Connections accepted (each request comes on its own: every answer closes).
    int Requests() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }
    // When the client was seen gone (a silent server) or a trickled body stopped going out.
    std::optional<std::chrono::steady_clock::time_point> ClientGone() {
        std::lock_guard<std::mutex> lock(mutex_);
        return clientGone_;
    }

private:
    void Serve() {
        for (;;) {
            SOCKET client = accept(listen_, nullptr, nullptr);
            if (client == INVALID_SOCKET) return;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                ++requests_;  // every connection counts, a TLS handshake too
            }
            // A client that never sends a whole request (a TLS handshake) does not hold the
            // server for ever.
            DWORD wait = 3000;
            setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&wait), sizeof wait);
            std::string request;
            char buffer[4096];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const int n = recv(client, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                request.append(buffer, static_cast<size_t>(n));
                // Every request begins with its method's capitals; a TLS handshake (its first
                // byte 0x16) is closed at once, as a plain server would fail it.
                if (request[0] < 'A' || request[0] > 'Z') break;
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                request_ = request;
            }
            Respond(client, request);
            closesocket(client);
        }
    }
    void Send(SOCKET s, const std::string& text) { send(s, text.data(), static_cast<int>(text.size()), 0); }
    void HoldUntilStopped() {
        std::unique_lock<std::mutex> lock(mutex_);
        released_.wait(lock, [&] { return stopping_; });
    }
    bool Stopping() {
        std::lock_guard<std::mutex> lock(mutex_);
        return stopping_;
    }
    void Respond(SOCKET s, const std::string& request) {
        switch (behaviour_) {
            case Behaviour::Answer:
                Send(s, "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                            std::to_string(body_.size()) + "\r\nConnection: close\r\n\r\n" + body_);
                break;
            case Behaviour::Silent:
                // Says nothing, and notes when the client closes the connection.
                while (!Stopping()) {
                    fd_set readable;
                    FD_ZERO(&readable);
                    FD_SET(s, &readable);
                    timeval wait{0, 20000};
                    if (select(0, &readable, nullptr, nullptr, &wait) == 1) {
                        char c;
                        if (recv(s, &c, 1, 0) <= 0) {
                            std::lock_guard<std::mutex> lock(mutex_);
                            clientGone_ = std::chrono::steady_clock::now();
                            break;
                        }
                    }
                }
                break;
            case Behaviour::StallMidBody:
                Send(s, "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + std::string(100, 'x'));
                HoldUntilStopped();
                break;
            case Behaviour::Huge: {
                Send(s, "HTTP/1.1 200 OK\r\nContent-Length: 3145728\r\nConnection: close\r\n\r\n");
                const std::string chunk(65536, 'y');
                for (int i = 0; i < 48; ++i) {
                    if (send(s, chunk.data(), static_cast<int>(chunk.size()), 0) <= 0) break;
                }
                break;
            }
            case Behaviour::Redirect:
                if (request.rfind("GET /final ", 0) == 0) {
                    Send(s, "HTTP/1.1 200 OK\r\nContent-Length: 4\r\nConnection: close\r\n\r\ndone");
                } else {
                    std::string location = body_;
                    if (const size_t at = location.find("{port}"); at != std::string::npos) {
                        location.replace(at, 6, std::to_string(port_));
                    }
                    Send(s, "HTTP/1.1 302 Found\r\nLocation: " + location +
                                "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                }
                break;
            case Behaviour::Pages: {
                const size_t end = request.find(' ', 4);
                const std::string path = request.substr(4, end == std::string::npos ? std::string::npos : end - 4);
                std::string found;
                bool known = false;
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    const auto page = pages_.find(path.substr(0, path.find('?')));
                    known = page != pages_.end();
                    if (known) found = page->second;
                }
                Send(s, std::string(known ? "HTTP/1.1 200 OK" : "HTTP/1.1 404 Not Found") + "\r\nContent-Length: " +
                            std::to_string(found.size()) + "\r\nConnection: close\r\n\r\n" + found);
                break;
            }
            case Behaviour::Status:
                Send(s, "HTTP/1.1 " + body_ + " Whatever\r\nContent-Length: 9\r\nConnection: close\r\n\r\nerror\npage");
                break;
            case Behaviour::Trickle: {
                Send(s, "HTTP/1.1 200 OK\r\nContent-Length: 1000000\r\n\r\n");
                // A byte at a time, each well within any receive time-out, until the client goes.
                while (!Stopping() && send(s, "z", 1, 0) == 1) Sleep(20);
                std::lock_guard<std::mutex> lock(mutex_);
                clientGone_ = std::chrono::steady_clock::now();
                break;
            }
        }
    }

    Behaviour behaviour_;
    std::string body_;
    SOCKET listen_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable released_;
    bool stopping_ = false;
    std::string request_;
    int requests_ = 0;
    std::map<std::string, std::string> pages_;
    std::optional<std::chrono::steady_clock::time_point> clientGone_;
};

}  // namespace rw::test
