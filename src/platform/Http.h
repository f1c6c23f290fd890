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
};

}  // namespace rw
