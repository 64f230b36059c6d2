#include "app/uDialogParts.h"

#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QVBoxLayout>

namespace tessum {

QFrame* MakeHeaderPanel(QWidget* Parent, QLabel*& Head, QLabel*& Desc) {
    auto* panel = new QFrame(Parent);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(pal);
    Head = new QLabel(panel);
    Head->setObjectName(QStringLiteral("lDescHead"));
    QFont bold = Head->font();
    bold.setBold(true);
    Head->setFont(bold);
    Desc = new QLabel(panel);
    Desc->setObjectName(QStringLiteral("lDesc"));
    Desc->setWordWrap(true);
    return panel;
}

QFrame* MakeDialogHeader(QWidget* Parent, QLabel*& Head, QLabel*& Desc) {
    QFrame* panel = MakeHeaderPanel(Parent, Head, Desc);
    auto* l = new QVBoxLayout(panel);
    l->setContentsMargins(14, 10, 14, 10);
    l->setSpacing(4);
    l->addWidget(Head);
    l->addWidget(Desc);
    return panel;
}

std::string FormatNames(const std::string& Pattern, const std::string& First, const std::string& Second) {
    std::string out;
    int used = 0;
    for (std::size_t i = 0; i < Pattern.size(); ++i) {
        if (used < 2 && Pattern[i] == '%' && i + 1 < Pattern.size() && Pattern[i + 1] == 's') {
            out += used == 0 ? First : Second;
            ++used;
            ++i;
        } else {
            out += Pattern[i];
        }
    }
    return out;
}

}  // namespace tessum
