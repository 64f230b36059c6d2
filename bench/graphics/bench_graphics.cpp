// The drawing work of the animation and of start-up: one hand frame, one
// layer repaint, and decoding the pictures of the archives.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <cstdlib>

#include "graphics/Graphics.h"

using namespace tessum;

namespace {

void EnsureGuiApp() {
    if (QCoreApplication::instance()) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "tessum_bench";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

void Pattern(TBitmap& B, int Seed) {
    for (int y = 0; y < B.Height(); ++y) {
        std::uint32_t* line = B.ScanLine(y);
        for (int x = 0; x < B.Width(); ++x) line[x] = RGBColor(x * 3 + Seed, y * 5, (x ^ y) + Seed);
    }
}

// A frame of the hand animation: the board copied onto the frame, then two
// hands each as AND mask plus OR picture, and two heaps of stones drawn with
// their transparent colour.
void BM_HandAnimationFrame(benchmark::State& State) {
    TBitmap board(720, 520), frame(720, 520);
    Pattern(board, 1);
    TBitmap handPicture(460, 420), handMask(460, 420), heap(60, 40);
    Pattern(handPicture, 2);
    Pattern(handMask, 3);
    Pattern(heap, 4);
    heap.Transparent = true;
    heap.SetTransparentColor(clRed);
    const TRect all{0, 0, 720, 520};
    for (auto _ : State) {
        frame.Canvas().CopyRect(all, board.Canvas(), all);
        for (const TPoint at : {TPoint{187, -240}, TPoint{-260, -283}, TPoint{-27, 140}, TPoint{220, 203}}) {
            frame.Canvas().DrawAnd(at.X, at.Y, handMask);
            frame.Canvas().DrawOr(at.X, at.Y, handPicture);
        }
        frame.Canvas().Draw(380, 90, heap);
        frame.Canvas().Draw(140, 300, heap);
        benchmark::DoNotOptimize(frame.ScanLine(0));
    }
}
BENCHMARK(BM_HandAnimationFrame)->Unit(benchmark::kMicrosecond);

// One clock layer changing: restore its rectangle, write the time.
void BM_LayerTextRepaint(benchmark::State& State) {
    EnsureGuiApp();
    TBitmap background(720, 520), board(720, 520);
    Pattern(background, 5);
    board.Assign(background);
    TCanvas& c = board.Canvas();
    c.Font.Name = "Comic Sans MS";
    c.Font.Bold = true;
    c.Font.SetSize(8);
    c.Brush.Style = TBrushStyle::Clear;
    const TRect r{75, 27, 143, 46};
    for (auto _ : State) {
        c.CopyRect(r, background.Canvas(), r);
        c.TextRect(r, r.Left, r.Top, "1) 01:02:05");
    }
}
BENCHMARK(BM_LayerTextRepaint)->Unit(benchmark::kMicrosecond);

void BM_DecodeBoardJpeg(benchmark::State& State) {
    TBitmap picture(720, 520);
    Pattern(picture, 6);
    TJPEGImage jpeg;
    jpeg.Assign(picture);
    TMemoryStream file;
    jpeg.SaveToStream(file);
    for (auto _ : State) {
        file.SetPosition(0);
        TJPEGImage decoded;
        decoded.LoadFromStream(file);
        benchmark::DoNotOptimize(decoded.Width());
    }
}
BENCHMARK(BM_DecodeBoardJpeg)->Unit(benchmark::kMicrosecond);

void BM_DecodeBitmap24(benchmark::State& State) {
    TBitmap picture(460, 420);
    Pattern(picture, 7);
    TMemoryStream file;
    picture.SaveToStream(file);
    for (auto _ : State) {
        file.SetPosition(0);
        TBitmap decoded;
        decoded.LoadFromStream(file);
        benchmark::DoNotOptimize(decoded.Width());
    }
}
BENCHMARK(BM_DecodeBitmap24)->Unit(benchmark::kMicrosecond);

}  // namespace
