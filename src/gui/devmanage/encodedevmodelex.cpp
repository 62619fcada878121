#include "encodedevmodelex.h"
#include "devfailreason.h"
#include "tableviewex.h"

#include <QColor>
#include <QDateTime>

EncodeDevModelEx::EncodeDevModelEx(TableViewEx *pView, QList<CUIDeviceBean> &listDev, QObject *parent)
    : ModelEx(pView, parent)
    , m_listDev(listDev)
{
    m_listHeader << tr("全选") << tr("IP") << tr("型号") << tr("版本") << tr("MAC") << tr("子网掩码")
                 << tr("网关") << tr("序列号") << tr("配置") << tr("状态") << tr("用户名") << tr("密码");
    connect(this, &ModelEx::changePos, this, &EncodeDevModelEx::OnChangePos);
}

int EncodeDevModelEx::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_listDev.size();
}

int EncodeDevModelEx::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString EncodeDevModelEx::statusText(const CUIDeviceBean &dev)
{
    const QString strText = ownStatusText(dev);
    // Whatever else the row shows, it says who answered for it.
    if (dev.m_strRelay.isEmpty())
        return strText;
    return QStringLiteral("%1(%2)").arg(strText, CDevFailReason::relayed(dev.m_strRelay, dev.m_strIp));
}

QString EncodeDevModelEx::ownStatusText(const CUIDeviceBean &dev)
{
    const QString strStatus = CUIDeviceBean::statusText(dev.m_lStatus);
    if (dev.m_lStatus == DevStatusUpgrading && dev.m_lProgress >= 0)
        return QStringLiteral("%1 %2%").arg(strStatus).arg(dev.m_lProgress);
    if (CDevFailReason::isListMark(dev.m_strFailReason))
        return QStringLiteral("%1(%2)").arg(strStatus, dev.m_strFailReason);
    if (dev.m_lStatus == DevStatusUpgrading && dev.m_lUploadProgress >= 0 && dev.m_lUploadProgress < 100)
        return tr("%1 上传%2%").arg(strStatus).arg(dev.m_lUploadProgress);
    if (dev.m_lStatus == DevStatusUpgrading && dev.m_llBusySinceMs > 0) {
        const qint64 llSeconds = (QDateTime::currentMSecsSinceEpoch() - dev.m_llBusySinceMs) / 1000;
        return tr("%1 已用%2秒").arg(strStatus).arg(llSeconds);
    }
    // How long the account stays locked belongs in the cell itself.
    if (dev.m_lStatus == DevStatusLoginLocked && !dev.m_strFailReason.isEmpty())
        return tr("未登录(%1)").arg(dev.m_strFailReason);
    return strStatus;
}

QString EncodeDevModelEx::statusTip(const CUIDeviceBean &dev)
{
    const QString strStatus = statusText(dev);
    // A reason left from an earlier failure says nothing about the current status.
    if (!CUIDeviceBean::isFailureStatus(dev.m_lStatus) || strStatus.contains(dev.m_strFailReason))
        return strStatus;
    return CDevFailReason::withReason(strStatus, dev.m_strFailReason);
}

QVariant EncodeDevModelEx::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_listDev.size() || index.column() >= ColumnCount)
        return QVariant();
    const CUIDeviceBean &dev = m_listDev.at(index.row());

    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case ColCheck: return QStringLiteral(" ");
        case ColIp: return dev.m_strIp;
        case ColModel: return dev.modelText();
        case ColVersion: return dev.m_strVersion;
        case ColMac: return CUIDeviceBean::formatMac(dev.m_strMac);
        case ColMask: return dev.m_strMask;
        case ColGateway: return dev.m_strGateway;
        case ColSerial: return dev.m_strSerial;
        case ColConfig: return QString();
        case ColStatus: return statusText(dev);
        case ColUserName: return dev.m_strUserName;
        case ColPassword: return dev.m_strPassword;
        default: return QVariant();
        }
    }
    // The whole status, whatever the column's width, and why it failed.
    if (role == Qt::ToolTipRole && index.column() == ColStatus)
        return statusTip(dev);
    if (role == Qt::ForegroundRole)
        return CUIDeviceBean::isLoginRefused(dev.m_lStatus) ? QColor(102, 102, 102) : QColor(0, 0, 0);
    return ModelEx::data(index, role);
}

bool EncodeDevModelEx::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= m_listDev.size())
        return false;
    if (role == Qt::CheckStateRole && index.column() == ColCheck)
        return setCheckData(index, value);
    // Other cells are not editable; the call is accepted and changes nothing.
    return true;
}

int EncodeDevModelEx::checkKey(int iRow) const
{
    return m_listDev.at(iRow).m_lDevId;
}

void EncodeDevModelEx::OnChangePos(int iFirst, int iSecond)
{
    if (iFirst < 0 || iSecond < 0 || iFirst >= m_listDev.size() || iSecond >= m_listDev.size())
        return;
    m_listDev.swapItemsAt(iFirst, iSecond);
}
