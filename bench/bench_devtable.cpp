// Device table with 1024 devices: merge of discovery answers, sorting,
// filtering, and the peak memory of the process with the list shown.
#include "dev_manageform.h"
#include "devdiscovery.h"
#include "encodedevmodelex.h"
#include "tableviewex.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QTextStream>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kDevices = 1024;

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

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

QString peakMemory()
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("n/a");
    const QStringList listLines = QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'));
    for (const QString &strLine : listLines) {
        if (strLine.startsWith(QStringLiteral("VmHWM:")))
            return strLine.mid(6).trimmed();
    }
    return QStringLiteral("n/a");
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

    for (int i = 0; i < kDevices; ++i)
        form.devDiscovery()->addAnswer(makeAnswer(i));
    // Duplicates are dropped by the service or skipped by the merge.
    form.devDiscovery()->addAnswer(makeAnswer(0));

    QElapsedTimer timer;
    timer.start();
    form.onSearchTimer();
    const double dMerge = msSince(timer);
    if (form.deviceList().size() != kDevices) {
        std::fprintf(stderr, "merge listed %d devices\n", int(form.deviceList().size()));
        return 1;
    }

    EncodeDevModelEx *pModel = form.devModel();
    timer.restart();
    pModel->sort(EncodeDevModelEx::ColIp, Qt::DescendingOrder);
    const double dSortIp = msSince(timer);
    const QList<CUIDeviceBean> &listDev = form.deviceList();
    for (int i = 1; i < listDev.size(); ++i) {
        if (QHostAddress(listDev.at(i - 1).m_strIp).toIPv4Address()
            < QHostAddress(listDev.at(i).m_strIp).toIPv4Address()) {
            std::fprintf(stderr, "not sorted by address at row %d\n", i);
            return 1;
        }
    }
    timer.restart();
    pModel->sort(EncodeDevModelEx::ColModel, Qt::AscendingOrder);
    const double dSortModel = msSince(timer);
    timer.restart();
    form.onFilter(QStringLiteral("127.20.1"));
    const double dFilter = msSince(timer);
    timer.restart();
    form.onFilter(QString());
    const double dUnfilter = msSince(timer);
    timer.restart();
    form.grab();
    const double dPaint = msSince(timer);

    QTextStream out(stdout);
    out << "devices listed:            " << form.deviceList().size() << "\n";
    out << "merge (1024 answers):      " << QString::number(dMerge, 'f', 2) << " ms (includes sort by address)\n";
    out << "sort by address:           " << QString::number(dSortIp, 'f', 2) << " ms\n";
    out << "sort by model:             " << QString::number(dSortModel, 'f', 2) << " ms\n";
    out << "filter (\"127.20.1\"):       " << QString::number(dFilter, 'f', 2) << " ms\n";
    out << "filter cleared:            " << QString::number(dUnfilter, 'f', 2) << " ms\n";
    out << "paint visible rows:        " << QString::number(dPaint, 'f', 2) << " ms\n";
    out << "peak memory (VmHWM):       " << peakMemory() << "\n";
    return 0;
}
