// The http seam over WinINet, with bounds: each download runs on a thread of its own that
// owns its handles and buffer, with send and receive time-outs on the connection and
// request handles, and the caller waits for it at most until a deadline. A download that
// overruns the deadline, or whose body grows past the size cap, has failed; an overrun
// thread is left to finish on its own (WinINet cannot be interrupted from outside).
#pragma once
#include <chrono>
#include <cstddef>

#include "platform/Http.h"

namespace rw {

struct HttpBounds {
    std::chrono::milliseconds sendTimeout{10000};
    std::chrono::milliseconds receiveTimeout{10000};
    std::chrono::milliseconds deadline{30000};  // the whole download, connecting included
    size_t maxBody = 1024 * 1024;
};

class HttpWinInet final : public Http {
public:
    explicit HttpWinInet(HttpBounds bounds = {}) : bounds_(bounds) {}

    // E_POINTER for an empty address; HRESULT_FROM_WIN32 of WinINet's errors; of
    // ERROR_INTERNET_TIMEOUT when the deadline passed; of ERROR_NO_DATA for an empty body;
    // of ERROR_FILE_TOO_LARGE past the cap. The HTTP status is not examined.
    HResult Fetch(const std::wstring& url, const std::wstring& userAgent, const std::wstring& extraHeaders,
                  std::vector<std::uint8_t>& body) override;
    std::string BrowserUserAgent() override;

private:
    HttpBounds bounds_;
};

}  // namespace rw
