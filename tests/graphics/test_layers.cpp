#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

#include <string>
#include <vector>

#include "GuiApp.h"
#include "graphics/uTBitmapLayer.h"

using namespace tessum;

namespace {

const TColor Wood = RGBColor(150, 100, 50);
const TColor Ink = RGBColor(10, 20, 30);

// A layer that marks its rectangle's top-left pixel when its value is
// positive, the way the board's layers draw nothing for "no value".
class TMarkLayer : public TBitmapLayerInteger {
public:
    using TBitmapLayerInteger::TBitmapLayerInteger;
    int Draws = 0;
    int FontSizeSeen = 0;
    TBrushStyle BrushSeen = TBrushStyle::Solid;
    TColor Colour = Ink;

protected:
    void Draw(TCanvas& Target) override {
        ++Draws;
        FontSizeSeen = Target.Font.Size;
        BrushSeen = Target.Brush.Style;
        if (Value <= 0) return;
        Target.SetPixel(DestRect.Left, DestRect.Top, Colour);
    }
};

class TTextLayer : public TBitmapLayerString {
public:
    using TBitmapLayerString::TBitmapLayerString;
    int Draws = 0;

protected:
    void Draw(TCanvas& Target) override {
        ++Draws;
        if (!Text.empty()) Target.SetPixel(DestRect.Left, DestRect.Top, Ink);
    }
};

class LayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureGuiApp();
        background.SetSize(20, 10);
        background.Canvas().Brush.Color = Wood;
        background.Canvas().FillRect({0, 0, 20, 10});
        board.Assign(background);
    }

    TBitmap background;
    TBitmap board;
};

}  // namespace

TEST_F(LayerTest, ANewLayerPaintsOnTheFirstRealValueAndOnlyOnChanges) {
    const TRect r{2, 2, 6, 6};
    TMarkLayer layer(&background.Canvas(), nullptr, r, r, &board.Canvas());
    EXPECT_EQ(layer.Value, -99);
    int painted = 0;
    layer.OnPaint = [&](TBitmapLayer* Sender) {
        EXPECT_EQ(Sender, &layer);
        ++painted;
    };
    layer.SetValue(-99);
    EXPECT_EQ(layer.Draws, 0);
    layer.SetValue(3);
    EXPECT_EQ(painted, 1);
    EXPECT_EQ(board.Canvas().Pixel(2, 2), Ink);
    layer.SetValue(3);
    layer.SetValue(3);
    EXPECT_EQ(layer.Draws, 1);
    EXPECT_EQ(painted, 1);
    layer.SetValue(4);
    EXPECT_EQ(painted, 2);
}

TEST_F(LayerTest, AValueThatDrawsNothingRestoresTheBackground) {
    const TRect r{2, 2, 6, 6};
    TMarkLayer layer(&background.Canvas(), nullptr, r, r, &board.Canvas());
    layer.SetValue(5);
    ASSERT_EQ(board.Canvas().Pixel(2, 2), Ink);
    // Scribble inside and outside the rectangle: only the inside is restored.
    board.Canvas().SetPixel(5, 5, clRed);
    board.Canvas().SetPixel(6, 6, clRed);
    layer.SetValue(0);
    EXPECT_EQ(board.Canvas().Pixel(2, 2), Wood);
    EXPECT_EQ(board.Canvas().Pixel(5, 5), Wood);
    EXPECT_EQ(board.Canvas().Pixel(6, 6), clRed);
    EXPECT_EQ(background.Canvas().Pixel(2, 2), Wood);
}

TEST_F(LayerTest, SourceAndDestinationRectanglesMayDiffer) {
    background.Canvas().SetPixel(10, 1, clWhite);
    TMarkLayer layer(&background.Canvas(), nullptr, {0, 0, 3, 3}, {10, 1, 13, 4}, &board.Canvas());
    layer.SetValue(0);
    EXPECT_EQ(board.Canvas().Pixel(0, 0), clWhite);
}

TEST_F(LayerTest, CanPaintFalseShowsBackgroundWithoutDrawingOrTelling) {
    bool running = false;
    const TRect r{1, 1, 4, 4};
    TMarkLayer layer(&background.Canvas(), [&] { return running; }, r, r, &board.Canvas());
    int painted = 0;
    layer.OnPaint = [&](TBitmapLayer*) { ++painted; };
    board.Canvas().SetPixel(1, 1, clRed);
    layer.SetValue(7);
    EXPECT_EQ(board.Canvas().Pixel(1, 1), Wood);
    EXPECT_EQ(layer.Draws, 0);
    EXPECT_EQ(painted, 0);
    running = true;
    layer.Paint();
    EXPECT_EQ(board.Canvas().Pixel(1, 1), Ink);
    EXPECT_EQ(painted, 1);
}

TEST_F(LayerTest, PaintSetsFontSizeAndBrushFromTheLayer) {
    const TRect r{0, 0, 2, 2};
    TMarkLayer layer(&background.Canvas(), nullptr, r, r, &board.Canvas());
    board.Canvas().Font.SetSize(14);
    board.Canvas().Brush.Style = TBrushStyle::Solid;
    layer.SetValue(1);
    EXPECT_EQ(layer.FontSizeSeen, 8);
    EXPECT_EQ(layer.BrushSeen, TBrushStyle::Clear);
    layer.Transparent = false;
    layer.FontSize = 11;
    layer.Paint();
    EXPECT_EQ(layer.FontSizeSeen, 11);
    EXPECT_EQ(layer.BrushSeen, TBrushStyle::Solid);
}

