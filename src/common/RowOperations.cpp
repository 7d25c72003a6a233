#include "common/RowOperations.h"

#include "common/Dialogs.h"
#include "common/GridModel.h"
#include "lang/StringTable.h"

namespace RowOperations {

namespace {

constexpr int RowUsed = 1500;
constexpr int WrongCopy = 1501;
constexpr int NothingCopied = 1502;

bool blankOrControl(QChar c)
{
    return c.unicode() <= 32;
}

bool emptyAfterTrim(const QString& s)
{
    for (QChar c : s)
        if (!blankOrControl(c))
            return false;
    return true;
}

// The paste checks common to both kinds; false when the paste must not go on.
bool mayPaste(GridModel& grid, bool copiedHere, bool used, const Context& ctx)
{
    if (!copiedHere) {
        ctx.dialogs.error(ctx.parent, ctx.strings.text(NothingCopied));
        return false;
    }
    if (ctx.buffer.texts.size() != grid.dataColumns()) {
        ctx.dialogs.error(ctx.parent, ctx.strings.text(WrongCopy));
        return false;
    }
    return !used || ctx.dialogs.yesNo(ctx.parent, ctx.strings.text(RowUsed));
}

void clearTextRow(GridModel& grid, int row)
{
    for (int col = 1; col <= grid.dataColumns(); ++col)
        grid.setText(col, row, QString());
}

void resetCheckRow(GridModel& grid, int row, bool firstColumnFlag, bool readOnly)
{
    for (int col = 1; col <= grid.dataColumns(); ++col) {
        if (grid.hasCheckBox(col, row))
            grid.setChecked(col, row, col == 1 && firstColumnFlag);
        else
            grid.setText(col, row, QString());
        grid.setReadOnly(col, row, readOnly);
    }
}

bool validRow(const GridModel& grid, int row)
{
    return row >= 1 && row <= grid.dataRows();
}

} // namespace

void textRowCopy(const GridModel& grid, int row, RowCopyBuffer& buffer)
{
    buffer.texts.clear();
    buffer.checkColumns.clear();
    if (!validRow(grid, row))
        return;
    for (int col = 1; col <= grid.dataColumns(); ++col)
        buffer.texts.append(grid.text(col, row));
}

bool textRowPaste(GridModel& grid, int row, bool copiedHere, const Context& ctx)
{
    if (!validRow(grid, row))
        return false;
    bool used = false;
    for (int col = 1; col <= grid.dataColumns() && !used; ++col)
        used = grid.column(col).kind != GridModel::Kind::CheckText && !emptyAfterTrim(grid.text(col, row));
    if (!mayPaste(grid, copiedHere, used, ctx))
        return false;
    for (int col = 1; col <= grid.dataColumns(); ++col)
        grid.setText(col, row, ctx.buffer.texts.at(col - 1));
    return true;
}

void textRowDelete(GridModel& grid, int row)
{
    if (!validRow(grid, row))
        return;
    grid.shiftTexts(row + 1, grid.dataRows(), -1);
    clearTextRow(grid, grid.dataRows());
}

void textRowInsert(GridModel& grid, int row, bool firstColumnFlag)
{
    if (!validRow(grid, row))
        return;
    grid.shiftTexts(row, grid.dataRows() - 1, +1);
    clearTextRow(grid, row);
    if (firstColumnFlag)
        grid.setText(1, row, QStringLiteral("Y"));
}

void checkRowCopy(const GridModel& grid, int row, RowCopyBuffer& buffer)
{
    buffer.texts.clear();
    buffer.checkColumns.clear();
    if (!validRow(grid, row))
        return;
    for (int col = 1; col <= grid.dataColumns(); ++col) {
        const bool check = grid.hasCheckBox(col, row);
        buffer.checkColumns.append(check);
        buffer.texts.append(check ? (grid.checked(col, row) ? QStringLiteral("Y") : QStringLiteral("N"))
                                  : grid.text(col, row));
    }
}

bool checkRowPaste(GridModel& grid, int row, bool copiedHere, const Context& ctx)
{
    if (!validRow(grid, row))
        return false;
    bool used = false;
    for (int col = 1; col <= grid.dataColumns() && !used; ++col)
        used = !grid.hasCheckBox(col, row) && !grid.text(col, row).isEmpty();
    if (!mayPaste(grid, copiedHere, used, ctx))
        return false;
    for (int col = 1; col <= grid.dataColumns(); ++col) {
        const QString& value = ctx.buffer.texts.at(col - 1);
        if (ctx.buffer.checkColumns.value(col - 1, false))
            grid.setChecked(col, row, value == QStringLiteral("Y"));
        else
            grid.setText(col, row, value);
    }
    return true;
}

void checkRowDelete(GridModel& grid, int row, bool firstColumnFlag)
{
    if (!validRow(grid, row))
        return;
    grid.shiftRows(row + 1, grid.dataRows(), -1);
    resetCheckRow(grid, grid.dataRows(), firstColumnFlag, true);
}

void checkRowInsert(GridModel& grid, int row, bool firstColumnFlag)
{
    if (!validRow(grid, row))
        return;
    grid.shiftRows(row, grid.dataRows() - 1, +1);
    resetCheckRow(grid, row, firstColumnFlag, false);
}

} // namespace RowOperations
