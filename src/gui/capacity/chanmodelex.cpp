#include "chanmodelex.h"

CChanModelEx::CChanModelEx(TableViewEx *pView, QList<CUIChanBean> &listChan, QObject *parent)
    : ModelEx(pView, parent)
    , m_listChan(listChan)
{
    m_listHeader << tr("全选") << tr("通道") << tr("分辨率") << tr("帧率") << tr("码率") << tr("总带宽");
    connect(this, &ModelEx::changePos, this, &CChanModelEx::OnChangePos);
}

int CChanModelEx::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_listChan.size();
}

int CChanModelEx::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CChanModelEx::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_listChan.size() || index.column() >= ColumnCount)
        return QVariant();
    const CUIChanBean &chan = m_listChan.at(index.row());

    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case ColCheck: return QStringLiteral(" ");
        case ColChan: return chan.m_strChanName;
        case ColResolution: return chan.m_strResolution;
        case ColFrameRate: return chan.m_strFrameRate + QStringLiteral(" fps");
        case ColBitRate: return QString::number(chan.m_lBitRate) + QStringLiteral(" kbps");
        case ColTotal: return QString::number(chan.m_lTotalBitRate) + QStringLiteral(" kbps");
        default: return QVariant();
        }
    }
    return ModelEx::data(index, role);
}

bool CChanModelEx::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= m_listChan.size())
        return false;
    if (role == Qt::CheckStateRole && index.column() == ColCheck)
        return setCheckData(index, value);
    // Other cells are not editable; the call is accepted and changes nothing.
    return true;
}

int CChanModelEx::checkKey(int iRow) const
{
    return m_listChan.at(iRow).m_lChanId;
}

void CChanModelEx::OnChangePos(int iFirst, int iSecond)
{
    if (iFirst < 0 || iSecond < 0 || iFirst >= m_listChan.size() || iSecond >= m_listChan.size())
        return;
    m_listChan.swapItemsAt(iFirst, iSecond);
}
