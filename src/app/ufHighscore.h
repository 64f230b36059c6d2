// The highscore dialog: the table of one variant at a time, with the entry
// the game just finished has earned marked in orange. A variant without
// results shows one placeholder row; printing and sending are offered only
// for a real table.
//
// Usage: create, SetLanguage, SetGame(variant of the game - 1, row to mark),
// Execute. Printing and internet submission are attached to the signals
// PrintRequested / NetHighscoreRequested (or by overriding bbPrintClick /
// bbnetHighscoreClick); the dialog offers the grid and the table they need.
#pragma once

#include <QDialog>
#include <array>
#include <memory>
#include <string>

class QLabel;
class QPushButton;
class QScrollArea;

namespace tessum {

class THighscore;
class TMultiLanguage;
class TRadioGroup;
class TSmallGrid;

class TfHighscore : public QDialog {
    Q_OBJECT

public:
    static constexpr int ColumnCount = 5;
    static constexpr std::array<int, ColumnCount> ColumnWidths{40, 180, 68, 48, 68};
    static constexpr int TitleRowHeight = 22;
    static constexpr int RowHeight = 18;

    explicit TfHighscore(QWidget* Parent = nullptr);
    ~TfHighscore() override;

    void SetLanguage(const std::string& Language);

    // The variant of the game just played minus 1 (negative for none) and the
    // grid row of its best new entry (its 1-based rank), or -1.
    void SetGame(int GameVariantIndex, int HighlightRow);
    int GameVariantIndex() const { return GameVariant_; }
    int HighlightRow() const { return HighlightRow_; }
    // The row to mark for two 1-based ranks of one game (0 or less: none).
    static int BestRank(int Rank1, int Rank2);

    // Shows the game's variant (the first when there is none) and runs the
    // dialog modally.
    int Execute();
    // SetGame and Execute in one.
    int Show(int GameVariantIndex, int HighlightRow);

    // Shows the table of variant Index (0 to 2) as a click on its item would.
    void ShowVariant(int Index);
    int ShownVariant() const;

    THighscore& Table() { return *Table_; }
    // The shown table is empty and displays the placeholder entry.
    bool Placeholder() const { return Placeholder_; }
    // Text of one cell as the grid shows it (Windows-1252).
    std::string CellText(int aCol, int aRow) const;

    TMultiLanguage* lng;
    QLabel* lDescHead;
    QLabel* lDesc;
    QLabel* iLogo;
    TRadioGroup* rgVariante;
    QScrollArea* sbHighscore;
    TSmallGrid* sgHighscore;
    QPushButton* bbOK;
    QPushButton* bbPrint;
    QPushButton* bbnetHighscore;

    // While a worldwide submission runs the controls are locked; closing the
    // dialog then (close box, Escape) asks to cancel it, and the dialog
    // closes as soon as the submission has ended.
    void SetSubmitting(bool Submitting);
    bool Submitting() const { return Submitting_; }

    void reject() override;

signals:
    void PrintRequested();
    void NetHighscoreRequested();
    void CancelSubmitRequested();

protected:
    void closeEvent(QCloseEvent* Event) override;
    virtual void bbPrintClick();
    virtual void bbnetHighscoreClick();

private:
    void rgVarianteClick();
    void Translated();

    std::unique_ptr<THighscore> Table_;
    bool Placeholder_ = true;
    std::array<std::string, ColumnCount> Titles_;
    int GameVariant_ = -1;
    int HighlightRow_ = -1;
    bool Submitting_ = false;
    bool CloseWhenDone_ = false;
};

}  // namespace tessum
