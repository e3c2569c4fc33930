// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window vovAzidi: the title, the choice of the four memory views, and Exit; the
// Radio menu's Connection dialog; its status bar names the radio.

#include <QMainWindow>

#include "channelindex.h"

class QRadioButton;

namespace vardo {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    // Marks the current view without opening it.
    void setOptionChecked(ViewKind kind);

Q_SIGNALS:
    void viewChosen(vardo::ViewKind kind);
    void exitRequested();  // cmdExit or closing the window
    void helpRequested();
    void aboutRequested();
    void connectionRequested();  // Radio > Connection...

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildBody();
    void buildMenu();

    QList<QRadioButton*> m_options;
};

// The program's title line as the main window shows it.
inline constexpr char kTitleLine[] = "VARDO  -  FT-1000MP MEMORY CHANNEL MANAGER";

}  // namespace vardo
