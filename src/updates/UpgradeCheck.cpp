#include "updates/UpgradeCheck.h"

#include "core/PrivateMessages.h"
#include "core/ScheduledEventIds.h"
#include "core/VendorSite.h"
#include "core/ResourceString.h"
#include "platform/Strings.h"
#include "res/string_ids.h"
#include "settings/SettingsCatalog.h"

namespace rw {

std::wstring BuildUserAgent(const std::wstring& company, const std::wstring& product, const std::wstring& shortVersion,
                            const std::string& browserAgent) {
    std::wstring agent = company + L"_" + product + L"/" + shortVersion;
    if (agent.size() > 1023) agent.resize(1023);
    for (wchar_t& c : agent) {
        if (c == L' ') c = L'_';
    }
    const size_t open = browserAgent.find('(');
    if (open != std::string::npos) {
        agent += L' ';
        agent += AnsiToWide(browserAgent.data() + open, browserAgent.size() - open);
    }
    if (agent.size() > 1023) agent.resize(1023);
    return agent;
}

std::wstring BuildAcceptLanguage(const std::wstring& language, const std::wstring& country) {
    std::wstring header = L"Accept-Language: " + language;
    if (!country.empty()) header += L"-" + country;
    header += L"\r\n";
    if (header.size() > 1023) header.resize(1023);
    return header;
}

std::wstring UpdateFileAddress() {
    std::wstring address;
    for (wchar_t c : VendorAddress(L"/products/Restwell/downloads/?")) {
        if (c != L' ') address += c;
    }
    return address + L"ver=" + kRunningVersionText;
}

std::wstring UpdateSignatureAddress() {
    return VendorAddress(L"/products/Restwell/downloads/index.html.sig");
}

NoticeTexts NoticeTextsFor(const UpdateRecord& record) {
    const int parts[4] = {VersionPart(record.version, 0), VersionPart(record.version, 1),
                          VersionPart(record.version, 2), VersionPart(record.version, 3)};
    NoticeTexts texts;
    unsigned caption = IDS_UPGRADE_OPTIONAL_CAPTION, message = IDS_UPGRADE_OPTIONAL;
    if (record.type == UPGRADE_TYPE_REQUIRED) {
        caption = IDS_UPGRADE_REQUIRED_CAPTION;
        message = IDS_UPGRADE_REQUIRED;
    } else if (record.type == UPGRADE_TYPE_UNSUPPORTED) {
        caption = IDS_UNSUPPORTED_CAPTION;
        message = IDS_UNSUPPORTED;
    }
    texts.caption = ResourceText(caption);
    if (record.type == UPGRADE_TYPE_UNSUPPORTED) {
        texts.message = ResourceText(message);
    } else {
        FormatResourceString(texts.message, message, {parts[0], parts[1], parts[2], parts[3]});
    }
    return texts;
}

UpdateRecord SharedUpdateRecords::Upgrade() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return records_.upgradeInfo;
}

UpdateRecord SharedUpdateRecords::News() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return records_.newsInfo;
}

void SharedUpdateRecords::SetUpgrade(const UpdateRecord& record) {
    std::lock_guard<std::mutex> lock(mutex_);
    records_.upgradeInfo = record;
}

void SharedUpdateRecords::SetNews(const UpdateRecord& record) {
    std::lock_guard<std::mutex> lock(mutex_);
    records_.newsInfo = record;
}

void SharedUpdateRecords::Set(const UpdateRecords& records) {
    std::lock_guard<std::mutex> lock(mutex_);
    records_ = records;
}

void SharedUpdateRecords::SetNotice(UpgradeNoticeRequest notice) {
    std::lock_guard<std::mutex> lock(mutex_);
    notice_ = std::move(notice);
}

std::optional<UpgradeNoticeRequest> SharedUpdateRecords::TakeNotice() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::optional<UpgradeNoticeRequest> notice = std::move(notice_);
    notice_.reset();
    return notice;
}

