// The draw of matches that decides who moves first when a person plays.
// Player 2 guesses which of two matches is the longer one; the guess itself
// does not matter, the outcome is a fair coin toss. The window can only be
// left by drawing: after the result has been shown for a while it closes
// itself.
//
// Usage: create, SetLanguage, SetPlayers(name of player 1, name of player 2),
// exec(); then Won() tells whether player 2 moves first.
#pragma once

#include "app/uDialogParts.h"

#include <QDialog>
#include <cstdint>
#include <memory>
#include <string>

class QLabel;
class QPushButton;

namespace tessum {

class TBitmap;
class TMultiLanguage;

// The coin of the draw: 0 or 1 with equal chances, from a generator seeded
// from the system's entropy source once per run.
int DrawCoin();
// Replays a fixed sequence of coins from Seed (tests and reproducible runs).
void SeedDrawCoin(std::uint32_t Seed);


class TfStreichholz : public QDialog {
    Q_OBJECT

public:
    explicit TfStreichholz(QWidget* Parent = nullptr);
    ~TfStreichholz() override;

    void SetLanguage(const std::string& Language);

    std::string Player1Name;
    std::string Player2Name;
    // Sets both names and puts player 2's name into the first "%s" of the
    // description and player 1's into the second. Call after SetLanguage.
    void SetPlayers(const std::string& Player1, const std::string& Player2);

    // True when player 2, the guesser, won the draw.
    bool Won() const { return Won_; }
    bool DrawDone() const { return DrawDone_; }

    // How long the result stays on the screen before the window closes itself.
    std::uint32_t PauseMilliseconds = 5000;

    // The picture as shown now (the matches, after the draw with the result text).
    const TBitmap& Picture() const { return *Picture_; }

    TMultiLanguage* lng;
    QLabel* lDescHead;
    QLabel* lDesc;
    QLabel* iStreichholz;
    QPushButton* bLeft;
    QPushButton* bRight;

public slots:
    // Escape is a close request like the close box.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* Event) override;

private:
    void bLeftClick();
    void ShowPicture();

    std::unique_ptr<TBitmap> Picture_;
    bool Won_ = false;
    bool DrawDone_ = false;
    bool Drawing_ = false;
};

}  // namespace tessum
