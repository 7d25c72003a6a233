#pragma once

#include <QList>
#include <QStringList>

class Dialogs;
class GridModel;
class StringTable;
class QWidget;

// The program-wide buffer of the last copied row.
struct RowCopyBuffer
{
    QStringList texts;
    QList<bool> checkColumns; // for a check-box row copy: which columns held check boxes
};

// Copy, paste, insert and delete of rows in fixed-capacity tables: rows move,
// the row count never changes.
namespace RowOperations {

struct Context
{
    RowCopyBuffer& buffer;
    Dialogs& dialogs;
    const StringTable& strings;
    QWidget* parent = nullptr;
};

void textRowCopy(const GridModel& grid, int row, RowCopyBuffer& buffer);
// Returns true when the row was written.
bool textRowPaste(GridModel& grid, int row, bool copiedHere, const Context& ctx);
void textRowDelete(GridModel& grid, int row);
void textRowInsert(GridModel& grid, int row, bool firstColumnFlag);

void checkRowCopy(const GridModel& grid, int row, RowCopyBuffer& buffer);
bool checkRowPaste(GridModel& grid, int row, bool copiedHere, const Context& ctx);
void checkRowDelete(GridModel& grid, int row, bool firstColumnFlag);
void checkRowInsert(GridModel& grid, int row, bool firstColumnFlag);

} // namespace RowOperations
