#include "i18n/TRadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

#include <algorithm>

namespace tessum {

TRadioGroup::TRadioGroup(QWidget* Parent)
    : QGroupBox(Parent), Grid_(new QGridLayout(this)), Group_(new QButtonGroup(this)) {
    // Exclusivity is handled here so that "no item selected" stays possible.
    Group_->setExclusive(false);
    connect(Group_, &QButtonGroup::idClicked, this, [this](int id) {
        Select(id);
        emit Clicked(id);
    });
}

void TRadioGroup::SetItems(const QStringList& Items) {
    Items_ = Items;
    const int last = Count() - 1;
    const bool shrink = Index_ > last;
    if (shrink) Index_ = last;
    Rebuild();
    if (shrink) emit ItemIndexChanged(Index_);
}

void TRadioGroup::SetItemIndex(int Index) {
    if (Index < 0 || Index >= Count()) Index = -1;
    Select(Index);
}

void TRadioGroup::SetColumns(int Columns) {
    Columns = std::max(1, Columns);
    if (Columns == Columns_) return;
    Columns_ = Columns;
    Rebuild();
}

QRadioButton* TRadioGroup::Button(int Index) const {
    if (Index < 0 || Index >= static_cast<int>(Buttons_.size())) return nullptr;
    return Buttons_[static_cast<std::size_t>(Index)];
}

void TRadioGroup::Rebuild() {
    // Existing buttons are reused so that a change of language keeps their
    // focus and enabled state.
    while (static_cast<int>(Buttons_.size()) > Count()) {
        QRadioButton* b = Buttons_.back();
        Buttons_.pop_back();
        Group_->removeButton(b);
        delete b;
    }
    while (static_cast<int>(Buttons_.size()) < Count()) {
        auto* b = new QRadioButton(this);
        Group_->addButton(b, static_cast<int>(Buttons_.size()));
        Buttons_.push_back(b);
    }
    const int perColumn = (Count() + Columns_ - 1) / Columns_;
    for (int i = 0; i < Count(); ++i) {
        QRadioButton* b = Buttons_[static_cast<std::size_t>(i)];
        b->setText(Items_[i]);
        Grid_->removeWidget(b);
        Grid_->addWidget(b, i % perColumn, i / perColumn);
        b->setChecked(i == Index_);
    }
}

void TRadioGroup::Select(int Index) {
    for (int i = 0; i < Count(); ++i) Buttons_[static_cast<std::size_t>(i)]->setChecked(i == Index);
    if (Index == Index_) return;
    Index_ = Index;
    emit ItemIndexChanged(Index_);
}

}  // namespace tessum
