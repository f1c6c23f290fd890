// The main window's commands: its buttons and links, the tray menus, the help menu and the
// alert pop-up's buttons (which post the same command numbers).
#include "ui/main/Main.h"

#include <commctrl.h>

#include "core/PrivateMessages.h"
#include "core/ResourceString.h"
#include "ui/about/About.h"
#include "ui/options/OptCommercial.h"
#include "ui/options/OptCompatibility.h"
#include "ui/options/OptGeneral.h"
#include "ui/wizard/WelcomeWizard.h"
#include "ui/wizard/WizardBreaks.h"

namespace rw {

namespace {

constexpr DWORD kHelpTopicUsers = 1;

}  // namespace

bool CdlgMain::OnCommand(UINT id, UINT code) {
    switch (id) {
        case ID_OPEN_MAIN: ShowMainWindow(); return true;
        case ID_EXIT: Exit(); return true;
        case ID_I_AM_RESTED: m_engine.OnIAmRested(); return true;
        case ID_SUSPEND_15: m_engine.OnSuspend(rw::SuspendCommand::For15Minutes); return true;
        case ID_SUSPEND_30: m_engine.OnSuspend(rw::SuspendCommand::For30Minutes); return true;
        case ID_SUSPEND_UNTIL_REST: m_engine.OnSuspend(rw::SuspendCommand::UntilNextRest); return true;
        case ID_SUSPEND_UNTIL_PLANNED: m_engine.OnSuspend(rw::SuspendCommand::UntilPlannedBreak); return true;
        case ID_HELP_TOPICS: services_.links.ShowHelp(0, HELP_CONTENTS); return true;
        case IDC_OPTIONS:
            if (code != BN_CLICKED) return false;
            ShowOptions();
            return true;
        case ID_ABOUT:
        case ID_HELP_ABOUT: ShowAbout(); return true;
        case IDC_UPGRADE:
            if (code != BN_CLICKED) return false;
            updates_.OnUpgradeButton();
            return true;
        case IDC_NEWS:
            if (code != BN_CLICKED) return false;
            updates_.ShowNewsWindow();
            return true;
        case IDC_HELP_MENU:
            if (code != BN_CLICKED) return false;
            OnHelpButton();
            return true;
        case IDC_CUSTOMIZE:
            if (code != BN_CLICKED) return false;
            CustomizeBreaks();
            return true;
        case IDC_BANNER:
            if (code != STN_CLICKED) return false;
            OnBannerClick();
            return true;
    }
    return false;
}

void CdlgMain::OnHelpButton() {
    switch (m_buttonHelp.MenuResult()) {
        case ID_HELP_USERS: services_.links.ShowHelp(kHelpTopicUsers, HELP_CONTEXT); break;
        case ID_HELP_CONTEXT: services_.links.ShowHelp(kHelpContextMain, HELP_CONTEXT); break;
        case ID_HELP_ABOUT: ShowAbout(); break;
        default: services_.links.ShowHelp(0, HELP_CONTENTS); break;
    }
}

void CdlgMain::ShowOptions() {
    const SettingsIdentity& identity = services_.identity;
    rw::CNotificationIcon& icon = tray_.Icon();
    rw::CppOptGeneral general(identity, &icon);
    rw::CppOptCommercial commercial(services_, &icon);
    rw::CppOptCompatibility notifications(identity, &icon);
    notifications.m_nStyle = m_nNotificationStyle;
    // The page shows the user's own sound path, not one imposed by policy.
    const rw::SettingInfo& sound = rw::SettingInfoOf(rw::Setting::NotificationSound);
    // Whole, however long: the page reports a path too long to be used.
    SettingsReadText(identity, rw::PlainRootOf(sound.key), rw::SectionOf(sound.key), sound.name,
                     rw::COptionsPage::kReadWhole, notifications.m_strSoundPath);

    nsHalden::CPropertySheetPlus sheet(rw::ResourceText(IDS_OPTIONS_CAPTION), hwnd());
    sheet.AddFlags(PSH_NOAPPLYNOW);
    sheet.AddPage(general);
    sheet.AddPage(commercial);
    sheet.AddPage(notifications);

    icon.PreviewEcoMode(services_.EcoMode());
    const bool ecoBefore = services_.EcoMode();
    const DWORD styleBefore = m_nNotificationStyle;
    const INT_PTR result = sheet.RunModal();
    if (!hwnd()) return;  // the program ended while the sheet was open

    bool changed = false;
    if (result == IDOK) {
        ApplySettings();
        changed = services_.EcoMode() != ecoBefore || m_nNotificationStyle != styleBefore;
    }
    if (notifications.m_bPreviewShown || changed) icon.OnTrayIconRequest(rw::TrayIconRequest::RecreateWithWelcome);
}

void CdlgMain::CustomizeBreaks() {
    nsHalden::CpsWizardBase sheet(services_.productName, hwnd());
    rw::SetUpWizardSheet(sheet);
    rw::CppWizardBreaks page(services_);
    page.ShowChoice(m_engine.Choice());
    page.ShowPlanned(m_engine.PlannedBreaks());
    sheet.AddPage(page);
    // The page has saved everything when the sheet ends with Finish; Cancel changes nothing.
    if (sheet.RunModal() != rw::ID_WIZFINISH) return;
    m_engine.OnCustomizeConfirmed(page.Choice(), page.m_listPlanned);
}

void CdlgMain::OnBannerClick() {
    if (services_.branding.brandingActive) {
        if (!tips_.BrandLink().empty()) services_.links.OpenWebAddress(tips_.BrandLink().c_str(), false);
    } else {
        services_.links.OpenWebAddress(m_strBannerLink.c_str(), true);
    }
}

rw::MessageResult CdlgMain::OnNotify(const NMHDR& header) {
    switch (header.idFrom) {
        case IDC_BREAKS_LINK:
            if (header.code != NM_CLICK && header.code != NM_RETURN) break;
            services_.links.OpenHealthHint(rw::CHealthTips::kBreaksHint);
            return 0;
    }
    if (tips_.OnNotify(header)) return 0;
    return rw::kNotHandled;
}

void CdlgMain::ShowAbout() {
    if (RaiseModalWindow()) return;  // from the tray or the pop-up while another one is open
    rw::CdlgAbout about(services_, titleFont_.get());
    about.RunModal(hwnd());
}

}  // namespace rw
