#include "commentbox.h"

#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "channelrow.h"
#include "commentrules.h"
#include "memoryview.h"
#include "viewfamily.h"
#include "viewhost.h"
#include "viewstate.h"
#include "windowkit.h"

namespace vardo {
namespace {

const QString kCaptionName = QStringLiteral("lblComments");
const QString kBoxName = QStringLiteral("txtComments");

void FocusButton(MemoryView& view, const QString& name)
{
    if (QPushButton* button = view.button(name); button && button->isVisibleTo(&view))
        button->setFocus(Qt::OtherFocusReason);
}

}  // namespace

CommentBox::CommentBox(MemoryView& view, ViewHost& host) : QObject(&view), m_view(view), m_host(host)
{
    QLineEdit* box = view.textBox(kBoxName);
    box->installEventFilter(this);
    connect(box, &QLineEdit::textChanged, this, &CommentBox::onTextChanged);
    connect(box, &QLineEdit::returnPressed, this, &CommentBox::onEnter);
    connect(&view, &MemoryView::commentRequested, this, &CommentBox::open);
}

void CommentBox::open(int row)
{
    if (!m_host.family().table(m_view.kind()).hasData(row)) {
        ShowMessage(&m_view, QString::fromLatin1(kNothingToComment));
        FocusButton(m_view, QStringLiteral("cmdLoad"));
        return;
    }
    ViewState& state = m_host.viewState();
    state.CommentRow = row;
    state.CommentCol = ColComment;
    QLabel* caption = m_view.label(kCaptionName);
    QLineEdit* box = m_view.textBox(kBoxName);
    caption->setText(CommentCaption(m_view.kind(), row));
    caption->show();
    box->show();
    box->setFocus(Qt::OtherFocusReason);
    // The box starts with the comment there; writing it back changes nothing.
    m_row = row;
    box->setText(m_host.family().table(m_view.kind()).cell(row, ColComment));
}

void CommentBox::onTextChanged(const QString& text)
{
    if (isOpen())
        m_host.family().setCell(m_view.kind(), m_row, ColComment, text);
}

void CommentBox::onEnter()
{
    close();
    FocusButton(m_view, QStringLiteral("cmdSave"));
}

void CommentBox::close()
{
    m_row = 0;
    m_view.textBox(kBoxName)->hide();
    m_view.label(kCaptionName)->hide();
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
