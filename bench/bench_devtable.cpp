// Device table with 1024 devices, timed as the user meets it: the merge of
// the discovery answers, a click on a column header (sort, relayout and
// repaint), and each keystroke in the search box (filter, relayout and
// repaint). Each timing runs from the input event until the event loop has
// nothing left to do, paints included; the paints are counted, not assumed.
#include "dev_manageform.h"
#include "devdiscovery.h"
#include "encodedevmodelex.h"
#include "searcheditbox.h"
#include "tableviewex.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QHostAddress>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr int kDevices = 1024;
constexpr int kRepeats = 10;

void fillSlot(char *pSlot, const QByteArray &text)
{
    std::strncpy(pSlot, text.constData(), RVNA_TEXT_LEN - 1);
}

RVNA_DEVICE_INFO makeAnswer(int i)
{
    RVNA_DEVICE_INFO info;
    std::memset(&info, 0, sizeof(info));
    // Arrival order is scrambled so that the sort has work to do.
    const int iHost = (i * 389) % kDevices;
    fillSlot(info.szIp, QStringLiteral("127.20.%1.%2").arg(iHost / 200).arg(iHost % 200 + 1).toLatin1());
    fillSlot(info.szModel, (i % 3 ? QByteArray("IPC-B") : QByteArray("nvr-A")) + QByteArray::number(i % 7));
    fillSlot(info.szSerial, QByteArray("SN") + QByteArray::number(100000 + i));
    fillSlot(info.szMac, QByteArray::number(0x001122000000LL + i, 16).rightJustified(12, '0'));
    fillSlot(info.szVersion, "V1.2.3");
    return info;
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

struct Sample
{
    double ms = 0;
    int paints = 0;
};

template <typename Action>
Sample timed(PaintCounter &paints, Action action)
{
    QCoreApplication::processEvents();
    paints.count = 0;
    QElapsedTimer timer;
    timer.start();
    action();
    QCoreApplication::processEvents();
    return {double(timer.nsecsElapsed()) / 1e6, paints.count};
}

void clickHeader(QHeaderView *pHeader, int iSection)
{
    const QPoint pos(pHeader->sectionViewportPosition(iSection) + pHeader->sectionSize(iSection) / 2,
                     pHeader->height() / 2);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, pos, pHeader->viewport()->mapToGlobal(pos), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(pHeader->viewport(), &event);
    }
}

void typeKey(QWidget *pTarget, int iKey, const QString &strText)
{
    QKeyEvent press(QEvent::KeyPress, iKey, Qt::NoModifier, strText);
    QApplication::sendEvent(pTarget, &press);
    QKeyEvent release(QEvent::KeyRelease, iKey, Qt::NoModifier, strText);
    QApplication::sendEvent(pTarget, &release);
}

bool sortedByAddress(const QList<CUIDeviceBean> &listDev, bool bAscending)
{
    for (int i = 1; i < listDev.size(); ++i) {
        const quint32 a = QHostAddress(listDev.at(i - 1).m_strIp).toIPv4Address();
        const quint32 b = QHostAddress(listDev.at(i).m_strIp).toIPv4Address();
        if (bAscending ? a > b : a < b)
            return false;
    }
    return true;
}

void printRow(const char *name, std::vector<Sample> samples, const char *resultKey = nullptr)
{
    std::vector<double> ms;
    int minPaints = 1 << 30;
    for (const Sample &s : samples) {
        ms.push_back(s.ms);
        minPaints = std::min(minPaints, s.paints);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-56s %8.2f / %6.2f / %6.2f %5zu %7d\n", name, ms.front(), ms[ms.size() / 2], ms.back(),
                samples.size(), minPaints);
    if (resultKey)
        std::printf("RESULT|%s (%s)|%.2f|%.2f|%.2f|ms\n", resultKey, qPrintable(QGuiApplication::platformName()),
                    ms.front(), ms[ms.size() / 2], ms.back());
}

