// What one redraw of the Activity window costs: the log has taken a few thousand queries
// since the last one, so the whole table of 1,000 changes, and the window is painted at once
// (Qt's offscreen platform). The window redraws at most CQtActivityWindow::kRefreshIntervalMs
// apart.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <string>

#include "activity/QueryLog.h"
#include "dialogs/ActivityDialog.h"
#include "dialogs/qt/QtActivityWindow.h"
#include "dns/FilterLists.h"
#include "settings/ProfileStore.h"
#include "shell/HeadlessDesktop.h"

namespace {

void BM_RedrawFullTable(benchmark::State& state) {
    const ProfileStore profile("/nonexistent/NIMBREL.INI");
    CFilterLists filters(profile, nullptr);
    CQueryLog log;
    CHeadlessDesktop desktop;
    CActivityDialog dialog(log, filters, profile, desktop);
    CQtActivityWindow window(dialog);
    window.show();
    QApplication::processEvents();
    int next = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < 5000; ++i, ++next) {
            const std::string name = "host" + std::to_string(next) + ".ads.example.com";
            log.Record(QueryRecord{
                name, 1, i % 2 == 0 ? ActivityOutcome::kBlocked : ActivityOutcome::kRelayed,
                0x0100007F, 1234});
        }
        state.ResumeTiming();
        window.Refresh();
        window.repaint();
    }
}
BENCHMARK(BM_RedrawFullTable)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

void BM_RecordQuery(benchmark::State& state) {
    CQueryLog log;
    for (auto _ : state) {
        log.Record(QueryRecord{"img.ads.example.com", 1, ActivityOutcome::kBlocked});
    }
}
BENCHMARK(BM_RecordQuery);

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
