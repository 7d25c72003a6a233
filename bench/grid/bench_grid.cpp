// Times the shared grid with 2000 rows of 14 columns, as the largest editors use it.
#include "common/Grid.h"
#include "common/GridModel.h"
#include "common/RowOperations.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>

#include <cstdio>
#include <sys/resource.h>

namespace {
double ms(QElapsedTimer& t)
{
    const double v = t.nsecsElapsed() / 1e6;
    t.restart();
    return v;
}
} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    constexpr int Rows = 2000, Cols = 14;
    QElapsedTimer t;
    t.start();
    GridModel model(Cols, Rows);
    GridModel::Column pick;
    pick.kind = GridModel::Kind::PickList;
    pick.items = QStringList{QStringLiteral("ABP"), QStringLiteral("OTAA")};
    model.setColumn(3, pick);
    for (int r = 1; r <= Rows; ++r) {
        model.setHasCheckBox(1, r, true);
        model.setChecked(1, r, r % 3 != 0);
        for (int c = 2; c <= Cols; ++c)
            model.setText(c, r, QStringLiteral("%1%2").arg(r, 6, 16, QLatin1Char('0')).arg(c));
    }
    const double fill = ms(t);

    Grid grid;
    grid.resize(900, 600);
    grid.setGridModel(&model);
    grid.show();
    (void)grid.viewport()->grab();
    const double show = ms(t);

    for (int i = 0; i < 20; ++i) {
        grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum() * (i + 1) / 20);
        (void)grid.viewport()->grab();
    }
    const double scroll = ms(t) / 20;

    constexpr int Ops = 50;
    for (int i = 0; i < Ops; ++i) {
        RowOperations::checkRowDelete(model, 1, true);
        (void)grid.viewport()->grab();
    }
    const double del = ms(t) / Ops;
    for (int i = 0; i < Ops; ++i) {
        RowOperations::checkRowInsert(model, 1, true);
        (void)grid.viewport()->grab();
    }
    const double ins = ms(t) / Ops;
    for (int i = 0; i < Ops; ++i) {
        RowOperations::textRowDelete(model, 1);
        (void)grid.viewport()->grab();
    }
    const double tdel = ms(t) / Ops;

    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    std::printf("rows %d cols %d\nfill %.1f ms\nshow+paint %.1f ms\nscroll step+paint %.2f ms\n"
                "check-row delete at row 1 %.2f ms\ncheck-row insert at row 1 %.2f ms\n"
                "text-row delete at row 1 %.2f ms\npeak rss %.1f MiB\n",
                Rows, Cols, fill, show, scroll, del, ins, tdel, u.ru_maxrss / 1024.0);
    return 0;
}
