#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

// The cells of one fixed-capacity editor table, addressed as the editors
// speak of them: (column, row) with row 0 the header and column 0 the row
// number, so data cells run from (1, 1) to (dataColumns(), dataRows()).
// As a Qt model, model row r is table row r + 1 and model column c is table
// column c + 1; the header row and the number column are the view's headers.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum class Kind {
        Text,      // free text
        CheckText, // a check box whose tick is stored as the text "Y" / "N"
        PickList,  // a drop-down of fixed items; the text is the chosen item
    };

    struct Column
    {
        QString header;
        Kind kind = Kind::Text;
        QStringList items; // PickList
        bool hidden = false;
        int width = 64;
        quint32 background = 0; // 0xAARRGGBB; 0: the view's own (the view paints it)
        int maxLength = 0;      // 0: no limit
        bool upperCase = false;
        QString allowedChars; // empty: any character
    };

    GridModel(int dataColumns, int dataRows, QObject* parent = nullptr);

    int dataColumns() const { return m_columns; }
    int dataRows() const { return m_rows; }

    Column& column(int col) { return m_columnSpecs[size_t(col - 1)]; }
    const Column& column(int col) const { return m_columnSpecs[size_t(col - 1)]; }
    void setColumn(int col, const Column& spec);
    void setHeader(int col, const QString& text);
    // The number column's texts; by default "1", "2", ...
    void setRowLabel(int row, const QString& text);

    QString text(int col, int row) const { return cell(col, row).text; }
    void setText(int col, int row, const QString& text);
    bool readOnly(int col, int row) const { return cell(col, row).readOnly; }
    void setReadOnly(int col, int row, bool on);
    // A cell may hold a check box of its own (its state is not text).
    bool hasCheckBox(int col, int row) const { return cell(col, row).hasCheck; }
    void setHasCheckBox(int col, int row, bool on);
    bool checked(int col, int row) const { return cell(col, row).checked; }
    void setChecked(int col, int row, bool on);

    // Copies every data cell (text, check state, read-only) of one row onto another.
    void copyRow(int fromRow, int toRow);
    // Moves rows [first, last] by one towards `direction` (+1 down, -1 up), in one change.
    void shiftRows(int first, int last, int direction);
    // The same for the texts only: check states and read-only flags stay with their cells.
    void shiftTexts(int first, int last, int direction);
    void clearAll();
    // After a fill with signals blocked: tell the views that every cell changed.
    void refreshAll();

    // Filters what a user types into a text cell: limit, allowed characters, upper case.
    QString filterInput(int col, const QString& typed) const;

    // Qt model
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    QModelIndex indexOf(int col, int row) const { return index(row - 1, col - 1); }
    static int colOf(const QModelIndex& i) { return i.column() + 1; }
    static int rowOf(const QModelIndex& i) { return i.row() + 1; }

signals:
    // A user's edit through the view (not programmatic changes).
    void cellEdited(int col, int row);

private:
    struct Cell
    {
        QString text;
        bool readOnly = false;
        bool hasCheck = false;
        bool checked = false;
    };
    Cell& cell(int col, int row) { return m_cells[size_t(row - 1) * size_t(m_columns) + size_t(col - 1)]; }
    const Cell& cell(int col, int row) const
    {
        return m_cells[size_t(row - 1) * size_t(m_columns) + size_t(col - 1)];
    }
    void changed(int col, int row);
    void rowsChanged(int firstRow, int lastRow);

    int m_columns;
    int m_rows;
    std::vector<Column> m_columnSpecs;
    std::vector<Cell> m_cells;
    QStringList m_rowLabels;
};
