// SPDX-License-Identifier: GPL-3.0-or-later
#include "channeltable.h"

#include <QStringList>

namespace vardo {
namespace {

// The roles a mark changes: the colour, and its text for the pointer and for a screen reader.
const QList<int> kMarkRoles{Qt::BackgroundRole, Qt::ForegroundRole, Qt::ToolTipRole, Qt::AccessibleDescriptionRole};

[[nodiscard]] QVariant MarkData(const QString& mark, MarkKind kind, int role)
{
    if (mark.isEmpty())
        return {};
    switch (role) {
    case Qt::BackgroundRole: return QColor(kind == MarkKind::Differs ? kMarkColour : kUnsettableMarkColour);
    case Qt::ForegroundRole: return QColor(Qt::black);  // dark text on the light mark in any theme
    default: return mark;
    }
}

}  // namespace

const QStringList& ColumnHeaders()
{
    static const QStringList headers = [] {
        QStringList fields = QString::fromLatin1(kGridFormat).split(QLatin1Char('|'));
        for (QString& f : fields)
            f.remove(0, 1);  // the caret
        return fields;
    }();
    return headers;
}

QString MarkText(const QList<FieldDifference>& differences)
{
    QStringList lines;
    // The mask shares the frequency's cell: its line names it. (An unknown value already reads
    // "unknown".)
    for (const FieldDifference& d : differences)
        lines << (d.field == u"mask" ? QStringLiteral("Radio: mask %1") : QStringLiteral("Radio: %1")).arg(d.radio);
    return lines.join(u'\n');
}

Qt::Alignment CellAlignment(int column)
{
    if (column == ColFreq)
        return Qt::AlignRight | Qt::AlignVCenter;
    if (column == ColComment)
        return Qt::AlignLeft | Qt::AlignVCenter;
    return Qt::AlignCenter;
}

ChannelTable::ChannelTable(ViewKind kind, QObject* parent)
    : QAbstractTableModel(parent), m_kind(kind)
{
    m_cells.resize(qsizetype(channelRows()) * kColumnCount);
    layOut();
}

bool ChannelTable::inGrid(int row, int column) const
{
    return row >= 1 && row <= channelRows() && column >= 0 && column < kColumnCount;
}

QString ChannelTable::cell(int row, int column) const
{
    return inGrid(row, column) ? m_cells.at(at(row, column)) : QString();
}

void ChannelTable::setCell(int row, int column, const QString& text)
{
    if (!inGrid(row, column) || m_cells.at(at(row, column)) == text)
        return;
    clearMarks();
    m_cells[at(row, column)] = text;
    const QModelIndex i = index(row - 1, column);
    Q_EMIT dataChanged(i, i, {Qt::DisplayRole});
}

RowCells ChannelTable::row(int row) const
{
    RowCells cells;
    for (int c = ColFreq; c <= ColComment; ++c)
        cells[CellIndex(Column(c))] = cell(row, c);
    return cells;
}

std::vector<RowCells> ChannelTable::rows() const
{
    std::vector<RowCells> all;
    all.reserve(static_cast<std::size_t>(channelRows()));
    for (int r = 1; r <= channelRows(); ++r)
        all.push_back(row(r));
    return all;
}

void ChannelTable::setRow(int row, const RowCells& cells)
{
    writeCells(row, cells, ColComment);
}

void ChannelTable::setSettings(int row, const RowCells& cells)
{
    writeCells(row, cells, ColRpt);
}

void ChannelTable::writeCells(int row, const RowCells& cells, Column last)
{
    if (!inGrid(row, ColFreq))
        return;
    clearMarks();
    for (int c = ColFreq; c <= last; ++c)
        m_cells[at(row, c)] = cells[CellIndex(Column(c))];
    Q_EMIT dataChanged(index(row - 1, ColFreq), index(row - 1, last), {Qt::DisplayRole});
}

bool ChannelTable::hasData(int row) const
{
    return !cell(row, ColFreq).isEmpty();
}

bool ChannelTable::masked(int row) const
{
    return IsMaskedFreqCell(cell(row, ColFreq));
}

void ChannelTable::swapCells(int rowA, int rowB, int firstColumn, int lastColumn)
{
    firstColumn = std::max(firstColumn, int(ColFreq));
    lastColumn = std::min(lastColumn, int(ColComment));
    if (!inGrid(rowA, firstColumn) || !inGrid(rowB, lastColumn) || rowA == rowB || firstColumn > lastColumn)
        return;
    clearMarks();
    for (int c = firstColumn; c <= lastColumn; ++c)
        m_cells.swapItemsAt(at(rowA, c), at(rowB, c));
    Q_EMIT dataChanged(index(std::min(rowA, rowB) - 1, firstColumn),
                       index(std::max(rowA, rowB) - 1, lastColumn), {Qt::DisplayRole});
}

void ChannelTable::layOut()
{
    beginResetModel();
    m_marks.clear();
    m_cells.fill(QString());
    for (int row = 1; row <= channelRows(); ++row)
        m_cells[at(row, ColLabel)] = ChannelLabel(ChannelOfRow(m_kind, row));
    endResetModel();
}

void ChannelTable::markDifferences(int row, const QList<FieldDifference>& differences, MarkKind kind)
{
    QHash<int, QList<FieldDifference>> byColumn;
    for (const FieldDifference& d : differences)
        if (inGrid(row, d.column))
            byColumn[d.column].append(d);
    for (auto it = byColumn.cbegin(); it != byColumn.cend(); ++it) {
        m_marks.insert(at(row, it.key()), {MarkText(it.value()), kind});
        const QModelIndex i = index(row - 1, it.key());
        Q_EMIT dataChanged(i, i, kMarkRoles);
    }
}

void ChannelTable::markMismatches(const QList<ChannelMismatch>& mismatches)
{
    for (const ChannelMismatch& m : mismatches)
        if (const int row = RowOfChannel(m_kind, m.channel))
            markDifferences(row, m.differences);
}

void ChannelTable::clearMarks()
{
    if (m_marks.isEmpty())
        return;
    m_marks.clear();
    Q_EMIT dataChanged(index(0, ColFreq), index(channelRows() - 1, ColComment), kMarkRoles);
}

QString ChannelTable::mark(int row, int column) const
{
    return inGrid(row, column) ? m_marks.value(at(row, column)).text : QString();
}

int ChannelTable::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : channelRows();
}

int ChannelTable::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant ChannelTable::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !inGrid(index.row() + 1, index.column()))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return cell(index.row() + 1, index.column());
    case Qt::TextAlignmentRole:
        return int(CellAlignment(index.column()));
    case Qt::BackgroundRole:
    case Qt::ForegroundRole:
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
    {
        const Mark found = m_marks.value(at(index.row() + 1, index.column()));
        return MarkData(found.text, found.kind, role);
    }
    default:
        return {};
    }
}

QVariant ChannelTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return ColumnHeaders().at(section);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

}  // namespace vardo
