#include "commentbox.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "channelrow.h"
#include "commentrules.h"
#include "memoryview.h"
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
}

QWidget* CommentBox::buildRow()
{
    auto* row = new QWidget(&m_view);
    QHBoxLayout* layout = FlatRow(row);
    m_caption = ReservedControl<QLabel>(row, "lblComments");
    m_box = ReservedControl<QLineEdit>(row, "txtComments");
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
    m_caption->setText(CommentCaption(m_view.kind(), row));
    m_caption->show();
    m_box->show();
    m_box->setFocus(Qt::OtherFocusReason);
    // The box starts with the comment there; writing it back changes nothing.
    m_row = row;
    m_box->setText(m_host.family().table(m_view.kind()).cell(row, ColComment));
}

void CommentBox::onTextChanged(const QString& text)
{
    if (isOpen())
        m_host.family().setCell(m_view.kind(), m_row, ColComment, text);
}

void CommentBox::onEnter()
{
    close();
    m_view.focusButton("cmdSave");
}

void CommentBox::close()
{
    m_row = 0;
    m_box->hide();
    m_caption->hide();
}

bool CommentBox::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && isOpen()) {
        // Its own context menu, or another program taking the keyboard, is not leaving the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            close();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vardo
