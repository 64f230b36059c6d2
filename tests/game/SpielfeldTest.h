// A controller hosted the way the main window hosts it: a plain widget shows
// the board picture, the translation component carries the main window's
// real script, sounds go to a log and message dialogs answer themselves.
#pragma once

#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GameTestFolder.h"
#include "i18n/MultiLanguage.h"
#include "i18n/lngDialogs.h"
#include "game/uSound.h"
#include "graphics/uTBitmapLayer.h"
#include "highscore/uTHighscore.h"
#include "game/uTSpielfeld.h"

namespace tessum::test {

inline void EnsureApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_spielfeld";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

// Sound names in the order they were started ("4steinausmulde", ...).
struct TSoundLog {
    std::vector<std::string> Played;
};

class TLoggingOutput final : public ISoundOutput {
public:
    explicit TLoggingOutput(TSoundLog& Log) : log_(Log) {}
    void Play(const QString& ResourcePath) override {
        QString Name = ResourcePath.section('/', -1);
        if (Name.endsWith(".wav", Qt::CaseInsensitive)) Name.chop(4);
        log_.Played.push_back(Name.toLower().toStdString());
    }
    void Stop() override {}

private:
    TSoundLog& log_;
};

// The window side of the controller.
class TBoardHost : public QWidget, public ISpielfeldWindow {
public:
    TSpielfeld* Controller = nullptr;
    std::vector<std::string> Errors;
    int Repaints = 0;
    // Called on every repaint request with the controller's state.
    std::function<void()> OnFrame;

    TBoardHost() { resize(BoardWidth, BoardHeight); }
    void ShowError(const std::string& Message) override { Errors.push_back(Message); }

    void Repaint() {
        if (Controller == nullptr || Controller->IsUpdating()) return;
        ++Repaints;
        if (OnFrame) OnFrame();
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (Controller == nullptr || Controller->IsUpdating()) return;
        QPainter P(this);
        P.drawImage(0, 0, Controller->ShownPicture().Image());
    }
};

class SpielfeldTest : public TProgramFolderTest {
protected:
    void SetUp() override {
        TProgramFolderTest::SetUp();
        EnsureApplication();
        SetSoundOutput(std::make_unique<TLoggingOutput>(Sounds));
        SetDecimalSeparator('.');
        Host = std::make_unique<TBoardHost>();
        Lng = new TMultiLanguage(Host.get());
        Lng->LoadScript(":/lng/fSpielfeld.lng");
        Lng->SetLanguage("english");
        Dialogs = std::make_unique<TMessageDialogAnswerer>();
        S = std::make_unique<TSpielfeld>(Lng, Host.get());
        S->HighscoreFolder = folder_;
        Host->Controller = S.get();
        S->Layers->SetOnPaint([this](TBitmapLayer*) { Host->Repaint(); });
        S->ShowLanguagePictures();
        S->Settings->Animation = AnimationNone;
        S->Settings->Sound = true;
    }

    void TearDown() override {
        S.reset();
        Dialogs.reset();
        Host.reset();
        SetSoundOutput(nullptr);
        ResetDecimalSeparator();
        TProgramFolderTest::TearDown();
    }

    void StartGame(int Variant, int Stones, bool UseEndPits, std::uint8_t Mode = 0, int StartSide = 1,
                   int Level = 1) {
        S->Running = true;
        S->NewGame("Ann", "Bob", "ann@example.org", "", "deutschland", "europa", Stones, UseEndPits, Variant, Level,
                   Mode, StartSide);
    }

    // Puts the board into a position of the test's making; Pits[0] is unused.
    void SetPosition(const std::array<int, 15>& Pits, int Player) {
        for (int P = 1; P <= 14; ++P) S->Board->Pits[P] = Pits[static_cast<std::size_t>(P)];
        S->Board->Player = Player;
        S->Board->MovesThisTurn = 0;
        S->Refresh();
    }

    // What the turn driver does between moves, without its timers: the side
    // to move spends Seconds, then moves or skips.
    void PlayOneTurn(int Seconds = 3) {
        const int Side = S->Board->Player;
        S->SetClock(Side, S->Clock(Side) + Seconds);
        if (S->Board->MustSkip()) {
            S->PassTurn();
        } else {
            const int Row = S->Opponent->ChooseMove();
            S->PlayMove(PitIndex(Side, Row));
        }
    }

    std::vector<std::string> NoteLines() const { return SplitNoteLines(S->Layers->Notes().Text); }

    TSoundLog Sounds;
    std::unique_ptr<TBoardHost> Host;
    TMultiLanguage* Lng = nullptr;  // owned by Host
    std::unique_ptr<TMessageDialogAnswerer> Dialogs;
    std::unique_ptr<TSpielfeld> S;
};

}  // namespace tessum::test
