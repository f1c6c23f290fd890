#include "ui/wizard/WelcomeWizard.h"

#include "res/resource.h"
#include "settings/SettingsCatalog.h"
#include "ui/wizard/WizardBreaks.h"

namespace rw {

CppWizardWelcomeStart::CppWizardWelcomeStart(const rw::WindowServices& services)
    : CppWizardBase(services.productName.c_str(), IDD_WELCOME_START, 0) {
    m_nKind = nsHalden::PAGE_WELCOME;
    AddFlags(PSP_HIDEHEADER);
    m_dwButtons = PSWIZB_NEXT;
    m_nTitleControl = IDC_WELCOME_TITLE;
}

CppWizardWelcomeFinish::CppWizardWelcomeFinish(const rw::WindowServices& services)
    : CppWizardBase(services.productName.c_str(), IDD_WELCOME_FINISH, 0), services_(services) {
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
        icons_[i].reset(
            static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(rows[i].icon), IMAGE_ICON, size, size, 0)));
        SendMessageW(Item(rows[i].control), STM_SETICON, reinterpret_cast<WPARAM>(icons_[i].get()), 0);
    }
    return focus;
}

bool CppWizardWelcomeFinish::OnWizardFinish() {
    if (nsHalden::CpsWizardBase* sheet = WizardSheet()) sheet->FinishSettingsPages();
    finishedAt_ = services_.seams.calendar.Now();
    rw::WriteSettingDword(services_.identity, rw::Setting::Welcome, static_cast<std::uint32_t>(*finishedAt_));
    return CppWizardBase::OnWizardFinish();
}

void SetUpWizardSheet(nsHalden::CpsWizardBase& sheet) {
    sheet.SetResourceInstance(GetModuleHandleW(nullptr));
    sheet.SetWizardBitmaps(IDB_WATERMARK, IDB_HEADER);
    sheet.AddFlags(PSH_WIZARD97 | PSH_HEADER | PSH_WATERMARK | PSH_WIZARD);
    sheet.SetStartPage(0);
}

std::optional<std::int64_t> RunWelcomeWizard(const rw::WindowServices& services, const rw::CPlannedBreakList& planned) {
    nsHalden::CpsWizardBase sheet(services.productName);
    SetUpWizardSheet(sheet);
    CppWizardWelcomeStart start(services);
    CppWizardBreaks breaks(services);
    breaks.ShowPlanned(planned);
    CppWizardWelcomeFinish finish(services);
    sheet.AddPage(start);
    sheet.AddPage(breaks);
    sheet.AddPage(finish);
    if (sheet.RunModal() != rw::ID_WIZFINISH) return std::nullopt;
    return finish.FinishedAt().value_or(0);  // 0: finished at a time not known
}

}  // namespace rw
