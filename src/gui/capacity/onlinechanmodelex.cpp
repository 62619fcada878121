#include "onlinechanmodelex.h"
#include "devfailreason.h"
#include "tableviewex.h"

#include <QColor>

COnlineChanModelEx::COnlineChanModelEx(TableViewEx *pView, QList<CUIDeviceBean> &listDev, QObject *parent)
    : ModelEx(pView, parent)
    , m_listDev(listDev)
{
    m_listHeader << tr("全选") << tr("IP") << tr("型号") << tr("状态");
    connect(this, &ModelEx::changePos, this, &COnlineChanModelEx::OnChangePos);
}

int COnlineChanModelEx::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_listDev.size();
}

int COnlineChanModelEx::columnCount(const QModelIndex &) const
{
    return ColumnCount;
}

QString COnlineChanModelEx::statusText(long lStatus)
{
    switch (lStatus) {
    case DevStatusImportExists: return tr("导入失败（已存在）");
    case DevStatusImportNotLogged: return tr("导入失败（未登录）");
    default: return CUIDeviceBean::statusText(lStatus);
    }
}

QVariant COnlineChanModelEx::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_listDev.size() || index.column() >= ColumnCount)
        return QVariant();
    const CUIDeviceBean &dev = m_listDev.at(index.row());

    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case ColCheck: return QStringLiteral(" ");
        case ColIp: return dev.m_strIp;
        case ColModel: return dev.modelText();
        case ColStatus: return statusText(dev.m_lStatus);
        default: return QVariant();
        }
    }
    if (role == Qt::ToolTipRole && index.column() == ColStatus) {
        const QString strStatus = statusText(dev.m_lStatus);
        return CUIDeviceBean::isFailureStatus(dev.m_lStatus) ? CDevFailReason::withReason(strStatus, dev.m_strFailReason)
                                                              : strStatus;
    }
    if (role == Qt::ForegroundRole)
        return CUIDeviceBean::isLoginRefused(dev.m_lStatus) ? QColor(102, 102, 102) : QColor(0, 0, 0);
    return ModelEx::data(index, role);
}

bool COnlineChanModelEx::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= m_listDev.size())
        return false;
    if (role == Qt::CheckStateRole && index.column() == ColCheck)
        return setCheckData(index, value);
    return true;
}

int COnlineChanModelEx::checkKey(int iRow) const
{
    return m_listDev.at(iRow).m_lDevId;
}

void COnlineChanModelEx::OnChangePos(int iFirst, int iSecond)
{
    if (iFirst < 0 || iSecond < 0 || iFirst >= m_listDev.size() || iSecond >= m_listDev.size())
        return;
    m_listDev.swapItemsAt(iFirst, iSecond);
}
