// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// frmAbout: the program's name and version and where its saved files live. Not modal.

#include <QDialog>

namespace vardo {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(const QString& dataDir, QWidget* parent = nullptr);
};

// The program's title as the about box shows it.
inline constexpr char kProgramTitle[] = "Vardo - FT-1000MP Memory Channel Manager";

}  // namespace vardo
