// Capacity calculator with 1024 channel rows: adding them through the add
// dialog, select-all, and a click on the table with every row selected, which
// sets 2048 check marks and recomputes both results after each of them.
#include "cap_calculateform.h"
#include "chanmodelex.h"
#include "tableviewex.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kRows = 1024;

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Control-click: the selection of the other rows stays.
void sendMouse(QWidget *pTarget, QEvent::Type type, const QPoint &pos)
{
    QMouseEvent event(type, pos, pTarget->mapToGlobal(pos), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::ControlModifier);
    QApplication::sendEvent(pTarget, &event);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("CORVANE_LOOPBACK_ONLY", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    CCapCalculateForm form;
    form.resize(1000, 700);
    form.show();
    QCoreApplication::processEvents();

    // Accepts every add dialog as soon as it is up.
    QTimer acceptor;
    acceptor.setInterval(0);
    QObject::connect(&acceptor, &QTimer::timeout, [&]() {
        if (QWidget *pModal = QApplication::activeModalWidget()) {
            if (auto *pOk = pModal->findChild<QAbstractButton *>(QStringLiteral("oOkBtn")))
                pOk->click();
        }
    });
    acceptor.start();
    auto *pAdd = form.findChild<QAbstractButton *>(QStringLiteral("oAddChanBtn"));
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kRows; ++i)
        pAdd->click();
    const double dAdd = msSince(timer);
    acceptor.stop();
    std::printf("add %d rows through the dialog: %.1f ms (%.3f ms per row)\n", form.chanList().size(), dAdd,
                dAdd / kRows);

    timer.restart();
    form.onEncTableViewHeaderClicked(0);
    std::printf("select all %d rows and recompute: %.2f ms\n", form.chanModel()->checkedList().size(),
                msSince(timer));

    auto *pView = form.findChild<TableViewEx *>(QStringLiteral("oChanTableView"));
    pView->selectAll();
    const QRect cell = pView->visualRect(form.chanModel()->index(0, 2));
    timer.restart();
    sendMouse(pView->viewport(), QEvent::MouseButtonPress, cell.center());
    sendMouse(pView->viewport(), QEvent::MouseButtonRelease, cell.center());
    std::printf("control-click leaving %d rows selected (%d check marks set): %.1f ms\n",
                form.chanModel()->checkedList().size(), 4 * kRows - 2, msSince(timer));
    const auto *pDays = form.findChild<QLabel *>(QStringLiteral("oRecTimeLabel"));
    std::printf("result: %s\n", pDays->text().toUtf8().constData());
    return 0;
}
