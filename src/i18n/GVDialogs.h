// The message dialog window: icon, word-wrapped text and a centred row of
// buttons, laid out in dialog units of the message font, with its caption and
// button texts supplied by the caller (so they follow the program's language,
// not the desktop's).
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

class QPushButton;

namespace tessum {

// Kinds of message; the value indexes TDlgMultiLangRec::Captions.
enum TMsgDlgType { mtWarning = 0, mtError, mtInformation, mtConfirmation, mtCustom };

// Buttons, in the order they appear; the value indexes ButtonCaptions.
enum TMsgDlgBtn {
    mbYes = 0, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll,
    mbHelp
};
constexpr int kMsgDlgButtonCount = 11;

// What a dialog returns: the pressed button's result, mrCancel for the close box.
enum TModalResult {
    mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6,
    mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10
};

// A set of buttons, written like {mbYes, mbNo}.
class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> Buttons) {
        for (TMsgDlgBtn b : Buttons) Bits_ |= 1u << b;
    }
    constexpr bool Has(TMsgDlgBtn Button) const { return (Bits_ >> Button) & 1u; }
    constexpr bool Empty() const { return Bits_ == 0; }
    constexpr unsigned Bits() const { return Bits_; }

private:
    unsigned Bits_ = 0;
};

// mrNone for Help, which answers nothing.
int ModalResultOf(TMsgDlgBtn Button);

// Texts of one language: captions by kind, button texts by button.
struct TDlgMultiLangRec {
    std::array<std::string, 5> Captions;
    std::array<std::string, kMsgDlgButtonCount> ButtonCaptions;
};

class TGVMessageDialog : public QDialog {
    Q_OBJECT

public:
    TGVMessageDialog(const QString& Text, TMsgDlgType Kind, TMsgDlgButtons Buttons,
                     const TDlgMultiLangRec& Texts, QWidget* Parent = nullptr);

    QString MessageText() const { return Text_; }
    TMsgDlgType Kind() const { return Kind_; }
    // The buttons shown, left to right.
    const std::vector<QPushButton*>& Buttons() const { return Buttons_; }
    QPushButton* ButtonFor(TMsgDlgBtn Button) const;
    // Enter presses this one; null if none of OK, Yes, Retry is shown.
    QPushButton* DefaultButton() const { return Default_; }
    // Escape presses this one; null if none of Cancel, No, OK is shown.
    QPushButton* EscapeButton() const { return Escape_; }

signals:
    // The Help button was pressed; the dialog stays open.
    void HelpRequested();

protected:
    void keyPressEvent(QKeyEvent* Event) override;

public slots:
    // The close box answers Cancel, whichever buttons the dialog has.
    void reject() override;

private:
    QString Text_;
    TMsgDlgType Kind_;
    std::array<QPushButton*, kMsgDlgButtonCount> ByKind_{};
    std::vector<QPushButton*> Buttons_;
    QPushButton* Default_ = nullptr;
    QPushButton* Escape_ = nullptr;
};

// Builds the dialog (not yet shown): the builder of LngMessageDlg.
std::unique_ptr<TGVMessageDialog> CreateMessageDialog(const QString& Text, TMsgDlgType Kind,
                                                      TMsgDlgButtons Buttons,
                                                      const TDlgMultiLangRec& Texts);

}  // namespace tessum
