#include "ui/wizard/WelcomeWizard.h"

#include "res/resource.h"
#include "settings/SettingsCatalog.h"
#include "ui/wizard/WizardBreaks.h"

CppWizardWelcomeStart::CppWizardWelcomeStart(const rw::AppShared& app)
    : CppWizardBase(app.productName.c_str(), IDD_WELCOME_START, 0) {
    m_nKind = nsHalden::PAGE_WELCOME;
    AddFlags(PSP_HIDEHEADER);
    m_dwButtons = PSWIZB_NEXT;
    m_nTitleControl = IDC_WELCOME_TITLE;
}

CppWizardWelcomeFinish::CppWizardWelcomeFinish(rw::AppShared& app)
    : CppWizardBase(app.productName.c_str(), IDD_WELCOME_FINISH, 0), app_(app) {
    m_nKind = nsHalden::PAGE_FINISH;
    AddFlags(PSP_HIDEHEADER);
    m_dwButtons = PSWIZB_BACK | PSWIZB_FINISH;
    m_nTitleControl = IDC_WELCOME_TITLE;
}

rw::InitFocus CppWizardWelcomeFinish::OnInitDialog() {
    const rw::InitFocus focus = CppWizardBase::OnInitDialog();
    // The notification area's icons at the size they have there.
    const int size = GetSystemMetrics(SM_CXSMICON);
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const struct {
        int control, icon;
    } rows[] = {{IDC_FINISH_ICON_WORKING, IDI_WORKING},
                {IDC_FINISH_ICON_DUE, IDI_BREAK_DUE},
                {IDC_FINISH_ICON_SUSPENDED, IDI_DUE_SUSPENDED},
                {IDC_FINISH_ICON_RESTING, IDI_RESTING}};
    for (size_t i = 0; i < 4; ++i) {
        icons_[i].reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(rows[i].icon), IMAGE_ICON, size, size, 0)));
        SendMessageW(Item(rows[i].control), STM_SETICON, reinterpret_cast<WPARAM>(icons_[i].get()), 0);
    }
    return focus;
}

bool CppWizardWelcomeFinish::OnWizardFinish() {
    if (nsHalden::CpsWizardBase* sheet = WizardSheet()) sheet->FinishSettingsPages();
    app_.welcomeTime = app_.seams.calendar.Now();
    rw::WriteSettingDword(app_.identity, rw::Setting::Welcome, static_cast<std::uint32_t>(app_.welcomeTime));
    return CppWizardBase::OnWizardFinish();
}

void SetUpWizardSheet(nsHalden::CpsWizardBase& sheet) {
    sheet.SetResourceInstance(GetModuleHandleW(nullptr));
    sheet.SetWizardBitmaps(IDB_WATERMARK, IDB_HEADER);
    sheet.AddFlags(PSH_WIZARD97 | PSH_HEADER | PSH_WATERMARK | PSH_WIZARD);
    sheet.SetStartPage(0);
}

bool RunWelcomeWizard(rw::AppShared& app) {
    nsHalden::CpsWizardBase sheet(app.productName);
    SetUpWizardSheet(sheet);
    CppWizardWelcomeStart start(app);
    CppWizardBreaks breaks(app);
    CppWizardWelcomeFinish finish(app);
    sheet.AddPage(start);
    sheet.AddPage(breaks);
    sheet.AddPage(finish);
    return sheet.RunModal() == rw::ID_WIZFINISH;
}
