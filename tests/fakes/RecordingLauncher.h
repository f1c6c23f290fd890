// A web launcher that records what would be opened and what would be reported.
#pragma once
#include <string>
#include <vector>

#include "platform/WebLauncher.h"

namespace rw::test {

class RecordingLauncher final : public WebLauncher {
public:
    bool Open(const std::wstring& address) override {
        opened.push_back(address);
        return succeed;
    }
    void ReportFailure(const std::wstring& message) override { reported.push_back(message); }

    bool succeed = true;  // what Open answers
    std::vector<std::wstring> opened, reported;
};

}  // namespace rw::test
