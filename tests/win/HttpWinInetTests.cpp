// The WinINet download against a loopback server of the test's own: what the server sees,
// the bounds (a server that accepts and never answers, one that stalls mid-body, one that
// trickles for ever, a body past the cap), redirects and statuses. Also the machine marker.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <wininet.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/HttpWinInet.h"
#include "updates/Explorer.h"
#include "updates/NewsWindow.h"
#include "platform/win32/MachineMarkerWin32.h"

using namespace rw;
using namespace std::chrono_literals;

namespace {

enum class Behaviour { Answer, Silent, StallMidBody, Huge, Redirect, Status, Trickle };

// Serves connections on 127.0.0.1 and an ephemeral port until destroyed.
class LoopbackServer {
public:
    // Redirect: every path but /final is answered "302" with the Location given as body
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
    std::wstring Url(const std::wstring& path) const { return L"http://127.0.0.1:" + std::to_wstring(port_) + path; }
    std::string Request() {
        std::lock_guard<std::mutex> lock(mutex_);
        return request_;
    }
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
            std::string request;
            char buffer[4096];
            while (request.find("\r\n\r\n") == std::string::npos) {
                const int n = recv(client, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                request.append(buffer, static_cast<size_t>(n));
            }
            {
                std::lock_guard<std::mutex> lock(mutex_);
                request_ = request;
                if (!request.empty()) ++requests_;
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
    std::optional<std::chrono::steady_clock::time_point> clientGone_;
};

HttpBounds Short() {
    HttpBounds bounds;
    bounds.sendTimeout = 500ms;
    bounds.receiveTimeout = 500ms;
    bounds.deadline = 3s;
    return bounds;
}

TEST(HttpWinInet, FetchesTheBodyWithAgentAndLanguageAsTheServerSeesThem) {
    LoopbackServer server(Behaviour::Answer, "line one\r\n{marker}\nP:PRODUCT_V1\t1.2.3.4\tO\thttp://x/\n");
    HttpWinInet http(Short());
    std::vector<std::uint8_t> body{1, 2, 3};
    ASSERT_EQ(http.Fetch(server.Url(L"/products/Restwell/downloads/?ver=2.1.0.13021"), L"Quillfen_Restwell/2.1 (test)",
                         L"Accept-Language: en-GB\r\n", body),
              kS_OK);
    EXPECT_EQ(std::string(body.begin(), body.end()), "line one\r\n{marker}\nP:PRODUCT_V1\t1.2.3.4\tO\thttp://x/\n");
    const std::string request = server.Request();
    EXPECT_EQ(request.rfind("GET /products/Restwell/downloads/?ver=2.1.0.13021 HTTP/1.1\r\n", 0), 0u) << request;
    EXPECT_NE(request.find("User-Agent: Quillfen_Restwell/2.1 (test)\r\n"), std::string::npos) << request;
    EXPECT_NE(request.find("Accept-Language: en-GB\r\n"), std::string::npos) << request;
}

TEST(HttpWinInet, AnEmptyBodyOrAddressFails) {
    LoopbackServer server(Behaviour::Answer, "");
    HttpWinInet http(Short());
    std::vector<std::uint8_t> body;
    EXPECT_EQ(http.Fetch(server.Url(L"/"), L"agent", L"", body), HResultFromWin32(ERROR_NO_DATA));
    EXPECT_EQ(http.Fetch(L"", L"agent", L"", body), kE_POINTER);
    EXPECT_TRUE(Failed(http.Fetch(L"file:///C:/windows/win.ini", L"agent", L"", body)));
}

// Each bound ends the download in time; the server's connection is still open meanwhile.
TEST(HttpWinInet, SilentOrStalledServersFailWithinTheBounds) {
    struct Case {
        const char* name;
        Behaviour behaviour;
        HttpBounds bounds;
    };
    HttpBounds deadlineOnly = Short();
    deadlineOnly.receiveTimeout = 60s;  // only the deadline can end these
    deadlineOnly.sendTimeout = 60s;
    deadlineOnly.deadline = 1500ms;
    const Case cases[] = {{"silent, receive time-out", Behaviour::Silent, Short()},
                          {"stalled body, receive time-out", Behaviour::StallMidBody, Short()},
                          {"silent, deadline", Behaviour::Silent, deadlineOnly},
                          {"stalled body, deadline", Behaviour::StallMidBody, deadlineOnly}};
    for (const Case& c : cases) {
        LoopbackServer server(c.behaviour);
        HttpWinInet http(c.bounds);
        std::vector<std::uint8_t> body;
        const auto start = std::chrono::steady_clock::now();
        const HResult hr = http.Fetch(server.Url(L"/slow"), L"agent", L"", body);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_TRUE(Failed(hr)) << c.name;
        EXPECT_TRUE(body.empty()) << c.name;
        EXPECT_LT(took, c.bounds.deadline + 500ms) << c.name;
        if (c.bounds.receiveTimeout == 60s) {
            EXPECT_EQ(hr, HResultFromWin32(ERROR_INTERNET_TIMEOUT)) << c.name;
        }
    }
}

TEST(HttpWinInet, ABodyPastTheCapFails) {
    LoopbackServer server(Behaviour::Huge);
    HttpWinInet http(Short());
    std::vector<std::uint8_t> body;
    EXPECT_EQ(http.Fetch(server.Url(L"/big"), L"agent", L"", body), HResultFromWin32(ERROR_FILE_TOO_LARGE));
    EXPECT_TRUE(body.empty());
}

// Redirects are followed by hand: at most three, only on the host first asked (https of the
// same host allowed), and never to another scheme or with a user name.
TEST(HttpWinInet, RedirectsStayOnTheHostAndEndAfterThree) {
    struct Case {
        const char* location;
        bool ok;
        int requests;  // what the server saw
    } cases[] = {
        {"/final", true, 2},
        {"http://127.0.0.1:{port}/final", true, 2},
        {"/loop", false, 4},  // the first request and three redirects
        {"http://localhost:{port}/final", false, 1},
        {"http://127.0.0.1:1/final", false, 1},
        {"ftp://127.0.0.1:{port}/final", false, 1},
        {"file:///C:/windows/win.ini", false, 1},
        {"http://user:pw@127.0.0.1:{port}/final", false, 1},
        {"https://127.0.0.1:{port}/final", false, 2},  // followed; the plain server fails the handshake
    };
    for (const Case& c : cases) {
        LoopbackServer server(Behaviour::Redirect, c.location);
        HttpWinInet http(Short());
        std::vector<std::uint8_t> body;
        const HResult hr = http.Fetch(server.Url(L"/start"), L"agent", L"", body);
        EXPECT_EQ(Succeeded(hr), c.ok) << c.location << " " << std::hex << hr;
        if (c.ok) EXPECT_EQ(std::string(body.begin(), body.end()), "done") << c.location;
        if (!c.ok && c.requests < 4) EXPECT_TRUE(body.empty()) << c.location;
        if (std::string(c.location) == "/loop") EXPECT_EQ(hr, HResultFromWin32(ERROR_HTTP_REDIRECT_FAILED));
        EXPECT_EQ(server.Requests(), c.requests) << c.location;
    }
}

// An error page is a failed download, whatever its body.
TEST(HttpWinInet, AnyStatusButOkFails) {
    for (const char* status : {"401", "404", "500", "204"}) {
        LoopbackServer server(Behaviour::Status, status);
        HttpWinInet http(Short());
        std::vector<std::uint8_t> body;
        EXPECT_EQ(http.Fetch(server.Url(L"/"), L"agent", L"", body), HResultFromHttpStatus(std::stoul(status)))
            << status;
        EXPECT_TRUE(body.empty()) << status;
    }
}

// At the deadline the download is abandoned for good: its thread stops reading and closes
// the connection, instead of going on taking what the server sends.
TEST(HttpWinInet, AnAbandonedDownloadEndsAtTheDeadline) {
    LoopbackServer server(Behaviour::Trickle);
    HttpBounds bounds = Short();
    bounds.receiveTimeout = 5s;
    bounds.deadline = 1s;
    HttpWinInet http(bounds);
    std::vector<std::uint8_t> body;
    EXPECT_EQ(http.Fetch(server.Url(L"/trickle"), L"agent", L"", body), HResultFromWin32(ERROR_INTERNET_TIMEOUT));
    const auto returned = std::chrono::steady_clock::now();
    // Well before the receive time-out: the trickle would never trip it.
    while (!server.ClientGone() && std::chrono::steady_clock::now() - returned < 4s) Sleep(20);
    ASSERT_TRUE(server.ClientGone()) << "the server was still sending 4 s after the deadline";
    EXPECT_LT(*server.ClientGone() - returned, 2s);
    while (http.RunningDownloads() != 0 && std::chrono::steady_clock::now() - returned < 4s) Sleep(20);
    EXPECT_EQ(http.RunningDownloads(), 0);
}

// A download blocked on a silent server when the object goes (the program ends): the
// destruction ends its thread, within the bound.
TEST(HttpWinInet, DestructionEndsADownloadThatStillWaits) {
    LoopbackServer server(Behaviour::Silent);
    HttpBounds bounds = Short();
    bounds.receiveTimeout = 3s;
    bounds.deadline = 500ms;
    auto http = std::make_unique<HttpWinInet>(bounds);
    std::vector<std::uint8_t> body;
    EXPECT_EQ(http->Fetch(server.Url(L"/silent"), L"agent", L"", body), HResultFromWin32(ERROR_INTERNET_TIMEOUT));
    const auto start = std::chrono::steady_clock::now();
    http.reset();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, 5s);
    EXPECT_TRUE(server.ClientGone()) << "the download still held its connection after the object went";
    std::printf("destruction waited %lld ms for the abandoned download\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
}

TEST(HttpWinInet, TheBrowsersAgentHasItsPlatformPart) {
    HttpWinInet http;
    EXPECT_NE(http.BrowserUserAgent().find('('), std::string::npos) << http.BrowserUserAgent();
}

// The news window's rule on the real browser control: the window's own page reaches the
// server; a navigation the rule cancels (another scheme, an address past the cap) never
// starts.
TEST(NewsWindowBrowser, TheRuleSeesEveryNavigationAndACancelledOneGoesNowhere) {
    LoopbackServer server(Behaviour::Answer, "<html>news</html>");
    HWND parent = CreateWindowExW(0, L"Static", L"host", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    CdlgWebBrowser news(RGB(0, 0, 0), RGB(255, 255, 255));
    std::vector<std::wstring> seen, sentOut;
    news.m_openInBrowser = [&](const std::wstring& url) { sentOut.push_back(url); };
    {
        CExplorer browser;
        browser.SetNavigationRule([&](const std::wstring& url, bool topLevel, bool ownPage, bool newWindow) {
            seen.push_back(url);
            return news.OnBrowserNavigation(url, topLevel, ownPage, newWindow);
        });
        ASSERT_TRUE(browser.Create(L"", WS_VISIBLE, RECT{0, 0, 200, 200}, parent, 1));
        const auto pump = [](std::chrono::milliseconds time) {
            const auto end = std::chrono::steady_clock::now() + time;
            MSG msg;
            while (std::chrono::steady_clock::now() < end) {
                while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
                Sleep(10);
            }
        };
        browser.Navigate(L"file:///C:/windows/win.ini");
        browser.Navigate(server.Url(L"/long-" + std::wstring(2100, L'a')));  // past the cap: no web address
        pump(500ms);
        browser.Navigate(server.Url(L"/news"));
        for (int i = 0; i < 100 && server.Requests() == 0; ++i) pump(50ms);
    }
    DestroyWindow(parent);
    ASSERT_GE(seen.size(), 3u) << "the control reported no navigation to the rule";
    EXPECT_EQ(seen[0], L"file:///C:/windows/win.ini");
    EXPECT_EQ(server.Requests(), 1);
    EXPECT_EQ(server.Request().rfind("GET /news ", 0), 0u) << server.Request();
    EXPECT_TRUE(sentOut.empty());
}

TEST(MachineMarkerWin32, ASecondCreateReportsTheFirst) {
    MachineMarkerWin32 marker(L"Global\\UPGRADE_TEST_7F1C2A");
    bool existed = true;
    auto first = marker.Create(existed);
    ASSERT_TRUE(first);
    EXPECT_FALSE(existed);
    auto second = marker.Create(existed);
    EXPECT_FALSE(second);
    EXPECT_TRUE(existed);
    first.reset();
    auto third = marker.Create(existed);
    EXPECT_TRUE(third);
    EXPECT_FALSE(existed);
    // Every user may open it to see it; only the system and administrators may change it.
    HANDLE open = OpenEventW(READ_CONTROL, FALSE, L"Global\\UPGRADE_TEST_7F1C2A");
    ASSERT_NE(open, nullptr);
    DWORD needed = 0;
    GetKernelObjectSecurity(open, DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
    std::vector<BYTE> descriptor(needed);
    ASSERT_TRUE(GetKernelObjectSecurity(open, DACL_SECURITY_INFORMATION, descriptor.data(), needed, &needed));
    CloseHandle(open);
    LPWSTR text = nullptr;
    ASSERT_TRUE(ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor.data(), SDDL_REVISION_1,
                                                                     DACL_SECURITY_INFORMATION, &text, nullptr));
    const std::wstring sddl = text;
    LocalFree(text);
    EXPECT_NE(sddl.find(L"(A;;0x100001;;;WD)"), std::wstring::npos) << std::string(sddl.begin(), sddl.end());
    EXPECT_EQ(sddl.find(L"D:NO_ACCESS_CONTROL"), std::wstring::npos);
    EXPECT_EQ(sddl.find(L"GA;;;WD"), std::wstring::npos);
}

}  // namespace
