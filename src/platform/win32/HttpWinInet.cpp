#include "platform/win32/HttpWinInet.h"

#include <windows.h>
#include <urlmon.h>
#include <wininet.h>

#include <algorithm>
#include <condition_variable>
#include <cwctype>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/win32/ThreadStack.h"

namespace rw {

constexpr HResult kE_ABORT = static_cast<HResult>(0x80004004u);

struct Download;

// The downloads whose threads still run; the object and every thread share it, so a thread
// that ends after the object still finds it.
struct HttpWinInet::Downloads {
    mutable std::mutex mutex;
    std::condition_variable ended;
    bool closing = false;
    int running = 0;
    std::vector<std::weak_ptr<Download>> live;
};

namespace {

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

// An address taken apart: what a connection and a request need, and what a redirect is
// compared on.
struct Target {
    INTERNET_SCHEME scheme = INTERNET_SCHEME_UNKNOWN;
    std::wstring host;  // lower case
    INTERNET_PORT port = 0;
    std::wstring object;
};

HResult Crack(const std::wstring& url, Target& target) {
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    wchar_t host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
    std::wstring path(url.size() + 1, L'\0');
    std::wstring extra(url.size() + 1, L'\0');
    wchar_t user[64] = {};
    parts.lpszHostName = host;
    parts.dwHostNameLength = ARRAYSIZE(host);
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = static_cast<DWORD>(path.size());
    parts.lpszExtraInfo = extra.data();
    parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
    parts.lpszUserName = user;
    parts.dwUserNameLength = ARRAYSIZE(user);
    if (!InternetCrackUrlW(url.c_str(), 0, 0, &parts)) return LastError();
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
        return HResultFromWin32(ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    }
    // A user name in the address is never sent anywhere.
    if (parts.dwUserNameLength != 0 || url.find(L'@') < url.find_first_of(L"/?#", url.find(L"://") + 3)) {
        return HResultFromWin32(ERROR_INTERNET_INVALID_URL);
    }
    target.scheme = parts.nScheme;
    target.host.assign(host, parts.dwHostNameLength);
    for (wchar_t& c : target.host) c = static_cast<wchar_t>(std::towlower(c));
    target.port = parts.nPort;
    target.object.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    target.object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (target.object.empty()) target.object = L"/";
    return kS_OK;
}

// A redirect stays on the host first asked: the same scheme and port, or the same host over
// https instead of http.
bool MayRedirect(const Target& from, const Target& to) {
    if (to.host != from.host) return false;
    if (to.scheme == from.scheme) return to.port == from.port;
    return from.scheme == INTERNET_SCHEME_HTTP && to.scheme == INTERNET_SCHEME_HTTPS;
}

bool IsRedirect(DWORD status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace

// What the download thread and the waiting caller share; the last of the two frees it. The
// internet handles sit here so that the waiting side can close them at the deadline: each
// is closed exactly once, by whichever side gets to it first, under the mutex.
struct Download {
    std::wstring url, agent, headers;
    HttpBounds bounds;
    std::chrono::steady_clock::time_point deadline;
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool abandoned = false;
    HResult result = kE_UNEXPECTED;
    std::vector<std::uint8_t> body;
    HINTERNET handles[3] = {};  // session, connection, request

    enum Slot { kSession, kConnection, kRequest };

    // Takes ownership of a new handle; false (and the handle closed) once abandoned.
    bool Keep(Slot slot, HINTERNET h) {
        std::lock_guard<std::mutex> lock(mutex);
        if (abandoned) {
            if (h) InternetCloseHandle(h);
            return false;
        }
        handles[slot] = h;
        return h != nullptr;
    }
    HINTERNET Handle(Slot slot) {
        std::lock_guard<std::mutex> lock(mutex);
        return handles[slot];
    }
    void Close(Slot slot) {
        std::lock_guard<std::mutex> lock(mutex);
        CloseLocked(slot);
    }
    void CloseLocked(Slot slot) {
        if (handles[slot]) InternetCloseHandle(handles[slot]);
        handles[slot] = nullptr;
    }
    // The waiting side gives up: closing the handles ends a call the thread is blocked in.
    void Abandon() {
        std::lock_guard<std::mutex> lock(mutex);
        abandoned = true;
        CloseLocked(kRequest);
        CloseLocked(kConnection);
        CloseLocked(kSession);
        finished.notify_all();
    }
    bool GoOn() {
        std::lock_guard<std::mutex> lock(mutex);
        return !abandoned && std::chrono::steady_clock::now() < deadline;
    }
};

namespace {

HResult Stopped(Download& d) {
    std::lock_guard<std::mutex> lock(d.mutex);
    return d.abandoned ? kE_ABORT : HResultFromWin32(ERROR_INTERNET_TIMEOUT);
}

// A WinINet call failed: its error, or the reason the download was stopped (closing the
// handles is what made the call fail then). The error is read before anything else runs.
HResult Failure(Download& d) {
    const HResult error = LastError();
    return d.GoOn() ? error : Stopped(d);
}

// One request on an open session: the status, and the Location of a redirect.
HResult Request(Download& d, const Target& target, DWORD& status, std::wstring& location) {
    HINTERNET session = d.Handle(Download::kSession);
    if (!d.Keep(Download::kConnection, InternetConnectW(session, target.host.c_str(), target.port, nullptr, nullptr,
                                                        INTERNET_SERVICE_HTTP, 0, 0))) {
        return Failure(d);
    }
    HINTERNET connection = d.Handle(Download::kConnection);
    SetTimeouts(connection, d.bounds);
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI |
                  INTERNET_FLAG_NO_AUTH | INTERNET_FLAG_NO_AUTO_REDIRECT;
    if (target.scheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
    if (!d.Keep(Download::kRequest,
                HttpOpenRequestW(connection, L"GET", target.object.c_str(), nullptr, nullptr, nullptr, flags, 0))) {
        return Failure(d);
    }
    HINTERNET request = d.Handle(Download::kRequest);
    SetTimeouts(request, d.bounds);
    if (!HttpSendRequestW(request, d.headers.empty() ? nullptr : d.headers.c_str(),
                          d.headers.empty() ? 0 : static_cast<DWORD>(-1), nullptr, 0)) {
        return Failure(d);
    }
    DWORD size = sizeof status;
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) {
        return Failure(d);
    }
    if (IsRedirect(status)) {
        wchar_t text[INTERNET_MAX_URL_LENGTH + 1] = {};
        DWORD bytes = sizeof text - sizeof text[0];
        if (!HttpQueryInfoW(request, HTTP_QUERY_LOCATION, text, &bytes, nullptr)) {
            return HResultFromWin32(ERROR_HTTP_REDIRECT_FAILED);
        }
        location.assign(text, bytes / sizeof text[0]);
    }
    return kS_OK;
}

HResult ReadBody(Download& d, std::vector<std::uint8_t>& body) {
    HINTERNET request = d.Handle(Download::kRequest);
    for (;;) {
        if (!d.GoOn()) return Stopped(d);
        DWORD ready = 0;
        if (!InternetQueryDataAvailable(request, &ready, 0, 0)) return Failure(d);
        if (ready == 0) break;  // the end of the body
        if (ready > d.bounds.maxBody - body.size()) return HResultFromWin32(ERROR_FILE_TOO_LARGE);
        const size_t at = body.size();
        body.resize(at + ready);
        DWORD read = 0;
        if (!InternetReadFile(request, body.data() + at, ready, &read)) return Failure(d);
        body.resize(at + read);
        if (read == 0) break;
    }
    return body.empty() ? HResultFromWin32(ERROR_NO_DATA) : kS_OK;
}

HResult Run(Download& d) {
    if (const DWORD e = InternetAttemptConnect(0); e != ERROR_SUCCESS) return HResultFromWin32(static_cast<long>(e));
    Target first;
    if (const HResult hr = Crack(d.url, first); Failed(hr)) return hr;
    if (!d.Keep(Download::kSession,
                InternetOpenW(d.agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0))) {
        return Failure(d);
    }
    SetTimeouts(d.Handle(Download::kSession), d.bounds);

    std::wstring url = d.url;
    Target target = first;
    for (int redirects = 0;; ++redirects) {
        DWORD status = 0;
        std::wstring location;
        if (const HResult hr = Request(d, target, status, location); Failed(hr)) return hr;
        if (!IsRedirect(status)) {
            if (status != 200) return HResultFromHttpStatus(status);
            std::vector<std::uint8_t> body;
            if (const HResult hr = ReadBody(d, body); Failed(hr)) return hr;
            std::lock_guard<std::mutex> lock(d.mutex);
            d.body = std::move(body);
            return kS_OK;
        }
        // A redirect: resolved against the address it answered, then checked before anything
        // is sent there.
        if (redirects >= d.bounds.maxRedirects) return HResultFromWin32(ERROR_HTTP_REDIRECT_FAILED);
        std::wstring next(INTERNET_MAX_URL_LENGTH + 1, L'\0');
        DWORD length = static_cast<DWORD>(next.size());
        if (!InternetCombineUrlW(url.c_str(), location.c_str(), next.data(), &length, ICU_NO_ENCODE)) {
            return HResultFromWin32(ERROR_HTTP_REDIRECT_FAILED);
        }
        next.resize(length);
        Target to;
        if (Failed(Crack(next, to)) || !MayRedirect(first, to)) return HResultFromWin32(ERROR_HTTP_REDIRECT_FAILED);
        d.Close(Download::kRequest);
        d.Close(Download::kConnection);
        if (!d.GoOn()) return Stopped(d);
        url = std::move(next);
        target = std::move(to);
    }
}

}  // namespace

HttpWinInet::HttpWinInet(HttpBounds bounds) : bounds_(bounds), downloads_(std::make_shared<Downloads>()) {}

HttpWinInet::~HttpWinInet() {
    std::vector<std::shared_ptr<Download>> live;
    {
        std::lock_guard<std::mutex> lock(downloads_->mutex);
        downloads_->closing = true;
        for (const auto& weak : downloads_->live) {
            if (auto d = weak.lock()) live.push_back(std::move(d));
        }
    }
    for (const auto& d : live) d->Abandon();
    // Closing the handles ends the threads' calls; one that WinINet does not give up ends at
    // its time-out (the thread then sends nothing more), or with the process.
    std::unique_lock<std::mutex> lock(downloads_->mutex);
    downloads_->ended.wait_for(lock, bounds_.stopWait, [&] { return downloads_->running == 0; });
}

int HttpWinInet::RunningDownloads() const {
    std::lock_guard<std::mutex> lock(downloads_->mutex);
    return downloads_->running;
}

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
        download->deadline = std::chrono::steady_clock::now() + bounds_.deadline;
        const std::shared_ptr<Downloads> downloads = downloads_;
        {
            std::lock_guard<std::mutex> lock(downloads->mutex);
            if (downloads->closing) return kE_ABORT;
            auto& live = downloads->live;
            live.erase(std::remove_if(live.begin(), live.end(), [](const auto& w) { return w.expired(); }), live.end());
            downloads->live.push_back(download);
            ++downloads->running;
        }
        try {
            std::thread([download, downloads] {
                HResult result = kE_UNEXPECTED;
                try {
                    result = Run(*download);
                } catch (...) {
                    result = kE_UNEXPECTED;
                }
                {
                    std::lock_guard<std::mutex> lock(download->mutex);
                    for (auto slot : {Download::kRequest, Download::kConnection, Download::kSession}) {
                        download->CloseLocked(slot);
                    }
                    download->result = result;
                    download->done = true;
                    download->finished.notify_all();
                }
                // The system keeps an ended thread's stack until another thread ends, maybe
                // with the next day's download.
                ReleaseUnusedStack();
                std::lock_guard<std::mutex> lock(downloads->mutex);
                --downloads->running;
                downloads->ended.notify_all();
            }).detach();
        } catch (...) {
            std::lock_guard<std::mutex> lock(downloads->mutex);
            --downloads->running;
            throw;
        }

        std::unique_lock<std::mutex> lock(download->mutex);
        const bool ended = download->finished.wait_until(lock, download->deadline,
                                                         [&] { return download->done || download->abandoned; });
        if (!ended || !download->done) {
            lock.unlock();
            download->Abandon();
            return ended ? kE_ABORT : HResultFromWin32(ERROR_INTERNET_TIMEOUT);
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
