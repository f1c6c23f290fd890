// The WinINet download against a loopback server of the test's own: what the server sees,
// the bounds (a server that accepts and never answers, one that stalls mid-body, one that
// trickles for ever, a body past the cap), redirects and statuses, and what a finished
// download leaves in memory. Also the machine marker.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <psapi.h>
#include <wininet.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "LoopbackServer.h"
#include "platform/win32/HttpWinInet.h"
#include "ui/news/Explorer.h"
#include "ui/news/WebBrowser.h"
#include "platform/win32/MachineMarkerWin32.h"
#include "platform/win32/ThreadStack.h"

using namespace rw;
using rw::test::Behaviour;
using rw::test::LoopbackServer;
using namespace std::chrono_literals;

namespace {

HttpBounds Short() {
    HttpBounds bounds;
    bounds.sendTimeout = 500ms;
    bounds.receiveTimeout = 500ms;
    bounds.deadline = 3s;
    bounds.stopWait = 300ms;
    return bounds;
}

// Polls until done() holds or the time since `from` reaches `bound` (a bound for hangs).
template <class Done>
void WaitUntil(Done done, std::chrono::steady_clock::time_point from, std::chrono::milliseconds bound) {
    while (!done() && std::chrono::steady_clock::now() - from < bound) Sleep(20);
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

// The process's own (private) memory that is resident, in kB, as the system's working set
// reports it page by page.
long ResidentPrivateKb() {
    std::vector<PSAPI_WORKING_SET_EX_INFORMATION> pages;
    pages.reserve(1 << 16);
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region);
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State != MEM_COMMIT || region.Type != MEM_PRIVATE) continue;
        for (SIZE_T offset = 0; offset < region.RegionSize; offset += 4096) {
            PSAPI_WORKING_SET_EX_INFORMATION page{};
            page.VirtualAddress = static_cast<char*>(region.BaseAddress) + offset;
            pages.push_back(page);
        }
    }
    if (!QueryWorkingSetEx(GetCurrentProcess(), pages.data(), static_cast<DWORD>(pages.size() * sizeof pages[0]))) {
        return -1;
    }
    long resident = 0;
    for (const auto& page : pages) resident += page.VirtualAttributes.Valid ? 4 : 0;
    return resident;
}

// A download's thread leaves no stack behind. Wine frees the stack of an ended thread only
// when the next thread ends, and a thread's start alone touches about a megabyte of it: the
// process would carry that until the next day's download.
TEST(HttpWinInet, AFinishedDownloadKeepsNoThreadStack) {
    LoopbackServer server(Behaviour::Answer, "P:PRODUCT_V1\t1.2.3.4\tO\thttp://x/\n");
    HttpWinInet http(Short());
    std::vector<std::uint8_t> body;
    const auto fetch = [&] {
        ASSERT_EQ(http.Fetch(server.Url(L"/downloads/"), L"agent", L"", body), kS_OK);
        const auto returned = std::chrono::steady_clock::now();
        WaitUntil([&] { return http.RunningDownloads() == 0; }, returned, 5s);
        ASSERT_EQ(http.RunningDownloads(), 0);
    };
    fetch();  // WinINet loaded, its first connection made
    // A thread that gives back its stack and ends: Wine frees the first download's stack,
    // and keeps this thread's few pages instead.
    std::thread([] { ReleaseUnusedStack(); }).join();
    const long before = ResidentPrivateKb();
    ASSERT_GT(before, 0);
    fetch();
    const long after = ResidentPrivateKb();
    ASSERT_GT(after, 0);
    EXPECT_LT(after - before, 512) << "kB more after a download: " << before << " -> " << after;
}

TEST(HttpWinInet, AnEmptyBodyOrAddressFails) {
    LoopbackServer server(Behaviour::Answer, "");
    HttpWinInet http(Short());
    std::vector<std::uint8_t> body;
    EXPECT_EQ(http.Fetch(server.Url(L"/"), L"agent", L"", body), HResultFromWin32(ERROR_NO_DATA));
    EXPECT_EQ(http.Fetch(L"", L"agent", L"", body), kE_POINTER);
    EXPECT_TRUE(Failed(http.Fetch(L"file:///C:/windows/win.ini", L"agent", L"", body)));
}

