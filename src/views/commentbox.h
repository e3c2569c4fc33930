// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The comment box of one view: a click on a Comments cell opens txtComments over the view,
// every keystroke goes straight into the cell and the mirror cell, and Enter or leaving the
// box closes it; Esc puts back the comments the box opened on and closes it. There is no
// commit: the cell holds what the box holds, and one visit of the box is one undo step. It
// owns the comment row (lblComments, txtComments), which the view shows on its options' line.

#include <QObject>
#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

namespace vardo {

class MemoryView;
class ViewHost;

class CommentBox : public QObject {
    Q_OBJECT
public:
    CommentBox(MemoryView& view, ViewHost& host);

    void open(int row);
    [[nodiscard]] bool isOpen() const { return m_row != 0; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] QWidget* buildRow();
    void onTextChanged(const QString& text);
    void onEnter();
    void revert();
    void close();

    MemoryView& m_view;
    ViewHost& m_host;
    QLabel* m_caption = nullptr;
    QLineEdit* m_box = nullptr;
    int m_row = 0;  // grid row whose comment is being edited; 0 while closed
    // The comments as the box opened: this row's, and its mirror row's, which may differ.
    QString m_opened;
    QString m_mirrorOpened;
    bool m_writing = false;  // the box's own write into the table is under way
};

}  // namespace vardo
