// The main window on today's screens: the board fills whatever window it is
// given, the pointer finds the same pit at every scale, and the window opens
// fully on the screen. Built three times, each binary on its own offscreen
// screen and scale factor (set before the application starts).
#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "GameTestFolder.h"
#include "QtApp.h"
#include "SoundLog.h"
#include "app/ufSpielfeld.h"
#include "game/uSound.h"
#include "i18n/lngDialogs.h"
#include "graphics/uTSpielfeldLayers.h"

namespace {

const bool ScreenChosen = [] {
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + TESSUM_SCREEN_CONFIG);
    qputenv("QT_SCALE_FACTOR", TESSUM_SCALE_FACTOR);
    return true;
}();

}  // namespace

namespace tessum {
namespace {

class TScaledWindowTest : public test::TProgramFolderTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(ScreenChosen);
        TProgramFolderTest::SetUp();
        SetSoundOutput(std::make_unique<test::TSilentOutput>());
        WriteFile("settings.ini", "[settings]\nlanguage=german\nsound=0\nhandani=0\nstoneani=0\nnoani=1\n");
    }
    void TearDown() override {
        Window.reset();
        SetSoundOutput(nullptr);
        TProgramFolderTest::TearDown();
    }

    void Open() {
        Window = std::make_unique<TfSpielfeld>();
        Window->show();
        Settle();
        // A game with a person to move, so hovering any pit shows its hint.
        Window->Spielfeld().NewGame("Anna", "Bert", "", "", "", "", 4, true, 1, 1, 0, 1);
        Settle();
    }
    static void Settle() {
        for (int I = 0; I < 10; ++I) QApplication::processEvents(QEventLoop::AllEvents, 5);
    }

    void MoveTo(QPointF At) {
        QMouseEvent Event(QEvent::MouseMove, At, Window->pbSpielfeld->mapToGlobal(At), Qt::NoButton, Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(Window->pbSpielfeld, &Event);
    }
    // Where the window shows the middle of board pixel P.
    QPointF Shown(TPoint P) const {
        const TBoardView& View = Window->pbSpielfeld->View;
        return View.ToWidget(P) + QPointF(View.Factor() / 2, View.Factor() / 2);
    }

    // Every pit's centre, as the window shows it, hovers that pit; points
    // between pits and beside the board hover none.
    void ExpectExactHits(const char* Where) {
        SCOPED_TRACE(Where);
        const TBoardView& View = Window->pbSpielfeld->View;
        ASSERT_EQ(View.Area(), Window->pbSpielfeld->size());
        for (int Pit = 1; Pit <= PitCount; ++Pit) {
            MoveTo(Shown(RectCenter(PitRects[static_cast<std::size_t>(Pit)])));
            EXPECT_EQ(Window->pbSpielfeld->Tag, Pit) << "pit " << Pit;
            MoveTo(Shown({300, 224}));  // between the rows
            EXPECT_EQ(Window->pbSpielfeld->Tag, -1) << "after pit " << Pit;
        }
        for (const TPoint Gap : {TPoint{508, 185}, TPoint{206, 265}, TPoint{40, 230}, TPoint{665, 230}}) {
            MoveTo(Shown(PitRects[1].TopLeft()));
            MoveTo(Shown(Gap));
            EXPECT_EQ(Window->pbSpielfeld->Tag, -1) << Gap.X << "," << Gap.Y;
        }
        // The board keeps its shape and fills the area in one direction.
        const QRectF T = View.Target();
        EXPECT_NEAR(T.width() / T.height(), 720.0 / 520.0, 0.01);
        const QSize A = View.Area();
        EXPECT_TRUE(std::abs(T.width() - A.width()) <= 1 || std::abs(T.height() - A.height()) <= 1);
    }

    void ExpectFullyOnScreen() {
        const QRect Available = Window->screen()->availableGeometry();
        EXPECT_TRUE(Available.contains(Window->frameGeometry()))
            << "window " << Window->frameGeometry().x() << "," << Window->frameGeometry().y() << " "
            << Window->frameGeometry().width() << "x" << Window->frameGeometry().height() << " on "
            << Available.width() << "x" << Available.height();
    }

    std::unique_ptr<TfSpielfeld> Window;
};

TEST_F(TScaledWindowTest, OpensFullyOnTheScreenAndHitsEveryPit) {
    Open();
    ExpectFullyOnScreen();
    ExpectExactHits("as opened");
    // It cannot be made smaller than the board drawn 1:1 with the menu,
    // unless the screen is smaller.
    const QRect Available = Window->screen()->availableGeometry();
    const int FrameW = Window->frameGeometry().width() - Window->width();
    const int FrameH = Window->frameGeometry().height() - Window->height();
    EXPECT_EQ(Window->minimumSize().width(), std::min(800, Available.width() - FrameW));
    EXPECT_EQ(Window->minimumSize().height(), std::min(600, Available.height() - FrameH));
}

TEST_F(TScaledWindowTest, MaximizedAndFullScreenTheBoardFillsTheScreen) {
    Open();
    Window->showMaximized();
    Settle();
    ExpectExactHits("maximized");
    const QRect Available = Window->screen()->availableGeometry();
    // The board spans the client area's height or width, not a small picture in black.
    EXPECT_GT(Window->pbSpielfeld->View.Target().height(), 0.9 * std::min(Available.height() - 40, Available.width() * 520 / 720));

    Window->aFullScreen->trigger();
    Settle();
    EXPECT_TRUE(Window->isFullScreen());
    EXPECT_TRUE(Window->aFullScreen->isChecked());
    ExpectExactHits("full screen");
    // Remembered like maximized, with the maximized state beneath it: the
    // close question (answered No here) takes both from the visible window.
    const TMessageDialogObserver Previous =
        SetMessageDialogObserver([](QDialog& Dialog) { PressMessageDialogButton(Dialog, mrNo); });
    Window->close();
    SetMessageDialogObserver(Previous);
    ASSERT_TRUE(Window->isVisible());
    EXPECT_TRUE(Window->Spielfeld().Settings().FullScreen);
    EXPECT_TRUE(Window->Spielfeld().Settings().Maximized);

    // F11 again: back to maximized.
    Window->aFullScreen->trigger();
    Settle();
    EXPECT_FALSE(Window->isFullScreen());
    EXPECT_TRUE(Window->isMaximized());
}

}  // namespace
}  // namespace tessum
