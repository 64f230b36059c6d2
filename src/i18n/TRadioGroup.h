// A framed column (or columns) of radio buttons driven by a list of item texts,
// so that dialogs can fill and translate their choices with one "Items" list
// and read the choice as one index.
#pragma once

#include <QGroupBox>
#include <QStringList>
#include <vector>

class QButtonGroup;
class QGridLayout;
class QRadioButton;

namespace tessum {

class TRadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex NOTIFY ItemIndexChanged)
    Q_PROPERTY(int Columns READ Columns WRITE SetColumns)

public:
    explicit TRadioGroup(QWidget* Parent = nullptr);

    QStringList Items() const { return Items_; }
    // Replaces the item texts. The selection is kept; it is pulled back to the
    // last item when the list becomes shorter than it.
    void SetItems(const QStringList& Items);

    // -1 when nothing is selected; out-of-range values select nothing.
    int ItemIndex() const { return Index_; }
    void SetItemIndex(int Index);

    // Items fill the columns top to bottom, then left to right.
    int Columns() const { return Columns_; }
    void SetColumns(int Columns);

    int Count() const { return static_cast<int>(Items_.size()); }
    // The radio button of item Index (for enabling single items); null when out of range.
    QRadioButton* Button(int Index) const;

signals:
    // Any change of the selection, by the user or by code.
    void ItemIndexChanged(int Index);
    // The user picked an item (not emitted for changes made by code).
    void Clicked(int Index);

private:
    void Rebuild();
    void Select(int Index);

    QStringList Items_;
    int Index_ = -1;
    int Columns_ = 1;
    QGridLayout* Grid_;
    QButtonGroup* Group_;
    std::vector<QRadioButton*> Buttons_;
};

}  // namespace tessum
