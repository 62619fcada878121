#include "clidiscover.h"

#include "devdiscovery.h"
#include "devlistmerge.h"
#include "inventory.h"

#include <QElapsedTimer>
#include <QSet>
#include <QEventLoop>
#include <QTimer>

#include <functional>

namespace CliDiscover {

namespace {

// Native answers arrive on the library's thread, ONVIF answers through this
// thread's event loop; the list is looked at this often.
constexpr int kPollMs = 5;

void waitEvents(int iMs)
{
    QEventLoop loop;
    QTimer::singleShot(iMs, &loop, &QEventLoop::quit);
    loop.exec();
}

QList<CUIDeviceBean> collect(CDevDiscovery &oDiscovery, int iWaitMs,
                             const std::function<bool(const QList<stDiscoveryBean> &)> &allFound)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < iWaitMs && !(allFound && allFound(oDiscovery.results())))
        waitEvents(kPollMs);
    QList<CUIDeviceBean> listDev;
    CDevListMerge oMerge(listDev);
    oMerge.mergeDiscovered(oDiscovery.takeResults(), QString(), QString());
    return Inventory::sortedByAddress(listDev);
}

} // namespace

QList<CUIDeviceBean> fleet(bool bMulticast, const QString &strFirst, const QString &strLast, int iWaitMs)
{
    CDevDiscovery oDiscovery;
    if (bMulticast)
        oDiscovery.sendProbe1();
    if (!strFirst.isEmpty())
        oDiscovery.sendProbe2(strFirst, strLast);
    return collect(oDiscovery, iWaitMs, nullptr);
}

QList<CUIDeviceBean> atAddresses(const QStringList &listIp, int iWaitMs)
{
    CDevDiscovery oDiscovery;
    for (const QString &strIp : listIp)
        oDiscovery.sendProbe2(strIp, strIp);
    const QSet<QString> setWanted(listIp.cbegin(), listIp.cend());
    const QList<CUIDeviceBean> listFound = collect(oDiscovery, iWaitMs, [&setWanted](const QList<stDiscoveryBean> &list) {
        QSet<QString> setFound;
        for (const stDiscoveryBean &oBean : list)
            setFound.insert(oBean.strIp);
        return setFound.contains(setWanted);
    });
    QList<CUIDeviceBean> listDev;
    for (const CUIDeviceBean &oDev : listFound) {
        if (setWanted.contains(oDev.m_strIp))
            listDev << oDev;
    }
    return listDev;
}

} // namespace CliDiscover
