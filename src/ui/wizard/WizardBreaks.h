// The breaks settings page: reminders on or off, the work and rest periods (slider, field
// and arrows each) and the planned breaks. The middle page of the welcome wizard and, alone
// in its sheet, the main window's "&Customize..." dialog. Finish saves what it shows.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/shared/WindowServices.h"
#include "engine/PlannedBreakList.h"
#include "engine/PlannedBreakTexts.h"
#include "kit/WizardBase.h"
#include "settings/BreakChoice.h"

namespace rw {

class CppWizardBreaks : public nsHalden::CppWizardBase {
public:
    explicit CppWizardBreaks(const rw::WindowServices& services);

    static constexpr DWORD kHelpContext = 200;

    // The choice the page opens with (locked values show the policy's instead), and the one
    // it shows now, periods clamped.
    void ShowChoice(const rw::BreakChoice& choice);
    rw::BreakChoice Choice() const;

    // The planned breaks the page opens with: a copy of the list its owner holds (the engine,
    // or the start-up before the engine exists). The page reads no list of its own.
    void ShowPlanned(const rw::CPlannedBreakList& planned) { m_listPlanned.CopyFrom(planned); }
    // The list shown, and on Finish the rows in time order, which the owner takes back.
    rw::CPlannedBreakList m_listPlanned;
    bool m_bEnableLocked = false;
    bool m_bPeriodsLocked = false;
    bool m_bPlannedShown = false;
    std::int16_t m_nWorkMinutes = 0;
    std::int16_t m_nRestMinutes = 0;
    std::wstring m_strSummary;
    bool m_bEnabled = true;

protected:
    rw::MessageResult Route(UINT message, WPARAM wParam, LPARAM lParam) override;
    rw::InitFocus OnInitDialog() override;
    void ExchangeData(rw::DataExchange& dx) override;
    bool OnWizardFinish() override;

private:
    void UpdateDescription();
    void UpdateControls(bool clamp, bool read);
    void ClampPeriods();
    void SetSliderPositions();
    std::optional<std::int16_t> TypedMinutes(int field) const;
    void OnMinutesTyped(int field);
    void OnMinutesLeft(int field);
    void SetUpSliders();
    void SetUpList();
    void ShowPlannedRows();

    bool OnCommand(UINT id, UINT code);
    rw::MessageResult OnNotify(const NMHDR& header);
    void OnArrows(int field, int delta);
    void OnSlider(HWND slider);
    void OnAdd();
    void OnEdit();
    void OnDelete();

    // Rows: each carries its record in lParam; the page owns the records until Finish.
    int AddRow(std::unique_ptr<rw::CBreakTimed> record);
    void RefreshRow(int row);
    void SortRows();
    rw::CBreakTimed* RecordOfRow(int row) const;
    int SelectedRow() const;
    HWND List() const;

    const rw::WindowServices& services_;
    rw::CPlannedBreakTexts texts_;
    std::vector<std::unique_ptr<rw::CBreakTimed>> rowRecords_;
    bool updating_ = false;  // the controls are being written or read: their notifications wait
};

}  // namespace rw
