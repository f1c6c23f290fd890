// The http seam over WinINet, with bounds: each download runs on a thread of its own, with
// send and receive time-outs on the connection and request handles, and the caller waits
// for it at most until a deadline. At the deadline the waiting side closes the download's
// handles (which ends a blocked WinINet call on Windows; Wine lets the call run to its
// time-out) and the thread gives up at its next step, so an abandoned download stops
// talking to the server. Redirects are followed by hand, a few
// and only on the same host; any status but 200 fails. The object's destruction ends every
// download still running and waits for their threads, within a bound.
#pragma once
#include <chrono>
#include <cstddef>
#include <memory>

#include "platform/Http.h"

namespace rw {

struct HttpBounds {
    std::chrono::milliseconds sendTimeout{10000};
    std::chrono::milliseconds receiveTimeout{10000};
    std::chrono::milliseconds deadline{30000};  // the whole download, connecting included
    size_t maxBody = 1024 * 1024;
    int maxRedirects = 3;
    // How long the object's destruction waits for downloads it has abandoned. WinINet may
    // not give up a blocked call when its handle is closed (Wine does not): such a thread
    // ends at its next time-out, or with the process.
    std::chrono::milliseconds stopWait{2000};
};

// The result for a page answered with an HTTP status other than 200 (HTTP_E_STATUS_*).
constexpr HResult HResultFromHttpStatus(unsigned status) {
    return static_cast<HResult>(0x80190000u | (status & 0xFFFFu));
}

class HttpWinInet final : public Http {
public:
    explicit HttpWinInet(HttpBounds bounds = {});
    ~HttpWinInet() override;
    HttpWinInet(const HttpWinInet&) = delete;
    HttpWinInet& operator=(const HttpWinInet&) = delete;

    // E_POINTER for an empty address; HRESULT_FROM_WIN32 of WinINet's errors; of
    // ERROR_INTERNET_TIMEOUT when the deadline passed; of ERROR_NO_DATA for an empty body;
    // of ERROR_FILE_TOO_LARGE past the cap; of ERROR_HTTP_REDIRECT_FAILED for a redirect
    // that may not be followed; HResultFromHttpStatus for a status other than 200;
    // E_ABORT once the object is being destroyed.
    HResult Fetch(const std::wstring& url, const std::wstring& userAgent, const std::wstring& extraHeaders,
                  std::vector<std::uint8_t>& body) override;
    std::string BrowserUserAgent() override;

    // Download threads still running (for tests: an abandoned download must end).
    int RunningDownloads() const;

    struct Downloads;

private:
    HttpBounds bounds_;
    std::shared_ptr<Downloads> downloads_;
};

}  // namespace rw
