// The skew search of Correction and its inscribed-rectangle search on
// generated A4 scans at 300 dpi (2480 x 3508), colour and 1-bit, tilted on
// and off the 0.1 degree grid, with and without a dark scanner border.
//
// The plain reference search (a real rotated copy per candidate) and the
// fast one run on the same pages; after the run a table shows the angle
// each found against the truth, whether they agree and the speed-up. The
// program fails when the two disagree on any page. Build in Release.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/PageGenerator.h"
#include "command/AutoCrop.h"
#include "command/Deskew.h"
#include "command/RotateAndCrop.h"

namespace {

using vellomar::TBitmap;
using vellomar::TPixelFormat;
using vellomar::bench::DescribeScanPage;
using vellomar::bench::GenerateScanPage;
using vellomar::bench::TScanPage;

struct TPageRun {
    TScanPage Layout;
    std::unique_ptr<TBitmap> Page;  // generated on first use
    double ReferenceAngle = NAN, FastAngle = NAN;
    double ReferenceMs = NAN, FastMs = NAN;
};

std::vector<TPageRun>& PageRuns() {
    static std::vector<TPageRun> runs = [] {
        std::vector<TPageRun> r;
        for (TPixelFormat format : {TPixelFormat::Rgb24, TPixelFormat::Bw1})
            for (double tilt : {1.3, -2.27})
                for (int border : {0, 60}) {
                    TPageRun run;
                    run.Layout.Format = format;
                    run.Layout.TiltDegrees = tilt;
                    run.Layout.Border = border;
                    r.push_back(std::move(run));
                }
        return r;
    }();
    return runs;
}

const TBitmap& PageOf(TPageRun& run) {
    if (!run.Page) run.Page = std::make_unique<TBitmap>(GenerateScanPage(run.Layout));
    return *run.Page;
}

// Runs the search, keeping its angle and the mean wall time per search.
void RunSearch(benchmark::State& state, TPageRun& run, bool reference) {
    const TBitmap& page = PageOf(run);
    double angle = NAN;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        angle = reference ? vellomar::FindSkewAngleReference(page) : vellomar::FindSkewAngle(page);
        benchmark::DoNotOptimize(angle);
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() /
                      double(state.iterations());
    state.counters["angle"] = angle;
    (reference ? run.ReferenceAngle : run.FastAngle) = angle;
    (reference ? run.ReferenceMs : run.FastMs) = ms;
}

constexpr int kA4Width = 2480, kA4Height = 3508;

void RegisterBenchmarks() {
    for (TPageRun& run : PageRuns()) {
        const std::string name = DescribeScanPage(run.Layout);
        benchmark::RegisterBenchmark(("SkewSearch/Reference/" + name).c_str(),
                                     [&run](benchmark::State& s) { RunSearch(s, run, true); })
            ->Iterations(1)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("SkewSearch/Fast/" + name).c_str(),
                                     [&run](benchmark::State& s) { RunSearch(s, run, false); })
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    }
    for (double angle : {0.0, 1.3, -2.3, 5.0}) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, "/%+.1f", angle);
        auto inscribed = [angle](benchmark::State& s, bool loop) {
            int w = 0, h = 0;
            for (auto _ : s) {
                const bool found = loop ? vellomar::FindInscribedRectangleReference(kA4Width, kA4Height, angle, w, h)
                                        : vellomar::FindInscribedRectangle(kA4Width, kA4Height, angle, w, h);
                benchmark::DoNotOptimize(found);
            }
            s.counters["width"] = w;
            s.counters["height"] = h;
        };
        benchmark::RegisterBenchmark((std::string("InscribedRectangle/Fast") + suffix).c_str(),
                                     [inscribed](benchmark::State& s) { inscribed(s, false); })
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("InscribedRectangle/Loop") + suffix).c_str(),
                                     [inscribed](benchmark::State& s) { inscribed(s, true); })
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("AutoCropBounds/rgb24/border60", [](benchmark::State& s) {
        TPageRun& run = PageRuns()[1];  // rgb24, tilt +1.30, border 60
        const TBitmap& page = PageOf(run);
        for (auto _ : s) benchmark::DoNotOptimize(vellomar::FindAutoCropBounds(page));
    })->Unit(benchmark::kMillisecond);
}

// The table of angles and times; false when the two searches disagree.
bool PrintSkewSummary() {
    bool agree = true;
    std::printf("\n%-26s %7s %8s %9s %6s %11s %9s %8s\n", "page", "truth", "nearest", "reference", "fast", "reference",
                "fast", "speed-up");
    for (const TPageRun& run : PageRuns()) {
        if (std::isnan(run.ReferenceAngle) && std::isnan(run.FastAngle)) continue;
        const double truth = -run.Layout.TiltDegrees;
        const double nearest = std::round(truth * 10) / 10;
        const bool same = run.ReferenceAngle == run.FastAngle;
        if (!std::isnan(run.ReferenceAngle) && !std::isnan(run.FastAngle) && !same) agree = false;
        std::printf("%-26s %+7.2f %+8.1f %+9.1f %+6.1f %8.0f ms %6.1f ms %7.0fx %s\n",
                    DescribeScanPage(run.Layout).c_str(), truth, nearest, run.ReferenceAngle, run.FastAngle,
                    run.ReferenceMs, run.FastMs, run.ReferenceMs / run.FastMs,
                    std::isnan(run.ReferenceAngle) || std::isnan(run.FastAngle) ? "" : same ? "same" : "DIFFERENT");
    }
    std::printf(agree ? "fast and reference search agree on every page run\n"
                      : "FAST AND REFERENCE SEARCH DISAGREE\n");
    return agree;
}

}  // namespace

int main(int argc, char** argv) {
    RegisterBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return PrintSkewSummary() ? 0 : 1;
}
