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

#include "FakeClock.h"
#include "GameTestFolder.h"
#include "QtApp.h"
#include "SoundLog.h"
#include "i18n/MultiLanguage.h"
#include "i18n/lngDialogs.h"
#include "game/uSound.h"
#include "graphics/uTBitmapLayer.h"
#include "highscore/uTHighscore.h"
#include "game/uTSpielfeld.h"

namespace tessum::test {

// The window side of the controller: repaints show the board picture,
// errors and results are kept, the game's course goes to OnFinished / OnMustSkip.
class TBoardHost : public QWidget, public ISpielfeldWindow {
public:
    TSpielfeld* Controller = nullptr;
    std::vector<std::string> Errors;
    std::vector<std::string> Results;
    int Repaints = 0;
    int Finished = 0;
    // Called on every repaint request with the controller's state.
    std::function<void()> OnFrame;
    std::function<void(std::int32_t, std::int32_t)> OnFinished;
    std::function<void()> OnMustSkip;

    TBoardHost() { resize(BoardWidth, BoardHeight); }
    void ShowError(const std::string& Message) override { Errors.push_back(Message); }
    void ShowResult(const std::string& Message) override { Results.push_back(Message); }
    void GameFinished(std::int32_t Rank1, std::int32_t Rank2) override {
        ++Finished;
        if (OnFinished) OnFinished(Rank1, Rank2);
    }
    void MustSkip() override {
        if (OnMustSkip) OnMustSkip();
    }

    void Repaint() override {
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
        // The animation's waits move a clock of the test's on: a move takes
        // its time to the millisecond, and none of it real.
        SetWaitClock(&Clock);
        SetSoundOutput(std::make_unique<TLoggingOutput>(Sounds));
        SetDecimalSeparator('.');
        Host = std::make_unique<TBoardHost>();
        Lng = new TMultiLanguage(Host.get());
        Lng->LoadScript(":/lng/fSpielfeld.lng");
        Lng->SetLanguage("english");
        Dialogs = std::make_unique<TMessageDialogAnswerer>();
        S = std::make_unique<TSpielfeld>(Lng, Host.get());
        S->SetHighscoreFolder(folder_);
        Host->Controller = S.get();
        S->ShowLanguagePictures();
        S->Settings().Animation = AnimationNone;
        S->Settings().Sound = true;
    }

    void TearDown() override {
        S.reset();
        Dialogs.reset();
        Host.reset();
        SetSoundOutput(nullptr);
        ResetDecimalSeparator();
        SetWaitClock(nullptr);
        TProgramFolderTest::TearDown();
    }

    void StartGame(int Variant, int Stones, bool UseEndPits, std::uint8_t Mode = 0, int StartSide = 1,
                   int Level = 1) {
        S->NewGame("Ann", "Bob", "ann@example.org", "", "deutschland", "europa", Stones, UseEndPits, Variant, Level,
                   Mode, StartSide);
    }

    // Puts the board into a position of the test's making; Pits[0] is unused.
    void SetPosition(const std::array<int, 15>& Pits, int Player) {
        TPits Position = S->Board().Pits;
        for (int P = 1; P <= 14; ++P) Position[P] = Pits[static_cast<std::size_t>(P)];
        S->SetPosition(Position, Player);
    }

    // What the turn driver does between moves, without its timers: the side
    // to move spends Seconds, then moves or skips.
    void PlayOneTurn(int Seconds = 3) {
        const int Side = S->Board().Player;
        S->SetClock(Side, S->Clock(Side) + Seconds);
        if (S->Board().MustSkip()) {
            S->PassTurn();
        } else {
            S->PlayMove(S->ComputerMove());
        }
    }

    std::vector<std::string> NoteLines() const { return SplitNoteLines(S->Layers().Notes().Text); }

    TFakeClock Clock;
    TSoundLog Sounds;
    std::unique_ptr<TBoardHost> Host;
    TMultiLanguage* Lng = nullptr;  // owned by Host
    std::unique_ptr<TMessageDialogAnswerer> Dialogs;
    std::unique_ptr<TSpielfeld> S;
};

}  // namespace tessum::test
