// Capacity calculator with 1024 channel rows: adding them through the add
// dialog, select-all through the header, and control-clicks on the table with
// every row selected, after which the view brings the check marks in line
// with the selection. Every count printed is observed: check marks that
// changed (each row's check state read before and after), recomputations
// (the form's calculateSignal) and paints of the table.
#include "cap_calculateform.h"
#include "chanmodelex.h"
#include "tableviewex.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRows = 1024;
constexpr int kClicks = 20;

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

void sendMouse(QWidget *pTarget, QEvent::Type type, const QPoint &pos, Qt::KeyboardModifiers modifiers)
{
    QMouseEvent event(type, pos, pTarget->mapToGlobal(pos), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, modifiers);
    QApplication::sendEvent(pTarget, &event);
}

// Press and release, then whatever the click left for the event loop (the repaint).
void click(QWidget *pTarget, const QPoint &pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    sendMouse(pTarget, QEvent::MouseButtonPress, pos, modifiers);
    sendMouse(pTarget, QEvent::MouseButtonRelease, pos, modifiers);
    QCoreApplication::processEvents();
}

class PaintCounter : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

struct Counts
{
    int recomputes = 0;
};

QVector<int> checkStates(const QAbstractItemModel *pModel)
{
    QVector<int> vecStates;
    for (int i = 0; i < pModel->rowCount(); ++i)
        vecStates.append(pModel->index(i, 0).data(Qt::CheckStateRole).toInt());
    return vecStates;
}

int changedMarks(const QVector<int> &vecBefore, const QVector<int> &vecAfter)
{
    int iChanged = 0;
    for (int i = 0; i < vecBefore.size() && i < vecAfter.size(); ++i)
        iChanged += vecBefore[i] != vecAfter[i] ? 1 : 0;
    return iChanged;
}

QByteArray spread(std::vector<double> values, const char *format)
{
    std::sort(values.begin(), values.end());
    char text[96];
    std::snprintf(text, sizeof text, format, values.front(), values[values.size() / 2], values.back());
    return text;
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

    Counts counts;
    QObject::connect(&form, &CCapCalculateForm::calculateSignal, [&]() { ++counts.recomputes; });
    auto *pView = form.findChild<TableViewEx *>(QStringLiteral("oChanTableView"));
    PaintCounter paints;
    pView->viewport()->installEventFilter(&paints);

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
    std::vector<double> addMs;
    for (int i = 0; i < kRows; ++i) {
        QElapsedTimer timer;
        timer.start();
        pAdd->click();
        addMs.push_back(msSince(timer));
    }
    acceptor.stop();
    QCoreApplication::processEvents();

    std::printf("bench_capacity: %d rows listed (platform %s)\n", form.chanList().size(),
                qPrintable(QGuiApplication::platformName()));
    std::printf("%-62s %26s %8s %10s %7s\n", "step", "ms min / median / max", "marks", "recomputes", "paints");
    std::printf("%-62s %26s %8s %10s %7s\n", "add one row through the add dialog (1024 times)",
                spread(addMs, "%.2f / %.2f / %.2f").constData(), "-", "-", "-");

    // Select all through the header: the model sets every mark at once.
    counts = Counts();
    paints.count = 0;
    QHeaderView *pHeader = pView->horizontalHeader();
    const QPoint headerPos(pHeader->sectionViewportPosition(0) + pHeader->sectionSize(0) / 2, pHeader->height() / 2);
    const QVector<int> vecNone = checkStates(form.chanModel());
    QElapsedTimer timer;
    timer.start();
    click(pHeader->viewport(), headerPos);
    const double selectAllMs = msSince(timer);
    std::printf("%-62s %26.2f %8d %10d %7d\n", "select all through the header, recompute, repaint", selectAllMs,
                changedMarks(vecNone, checkStates(form.chanModel())), counts.recomputes, paints.count);

    // Control-clicks on the first row with every row selected: each one
    // deselects or reselects that row, and the view resets every mark.
    pView->selectAll();
    QCoreApplication::processEvents();
    const QPoint cellPos = pView->visualRect(form.chanModel()->index(0, 2)).center();
    std::vector<double> clickMs, marks, recomputes, paintCounts;
    int checkedAfter = 0;
    for (int i = 0; i < kClicks; ++i) {
        counts = Counts();
        paints.count = 0;
        const QVector<int> vecBefore = checkStates(form.chanModel());
        timer.restart();
        click(pView->viewport(), cellPos, Qt::ControlModifier);
        clickMs.push_back(msSince(timer));
        marks.push_back(changedMarks(vecBefore, checkStates(form.chanModel())));
        recomputes.push_back(counts.recomputes);
        paintCounts.push_back(paints.count);
        if (i == 0)
            checkedAfter = form.chanModel()->checkedList().size();
    }
    std::printf("%-62s %26s %8s %10s %7s\n", "control-click over 1024 selected rows, recompute, repaint",
                spread(clickMs, "%.2f / %.2f / %.2f").constData(), spread(marks, "%.0f-%.0f-%.0f").constData(),
                spread(recomputes, "%.0f-%.0f-%.0f").constData(), spread(paintCounts, "%.0f-%.0f-%.0f").constData());
    std::sort(clickMs.begin(), clickMs.end());
    std::printf("RESULT|capacity: control-click over 1024 selected rows (ms)|%.2f|%.2f|%.2f|ms\n", clickMs.front(),
                clickMs[clickMs.size() / 2], clickMs.back());
    std::sort(recomputes.begin(), recomputes.end());
    std::printf("RESULT|capacity: recomputations per control-click|%.0f|%.0f|%.0f|\n", recomputes.front(),
                recomputes[recomputes.size() / 2], recomputes.back());
    std::printf("(%d clicks; after the first, %d rows checked; marks, recomputes and paints per click "
                "as min-median-max)\n",
                kClicks, checkedAfter);
    const auto *pDays = form.findChild<QLabel *>(QStringLiteral("oRecTimeLabel"));
    std::printf("result shown: %s\n", pDays->text().toUtf8().constData());
    return 0;
}
