#pragma once

#include <QTableView>

class GridModel;

// The one table view of every editor: text, "Y"/"N" check-box and pick-list
// columns over a GridModel, a fixed header row and row-number column, and the
// two optional conventions (Enter moves to the next field, a double click on
// a header fits the column).
class Grid : public QTableView
{
    Q_OBJECT
public:
    explicit Grid(QWidget* parent = nullptr);

    void setGridModel(GridModel* model);
    GridModel* gridModel() const { return m_model; }
    // Re-applies the columns' widths and hidden flags from the model.
    void applyColumns();

    // The switches are read at the moment of the key or click, so a change in
    // the options takes effect at once.
    void setConventions(const bool* enterJumps, const bool* headerAutoSize);

    // Current cell in table coordinates (0 when there is none).
    int currentCol() const;
    int currentRow() const;
    void setCurrentCell(int col, int row);

    // Enter-key field jump from the current cell; true when it moved.
    bool jumpToNextField();
    void autoSizeColumn(int col);
    // The header of the row-number column (the view's corner).
    void setCornerText(const QString& text);

signals:
    void cellSelected(int col, int row, int previousCol, int previousRow);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    GridModel* m_model = nullptr;
    const bool* m_enterJumps = nullptr;
    const bool* m_headerAutoSize = nullptr;
};
