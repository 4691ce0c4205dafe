// The whole Correction command on an A4 page at 300 dpi in 24-bit colour,
// and each of its stages: the skew search, the interpolated rotation (with
// its undo snapshot), the inscribed-rectangle search and the canvas resize
// (with its snapshot), plus the first "RotateAndCrop" snapshot.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>

#include "bench/support/PageGenerator.h"
#include "command/Deskew.h"
#include "command/RotateAndCrop.h"
#include "command/ScanPictureControler.h"

namespace vellomar {
namespace {

const TBitmap& TiltedPage() {
    static const TBitmap page = [] {
        bench::TScanPage layout;
        layout.TiltDegrees = 1.3;
        layout.Border = 60;
        return bench::GenerateScanPage(layout);
    }();
    return page;
}

class TNoModule : public IModuleInfo {
public:
    std::string ModuleFileName() const override { return "C:\\Bench\\Vellomar.ocx"; }
    int ScreenDpiX() const override { return 96; }
};

void BM_CorrectionCommand(benchmark::State& state) {
    TNoModule module;
    TPlatformServices services;
    services.Module = &module;
    for (auto _ : state) {
        state.PauseTiming();
        TPictureView view;
        view.Undos().SetLimit(99);
        view.AssignBitmap(TBitmap(TiltedPage()));
        TScanPictureControler controler(view, services);
        controler.SetParamText("");
        state.ResumeTiming();
        controler.ExecCommand("Correction");
        state.PauseTiming();
        state.counters["undo_entries"] = view.Undos().Count();
        state.counters["width"] = view.PictureWidth();
        state.counters["height"] = view.PictureHeight();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CorrectionCommand)->Unit(benchmark::kMillisecond)->Iterations(5);

// The stages one by one, in the command's order, on one view.
void BM_CorrectionStages(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
    double snapshot = 0, search = 0, rotate = 0, inscribed = 0, resize = 0;
    for (auto _ : state) {
        TPictureView view;
        view.Undos().SetLimit(99);
        view.AssignBitmap(TBitmap(TiltedPage()));
        const auto t0 = Clock::now();
        const double angle = FindSkewAngle(view.Bitmap());
        const auto t1 = Clock::now();
        view.SaveUndo("RotateAndCrop");
        const auto t2 = Clock::now();
        const int w = view.PictureWidth(), h = view.PictureHeight();
        view.Rotate(angle);
        const auto t3 = Clock::now();
        int iw = 0, ih = 0;
        const bool found = FindInscribedRectangle(w, h, angle, iw, ih);
        const auto t4 = Clock::now();
        if (found) view.ImageResize(iw, ih);
        const auto t5 = Clock::now();
        search += ms(t1 - t0);
        snapshot += ms(t2 - t1);
        rotate += ms(t3 - t2);
        inscribed += ms(t4 - t3);
        resize += ms(t5 - t4);
        state.counters["angle"] = angle;
    }
    const double n = double(state.iterations());
    state.counters["search_ms"] = search / n;
    state.counters["snapshot_ms"] = snapshot / n;
    state.counters["rotate_with_snapshot_ms"] = rotate / n;
    state.counters["inscribed_ms"] = inscribed / n;
    state.counters["resize_with_snapshot_ms"] = resize / n;
}
BENCHMARK(BM_CorrectionStages)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace vellomar

BENCHMARK_MAIN();
