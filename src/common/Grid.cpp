#include "common/Grid.h"

#include "common/GridModel.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QValidator>

namespace {

// Keeps typed text within the column's limit and character set, upper-cased where asked.
class CellValidator : public QValidator
{
public:
    CellValidator(const GridModel* model, int col, QObject* parent)
        : QValidator(parent), m_model(model), m_col(col)
    {
    }
    State validate(QString& input, int& pos) const override
    {
        const QString filtered = m_model->filterInput(m_col, input);
        if (filtered != input) {
            pos = qMin(pos, int(filtered.size()));
            input = filtered;
        }
        return Acceptable;
    }

private:
    const GridModel* m_model;
    int m_col;
};

class GridDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        auto* model = qobject_cast<const GridModel*>(index.model());
        if (!model)
            return QStyledItemDelegate::createEditor(parent, option, index);
        const int col = GridModel::colOf(index);
        const GridModel::Column& spec = model->column(col);
        if (spec.kind == GridModel::Kind::PickList) {
            auto* combo = new QComboBox(parent);
            combo->addItems(spec.items);
            combo->setAccessibleName(spec.header);
            return combo;
        }
        if (spec.kind == GridModel::Kind::CheckText || model->hasCheckBox(col, GridModel::rowOf(index)))
            return nullptr;
        auto* edit = new QLineEdit(parent);
        edit->setFrame(false);
        edit->setAccessibleName(spec.header);
        edit->setValidator(new CellValidator(model, col, edit));
        return edit;
    }

    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (auto* model = qobject_cast<const GridModel*>(index.model())) {
            const quint32 rgb = model->column(GridModel::colOf(index)).background;
            if (rgb != 0)
                option->backgroundBrush = QColor::fromRgba(rgb);
        }
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            combo->setCurrentIndex(combo->findText(index.data(Qt::EditRole).toString()));
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            if (combo->currentIndex() >= 0)
                model->setData(index, combo->currentText(), Qt::EditRole);
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }
};

} // namespace

Grid::Grid(QWidget* parent) : QTableView(parent)
{
    setItemDelegate(new GridDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setHighlightSections(false);
    setWordWrap(false);
    connect(horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, [this](int section) {
        if (m_headerAutoSize && *m_headerAutoSize)
            autoSizeColumn(section + 1);
    });
}

void Grid::setGridModel(GridModel* model)
{
    m_model = model;
    setModel(model);
    applyColumns();
}

void Grid::applyColumns()
{
    if (!m_model)
        return;
    for (int col = 1; col <= m_model->dataColumns(); ++col) {
        const GridModel::Column& spec = m_model->column(col);
        setColumnHidden(col - 1, spec.hidden);
        setColumnWidth(col - 1, spec.width);
    }
}

void Grid::setConventions(const bool* enterJumps, const bool* headerAutoSize)
{
    m_enterJumps = enterJumps;
    m_headerAutoSize = headerAutoSize;
}

int Grid::currentCol() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? GridModel::colOf(i) : 0;
}

int Grid::currentRow() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? GridModel::rowOf(i) : 0;
}

void Grid::setCurrentCell(int col, int row)
{
    if (m_model)
        setCurrentIndex(m_model->indexOf(col, row));
}

bool Grid::jumpToNextField()
{
    if (!m_model)
        return false;
    const int col = currentCol(), row = currentRow();
    if (col < 1 || row < 1)
        return false;
    int lastVisible = 0;
    for (int c = m_model->dataColumns(); c >= 1 && lastVisible == 0; --c)
        if (!isColumnHidden(c - 1))
            lastVisible = c;
    if (col < lastVisible) {
        int next = col + 1;
        while (next < lastVisible && isColumnHidden(next - 1))
            ++next;
        setCurrentCell(next, row);
    } else {
        setCurrentCell(1, row < m_model->dataRows() ? row + 1 : 1);
    }
    return true;
}

void Grid::autoSizeColumn(int col)
{
    if (!m_model || col < 1 || col > m_model->dataColumns())
        return;
    const QFontMetrics cells(font());
    const QFontMetrics header(horizontalHeader()->font());
    int width = header.horizontalAdvance(m_model->column(col).header);
    for (int row = 1; row <= m_model->dataRows(); ++row)
        width = qMax(width, cells.horizontalAdvance(m_model->text(col, row)));
    setColumnWidth(col - 1, width);
}

void Grid::setCornerText(const QString& text)
{
    setCornerButtonEnabled(false);
    for (QAbstractButton* corner : findChildren<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly)) {
        corner->setText(text);
        corner->setAccessibleName(text);
        corner->setToolTip(text);
    }
    verticalHeader()->setAccessibleName(text);
}

void Grid::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && m_enterJumps && *m_enterJumps && state() != EditingState) {
        if (currentCol() >= 1 && currentRow() >= 1)
            jumpToNextField();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void Grid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Enter in an open cell commits it and then moves on like Enter on the grid.
    if (hint == QAbstractItemDelegate::SubmitModelCache && m_enterJumps && *m_enterJumps) {
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        jumpToNextField();
        return;
    }
    QTableView::closeEditor(editor, hint);
}

void Grid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    emit cellSelected(current.isValid() ? GridModel::colOf(current) : 0,
                      current.isValid() ? GridModel::rowOf(current) : 0,
                      previous.isValid() ? GridModel::colOf(previous) : 0,
                      previous.isValid() ? GridModel::rowOf(previous) : 0);
}