TEST_F(LayerTest, PaintOnAnotherCanvasLeavesTheOwnOneAlone) {
    const TRect r{0, 0, 2, 2};
    TMarkLayer layer(&background.Canvas(), nullptr, r, r, &board.Canvas());
    layer.Value = 1;
    TBitmap other;
    other.Assign(background);
    layer.Paint(&other.Canvas());
    EXPECT_EQ(other.Canvas().Pixel(0, 0), Ink);
    EXPECT_EQ(board.Canvas().Pixel(0, 0), Wood);
}

TEST_F(LayerTest, TextLayersCompareExactly) {
    const TRect r{0, 0, 2, 2};
    TTextLayer layer(&background.Canvas(), nullptr, r, r, &board.Canvas());
    layer.SetText("");
    EXPECT_EQ(layer.Draws, 0);
    layer.SetText("Anna");
    layer.SetText("Anna");
    EXPECT_EQ(layer.Draws, 1);
    layer.SetText("ANNA");
    EXPECT_EQ(layer.Draws, 2);
    layer.SetText("");
    EXPECT_EQ(board.Canvas().Pixel(0, 0), Wood);
}

TEST_F(LayerTest, ListPaintsInOrderSoTheLaterLayerWinsOverlaps) {
    TMarkLayer under(&background.Canvas(), nullptr, {0, 0, 4, 4}, {0, 0, 4, 4}, &board.Canvas());
    TMarkLayer over(&background.Canvas(), nullptr, {0, 0, 2, 2}, {0, 0, 2, 2}, &board.Canvas());
    under.Colour = clRed;
    under.Value = 1;
    over.Value = 0;  // restores its corner to background, over the first layer
    TBitmapLayers list;
    list.AddLayer(&under);
    list.AddLayer(&over);
    EXPECT_EQ(under.Layers, &list);
    EXPECT_EQ(list.Count(), 2);
    list.PaintAll();
    EXPECT_EQ(board.Canvas().Pixel(0, 0), Wood);
    over.Value = 2;
    list.PaintAll();
    EXPECT_EQ(board.Canvas().Pixel(0, 0), Ink);
}

TEST_F(LayerTest, SetOnPaintReachesExistingLayersOnly) {
    const TRect r{0, 0, 2, 2};
    TMarkLayer a(&background.Canvas(), nullptr, r, r, &board.Canvas());
    TMarkLayer late(&background.Canvas(), nullptr, r, r, &board.Canvas());
    TBitmapLayers list;
    list.AddLayer(&a);
    std::vector<TBitmapLayer*> senders;
    list.SetOnPaint([&](TBitmapLayer* Sender) { senders.push_back(Sender); });
    EXPECT_TRUE(static_cast<bool>(list.OnPaint));
    list.AddLayer(&late);
    list.PaintAll();
    ASSERT_EQ(senders.size(), 1u);
    EXPECT_EQ(senders[0], &a);
}

TEST(LayerGeometry, OffsetPointAndRectCenter) {
    EXPECT_EQ(OffsetPoint({10, 20}, {3, -4}, true), (TPoint{13, 16}));
    EXPECT_EQ(OffsetPoint({10, 20}, {3, -4}, false), (TPoint{7, 24}));
    EXPECT_EQ(RectCenter({512, 160, 578, 211}), (TPoint{545, 185}));
    // Halves truncate toward zero, also for rectangles left of or above the origin.
    EXPECT_EQ(RectCenter({-5, -5, 0, 0}), (TPoint{-3, -3}));
}

TEST(PumpingWaits, DelayRunsTimersAndPostedEventsWhileWaiting) {
    test::EnsureGuiApp();
    int fired = 0;
    QTimer::singleShot(10, [&] { ++fired; });
    QObject receiver;
    bool posted = false;
    QMetaObject::invokeMethod(&receiver, [&] { posted = true; }, Qt::QueuedConnection);
    const std::uint32_t t0 = GetTickCount();
    Delay(60);
    const std::uint32_t waited = GetTickCount() - t0;
    EXPECT_EQ(fired, 1);
    EXPECT_TRUE(posted);
    EXPECT_GE(waited, 60u);
}

TEST(PumpingWaits, WaitUntilReturnsTheTickItReachedAndHandlesEvents) {
    test::EnsureGuiApp();
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(5);
    const std::uint32_t target = GetTickCount() + 50;
    const std::uint32_t reached = WaitUntil(target);
    EXPECT_GE(reached, target);
    EXPECT_GE(GetTickCount(), reached);
    EXPECT_GE(ticks, 3);
    // A moment already past still gives events one round.
    bool posted = false;
    QObject receiver;
    QMetaObject::invokeMethod(&receiver, [&] { posted = true; }, Qt::QueuedConnection);
    WaitUntil(GetTickCount() - 1000);
    EXPECT_TRUE(posted);
}

TEST(PumpingWaits, HandlersMayWaitInsideAWait) {
    test::EnsureGuiApp();
    // The animation waits inside timer handlers that run inside other waits.
    bool innerDone = false;
    QTimer::singleShot(5, [&] {
        Delay(20);
        innerDone = true;
    });
    Delay(60);
    EXPECT_TRUE(innerDone);
}
