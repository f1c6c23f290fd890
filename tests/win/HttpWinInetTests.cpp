// The WinINet download against a loopback server of the test's own: what the server sees,
// and the bounds (a server that accepts and never answers, one that stalls mid-body, a body
// past the cap). Also the machine marker.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <wininet.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/HttpWinInet.h"
#include "platform/win32/MachineMarkerWin32.h"

using namespace rw;
using namespace std::chrono_literals;

namespace {

enum class Behaviour { Answer, Silent, StallMidBody, Huge };

// Serves connections on 127.0.0.1 and an ephemeral port until destroyed.
class LoopbackServer {
public:
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
            }
            Respond(client);
            closesocket(client);
        }
    }
    void Send(SOCKET s, const std::string& text) { send(s, text.data(), static_cast<int>(text.size()), 0); }
    void HoldUntilStopped() {
        std::unique_lock<std::mutex> lock(mutex_);
        released_.wait(lock, [&] { return stopping_; });
    }
    void Respond(SOCKET s) {
        switch (behaviour_) {
            case Behaviour::Answer:
                Send(s, "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
                            std::to_string(body_.size()) + "\r\nConnection: close\r\n\r\n" + body_);
                break;
            case Behaviour::Silent: HoldUntilStopped(); break;
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

TEST(HttpWinInet, TheBrowsersAgentHasItsPlatformPart) {
    HttpWinInet http;
    EXPECT_NE(http.BrowserUserAgent().find('('), std::string::npos) << http.BrowserUserAgent();
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
