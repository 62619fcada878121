#include "uidevicebean.h"

#include <QCoreApplication>
#include <QRegularExpression>

QString CUIDeviceBean::statusText(long lStatus)
{
    switch (lStatus) {
    case DevStatusNotLogged: return QCoreApplication::translate("CUIDeviceBean", "未登录");
    case DevStatusConnecting: return QCoreApplication::translate("CUIDeviceBean", "连接中...");
    case DevStatusLogged: return QCoreApplication::translate("CUIDeviceBean", "已登录");
    case DevStatusLoginFailed:
        return QCoreApplication::translate("CUIDeviceBean", "未登录(正在重启或用户名、密码错误)");
    case DevStatusCfgOk: return QCoreApplication::translate("CUIDeviceBean", "配置成功");
    case DevStatusCfgFailed: return QCoreApplication::translate("CUIDeviceBean", "配置失败");
    case DevStatusConfiguring: return QCoreApplication::translate("CUIDeviceBean", "正在配置...");
    case DevStatusUpgradeOk: return QCoreApplication::translate("CUIDeviceBean", "升级成功");
    case DevStatusUpgradeFailed: return QCoreApplication::translate("CUIDeviceBean", "升级失败");
    case DevStatusUpgrading: return QCoreApplication::translate("CUIDeviceBean", "正在升级...");
    case DevStatusExportOk: return QCoreApplication::translate("CUIDeviceBean", "导出成功");
    case DevStatusExportFailed: return QCoreApplication::translate("CUIDeviceBean", "导出失败");
    case DevStatusExporting: return QCoreApplication::translate("CUIDeviceBean", "正在导出...");
    case DevStatusImportOk: return QCoreApplication::translate("CUIDeviceBean", "导入成功");
    case DevStatusImportFailed: return QCoreApplication::translate("CUIDeviceBean", "导入失败");
    case DevStatusImporting: return QCoreApplication::translate("CUIDeviceBean", "正在导入...");
    case DevStatusModifying: return QCoreApplication::translate("CUIDeviceBean", "正在修改...");
    case DevStatusModifyOk: return QCoreApplication::translate("CUIDeviceBean", "修改成功");
    case DevStatusModifyFailed: return QCoreApplication::translate("CUIDeviceBean", "修改失败");
    case DevStatusModifyConflict: return QCoreApplication::translate("CUIDeviceBean", "修改失败(IP地址冲突)");
    case DevStatusModifyInvalid: return QCoreApplication::translate("CUIDeviceBean", "修改失败(IP地址无效)");
    case DevStatusLoginLocked: return QCoreApplication::translate("CUIDeviceBean", "未登录(账户已锁定)");
    case DevStatusRestarting: return QCoreApplication::translate("CUIDeviceBean", "正在重启...");
    default: return QString();
    }
}

bool CUIDeviceBean::isBusyStatus(long lStatus)
{
    return lStatus == DevStatusConfiguring || lStatus == DevStatusUpgrading
        || lStatus == DevStatusExporting || lStatus == DevStatusImporting
        || lStatus == DevStatusModifying;
}

bool CUIDeviceBean::isFailureStatus(long lStatus)
{
    return lStatus == DevStatusLoginFailed || lStatus == DevStatusLoginLocked || lStatus == DevStatusCfgFailed || lStatus == DevStatusUpgradeFailed
        || lStatus == DevStatusExportFailed || lStatus == DevStatusImportFailed || lStatus == DevStatusModifyFailed
        || lStatus == DevStatusModifyConflict || lStatus == DevStatusModifyInvalid;
}

QString CUIDeviceBean::formatMac(const QString &strMac)
{
    // Only a complete MAC gets its colons; any other text is shown as the device sent it.
    static const QRegularExpression kHex12(QStringLiteral("^[0-9A-Fa-f]{12}$"));
    if (!kHex12.match(strMac).hasMatch())
        return strMac;
    QString strOut;
    for (int i = 0; i < strMac.size(); i += 2) {
        if (i > 0)
            strOut += QLatin1Char(':');
        strOut += strMac.midRef(i, 2);
    }
    return strOut;
}

QString CUIDeviceBean::modelText() const
{
    if (!isOnvif())
        return m_strModel;
    QString strText = QStringLiteral("ONVIF");
    for (const QString &strPart : {m_strManufacturer, m_strModel}) {
        if (!strPart.isEmpty())
            strText += QLatin1Char(' ') + strPart;
    }
    return strText;
}
