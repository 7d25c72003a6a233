#include "ScriptedDialogs.h"
#include "common/Grid.h"
#include "common/GridModel.h"
#include "common/RowOperations.h"
#include "lang/StringTable.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

namespace {

// A table of `rows` data rows whose cell (c, r) holds "c:r".
std::unique_ptr<GridModel> numbered(int cols, int rows)
{
    auto m = std::make_unique<GridModel>(cols, rows);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c)
            m->setText(c, r, QStringLiteral("%1:%2").arg(c).arg(r));
    return m;
}

QStringList rowTexts(const GridModel& m, int row)
{
    QStringList out;
    for (int c = 1; c <= m.dataColumns(); ++c)
        out << m.text(c, row);
    return out;
}

struct Env
{
    StringTable strings;
    ScriptedDialogs dialogs;
    RowCopyBuffer buffer;
    Env() { strings.buildDefaults(); }
    RowOperations::Context ctx() { return {buffer, dialogs, strings, nullptr}; }
};

} // namespace

class TestGrid : public QObject
{
    Q_OBJECT
private slots:
    void modelBehavesAsAModel();
    void cellEditing();
    void textDelete();
    void textInsert();
    void textPasteRefusals();
    void textPasteUsedRow_data();
    void textPasteUsedRow();
    void checkRowCopyPaste();
    void checkRowDeleteAndInsert();
    void enterJump();
    void headerAutoSize();
};

