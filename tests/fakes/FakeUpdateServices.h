// Fakes of what the upgrade check uses: an http seam that hands out a set body and records
// the requests, a machine marker that another process may hold (and that tells whether it is
// held now).
#pragma once
#include <array>
#include <atomic>
#include <map>
#include <optional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Http.h"
#include "platform/MachineMarker.h"
#include "platform/SignatureVerifier.h"
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
        if (const auto page = pages.find(url); page != pages.end()) {
            if (!page->second) return static_cast<HResult>(0x80190194u);  // 404
            out.assign(page->second->begin(), page->second->end());
            return kS_OK;
        }
        if (Succeeded(result)) out.assign(body.begin(), body.end());
        return result;
    }
    std::string BrowserUserAgent() override { return "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 6.1)"; }

    std::mutex mutex;
    std::string body;
    HResult result = kS_OK;
    // Addresses with an answer of their own: a body, or none (a 404).
    std::map<std::wstring, std::optional<std::string>> pages;
    std::vector<Request> requests;
};

class FakeMarker final : public MachineMarker {
public:
    std::unique_ptr<Holder> Create(bool& alreadyExisted) override {
        alreadyExisted = heldElsewhere;
        ++creates;
        if (heldElsewhere) return nullptr;
        struct H : Holder {
            explicit H(std::atomic<int>& n) : held(n) { ++held; }
            ~H() override { --held; }
            std::atomic<int>& held;
        };
        return std::make_unique<H>(held);
    }
    bool heldElsewhere = false;
    int creates = 0;
    std::atomic<int> held{0};
};

// A verifier that answers as told and records what it was asked.
class FakeVerifier final : public SignatureVerifier {
public:
    bool VerifyP256Sha256(const std::vector<std::uint8_t>& key, const std::vector<std::uint8_t>& data,
                          const std::array<std::uint8_t, 64>& signature) override {
        asked.push_back({key, data, signature});
        return accept;
    }
    struct Asked {
        std::vector<std::uint8_t> key, data;
        std::array<std::uint8_t, 64> signature;
    };
    bool accept = true;
    std::vector<Asked> asked;
};

}  // namespace rw::test