void UpgradeCheck(bool retry, WorkerChannel& channel, const SettingsIdentity& identity,
                  UpgradeCheckServices& services) {
    // Only one check on the machine at a time; one that cannot make the marker runs anyway.
    // The marker is held for the download alone: nothing here waits for the user.
    bool existed = false;
    auto marker = services.marker.Create(existed);
    if (existed) return;

    // A stored time more than a day ahead comes from a wrong clock (or a bad value) and
    // counts as no check at all; the comparisons cannot overflow.
    const std::int64_t now = services.calendar.Now();
    std::int64_t last = 0;
    if (ReadSettingInt64(identity, Setting::UpgradeCheck, last) && last <= now + kUpgradeCheckPeriod &&
        last > now - kUpgradeCheckPeriod) {
        channel.Post(WMU_CHECK_SKIPPED, 0, 0);
        return;
    }

    const std::wstring agent =
        BuildUserAgent(L"Quillfen", L"Restwell", kRunningVersionShort, services.http.BrowserUserAgent());
    const std::wstring headers = BuildAcceptLanguage(services.locale.IsoLanguage(), services.locale.IsoCountry());
    std::vector<std::uint8_t> body;
    HResult fetched = services.http.Fetch(services.fileAddress, agent, headers, body);
    // With a key compiled in, a file that key did not sign is no download at all.
    if (Succeeded(fetched) && !services.updateKey.empty()) {
        std::vector<std::uint8_t> signature;
        const HResult signatureFetched = services.http.Fetch(services.signatureAddress, agent, headers, signature);
        if (Failed(signatureFetched)) {
            fetched = signatureFetched;
        } else if (!UpdateSignatureAccepted(services.verifier, services.updateKey, body, signature)) {
            fetched = kE_FAIL;
        }
    }
    marker.reset();
    if (Failed(fetched)) {
        if (!retry) channel.Schedule(EVENT_UPGRADE_RETRY, services.calendar.Now() + kUpgradeRetryDelay, 0);
        return;
    }
    if (channel.Stopped()) return;
    const std::int64_t checked = services.calendar.Now();
    channel.Write([&] { WriteSettingInt64(identity, Setting::UpgradeCheck, checked); });

    UpdateRecord product;
    const HResult result = ParseUpdateEntry(body.data(), body.size(), kProductEntryKey, kRunningVersion, product);
    if (result == kUpdateEntryFound) {
        const bool quit = product.type == UPGRADE_TYPE_REQUIRED || product.type == UPGRADE_TYPE_UNSUPPORTED;
        bool show = true;
        if (product.type == UPGRADE_TYPE_OPTIONAL) {
            show = ReadSettingDword(identity, Setting::UpgradePopupOpts) == 1;
        }
        // The notice is the user-interface thread's to show; the worker goes on meanwhile.
        if (show) {
            const NoticeTexts texts = NoticeTextsFor(product);
            if (channel.Write([&] { services.records.SetNotice({texts.caption, texts.message, product, quit}); })) {
                channel.Post(WMU_UPGRADE_NOTICE, 0, 0);
            }
        }
        if (!quit && channel.Write([&] { services.records.SetUpgrade(product); })) {
            channel.Post(WMU_UPGRADE_INFO, 0, 0);
        }
    } else if (result == kUpdateEntryNotNewer) {
        if (channel.Write([&] { services.records.SetUpgrade(product); })) channel.Post(WMU_UPGRADE_INFO, 0, 0);
    }

    UpdateRecord news;
    if (ParseUpdateEntry(body.data(), body.size(), kNewsEntryKey, 0, news) == kUpdateEntryFound) {
        if (channel.Write([&] { services.records.SetNews(news); })) channel.Post(WMU_NEWS_INFO, 0, 0);
    }
}

void LoadStoredUpdateState(const SettingsIdentity& identity, std::int64_t now, UpdateRecords& records) {
    std::int64_t stored = 0;
    if (ReadSettingInt64(identity, Setting::UpgradeVersion, stored)) {
        UpdateRecord& upgrade = records.upgradeInfo;
        upgrade.version = static_cast<VersionQuad>(stored);
        if (upgrade.version > kRunningVersion) {
            const std::wstring url = ReadSettingString(identity, Setting::UpgradeUrl);
            upgrade.url = IsWebAddress(url) ? url : std::wstring();
            upgrade.type = ReadSettingDword(identity, Setting::UpgradeType);
        }
    }
    if (ReadSettingInt64(identity, Setting::NewsVersion, stored)) {
        UpdateRecord& news = records.newsInfo;
        news.version = SanitiseDateVersion(static_cast<VersionQuad>(stored), now);
        if (news.version != 0) {
            const std::wstring url = ReadSettingString(identity, Setting::NewsUrl);
            news.url = IsWebAddress(url) ? url : std::wstring();
        }
    }
}

void LoadStoredUpdateState(const SettingsIdentity& identity, std::int64_t now, SharedUpdateRecords& records) {
    UpdateRecords loaded{records.Upgrade(), records.News()};
    LoadStoredUpdateState(identity, now, loaded);
    records.Set(loaded);
}

}  // namespace rw
