// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every window of the program shares: its font, its message boxes, its Help menu, the
// line of its status bar that names the radio.

#include <QFont>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>

#include "channelindex.h"

class QBoxLayout;
class QHBoxLayout;
class QMainWindow;
class QRadioButton;
class QWidget;

namespace vardo {

// Title of every message box.
inline constexpr char kAppTitle[] = "Vardo";

// "MS Sans Serif" where the system has it, otherwise the platform's default UI font.
[[nodiscard]] QFont ControlFont();

// At most as many of `items` as a message box shows on a screen, then "... and N more.".
[[nodiscard]] QStringList ListThatFits(const QStringList& items);

// A message box with an OK button and the program's title; returns when it is answered.
void ShowMessage(QWidget* parent, const QString& text, QMessageBox::Icon icon = QMessageBox::Warning);

// The "&Help" menu (mnuHelp) with "Contents" (itmContents) and "About Vardo" (itmAbout).
void AddHelpMenu(QMainWindow& window, const std::function<void()>& contents, const std::function<void()>& about);

// The status bar's line that names the radio (lblRadio), made on first use.
void ShowRadioLine(QMainWindow& window, const QString& text);

// The four view options (optAll .. optQmb) as one exclusive group, added to `layout`;
// `chosen` runs with the option's view whenever the operator sets an option, and on a click
// on the option already set.
QList<QRadioButton*> AddViewOptions(QWidget& parent, QBoxLayout& layout,
                                    const std::function<void(ViewKind)>& chosen);
// Sets an option as the program's record of the current view; it chooses nothing.
void SetOptionQuietly(QRadioButton& option);

// A row that holds `widget` in its middle.
[[nodiscard]] QHBoxLayout* Centred(QWidget* widget);

// A row of controls on `box`, without margins of its own: the window's layout spaces its rows.
[[nodiscard]] QHBoxLayout* FlatRow(QWidget* box);

// Hides `widget` but keeps its place in the layout, so the window does not jump when it shows.
void HideKeepingPlace(QWidget& widget);

// A control that shows only at times, on `row`: named `name`, hidden, keeping its place.
template <typename Control>
Control* ReservedControl(QWidget* row, const char* name)
{
    auto* control = new Control(row);
    control->setObjectName(QString::fromLatin1(name));
    HideKeepingPlace(*control);
    return control;
}

}  // namespace vardo