QByteArray peakMemory()
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return "n/a";
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed();
    }
    return "n/a";
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("CORVANE_LOOPBACK_ONLY", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A discovery port nobody answers on: the answers come from this program.
    qputenv("CORVANE_DISCOVERY_PORT", "39520");
    QApplication app(argc, argv);

    CDevManageForm form;
    form.resize(1400, 800);
    form.show();
    QCoreApplication::processEvents();
    auto *pView = form.findChild<TableViewEx *>(QStringLiteral("oDevTabView"));
    auto *pSearch = form.findChild<SearchEditBox *>(QStringLiteral("lineEdit"));
    if (!pView || !pSearch) {
        std::fprintf(stderr, "bench_devtable: table or search box not found\n");
        return 1;
    }
    PaintCounter paints;
    pView->viewport()->installEventFilter(&paints);

    for (int i = 0; i < kDevices; ++i) {
        const RVNA_DEVICE_INFO info = makeAnswer(i);
        form.devDiscovery()->addAnswer(info, QHostAddress(QString::fromLatin1(info.szIp)).toIPv4Address());
    }
    const Sample merge = timed(paints, [&] { form.onSearchTimer(); });
    if (form.deviceList().size() != kDevices) {
        std::fprintf(stderr, "bench_devtable: the merge listed %d devices\n", int(form.deviceList().size()));
        return 1;
    }

    // Each click on the address header reverses the order; the model column sorts by text.
    QHeaderView *pHeader = pView->horizontalHeader();
    std::vector<Sample> sortIp, sortModel;
    for (int i = 0; i < kRepeats; ++i) {
        sortIp.push_back(timed(paints, [&] { clickHeader(pHeader, EncodeDevModelEx::ColIp); }));
        const bool bAscending = pHeader->sortIndicatorOrder() == Qt::AscendingOrder;
        if (pHeader->sortIndicatorSection() != EncodeDevModelEx::ColIp
            || !sortedByAddress(form.deviceList(), bAscending)) {
            std::fprintf(stderr, "bench_devtable: the header click did not sort by address\n");
            return 1;
        }
        sortModel.push_back(timed(paints, [&] { clickHeader(pHeader, EncodeDevModelEx::ColModel); }));
    }

    // Typing "127.20.1" and erasing it again, one keystroke at a time.
    QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(pSearch, &focusIn);
    const QString strTyped = QStringLiteral("127.20.1");
    auto shownRows = [&] {
        int iShown = 0;
        for (int row = 0; row < kDevices; ++row)
            iShown += pView->isRowHidden(row) ? 0 : 1;
        return iShown;
    };
    std::vector<Sample> keys;
    int iShownTyped = 0;
    for (int i = 0; i < kRepeats; ++i) {
        for (const QChar ch : strTyped)
            keys.push_back(timed(paints, [&] { typeKey(pSearch, ch.unicode(), QString(ch)); }));
        iShownTyped = shownRows();
        for (int n = 0; n < strTyped.size(); ++n)
            keys.push_back(timed(paints, [&] { typeKey(pSearch, Qt::Key_Backspace, QString()); }));
    }
    const int iShownCleared = shownRows();

    std::printf("bench_devtable: %d devices listed, window 1400 x 800, platform %s\n", int(form.deviceList().size()),
                qPrintable(QGuiApplication::platformName()));
    std::printf("%-56s %26s %5s %7s\n", "step (input event until the event loop is idle)", "ms min / median / max",
                "runs", "paints");
    printRow("merge 1024 answers, sort by address, repaint", {merge});
    printRow("click the address header: sort, relayout, repaint", sortIp, "device table: sort by address");
    printRow("click the model header: sort, relayout, repaint", sortModel, "device table: sort by model");
    printRow("keystroke in the search box: filter, relayout, repaint", keys, "device table: filter keystroke");
    std::printf("rows shown after typing \"%s\": %d; after erasing it: %d\n", qPrintable(strTyped), iShownTyped,
                iShownCleared);
    std::printf("peak memory of this process (VmHWM): %s\n", peakMemory().constData());
    return 0;
}
