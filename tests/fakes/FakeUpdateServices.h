// Fakes of what the upgrade check uses: an http seam that hands out a set body and records
// the requests, a machine marker that another process may hold, a notice that records what
// it was asked to show.
#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "platform/Http.h"
#include "platform/MachineMarker.h"
#include "updates/UpgradeCheck.h"

namespace rw::test {

class FakeHttp final : public Http {
public:
    struct Request {
        std::wstring url, agent, headers;
    };
    HResult Fetch(const std::wstring& url, const std::wstring& userAgent, const std::wstring& extraHeaders,
                  std::vector<std::uint8_t>& out) override {
        std::lock_guard<std::mutex> lock(mutex);
        requests.push_back({url, userAgent, extraHeaders});
        out.clear();
        if (Succeeded(result)) out.assign(body.begin(), body.end());
        return result;
    }
    std::string BrowserUserAgent() override { return "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 6.1)"; }

    std::mutex mutex;
    std::string body;
    HResult result = kS_OK;
    std::vector<Request> requests;
};

class FakeMarker final : public MachineMarker {
public:
    std::unique_ptr<Holder> Create(bool& alreadyExisted) override {
        alreadyExisted = heldElsewhere;
        ++creates;
        if (heldElsewhere) return nullptr;
        struct H : Holder {};
        return std::make_unique<H>();
    }
    bool heldElsewhere = false;
    int creates = 0;
};

class RecordingNotice final : public UpgradeNotice {
public:
    struct Shown {
        std::wstring caption, message;
        UpdateRecord record;
    };
    void Show(const std::wstring& caption, const std::wstring& message, const UpdateRecord& record) override {
        std::lock_guard<std::mutex> lock(mutex);
        shown.push_back({caption, message, record});
    }
    std::mutex mutex;
    std::vector<Shown> shown;
};

}  // namespace rw::test
