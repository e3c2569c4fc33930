#pragma once
// The comment box of one view: a click on a Comments cell opens txtComments over the view,
// every keystroke goes straight into the cell and the mirror cell, and Enter or leaving
// the box closes it. There is no commit and no undo: the cell holds what the box holds.

#include <QObject>

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
    void onTextChanged(const QString& text);
    void onEnter();
    void close();

    MemoryView& m_view;
    ViewHost& m_host;
    int m_row = 0;  // grid row whose comment is being edited; 0 while closed
};

}  // namespace vardo
