#include "channeltable.h"

namespace vardo {

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
    for (int c = firstColumn; c <= lastColumn; ++c)
        m_cells.swapItemsAt(at(rowA, c), at(rowB, c));
    Q_EMIT dataChanged(index(std::min(rowA, rowB) - 1, firstColumn),
                       index(std::max(rowA, rowB) - 1, lastColumn), {Qt::DisplayRole});
}

void ChannelTable::layOut()
{
    beginResetModel();
    m_cells.fill(QString());
    for (int row = 1; row <= channelRows(); ++row)
        m_cells[at(row, ColLabel)] = ChannelLabel(ChannelOfRow(m_kind, row));
    endResetModel();
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
