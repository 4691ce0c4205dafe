// Speed and memory of the picture engine on an A4 page at 300 dpi in 24-bit
// colour (2480 × 3508, 26 MB), with the reference tools measured in the same
// run: ImageMagick's bilinear rotation (minus its plain decode and encode)
// and libjpeg-turbo's djpeg and cjpeg.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "picture/Codecs.h"
#include "picture/PictureView.h"
#include "picture/Transforms.h"
#include "picture/UndoList.h"
#include "platform/FileSystem.h"
#include "support/PictureBenchInputs.h"

namespace vellomar::bench {
namespace {

constexpr double kAngle = 2.5;

const TBitmap& DocumentPage() {
    static const TBitmap page = MakeColourDocumentPage();
    return page;
}

std::string InFolder(const std::string& name) { return PictureBenchFolder() + "/" + name; }

// The page as a binary PPM for the reference tools, written once.
const std::string& PagePpm() {
    static const std::string path = [] {
        const std::string p = InFolder("page.ppm");
        std::ofstream out(p, std::ios::binary);
        const TBitmap& page = DocumentPage();
        out << "P6\n" << page.Width() << " " << page.Height() << "\n255\n";
        for (int y = 0; y < page.Height(); ++y)
            out.write(reinterpret_cast<const char*>(page.Row(y)), std::streamsize(page.Width()) * 3);
        return p;
    }();
    return path;
}

const std::string& PageJpeg() {
    static const std::string path = [] {
        TPictureView view;
        view.AssignBitmap(TBitmap(DocumentPage()));
        const std::string p = InFolder("page.jpg");
        view.SaveToFile(p);
        return p;
    }();
    return path;
}

// Resident and peak resident memory of this process, from /proc.
long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.compare(0, key.size(), key) == 0) return std::atol(line.c_str() + key.size());
    return -1;
}

bool HaveTool(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

void RunTool(benchmark::State& state, const char* tool, const std::string& command) {
    if (!HaveTool(tool)) {
        state.SkipWithError((std::string(tool) + " is not installed").c_str());
        return;
    }
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError(("failed: " + command).c_str());
}

// --- rotation ----------------------------------------------------------

void BM_RotateBilinear_A4Colour(benchmark::State& state) {
    const TBitmap& page = DocumentPage();
    for (auto _ : state) benchmark::DoNotOptimize(RotateBilinear(page, kAngle, kViewBackground));
    state.SetItemsProcessed(state.iterations() * int64_t(page.Width()) * page.Height());
}
BENCHMARK(BM_RotateBilinear_A4Colour)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RotateQuarter_A4Colour(benchmark::State& state) {
    const TBitmap& page = DocumentPage();
    for (auto _ : state) benchmark::DoNotOptimize(RotateQuarterTurns(page, 1));
}
BENCHMARK(BM_RotateQuarter_A4Colour)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Reference_ImageMagick_RotateBilinear(benchmark::State& state) {
    RunTool(state, "convert",
            "convert " + PagePpm() + " -interpolate bilinear -rotate 2.5 " + InFolder("im-rotated.ppm"));
}
BENCHMARK(BM_Reference_ImageMagick_RotateBilinear)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_Reference_ImageMagick_DecodeEncodeOnly(benchmark::State& state) {
    RunTool(state, "convert", "convert " + PagePpm() + " " + InFolder("im-copy.ppm"));
}
BENCHMARK(BM_Reference_ImageMagick_DecodeEncodeOnly)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// --- JPEG ----------------------------------------------------------------

void BM_JpegLoad_A4Colour(benchmark::State& state) {
    const std::string path = PageJpeg();
    TPictureView view;
    for (auto _ : state) view.LoadFromFile(path);
}
BENCHMARK(BM_JpegLoad_A4Colour)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_JpegSave_A4Colour(benchmark::State& state) {
    TPictureView view;
    view.AssignBitmap(TBitmap(DocumentPage()));
    const std::string path = InFolder("saved.jpg");
    for (auto _ : state) view.SaveToFile(path);
}
BENCHMARK(BM_JpegSave_A4Colour)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Reference_djpeg(benchmark::State& state) {
    RunTool(state, "djpeg", "djpeg -outfile /dev/null " + PageJpeg());
}
BENCHMARK(BM_Reference_djpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Reference_cjpeg(benchmark::State& state) {
    RunTool(state, "cjpeg",
            "cjpeg -quality " + std::to_string(kJpegQuality) + " -outfile /dev/null " + PagePpm());
}
BENCHMARK(BM_Reference_cjpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

// --- undo ------------------------------------------------------------------

const TBitmap& PageOfKind(int kind) {
    static const TBitmap noise = MakeNoisePage();
    return kind == 0 ? DocumentPage() : noise;
}
const char* KindLabel(int kind) { return kind == 0 ? "document page" : "noise page"; }

void BM_UndoSnapshot_A4Colour(benchmark::State& state) {
    const TBitmap& page = PageOfKind(int(state.range(0)));
    // Steady state of an editing session: the list is full, so each push
    // also drops the oldest entry. (A burst of pushes into an empty list is
    // measured by BM_UndoMemory99; there the disk's write-back rate rules.)
    TUndoList list;
    list.SetLimit(8);
    for (int i = 0; i < 8; ++i) list.Push(page, "warm-up");
    for (auto _ : state) list.Push(page, "Rotate 2.50");
    state.SetLabel(KindLabel(int(state.range(0))));
}
BENCHMARK(BM_UndoSnapshot_A4Colour)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_UndoRestore_A4Colour(benchmark::State& state) {
    TUndoList list;
    list.Push(PageOfKind(int(state.range(0))), "Rotate 2.50");
    for (auto _ : state) benchmark::DoNotOptimize(list.Newest());
    state.SetLabel(KindLabel(int(state.range(0))));
}
BENCHMARK(BM_UndoRestore_A4Colour)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// 99 snapshots of the page (each a little different, as after real edits):
// the process's resident memory before and after, and where the data went.
void BM_UndoMemory99_A4Colour(benchmark::State& state) {
    TBitmap page = PageOfKind(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        const long before = StatusKilobytes("VmRSS");
        state.ResumeTiming();
        TUndoList list;
        for (int i = 0; i < 99; ++i) {
            page.SetPixel(i * 20, i * 30, TRgb{uint8_t(i), 0, 0});
            list.Push(page, "step");
        }
        state.PauseTiming();
        const long after = StatusKilobytes("VmRSS");
        state.counters["rss_before_MB"] = double(before) / 1024;
        state.counters["rss_with_99_MB"] = double(after) / 1024;
        state.counters["rss_growth_MB"] = double(after - before) / 1024;
        state.counters["peak_rss_MB"] = double(StatusKilobytes("VmHWM")) / 1024;
        state.counters["in_memory_MB"] = double(list.InMemoryBytes()) / (1 << 20);
        state.counters["stored_MB"] = double(list.StoredBytes()) / (1 << 20);
        state.ResumeTiming();
    }
    state.SetLabel(KindLabel(int(state.range(0))));
}
BENCHMARK(BM_UndoMemory99_A4Colour)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace vellomar::bench

BENCHMARK_MAIN();
