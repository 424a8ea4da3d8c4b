// What keeping 3 simulated units live costs: the cockpit polling them at 10 Hz (table, scope and
// monitor updating offscreen), and the poller alone without a window. The simulated units run in
// the same process, so their share is counted too. Reported as per cent of one core over a few
// seconds of wall time; the target for the cockpit is below 5.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "dialogs/bootstrap/application.h"
#include "kelcmd/kelcmd.h"
#include "studio_window.h"
#include "unit_poller.h"

namespace {

constexpr int kMeasureMs = 5000;
constexpr const char* kDevice = "sim:1-3,bus=studio-bench";

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs `wait` once and gives the process's CPU time over it, in per cent of a core, and the wall
// time it took.
double CorePercentOver(const std::function<void()>& wait, double& wallSeconds) {
    const double cpuStart = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    wait();
    wallSeconds = wall.elapsed() / 1000.0;
    return 100.0 * (CpuSeconds() - cpuStart) / wallSeconds;
}

void Cockpit(benchmark::State& state) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!kelcmd::dialogs::PrepareGui().empty()) {
        state.SkipWithError("no GUI");
        return;
    }
    kelcmd::studio::StudioWindow window("Com1", false, false);
    window.show();
    window.SetPollPeriod(100);
    if (!window.OpenPort(kDevice)) {
        state.SkipWithError("the simulated port does not open");
        return;
    }
    if (window.Scanning()) {
        QEventLoop scanned;
        QObject::connect(&window, &kelcmd::studio::StudioWindow::ScanFinished, &scanned,
                         &QEventLoop::quit);
        scanned.exec();
    }
    int cycles = 0;
    QObject::connect(&window, &kelcmd::studio::StudioWindow::ReadingsShown, [&] { ++cycles; });
    for (auto _ : state) {
        cycles = 0;
        double seconds = 0;
        // The application's own event loop, as the program runs it.
        state.counters["core_percent"] = CorePercentOver(
            [] {
                QEventLoop loop;
                QTimer::singleShot(kMeasureMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
                loop.exec();
            },
            seconds);
        state.counters["cycles_per_s"] = cycles / seconds;
    }
}

void PollerAlone(benchmark::State& state) {
    KEB_MapPort("Com2", kDevice);
    if (KEB_InitKelBus(19200, "Com2", KEB_RTS_CONTROL, 20, 4) != 0) {
        state.SkipWithError("the simulated port does not open");
        return;
    }
    std::atomic<int> cycles{0};
    {
        kelcmd::studio::UnitPoller poller(
            "Com2", [&](const std::vector<kelcmd::studio::UnitReading>&) { ++cycles; });
        poller.SetPeriod(std::chrono::milliseconds(100));
        poller.SetUnits({1, 2, 3});
        for (auto _ : state) {
            cycles = 0;
            double seconds = 0;
            state.counters["core_percent"] = CorePercentOver(
                [] { std::this_thread::sleep_for(std::chrono::milliseconds(kMeasureMs)); },
                seconds);
            state.counters["cycles_per_s"] = cycles / seconds;
        }
    }
    KEB_CloseKelBusPort("Com2");
}

}  // namespace

BENCHMARK(PollerAlone)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(Cockpit)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
