#include "cfgselection.h"

#include "devsession.h"

#include <QCoreApplication>

#include <algorithm>

namespace CfgSelection {

QString refusal(const QList<CUIDeviceBean> &listDev)
{
    if (listDev.isEmpty())
        return QCoreApplication::translate("CfgSelection", "请选择设备。");
    const QString &strModel = listDev.first().m_strModel;
    const bool bSameModel = std::all_of(listDev.cbegin(), listDev.cend(), [&](const CUIDeviceBean &oDev) {
        return oDev.m_strModel == strModel;
    });
    if (!bSameModel)
        return QCoreApplication::translate("CfgSelection", "请选择相同型号的设备。");
    const bool bAllOffer = std::all_of(listDev.cbegin(), listDev.cend(), [](const CUIDeviceBean &oDev) {
        return DevSession::offers(oDev, DevSession::FeatureBatchConfig);
    });
    if (!bAllOffer)
        return QCoreApplication::translate("CfgSelection", "该操作仅支持类型为IPC的设备。");
    return QString();
}

QString dstRefusal(const QList<CUIDeviceBean> &listDev)
{
    if (listDev.isEmpty())
        return QCoreApplication::translate("CfgSelection", "请选择设备。");
    if (!std::all_of(listDev.cbegin(), listDev.cend(), [](const CUIDeviceBean &oDev) {
            return DevSession::offers(oDev, DevSession::FeatureDaylightSaving);
        }))
        return QCoreApplication::translate("CfgSelection", "所选设备不支持该功能。");
    return QString();
}

} // namespace CfgSelection
