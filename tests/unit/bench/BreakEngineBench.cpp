// One engine tick with a hundred planned breaks: the cost of every timer tick while the user works.
#include <benchmark/benchmark.h>

#include "engine/BreakEngine.h"
#include "fakes/FakeCalendar.h"
#include "fakes/FakeInputClock.h"
#include "fakes/FakeLocale.h"
#include "shared/RegistryTestEnv.h"

using namespace rw;

namespace {

class NullHost final : public BreakEngineHost, public BreakEngineView, public rw::EventScheduler {
public:
    void SetStatusIcon(int) override {}
    void SetIconAndTip(int, const std::wstring& tip) override { benchmark::DoNotOptimize(tip.data()); }
    void ShowNotification(const std::wstring&, const std::wstring&, int, std::uint32_t) override {}
    void HideNotification() override {}
    void SetAlertBreakDue(bool) override {}
    void SetAlertPlannedMinutes(int) override {}
    void EnableSuspendUntilPlanned(bool) override {}
    void UpdateControlsFromData() override {}
    void RepaintRatingBar() override {}
    bool IsMainWindowVisible() override { return true; }
    const std::wstring& DisplayName() override { return name; }
    void ArmTickTimer(std::uint32_t) override {}
    void KillTickTimer() override {}
    void Schedule(std::int32_t, std::int64_t, std::int64_t) override {}
    bool Remove(std::int32_t) override { return false; }
    void Wake() override {}
    std::wstring name = L"Restwell";
};

void TickWithHundredPlannedBreaks(benchmark::State& state) {
    rw::test::ResetTestRegistry();
    rw::test::FakeCalendar calendar(0, 0);
    calendar.SetLocalNow(2026, 12, 7, 9, 0, 0);
    rw::test::FakeInputClock input;
    rw::test::FakeLocale locale;
    CPlannedBreakTexts texts(locale);
    NullHost host;
    CBreakEngine engine(BreakEngineSeams{host, host, host, input, calendar, texts, rw::test::kTestIdentity});
    CPlannedBreakList planned;
    for (int i = 0; i < 100; ++i) {
        CBreakTimed record = CBreakTimed::FromText(L"0NYNYNYN,1200,Planned break");
        record.m_nTimeOfDay = (i * 14 % 1440) * 60;
        record.m_bDays[i % 7] = true;
        planned.Insert(record);
    }
    engine.OnCustomizeConfirmed(engine.Choice(), planned);
    for (auto _ : state) {
        input.tick += 20000;
        input.lastInput = input.tick - 1000;
        calendar.Advance(20);
        engine.UpdateBreakState(CBreakEngine::kTickOrdinary);
    }
}
BENCHMARK(TickWithHundredPlannedBreaks);

}  // namespace

BENCHMARK_MAIN();
