// The language choice of the very first start. The window speaks both
// languages at once, since none has been chosen yet, and has no translation
// script. It cannot be left without a choice; the choice goes straight into
// "language" of section "settings" of the settings file.
//
// Tests and automated runs answer it by finding the visible TfLanguage among
// QApplication::topLevelWidgets() (e.g. from a QTimer::singleShot) and
// clicking its button "bGerman" or "bEnglish".
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

namespace tessum {

class TfLanguage : public QDialog {
    Q_OBJECT

public:
    explicit TfLanguage(QWidget* Parent = nullptr);

    // "german" or "english"; empty until a button was clicked.
    const std::string& Choice() const { return Choice_; }

    QLabel* lDescHead;
    QLabel* lDesc;
    QPushButton* bGerman;
    QPushButton* bEnglish;

public slots:
    // Escape asks to close like the close box does.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* Event) override;

private:
    void bGermanClick();
    void bEnglishClick();

    std::string Choice_;
};

// The program entry's first-start step: when the settings file holds no
// language yet, sets the application title and lets the user choose. Returns
// whether the dialog was shown.
bool ChooseLanguageOnFirstStart();

}  // namespace tessum
