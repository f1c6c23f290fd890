// Downloading a small file over HTTP.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/HResult.h"

namespace rw {

class Http {
public:
    virtual ~Http() = default;
    virtual HResult Fetch(const std::wstring& url, const std::wstring& userAgent, const std::wstring& extraHeaders,
                          std::vector<std::uint8_t>& body) = 0;
    // The system browser's own user agent, single-byte text in the thread's code page;
    // empty when it cannot be had.
    virtual std::string BrowserUserAgent() = 0;
};

}  // namespace rw
