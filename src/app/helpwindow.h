// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's help: a Contents tab and an Index tab beside the help text.

#include <QDialog>

class QLineEdit;
class QListWidget;
class QTextBrowser;
class QTreeWidget;

namespace vardo {

// Where the help file lives in the program's resources.
inline constexpr char kHelpResource[] = ":/vardo/help/vardo-help.html";

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the topic at `anchor` (a heading's name in the help file).
    void showTopic(const QString& anchor);

private:
    QWidget* buildContents(const QString& html);
    QWidget* buildIndex(const QString& html);
    void filterIndex(const QString& text);

    QTextBrowser* m_browser = nullptr;
    QTreeWidget* m_contents = nullptr;
    QListWidget* m_index = nullptr;
    QLineEdit* m_lookFor = nullptr;
};

}  // namespace vardo
