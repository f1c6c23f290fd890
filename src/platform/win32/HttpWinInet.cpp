#include "platform/win32/HttpWinInet.h"

#include <windows.h>
#include <urlmon.h>
#include <wininet.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace rw {
namespace {

// Closes an internet handle when it goes.
struct InternetHandle {
    HINTERNET h = nullptr;
    explicit InternetHandle(HINTERNET handle) : h(handle) {}
    ~InternetHandle() {
        if (h) InternetCloseHandle(h);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    explicit operator bool() const { return h != nullptr; }
};

HResult LastError() {
    const DWORD e = GetLastError();
    return HResultFromWin32(e ? static_cast<long>(e) : ERROR_INTERNET_INTERNAL_ERROR);
}

void SetTimeouts(HINTERNET h, const HttpBounds& bounds) {
    DWORD send = static_cast<DWORD>(bounds.sendTimeout.count());
    DWORD receive = static_cast<DWORD>(bounds.receiveTimeout.count());
    DWORD connect = static_cast<DWORD>(bounds.deadline.count());
    InternetSetOptionW(h, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
    InternetSetOptionW(h, INTERNET_OPTION_SEND_TIMEOUT, &send, sizeof send);
    InternetSetOptionW(h, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof receive);
    InternetSetOptionW(h, INTERNET_OPTION_DATA_SEND_TIMEOUT, &send, sizeof send);
    InternetSetOptionW(h, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, &receive, sizeof receive);
}

// What the download thread and the waiting caller share; the last of the two frees it.
struct Download {
    std::wstring url, agent, headers;
    HttpBounds bounds;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    HResult result = kE_UNEXPECTED;
    std::vector<std::uint8_t> body;
};

HResult Run(Download& d) {
    if (const DWORD e = InternetAttemptConnect(0); e != ERROR_SUCCESS) return HResultFromWin32(static_cast<long>(e));

    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    wchar_t host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
    std::wstring path(d.url.size() + 1, L'\0');
    std::wstring extra(d.url.size() + 1, L'\0');
    parts.lpszHostName = host;
    parts.dwHostNameLength = ARRAYSIZE(host);
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = static_cast<DWORD>(path.size());
    parts.lpszExtraInfo = extra.data();
    parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
    if (!InternetCrackUrlW(d.url.c_str(), 0, 0, &parts)) return LastError();
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
        return HResultFromWin32(ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    }
    std::wstring object(parts.lpszUrlPath, parts.dwUrlPathLength);
    object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (object.empty()) object = L"/";

    InternetHandle session(InternetOpenW(d.agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return LastError();
    SetTimeouts(session.h, d.bounds);
    InternetHandle connection(InternetConnectW(session.h, host, parts.nPort, nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return LastError();
    SetTimeouts(connection.h, d.bounds);
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES |
                  INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTH;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
    InternetHandle request(HttpOpenRequestW(connection.h, L"GET", object.c_str(), nullptr, nullptr, nullptr, flags, 0));
    if (!request) return LastError();
    SetTimeouts(request.h, d.bounds);
    if (!HttpSendRequestW(request.h, d.headers.empty() ? nullptr : d.headers.c_str(),
                          d.headers.empty() ? 0 : static_cast<DWORD>(-1), nullptr, 0)) {
        return LastError();
    }

    std::vector<std::uint8_t> body;
    for (;;) {
        DWORD ready = 0;
        if (!InternetQueryDataAvailable(request.h, &ready, 0, 0)) return LastError();
        if (ready == 0) break;  // the end of the body
        if (ready > d.bounds.maxBody - body.size()) return HResultFromWin32(ERROR_FILE_TOO_LARGE);
        const size_t at = body.size();
        body.resize(at + ready);
        DWORD read = 0;
        if (!InternetReadFile(request.h, body.data() + at, ready, &read)) return LastError();
        body.resize(at + read);
        if (read == 0) break;
    }
    if (body.empty()) return HResultFromWin32(ERROR_NO_DATA);
    std::lock_guard<std::mutex> lock(d.mutex);
    d.body = std::move(body);
    return kS_OK;
}

}  // namespace

HResult HttpWinInet::Fetch(const std::wstring& url, const std::wstring& userAgent, const std::wstring& extraHeaders,
                           std::vector<std::uint8_t>& body) {
    body.clear();
    if (url.empty()) return kE_POINTER;
    try {
        auto download = std::make_shared<Download>();
        download->url = url;
        download->agent = userAgent;
        download->headers = extraHeaders;
        download->bounds = bounds_;
        std::thread([download] {
            HResult result = kE_UNEXPECTED;
            try {
                result = Run(*download);
            } catch (...) {
                result = kE_UNEXPECTED;
            }
            std::lock_guard<std::mutex> lock(download->mutex);
            download->result = result;
            download->done = true;
            download->finished.notify_all();
        }).detach();

        std::unique_lock<std::mutex> lock(download->mutex);
        if (!download->finished.wait_for(lock, bounds_.deadline, [&] { return download->done; })) {
            return HResultFromWin32(ERROR_INTERNET_TIMEOUT);  // the thread finishes on its own
        }
        if (Succeeded(download->result)) body = std::move(download->body);
        return download->result;
    } catch (...) {
        body.clear();
        return kE_UNEXPECTED;
    }
}

std::string HttpWinInet::BrowserUserAgent() {
    // Wine fills the buffer but reports E_OUTOFMEMORY: the text counts, not the result.
    char agent[1024] = {};
    DWORD length = 0;
    UrlMkGetSessionOption(URLMON_OPTION_USERAGENT, agent, sizeof agent - 1, &length, 0);
    agent[sizeof agent - 1] = 0;
    return agent;
}

}  // namespace rw
