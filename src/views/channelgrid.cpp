// SPDX-License-Identifier: GPL-3.0-or-later
#include "channelgrid.h"

#include <algorithm>

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "channeltable.h"
#include "codec.h"
#include "viewdescriptor.h"

namespace vardo {
namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kCellPadding = 10;     // pixels around a cell's text
constexpr int kRowPadding = 6;       // pixels above and below a row's text

// The longest texts a column can hold: its header and every text of its value set.
[[nodiscard]] QStringList ColumnTexts(int column)
{
    QStringList texts{ColumnHeaders().at(column)};
    switch (column) {
    case ColLabel: texts << QStringLiteral("99") << QStringLiteral("P9") << QStringLiteral("Q5"); break;
    case ColFreq: texts << QStringLiteral("30000.00* "); break;
    case ColMode: texts << ModeTexts(); break;
    case Col82: texts << Filter82Texts(); break;
    case Col455: texts << Filter455Texts(); break;
    case ColAnt: texts << AntTexts(); break;
    case ColRxRit:
    case ColTxRit: texts << RitTexts(); break;
    case ColOffset: texts << QStringLiteral("+9.99") << QStringLiteral("-9.99"); break;
    case ColRpt: texts << RptTexts(); break;
    default: break;
    }
    return texts;
}

// The label column looks like the header it stands beside, except on the current row: there
// it is the marker that shows where the operator is, in the selection colours and bold.
class LabelDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const auto* grid = qobject_cast<const QAbstractItemView*>(option->widget);
        if (grid && grid->currentIndex().row() == index.row()) {
            option->backgroundBrush = option->palette.highlight();
            option->palette.setBrush(QPalette::Text, option->palette.highlightedText());
            option->font.setBold(true);
            return;
        }
        option->backgroundBrush = option->palette.button();
        option->palette.setBrush(QPalette::Text, option->palette.buttonText());
    }
};

}  // namespace

qreal GridScale(ViewKind kind, const QFont& font, qreal dpi)
{
    const QFontMetrics fm(font);
    qreal scale = dpi / kTwipsPerInch;
    for (int column = 0; column < kColumnCount; ++column) {
        int widest = 0;
        for (const QString& text : ColumnTexts(column))
            widest = std::max(widest, fm.horizontalAdvance(text));
        scale = std::max(scale, qreal(widest + kCellPadding) / ColumnTwips(kind, column));
    }
    return scale;
}

ChannelGrid::ChannelGrid(ChannelTable& table, QWidget* parent)
    : QTableView(parent), m_kind(table.kind())
{
    setObjectName(QStringLiteral("Grid"));
    setModel(&table);
    setItemDelegateForColumn(ColLabel, new LabelDelegate(this));
    setEditTriggers(NoEditTriggers);
    setSelectionMode(NoSelection);  // the highlight is switched on by the view, not by clicks
    setSelectionBehavior(SelectItems);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setStretchLastSection(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Tab goes on to the options and buttons: the arrows move between cells.
    setTabKeyNavigation(false);
    setAccessibleName(QString::fromLatin1(Descriptor(m_kind).caption));
    layOutColumns();
}

void ChannelGrid::layOutColumns()
{
    const qreal dpi = logicalDpiX();
    const qreal scale = GridScale(m_kind, font(), dpi);
    int columns = 0;
    for (int column = 0; column < kColumnCount; ++column) {
        const int width = qRound(ColumnTwips(m_kind, column) * scale);
        horizontalHeader()->resizeSection(column, width);
        columns += width;
    }
    const int rowHeight = fontMetrics().height() + kRowPadding;
    verticalHeader()->setMinimumSectionSize(rowHeight);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    const int chrome = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    // At least the classic width; a wider window gives the rest to Comments, the last column.
    setMinimumWidth(std::max(qRound(Descriptor(m_kind).gridTwips * scale), columns + chrome));
}

void ChannelGrid::yieldRoom(QSize overflow)
{
    if (overflow.width() > 0) {
        setMinimumWidth(std::max(0, minimumWidth() - overflow.width()));
        // The scroll bar takes no row from view.
        const int bar = horizontalScrollBar()->sizeHint().height();
        if (maximumHeight() < QWIDGETSIZE_MAX)
            setMaximumHeight(maximumHeight() + bar);
        setMinimumHeight(minimumHeight() + bar);
    }
    // Whole rows, so that none shows cut; a view that shows all its rows keeps them.
    const int rowHeight = verticalHeader()->defaultSectionSize();
    const int rows = (overflow.height() + rowHeight - 1) / rowHeight;
    if (rows > 0 && maximumHeight() == QWIDGETSIZE_MAX)
        setMinimumHeight(std::max(heightForRows(1), minimumHeight() - rows * rowHeight));
}

bool ChannelGrid::marksRow(int row) const
{
    return currentIndex().isValid() && currentIndex().row() == row - 1;
}

void ChannelGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    // The marker sits in the label column, which the view does not repaint on its own.
    for (const QModelIndex& index : {previous, current})
        if (index.isValid())
            viewport()->update(visualRect(model()->index(index.row(), ColLabel)));
}

int ChannelGrid::heightForRows(int rows) const
{
    return horizontalHeader()->sizeHint().height() + rows * verticalHeader()->defaultSectionSize()
         + 2 * frameWidth();
}

void ChannelGrid::keyPressEvent(QKeyEvent* event)
{
    const QModelIndex current = currentIndex();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        Q_EMIT escapePressed();
    } else if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2) && modifiers == Qt::NoModifier) {
        // A held key would repeat the action in whatever window it opened.
        if (current.isValid() && !event->isAutoRepeat())
            Q_EMIT cellActivated(current.row() + 1, current.column());
    } else if (key == Qt::Key_Menu || (key == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
        if (current.isValid() && !event->isAutoRepeat())
            Q_EMIT rowMenuRequested(current.row() + 1, viewport()->mapToGlobal(visualRect(current).bottomLeft()));
    } else {
        QTableView::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ChannelGrid::contextMenuEvent(QContextMenuEvent* event)
{
    // The keys are taken in keyPressEvent, on every platform alike; some also send this event.
    event->accept();
    if (event->reason() != QContextMenuEvent::Mouse)
        return;
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid())
        Q_EMIT rowMenuRequested(index.row() + 1, event->globalPos());
}

}  // namespace vardo
