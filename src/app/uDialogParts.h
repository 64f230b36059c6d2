// Pieces the game's dialogs share: the white band at their top with a bold
// heading and a description, and the filling of player names into a text.
#pragma once

#include <string>

class QFrame;
class QLabel;
class QVBoxLayout;
class QWidget;

namespace tessum {

// A white band holding the labels "lDescHead" (bold) and "lDesc" (wrapped),
// created as children of the band. The caller lays them out; most dialogs use
// MakeDialogHeader, which stacks them.
QFrame* MakeHeaderPanel(QWidget* Parent, QLabel*& Head, QLabel*& Desc);

// The header band with heading above description.
QFrame* MakeDialogHeader(QWidget* Parent, QLabel*& Head, QLabel*& Desc);

// Replaces the first "%s" of Pattern by First and the second by Second; the
// inserted texts are not searched again, so names containing "%s" are safe.
std::string FormatNames(const std::string& Pattern, const std::string& First, const std::string& Second = "");

}  // namespace tessum
