// The set-up of a new game: names, e-mail addresses and countries of both
// players, mode, level, variant, stones per pit and the use of the end pits.
// It starts from the choices of the previous game (section "newgame" of the
// settings file) and stores them again when the user confirms.
//
// Usage: create, SetLanguage, Execute; after a true result read Choices()
// and LandKey(1) / LandKey(2).
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QSpinBox>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "game/uTSettings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace tessum {

class TMultiLanguage;
class TRadioGroup;

// Whether a character typed into a name field is kept: backspace, a to z, A to Z,
// and the lower-case umlauts and sharp s. Digits, blanks, punctuation and the
// capital umlauts are dropped.
bool NameKeyAccepted(QChar Key);

// A name field: typed and pasted text passes through NameKeyAccepted, so that
// names stay plain words whatever way they arrive.
class TNameEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TNameEdit(QWidget* Parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* Event) override;
};

// Stones are changed with the arrows only; typing a count is not offered.
class TStoneSpin : public QSpinBox {
    Q_OBJECT
public:
    explicit TStoneSpin(QWidget* Parent = nullptr);
};

class TfNewGame : public QDialog {
    Q_OBJECT

public:
    explicit TfNewGame(QWidget* Parent = nullptr);

    // Translates the window ("german" / "english"); set before Execute.
    void SetLanguage(const std::string& Language);

    // Fills the window from the settings file, shows it modally; true when it
    // was closed with OK (the choices are then stored).
    bool Execute();

    // The choices as shown now. Names and mail addresses are Windows-1252.
    TNewGameSettings Choices() const;
    // Key of the country chosen for Player (1 or 2), lower-cased ("deutschland").
    std::string LandKey(int Player) const;
    // Keys of the country list, in its order, lower-cased.
    const std::vector<std::string>& LandKeys() const { return LandKeys_; }

    // Fills the controls from the settings file and runs both rules, as
    // Execute does before it shows the window.
    void LoadChoices();

    TMultiLanguage* lng;
    QLabel* lDescHead;
    QLabel* lDesc;
    QLabel* lName;
    QLabel* lMail;
    QLabel* lLand;
    TNameEdit* eSp1;
    TNameEdit* eSp2;
    QLineEdit* eMail1;
    QLineEdit* eMail2;
    QComboBox* cbLand1;
    QComboBox* cbLand2;
    TRadioGroup* rgModus;
    TRadioGroup* rgDiff;
    TRadioGroup* rgVarianten;
    QLabel* lStoneCount;
    TStoneSpin* seStoneCount;
    QCheckBox* cbuseStrinmulde;
    QPushButton* bbOK;
    QPushButton* bbCancel;

public slots:
    // OK: validates, stores the choices and closes; input errors keep it open.
    void accept() override;

private:
    void rgVariantenClick();
    void rgModusClick();
    void BuildLandLists();

    std::vector<std::string> LandKeys_;
    // The stone minimum the last variant rule set; a change of it resets the count.
    int StoneMinimum_ = 3;
};

}  // namespace tessum
