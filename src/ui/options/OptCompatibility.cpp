#include "ui/options/OptCompatibility.h"

#include <algorithm>
#include <string>

#include "framework/Dpi.h"
#include "res/resource.h"
#include "settings/SettingsCatalog.h"

namespace rw {

namespace {

constexpr DWORD kHelpContextNotifications = 52;

// The style list in its order: text and stored "NotificationStyle" value.
struct StyleEntry {
    UINT text;
    std::uint32_t style;
};
constexpr StyleEntry kStyles[] = {
    {IDS_STYLE_SYSTEM_CUSTOM, 2},
    {IDS_STYLE_SYSTEM, 0},
    {IDS_STYLE_XP_CUSTOM, 3},
    {IDS_STYLE_XP, 1},
};

// Only the custom notification methods play the page's sound.
bool IsCustomStyle(std::uint32_t style) {
    return style == 2 || style == 3;
}

bool FileExists(const std::wstring& path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The closed box cuts the longest style at any DPI; its open list shows every style whole.
void FitDroppedWidth(HWND list) {
    int widest = 0;
    const auto count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(SendMessageW(list, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        widest = std::max(widest, rw::TextWidth(list, text.c_str()));
    }
    const int margins = rw::ScaleToDpi(12, rw::WindowDpi(list)) + GetSystemMetrics(SM_CXVSCROLL);
    SendMessageW(list, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest + margins), 0);
}

}  // namespace

CppOptCompatibility::CppOptCompatibility(const SettingsIdentity& identity, rw::TrayPreview* preview)
    : COptionsPage(IDD_OPT_COMPATIBILITY, kHelpContextNotifications, identity, preview) {}

std::uint32_t CppOptCompatibility::SelectedStyle() const {
    HWND list = Item(IDC_OPT_STYLE_LIST);
    const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return m_nStyleAtOpen;
    return static_cast<std::uint32_t>(SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

rw::MessageResult CppOptCompatibility::Route(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        const UINT code = HIWORD(wParam);
        switch (LOWORD(wParam)) {
            case IDC_OPT_STYLE_LIST:
                if (code != CBN_SELENDOK) break;
                OnStyleChosen();
                return 0;
            case IDC_OPT_SOUND_PATH:
                if (code != EN_CHANGE) break;
                OnSoundPathChanged();
                return 0;
            case IDC_OPT_SOUND_PLAY:
                if (code != BN_CLICKED) break;
                OnPlay();
                return 0;
        }
    }
    return COptionsPage::Route(message, wParam, lParam);
}

void CppOptCompatibility::ExchangeData(rw::DataExchange& exchange) {
    exchange.Control(IDC_OPT_SOUND_PATH, m_editSound);
    exchange.Radio(IDC_OPT_SOUND_DEFAULT, m_nUseSoundFile);
    exchange.Text(IDC_OPT_SOUND_PATH, m_strSoundPath);
}

rw::InitFocus CppOptCompatibility::OnInitDialog() {
    updating_ = true;
    const rw::InitFocus focus = COptionsPage::OnInitDialog();
    m_nStyleAtOpen = m_nStyle;
    HWND list = Item(IDC_OPT_STYLE_LIST);
    for (const StyleEntry& entry : kStyles) AddStringResourceItem(entry.text, list, entry.style);
    FitDroppedWidth(list);

    std::uint32_t stored = 0;
    bool fromPolicy = false;
    if (rw::ReadSettingDwordRaw(identity_, rw::Setting::NotificationStyle, stored, &fromPolicy)) {
        m_nStyle = rw::ReadSettingDword(identity_, rw::Setting::NotificationStyle);  // with its range rule
        if (fromPolicy) EnableWindow(list, FALSE);
    }
    SelectItemByData(list, m_nStyle);

    SetGroupFonts({IDC_OPT_GROUP_STYLE, IDC_OPT_GROUP_SOUND});
    m_editSound.EnableFileBrowseButton(IDS_FILTER_WAVE, IDI_BROWSE, IDC_OPT_SOUND_BROWSE, IDS_BROWSE_SOUND);
    LimitAndCheck(IDC_OPT_SOUND_PATH, rw::Setting::NotificationSound, m_strSoundPath);
    HWND play = Item(IDC_OPT_SOUND_PLAY);
    const int size = rw::ScaleToDpi(16, rw::WindowDpi(hwnd()));
    m_iconPlay.reset(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PLAY), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    SendMessageW(play, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_iconPlay.get()));

    if (!m_strSoundPath.empty()) m_nUseSoundFile = 1;
    if (Preview()) Preview()->PreviewSound(m_strSoundPath);
    UpdateData(rw::Direction::ToControls);
    updating_ = false;
    UpdateSoundControls();
    return focus;
}

void CppOptCompatibility::UpdateSoundControls() {
    const bool custom = IsCustomStyle(SelectedStyle());
    updating_ = true;
    UpdateData(rw::Direction::FromControls);
    EnableItem(IDC_OPT_SOUND_PATH, custom);
    EnableItem(IDC_OPT_SOUND_FILE, custom);
    m_nUseSoundFile = custom && !m_strSoundPath.empty() ? 1 : 0;
    EnableItem(IDC_OPT_SOUND_PLAY, m_nUseSoundFile == 1 && FileExists(m_strSoundPath));
    UpdateData(rw::Direction::ToControls);
    updating_ = false;
}

void CppOptCompatibility::OnStyleChosen() {
    if (Preview()) Preview()->PreviewStyle(SelectedStyle());
    m_bPreviewShown = true;
    UpdateSoundControls();
}

void CppOptCompatibility::OnSoundPathChanged() {
    if (updating_) return;
    UpdateSoundControls();
    if (Preview()) Preview()->PreviewSound(m_strSoundPath);
}

void CppOptCompatibility::OnPlay() {
    UpdateData(rw::Direction::FromControls);
    if (!m_strSoundPath.empty() && Preview()) Preview()->PlaySoundFile(m_strSoundPath);
}

void CppOptCompatibility::OnOK() {
    UpdateData(rw::Direction::FromControls);
    m_nStyle = SelectedStyle();
    if (m_nStyle != m_nStyleAtOpen) rw::WriteSettingDword(identity_, rw::Setting::NotificationStyle, m_nStyle);
    if (m_nUseSoundFile == 0) m_strSoundPath.clear();
    rw::WriteSettingString(identity_, rw::Setting::NotificationSound, m_strSoundPath);
}

}  // namespace rw