// Each bound ends the download in time; the server's connection is still open meanwhile. The
// other bound is far off, so only the one under test can end it.
TEST(HttpWinInet, SilentOrStalledServersFailWithinTheBounds) {
    struct Case {
        const char* name;
        Behaviour behaviour;
        bool deadline;  // else the receive time-out ends it
    };
    const Case cases[] = {{"silent, receive time-out", Behaviour::Silent, false},
                          {"stalled body, receive time-out", Behaviour::StallMidBody, false},
                          {"silent, deadline", Behaviour::Silent, true},
                          {"stalled body, deadline", Behaviour::StallMidBody, true}};
    for (const Case& c : cases) {
        HttpBounds bounds = Short();
        bounds.receiveTimeout = c.deadline ? 60s : 300ms;
        bounds.sendTimeout = bounds.receiveTimeout;
        bounds.deadline = c.deadline ? 400ms : 20s;
        LoopbackServer server(c.behaviour);
        HttpWinInet http(bounds);
        std::vector<std::uint8_t> body;
        const auto start = std::chrono::steady_clock::now();
        const HResult hr = http.Fetch(server.Url(L"/slow"), L"agent", L"", body);
        const auto took =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        EXPECT_TRUE(Failed(hr)) << c.name;
        EXPECT_TRUE(body.empty()) << c.name;
        // Room for a busy machine; the other bound is many seconds later.
        EXPECT_LT(took.count(), ((c.deadline ? bounds.deadline : bounds.receiveTimeout) + 3s).count()) << c.name;
        if (c.deadline) {
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

// Redirects are followed by hand: at most three, only on the host and port first asked (https
// of the same host allowed), and never to another scheme or with a user name. "{other}" is the
// port of another live server on the same host, which must never be asked.
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
        {"http://127.0.0.1:{other}/final", false, 1},
        {"ftp://127.0.0.1:{port}/final", false, 1},
        {"file:///C:/windows/win.ini", false, 1},
        {"http://user:pw@127.0.0.1:{port}/final", false, 1},
        // Followed: the plain server closes the handshake (WinINet may try it once more).
        {"https://127.0.0.1:{port}/final", false, 2},
    };
    for (const Case& c : cases) {
        LoopbackServer other(Behaviour::Answer, "done");
        std::string location = c.location;
        if (const size_t at = location.find("{other}"); at != std::string::npos) {
            location.replace(at, 7, std::to_string(other.Port()));
        }
        LoopbackServer server(Behaviour::Redirect, location);
        HttpWinInet http(Short());
        std::vector<std::uint8_t> body;
        const HResult hr = http.Fetch(server.Url(L"/start"), L"agent", L"", body);
        EXPECT_EQ(Succeeded(hr), c.ok) << c.location << " " << std::hex << hr;
        if (c.ok) {
            EXPECT_EQ(std::string(body.begin(), body.end()), "done") << c.location;
        }
        if (!c.ok && c.requests < 4) {
            EXPECT_TRUE(body.empty()) << c.location;
        }
        if (std::string(c.location) == "/loop") {
            EXPECT_EQ(hr, HResultFromWin32(ERROR_HTTP_REDIRECT_FAILED));
        }
        if (std::string(c.location).rfind("https:", 0) == 0) {
            EXPECT_GE(server.Requests(), c.requests) << c.location;
        } else {
            EXPECT_EQ(server.Requests(), c.requests) << c.location;
        }
        EXPECT_EQ(other.Requests(), 0) << c.location;
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
    bounds.deadline = 400ms;
    HttpWinInet http(bounds);
    std::vector<std::uint8_t> body;
    EXPECT_EQ(http.Fetch(server.Url(L"/trickle"), L"agent", L"", body), HResultFromWin32(ERROR_INTERNET_TIMEOUT));
    const auto returned = std::chrono::steady_clock::now();
    // Well before the receive time-out: the trickle would never trip it.
    WaitUntil([&] { return static_cast<bool>(server.ClientGone()); }, returned, 4s);
    ASSERT_TRUE(server.ClientGone()) << "the server was still sending 4 s after the deadline";
    EXPECT_LT(*server.ClientGone() - returned, 2s);
    WaitUntil([&] { return http.RunningDownloads() == 0; }, returned, 4s);
    EXPECT_EQ(http.RunningDownloads(), 0);
}

// A download blocked on a silent server: once abandoned it makes no further request and its
// thread ends at its receive time-out (WinINet under Wine does not give up a call whose
// handle another thread closed); the object's destruction does not wait longer than its bound
// for a thread blocked for seconds more.
TEST(HttpWinInet, ABlockedAbandonedDownloadEndsAtItsTimeOut) {
    LoopbackServer server(Behaviour::Silent);
    HttpBounds bounds = Short();
    bounds.receiveTimeout = 800ms;
    bounds.deadline = 300ms;
    HttpWinInet http(bounds);
    std::vector<std::uint8_t> body;
    EXPECT_EQ(http.Fetch(server.Url(L"/silent"), L"agent", L"", body), HResultFromWin32(ERROR_INTERNET_TIMEOUT));
    const auto returned = std::chrono::steady_clock::now();
    WaitUntil([&] { return http.RunningDownloads() == 0; }, returned, 5s);
    EXPECT_EQ(http.RunningDownloads(), 0);
    const auto ended = std::chrono::steady_clock::now() - returned;
    WaitUntil([&] { return static_cast<bool>(server.ClientGone()); }, returned, 5s);
    EXPECT_TRUE(server.ClientGone()) << "the abandoned download still held its connection";
    EXPECT_EQ(server.Requests(), 1);
    std::printf("the abandoned download's thread ended %lld ms after the deadline\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(ended).count()));

    bounds.receiveTimeout = 10s;
    auto other = std::make_unique<HttpWinInet>(bounds);
    EXPECT_EQ(other->Fetch(server.Url(L"/silent"), L"agent", L"", body), HResultFromWin32(ERROR_INTERNET_TIMEOUT));
    const auto start = std::chrono::steady_clock::now();
    other.reset();
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count(),
              (bounds.stopWait + 3s).count());
}

// Certificate errors are never ignored: an https server with a self-signed certificate (a
// Unix python started through Wine) fails the download with WinINet's certificate error.
TEST(HttpWinInet, ASelfSignedServerFails) {
    // The script beside this file: python is a Unix program and takes Unix paths.
    std::string folder = __FILE__;
    folder = folder.substr(0, folder.find_last_of('/') + 1);
    const std::wstring script = std::wstring(folder.begin(), folder.end()) + L"self_signed_server.py";
    const std::wstring unixPortFile = L"/tmp/rw-tls-port-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring portFile = L"Z:\\tmp\\rw-tls-port-" + std::to_wstring(GetCurrentProcessId());
    DeleteFileW(portFile.c_str());
    std::wstring command = L"Z:\\usr\\bin\\python3 " + script + L" " + unixPortFile;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        << GetLastError();
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
    std::string port;
    for (int i = 0; i < 300 && port.empty(); ++i) {
        HANDLE file = CreateFileW(portFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            char text[16] = {};
            DWORD read = 0;
            ReadFile(file, text, sizeof text - 1, &read, nullptr);
            CloseHandle(file);
            port = text;
        } else {
            Sleep(100);
        }
    }
    ASSERT_FALSE(port.empty()) << "the https server did not start";
    DeleteFileW(portFile.c_str());
    // The program's own bounds: the handshake with a python server on a busy machine can take
    // longer than a short test bound, and the certificate error comes as soon as it is done.
    HttpWinInet http;
    std::vector<std::uint8_t> body;
    const std::wstring url = L"https://127.0.0.1:" + std::wstring(port.begin(), port.end()) + L"/";
    EXPECT_EQ(http.Fetch(url, L"agent", L"", body), HResultFromWin32(ERROR_INTERNET_INVALID_CA));
    EXPECT_TRUE(body.empty());
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
    EXPECT_NE(seen[0].find(L"win.ini"), std::wstring::npos);  // Wine hands it over as a path
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
