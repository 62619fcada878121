#include "batcheditmodelex.h"
#include "devfailreason.h"
#include "uidevicebean.h"

CBatchEditModelEx::CBatchEditModelEx(TableViewEx *pView, QList<CBatchEditNetAddrBean> *pList, QObject *parent)
    : ModelEx(pView, parent)
    , m_pList(pList)
{
    m_listHeader << tr("全选") << tr("名称") << tr("IP(旧)") << tr("IP(新)") << tr("子网掩码") << tr("网关")
                 << tr("密码") << tr("操作结果");
    connect(this, &ModelEx::changePos, this, &CBatchEditModelEx::OnChangePos);
}

int CBatchEditModelEx::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_pList->size();
}

int CBatchEditModelEx::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColCount;
}

QString CBatchEditModelEx::cellText(const CBatchEditNetAddrBean &oBean, int iColumn) const
{
    switch (iColumn) {
    case ColCheck: return QStringLiteral(" ");
    case ColName: return oBean.m_strName;
    case ColOldIp: return oBean.m_strOldIp;
    case ColNewIp: return oBean.m_strNewIp;
    case ColMask: return oBean.m_strMask;
    case ColGateway: return oBean.m_strGateway;
    case ColPassword: return oBean.m_strInputPassword;
    case ColResult:
        if (oBean.m_lResult >= DevStatusModifying && oBean.m_lResult <= DevStatusModifyInvalid)
            return CUIDeviceBean::statusText(oBean.m_lResult);
        return m_setNotInPlan.contains(oBean.m_lRowId) ? tr("不在计划中") : QString();
    default: return QString();
    }
}

QVariant CBatchEditModelEx::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_pList->size())
        return QVariant();
    const CBatchEditNetAddrBean &oBean = m_pList->at(index.row());
    // A password is never shown; its editor masks it too.
    if (role == Qt::DisplayRole && index.column() == ColPassword)
        return oBean.m_strInputPassword.isEmpty() ? QString() : QString(8, QChar(0x25CF));
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        if (index.column() == ColResult && cellText(oBean, ColResult).isEmpty())
            return ModelEx::data(index, role);
        return cellText(oBean, index.column());
    }
    // The whole result and why a change failed.
    if (role == Qt::ToolTipRole && index.column() == ColResult && !cellText(oBean, ColResult).isEmpty()) {
        const QString strResult = cellText(oBean, ColResult);
        return CUIDeviceBean::isFailureStatus(oBean.m_lResult)
            ? CDevFailReason::withReason(strResult, oBean.m_strFailReason)
            : strResult;
    }
    return ModelEx::data(index, role);
}

Qt::ItemFlags CBatchEditModelEx::flags(const QModelIndex &index) const
{
    if (index.isValid() && index.column() >= ColNewIp && index.column() <= ColPassword)
        return Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled;
    return ModelEx::flags(index);
}

bool CBatchEditModelEx::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= m_pList->size())
        return false;
    CBatchEditNetAddrBean &oBean = (*m_pList)[index.row()];
    const int iColumn = index.column();
    if (iColumn == ColCheck && role == Qt::CheckStateRole)
        return setCheckData(index, value);
    if (role != Qt::EditRole)
        return false;
    const QString strText = value.toString();
    switch (iColumn) {
    case ColNewIp:
    case ColMask:
    case ColGateway: {
        // An emptied cell keeps the value it had.
        if (strText.isEmpty())
            return false;
        QString &strField = iColumn == ColNewIp ? oBean.m_strNewIp
                            : iColumn == ColMask ? oBean.m_strMask
                                                 : oBean.m_strGateway;
        strField = strText;
        break;
    }
    case ColPassword:
        // An emptied password cell falls back to the password the device record holds.
        oBean.m_strInputPassword = strText.isEmpty() ? oBean.m_strPassword : strText;
        break;
    default:
        return false;
    }
    emit dataChanged(index, index);
    return true;
}

int CBatchEditModelEx::checkKey(int iRow) const
{
    return m_pList->at(iRow).m_lRowId;
}

void CBatchEditModelEx::OnChangePos(int iFirst, int iSecond)
{
    if (iFirst < 0 || iSecond < 0 || iFirst >= m_pList->size() || iSecond >= m_pList->size())
        return;
    m_pList->swapItemsAt(iFirst, iSecond);
}

void CBatchEditModelEx::setRowsNotInPlan(const QSet<int> &setRowIds)
{
    m_setNotInPlan = setRowIds;
    resetModel();
}
