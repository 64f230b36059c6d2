// Reaching controls and their properties by name, the way translation scripts
// address them ("bbOK.Caption", "rgModus.Items").
//
// Controls are found among all descendants of a window by object name,
// without regard to case. A property is first looked up among the Qt
// meta-object properties of the object (case-insensitive), then among the
// names the scripts use for Qt widgets that have no such property:
//
//   Caption   top-level window / QDialog / plain QWidget -> windowTitle
//             QLabel, QAbstractButton (buttons, check boxes) -> text
//             QGroupBox (also TRadioGroup) -> title
//             QAction -> text, QMenu -> title
//   Title     QMenu, QGroupBox -> title; any other QWidget (file dialogs) -> windowTitle
//   HTMLText  QLabel -> rich text (a list of lines)
//   Items     QComboBox -> its items (TRadioGroup has a real Items property)
//   Hint      QWidget, QAction -> toolTip
//   Cursor    QWidget -> cursor shape, from the integer cursor codes (crHandPoint ...)
//   Color     QWidget -> background colour, from the integer colour codes (clWhite ...)
//
// Meta properties of a type the scripts cannot express (QCursor, QColor, QFont,
// ...) are passed over, so that "Cursor" and "Color" reach the names above.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <optional>
#include <string_view>

class QObject;

namespace tessum {

enum class TPropKind { Integer, Text, Lines, Object, Other };

// One property of one object, found by name. The setters report whether the
// value was accepted; a refused value leaves the property unchanged.
class TPublishedProperty {
public:
    TPropKind Kind() const { return Kind_; }
    // The object held by an Object-kind property (may be null).
    QObject* ObjectValue() const { return ObjectValue_; }

    bool SetInteger(int Value) const;
    bool SetText(const QString& Value) const;
    bool SetLines(const QStringList& Value) const;

private:
    friend std::optional<TPublishedProperty> FindPublishedProperty(QObject*, QStringView);
    TPropKind Kind_ = TPropKind::Other;
    QObject* ObjectValue_ = nullptr;
    std::function<bool(int)> SetInt_;
    std::function<bool(const QString&)> SetStr_;
    std::function<bool(const QStringList&)> SetList_;
};

// The descendant of Owner whose object name equals Name without regard to case
// (Owner itself is not a candidate); null if there is none or Name is empty.
QObject* FindOwnedComponent(QObject* Owner, QStringView Name);

std::optional<TPublishedProperty> FindPublishedProperty(QObject* Object, QStringView Name);

// Integer conversion of a script value, in this order: decimal (with "$" for
// hexadecimal), a cursor identifier, a colour identifier, a character-set
// identifier, or "#" followed by hexadecimal digits. Identifiers are matched
// without regard to case. Values that overflow 32 bits do not convert.
std::optional<int> ScriptValueToInt(std::string_view Value);

// Text to lines the way a line list takes a whole text: CR, LF and CR LF all
// end a line, and a final line break adds no empty line.
QStringList SplitTextLines(const QString& Text);

}  // namespace tessum