void TestGrid::modelBehavesAsAModel()
{
    auto m = numbered(4, 20);
    m->column(2).kind = GridModel::Kind::CheckText;
    m->setHasCheckBox(3, 5, true);
    QAbstractItemModelTester tester(m.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    m->shiftRows(2, 19, +1);
    m->shiftTexts(3, 20, -1);
    m->clearAll();
    QCOMPARE(m->rowCount(), 20);
    QCOMPARE(m->headerData(19, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("20"));
}

void TestGrid::cellEditing()
{
    GridModel m(3, 2);
    GridModel::Column hex;
    hex.maxLength = 4;
    hex.upperCase = true;
    hex.allowedChars = QStringLiteral("0123456789abcdefABCDEF");
    m.setColumn(1, hex);
    GridModel::Column flag;
    flag.kind = GridModel::Kind::CheckText;
    m.setColumn(2, flag);

    QVERIFY(m.setData(m.indexOf(1, 1), QStringLiteral("a1-zf99"), Qt::EditRole));
    QCOMPARE(m.text(1, 1), QStringLiteral("A1F9"));
    QVERIFY(m.setData(m.indexOf(2, 1), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(m.text(2, 1), QStringLiteral("Y"));
    QCOMPARE(m.data(m.indexOf(2, 1), Qt::DisplayRole), QVariant());
    QVERIFY(m.setData(m.indexOf(2, 1), Qt::Unchecked, Qt::CheckStateRole));
    QCOMPARE(m.text(2, 1), QStringLiteral("N"));
    m.setReadOnly(3, 2, true);
    QVERIFY(!(m.flags(m.indexOf(3, 2)) & Qt::ItemIsEditable));
    QVERIFY(!m.setData(m.indexOf(3, 2), QStringLiteral("x"), Qt::EditRole));
    QCOMPARE(m.text(3, 2), QString());
}

void TestGrid::textDelete()
{
    auto m = numbered(3, 9);
    m->setReadOnly(2, 9, true);
    RowOperations::textRowDelete(*m, 3);
    QCOMPARE(rowTexts(*m, 2), (QStringList{"1:2", "2:2", "3:2"}));
    QCOMPARE(rowTexts(*m, 3), (QStringList{"1:4", "2:4", "3:4"}));
    QCOMPARE(rowTexts(*m, 8), (QStringList{"1:9", "2:9", "3:9"}));
    QCOMPARE(rowTexts(*m, 9), (QStringList{"", "", ""}));
    QVERIFY(m->readOnly(2, 9)); // a text delete moves texts only

    RowOperations::textRowDelete(*m, 9);
    QCOMPARE(rowTexts(*m, 8), (QStringList{"1:9", "2:9", "3:9"}));
    RowOperations::textRowDelete(*m, 8);
    QCOMPARE(rowTexts(*m, 8), (QStringList{"", "", ""}));
}

void TestGrid::textInsert()
{
    auto m = numbered(3, 9);
    RowOperations::textRowInsert(*m, 3, false);
    QCOMPARE(rowTexts(*m, 2), (QStringList{"1:2", "2:2", "3:2"}));
    QCOMPARE(rowTexts(*m, 3), (QStringList{"", "", ""}));
    QCOMPARE(rowTexts(*m, 4), (QStringList{"1:3", "2:3", "3:3"}));
    QCOMPARE(rowTexts(*m, 9), (QStringList{"1:8", "2:8", "3:8"})); // former row 9 lost

    RowOperations::textRowInsert(*m, 1, true);
    QCOMPARE(rowTexts(*m, 1), (QStringList{"Y", "", ""}));
    QCOMPARE(rowTexts(*m, 2), (QStringList{"1:1", "2:1", "3:1"}));
}

void TestGrid::textPasteRefusals()
{
    Env env;
    auto source = numbered(3, 4);
    GridModel target(3, 4);
    GridModel narrow(2, 4);

    RowOperations::textRowCopy(*source, 2, env.buffer);
    QCOMPARE(env.buffer.texts, (QStringList{"1:2", "2:2", "3:2"}));
    // Not copied in this table: refused although the buffer holds a row.
    QVERIFY(!RowOperations::textRowPaste(target, 1, false, env.ctx()));
    QCOMPARE(env.dialogs.texts(QStringLiteral("error")),
             QStringList{QStringLiteral("Error!!! Copy a valid row before Paste it")});
    env.dialogs.clear();
    QVERIFY(!RowOperations::textRowPaste(narrow, 1, true, env.ctx()));
    QCOMPARE(env.dialogs.texts(QStringLiteral("error")),
             QStringList{QStringLiteral("Error in the Copy values!!! Copy a valid row before Paste it")});
    QCOMPARE(rowTexts(narrow, 1), (QStringList{"", ""}));
}

void TestGrid::textPasteUsedRow_data()
{
    QTest::addColumn<QString>("existing");    // text of column 1 of the target row
    QTest::addColumn<QString>("checkColumn"); // text of the check-text column 3
    QTest::addColumn<bool>("asks");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("written");
    QTest::newRow("empty row") << ""
                               << "" << false << false << true;
    QTest::newRow("blank only") << "  \t"
                                << "" << false << false << true;
    QTest::newRow("tick alone is not use") << ""
                                           << "Y" << false << false << true;
    QTest::newRow("used, no") << "x"
                              << "" << true << false << false;
    QTest::newRow("used, yes") << "x"
                               << "" << true << true << true;
}

void TestGrid::textPasteUsedRow()
{
    QFETCH(QString, existing);
    QFETCH(QString, checkColumn);
    QFETCH(bool, asks);
    QFETCH(bool, answer);
    QFETCH(bool, written);
    Env env;
    auto m = numbered(3, 4);
    GridModel::Column flag;
    flag.kind = GridModel::Kind::CheckText;
    m->setColumn(3, flag);
    m->setText(1, 4, existing);
    m->setText(2, 4, QString());
    m->setText(3, 4, checkColumn);
    RowOperations::textRowCopy(*m, 1, env.buffer);
    env.dialogs.yesNoAnswers = {answer};
    QCOMPARE(RowOperations::textRowPaste(*m, 4, true, env.ctx()), written);
    QCOMPARE(env.dialogs.texts(QStringLiteral("yesNo")).size(), asks ? 1 : 0);
    if (asks)
        QCOMPARE(env.dialogs.texts(QStringLiteral("yesNo")).at(0),
                 QStringLiteral("Row Already used. Do you want to overwrite the values?"));
    QCOMPARE(rowTexts(*m, 4), written ? rowTexts(*m, 1) : (QStringList{existing, "", checkColumn}));
}

void TestGrid::checkRowCopyPaste()
{
    Env env;
    GridModel m(3, 3);
    for (int r = 1; r <= 3; ++r)
        m.setHasCheckBox(1, r, true);
    m.setChecked(1, 1, true);
    m.setText(2, 1, QStringLiteral("dev"));
    m.setText(3, 1, QStringLiteral("N")); // a text that only looks like a flag
    RowOperations::checkRowCopy(m, 1, env.buffer);
    QCOMPARE(env.buffer.texts, (QStringList{"Y", "dev", "N"}));
    QCOMPARE(env.buffer.checkColumns, (QList<bool>{true, false, false}));

    QVERIFY(RowOperations::checkRowPaste(m, 2, true, env.ctx()));
    QVERIFY(m.checked(1, 2));
    QCOMPARE(m.text(2, 2), QStringLiteral("dev"));
    QCOMPARE(m.text(3, 2), QStringLiteral("N"));

    // Used-row test without trimming: a single blank counts.
    m.setText(3, 3, QStringLiteral(" "));
    env.dialogs.yesNoAnswers = {false};
    QVERIFY(!RowOperations::checkRowPaste(m, 3, true, env.ctx()));
    QVERIFY(!m.checked(1, 3));
    QVERIFY(!env.dialogs.unexpected);
}

void TestGrid::checkRowDeleteAndInsert()
{
    GridModel m(2, 4);
    for (int r = 1; r <= 4; ++r) {
        m.setHasCheckBox(1, r, true);
        m.setChecked(1, r, r % 2 == 0);
        m.setText(2, r, QStringLiteral("d%1").arg(r));
    }
    m.setReadOnly(2, 3, true);
    RowOperations::checkRowDelete(m, 2, false);
    QCOMPARE(m.text(2, 2), QStringLiteral("d3"));
    QVERIFY(m.readOnly(2, 2)); // read-only moves with the row
    QVERIFY(m.checked(1, 3));  // row 4's tick moved up
    QCOMPARE(m.text(2, 4), QString());
    QVERIFY(!m.checked(1, 4));
    QVERIFY(m.readOnly(1, 4) && m.readOnly(2, 4));

    RowOperations::checkRowInsert(m, 1, true);
    QVERIFY(m.checked(1, 1));
    QCOMPARE(m.text(2, 1), QString());
    QVERIFY(!m.readOnly(1, 1) && !m.readOnly(2, 1));
    QCOMPARE(m.text(2, 2), QStringLiteral("d1"));
    QCOMPARE(m.text(2, 3), QStringLiteral("d3"));
    QVERIFY(m.readOnly(2, 3));
}

void TestGrid::enterJump()
{
    auto m = numbered(4, 3);
    m->column(3).hidden = true;
    Grid grid;
    grid.setGridModel(m.get());
    bool jump = true, autoSize = false;
    grid.setConventions(&jump, &autoSize);
    grid.show();

    grid.setCurrentCell(2, 1);
    QTest::keyClick(&grid, Qt::Key_Return);
    QCOMPARE(grid.currentCol(), 4); // hidden column 3 skipped
    QTest::keyClick(&grid, Qt::Key_Enter);
    QCOMPARE(grid.currentCol(), 1);
    QCOMPARE(grid.currentRow(), 2);
    grid.setCurrentCell(4, 3);
    QTest::keyClick(&grid, Qt::Key_Return);
    QCOMPARE(grid.currentCol(), 1);
    QCOMPARE(grid.currentRow(), 1);

    // Enter inside an open editor commits the cell, then moves on.
    grid.setCurrentCell(1, 2);
    grid.edit(m->indexOf(1, 2));
    auto* editor = grid.findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->setText(QStringLiteral("typed"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(m->text(1, 2), QStringLiteral("typed")); // the view commits on its next turn
    QCOMPARE(grid.currentCol(), 2);

    // Switched off: Enter is the table's own (no move).
    jump = false;
    grid.setCurrentCell(2, 2);
    QTest::keyClick(&grid, Qt::Key_Return);
    QCOMPARE(grid.currentCol(), 2);
    QCOMPARE(grid.currentRow(), 2);
}

void TestGrid::headerAutoSize()
{
    GridModel m(2, 3);
    m.setHeader(1, QStringLiteral("N"));
    m.setText(1, 2, QStringLiteral("a rather long text in one cell"));
    Grid grid;
    grid.setGridModel(&m);
    bool jump = false, autoSize = false;
    grid.setConventions(&jump, &autoSize);
    grid.show();
    const int before = grid.columnWidth(0);
    const int wanted = QFontMetrics(grid.font()).horizontalAdvance(m.text(1, 2));
    emit grid.horizontalHeader()->sectionDoubleClicked(0);
    QCOMPARE(grid.columnWidth(0), before);
    autoSize = true;
    emit grid.horizontalHeader()->sectionDoubleClicked(0);
    QCOMPARE(grid.columnWidth(0), wanted);
}

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
