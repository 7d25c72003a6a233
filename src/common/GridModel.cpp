#include "common/GridModel.h"

GridModel::GridModel(int dataColumns, int dataRows, QObject* parent)
    : QAbstractTableModel(parent), m_columns(qMax(1, dataColumns)), m_rows(qMax(1, dataRows)),
      m_columnSpecs(size_t(m_columns)), m_cells(size_t(m_columns) * size_t(m_rows))
{
    m_rowLabels.reserve(m_rows);
    for (int r = 1; r <= m_rows; ++r)
        m_rowLabels.append(QString::number(r));
}

void GridModel::setColumn(int col, const Column& spec)
{
    column(col) = spec;
    emit headerDataChanged(Qt::Horizontal, col - 1, col - 1);
    emit dataChanged(indexOf(col, 1), indexOf(col, m_rows));
}

void GridModel::setHeader(int col, const QString& text)
{
    column(col).header = text;
    emit headerDataChanged(Qt::Horizontal, col - 1, col - 1);
}

void GridModel::setRowLabel(int row, const QString& text)
{
    m_rowLabels[row - 1] = text;
    emit headerDataChanged(Qt::Vertical, row - 1, row - 1);
}

void GridModel::changed(int col, int row)
{
    const QModelIndex i = indexOf(col, row);
    emit dataChanged(i, i);
}

void GridModel::rowsChanged(int firstRow, int lastRow)
{
    if (firstRow <= lastRow)
        emit dataChanged(indexOf(1, firstRow), indexOf(m_columns, lastRow));
}

void GridModel::setText(int col, int row, const QString& text)
{
    Cell& c = cell(col, row);
    if (c.text == text)
        return;
    c.text = text;
    changed(col, row);
}

void GridModel::setReadOnly(int col, int row, bool on)
{
    Cell& c = cell(col, row);
    if (c.readOnly == on)
        return;
    c.readOnly = on;
    changed(col, row);
}

void GridModel::setHasCheckBox(int col, int row, bool on)
{
    Cell& c = cell(col, row);
    if (c.hasCheck == on)
        return;
    c.hasCheck = on;
    changed(col, row);
}

void GridModel::setChecked(int col, int row, bool on)
{
    Cell& c = cell(col, row);
    if (c.checked == on)
        return;
    c.checked = on;
    changed(col, row);
}

void GridModel::copyRow(int fromRow, int toRow)
{
    for (int col = 1; col <= m_columns; ++col)
        cell(col, toRow) = cell(col, fromRow);
    rowsChanged(toRow, toRow);
}

void GridModel::shiftRows(int first, int last, int direction)
{
    if (first > last)
        return;
    const auto rowBegin = [this](int row) { return m_cells.begin() + ptrdiff_t(row - 1) * m_columns; };
    if (direction > 0 && last < m_rows) {
        // rows first..last become first+1..last+1
        std::move_backward(rowBegin(first), rowBegin(last + 1), rowBegin(last + 2));
        rowsChanged(first, last + 1);
    } else if (direction < 0 && first > 1) {
        std::move(rowBegin(first), rowBegin(last + 1), rowBegin(first - 1));
        rowsChanged(first - 1, last);
    }
}

void GridModel::shiftTexts(int first, int last, int direction)
{
    if (first > last || (direction > 0 && last >= m_rows) || (direction < 0 && first <= 1))
        return;
    if (direction > 0) {
        for (int row = last; row >= first; --row)
            for (int col = 1; col <= m_columns; ++col)
                cell(col, row + 1).text = std::move(cell(col, row).text);
        rowsChanged(first, last + 1);
    } else {
        for (int row = first; row <= last; ++row)
            for (int col = 1; col <= m_columns; ++col)
                cell(col, row - 1).text = std::move(cell(col, row).text);
        rowsChanged(first - 1, last);
    }
}

void GridModel::clearAll()
{
    beginResetModel();
    for (Cell& c : m_cells)
        c = Cell();
    endResetModel();
}

void GridModel::refreshAll()
{
    emit dataChanged(indexOf(1, 1), indexOf(m_columns, m_rows));
}

QString GridModel::filterInput(int col, const QString& typed) const
{
    const Column& spec = column(col);
    QString out;
    out.reserve(typed.size());
    for (QChar ch : typed) {
        if (!spec.allowedChars.isEmpty() && !spec.allowedChars.contains(ch))
            continue;
        out += spec.upperCase ? ch.toUpper() : ch;
    }
    if (spec.maxLength > 0 && out.size() > spec.maxLength)
        out.truncate(spec.maxLength);
    return out;
}

int GridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int col = colOf(index), row = rowOf(index);
    const Cell& c = cell(col, row);
    const Column& spec = column(col);
    switch (role) {
    case Qt::DisplayRole:
        if (c.hasCheck || spec.kind == Kind::CheckText)
            return {};
        return c.text;
    case Qt::EditRole:
        return c.text;
    case Qt::CheckStateRole:
        if (c.hasCheck)
            return c.checked ? Qt::Checked : Qt::Unchecked;
        if (spec.kind == Kind::CheckText)
            return c.text == QStringLiteral("Y") ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::AccessibleTextRole:
        if (c.hasCheck)
            return c.checked ? QStringLiteral("Y") : QStringLiteral("N");
        return c.text;
    default:
        return {};
    }
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid())
        return false;
    const int col = colOf(index), row = rowOf(index);
    Cell& c = cell(col, row);
    if (c.readOnly)
        return false;
    if (role == Qt::CheckStateRole) {
        const bool on = value.toInt() == Qt::Checked;
        if (c.hasCheck)
            setChecked(col, row, on);
        else if (column(col).kind == Kind::CheckText)
            setText(col, row, on ? QStringLiteral("Y") : QStringLiteral("N"));
        else
            return false;
        emit cellEdited(col, row);
        return true;
    }
    if (role == Qt::EditRole) {
        const QString text =
            column(col).kind == Kind::Text ? filterInput(col, value.toString()) : value.toString();
        setText(col, row, text);
        emit cellEdited(col, row);
        return true;
    }
    return false;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const int col = colOf(index), row = rowOf(index);
    const Cell& c = cell(col, row);
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (c.readOnly)
        return f;
    if (c.hasCheck || column(col).kind == Kind::CheckText)
        return f | Qt::ItemIsUserCheckable;
    return f | Qt::ItemIsEditable;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < m_columns ? column(section + 1).header : QString();
    return section >= 0 && section < m_rows ? m_rowLabels.at(section) : QString();
}
