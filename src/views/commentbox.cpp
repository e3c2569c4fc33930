// SPDX-License-Identifier: GPL-3.0-or-later
#include "commentbox.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "channelrow.h"
#include "commentrules.h"
#include "memoryview.h"
#include "tablesteps.h"
#include "viewfamily.h"
#include "viewhost.h"
#include "windowkit.h"

namespace vardo {

CommentBox::CommentBox(MemoryView& view, ViewHost& host) : QObject(&view), m_view(view), m_host(host)
{
    view.placeCommentRow(buildRow());
    m_box->installEventFilter(this);
    connect(m_box, &QLineEdit::textChanged, this, &CommentBox::onTextChanged);
    connect(m_box, &QLineEdit::returnPressed, this, &CommentBox::onEnter);
    connect(&view, &MemoryView::commentRequested, this, &CommentBox::open);
    // A command, or a table changed under the box, ends the edit: the next keystroke must not
    // land in a row that was just cleared, loaded or read.
    connect(&view, &MemoryView::commandStarting, this, &CommentBox::close);
    // The program may give the keyboard to another control of the view while the window is
    // inactive (the editor's Cancel focuses cmdSave); no focus-out reaches the box then.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (isOpen() && now && now != m_box && now->window() == m_box->window())
            close();
    });
    // Another step (an import, an undo) ends the visit first, so the visit is its own step.
    connect(&host.tableSteps(), &TableSteps::stepStarting, this, &CommentBox::close);
    const ChannelTable& table = host.family().table(view.kind());
    connect(&table, &ChannelTable::modelReset, this, &CommentBox::close);
    connect(&table, &ChannelTable::dataChanged, this, [this](const QModelIndex& from, const QModelIndex& to) {
        if (isOpen() && !m_writing && from.row() + 1 <= m_row && m_row <= to.row() + 1)
            close();
    });
}

QWidget* CommentBox::buildRow()
{
    auto* row = new QWidget(&m_view);
    QHBoxLayout* layout = FlatRow(row);
    m_caption = ReservedControl<QLabel>(row, "lblComments");
    m_box = ReservedControl<QLineEdit>(row, "txtComments");
    m_box->setAccessibleName(QStringLiteral("Comments"));
    layout->addWidget(m_caption);
    layout->addWidget(m_box, 1);
    return row;
}

void CommentBox::open(int row)
{
    if (!m_host.family().table(m_view.kind()).hasData(row)) {
        ShowMessage(&m_view, QString::fromLatin1(kNothingToComment));
        m_view.focusButton("cmdLoad");
        return;
    }
    // One visit of the box, however many keystrokes, is one step.
    m_host.tableSteps().begin(
        QStringLiteral("Comment on %1").arg(ChannelLabel(ChannelOfRow(m_view.kind(), row))));
    m_caption->setText(CommentCaption(m_view.kind(), row));
    m_box->setAccessibleName(m_caption->text());
    m_view.showCommentRow(true);
    m_caption->show();
    m_box->show();
    m_box->setFocus(Qt::OtherFocusReason);
    // The box starts with the comment there, which is not written back: the mirror row may
    // hold another comment (this view cleared, then read), and opening the box keeps it.
    const ViewKind kind = m_view.kind();
    m_opened = m_host.family().table(kind).cell(row, ColComment);
    const int mirrorRow = ViewFamily::MirrorRow(kind, row);
    m_mirrorOpened = mirrorRow == 0
        ? QString()
        : m_host.family().table(MirrorView(kind, ChannelOfRow(kind, row))).cell(mirrorRow, ColComment);
    m_box->setText(m_opened);
    m_row = row;
}

void CommentBox::onTextChanged(const QString& text)
{
    if (!isOpen())
        return;
    m_writing = true;
    m_host.family().setComment(m_view.kind(), m_row, text);
    m_writing = false;
}

void CommentBox::onEnter()
{
    close();
    m_view.focusButton("cmdSave");
}

void CommentBox::revert()
{
    if (!isOpen())
        return;
    // Each row gets back its own comment, so the visit leaves the tables as they were and
    // makes no step.
    const ViewKind kind = m_view.kind();
    m_writing = true;
    m_host.family().table(kind).setCell(m_row, ColComment, m_opened);
    if (const int mirrorRow = ViewFamily::MirrorRow(kind, m_row); mirrorRow != 0)
        m_host.family().table(MirrorView(kind, ChannelOfRow(kind, m_row))).setCell(mirrorRow, ColComment, m_mirrorOpened);
    m_writing = false;
    close();
    m_box->setText(m_opened);
    m_view.focusButton("cmdSave");
}

void CommentBox::close()
{
    if (!isOpen())
        return;
    m_row = 0;
    m_box->hide();
    m_caption->hide();
    m_view.showCommentRow(false);
    m_host.tableSteps().end();
}

bool CommentBox::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && isOpen()
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        revert();
        return true;
    }
    if (event->type() == QEvent::FocusOut && isOpen()) {
        // Its own context menu, or another program taking the keyboard, is not leaving the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            close();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vardo
