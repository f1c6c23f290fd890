// Opening an address with the default browser, and telling the user when that failed.
#pragma once
#include <string>

namespace rw {

class WebLauncher {
public:
    virtual ~WebLauncher() = default;
    virtual bool Open(const std::wstring& address) = 0;
    // message: the complete text the user reads.
    virtual void ReportFailure(const std::wstring& message) = 0;
};

}  // namespace rw
