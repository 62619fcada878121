#include "modelex.h"
#include "tableviewex.h"

#include "ipv4.h"

#include <QColor>
#include <QHeaderView>

#include <algorithm>
#include <numeric>
#include <vector>

ModelEx::ModelEx(TableViewEx *pView, QObject *parent)
    : QAbstractTableModel(parent)
    , m_pView(pView)
{
    if (m_pView)
        connect(m_pView, &TableViewEx::mouse_over_reset, this, &ModelEx::OnMouseLeaveView);
}

void ModelEx::OnMouseLeaveView()
{
    setHoverRow(-1);
}

void ModelEx::setHoverRow(int iRow)
{
    if (iRow == m_iHoverRow)
        return;
    const int iOld = m_iHoverRow;
    m_iHoverRow = iRow;
    updateRows(iOld, iOld);
    updateRows(iRow, iRow);
}

void ModelEx::updateRows(int iFirst, int iLast)
{
    iFirst = std::max(iFirst, 0);
    iLast = std::min(iLast, rowCount() - 1);
    if (iFirst > iLast || columnCount() <= 0)
        return;
    emit dataChanged(index(iFirst, 0), index(iLast, columnCount() - 1));
}

void ModelEx::setAddressColumn(int iColumn)
{
    m_iAddressColumn = iColumn;
}

void ModelEx::setCheckable(bool bCheckable)
{
    m_bFirstCheckable = bCheckable;
    if (!m_pView)
        return;
    m_pView->setSelectAllColumn(bCheckable);
    m_pView->setSortingEnabled(true);
    m_pView->horizontalHeader()->setSortIndicatorShown(false);
}

QVariant ModelEx::data(const QModelIndex &index, int role) const
{
    if (role == Qt::CheckStateRole && index.isValid() && index.column() == 0 && m_bFirstCheckable)
        return checkData(index);
    if (role == Qt::BackgroundRole && index.isValid() && index.row() == m_iHoverRow)
        return QColor(183, 205, 255);
    return QVariant();
}

QVariant ModelEx::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
        && section < m_listHeader.size())
        return m_listHeader.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ModelEx::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (index.column() == 0 && m_bFirstCheckable)
        return Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}

// Stable sort over the displayed texts (addresses numerically). The order is
// computed once and then applied to the derived model's data through
// changePos swaps, so the data list always holds the displayed order.
void ModelEx::sort(int column, Qt::SortOrder order)
{
    const int iRows = rowCount();
    if (column < 0 || column >= columnCount() || iRows < 2)
        return;

    std::vector<int> vecOrder(static_cast<size_t>(iRows));
    std::iota(vecOrder.begin(), vecOrder.end(), 0);
    const bool bAscending = order == Qt::AscendingOrder;
    if (column == m_iAddressColumn) {
        std::vector<quint32> vecKeys(static_cast<size_t>(iRows));
        for (int i = 0; i < iRows; ++i)
            vecKeys[i] = Ipv4::sortKey(data(index(i, column), Qt::DisplayRole).toString());
        std::stable_sort(vecOrder.begin(), vecOrder.end(), [&](int a, int b) {
            return bAscending ? vecKeys[a] < vecKeys[b] : vecKeys[a] > vecKeys[b];
        });
    } else {
        std::vector<QString> vecKeys(static_cast<size_t>(iRows));
        for (int i = 0; i < iRows; ++i)
            vecKeys[i] = data(index(i, column), Qt::DisplayRole).toString();
        std::stable_sort(vecOrder.begin(), vecOrder.end(), [&](int a, int b) {
            const int iCmp = vecKeys[a].compare(vecKeys[b], Qt::CaseInsensitive);
            return bAscending ? iCmp < 0 : iCmp > 0;
        });
    }

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList listPersistent = persistentIndexList();

    // vecAt[p]: the original row now held at position p; vecPos: its inverse.
    std::vector<int> vecAt(static_cast<size_t>(iRows));
    std::vector<int> vecPos(static_cast<size_t>(iRows));
    std::iota(vecAt.begin(), vecAt.end(), 0);
    std::iota(vecPos.begin(), vecPos.end(), 0);
    for (int iTarget = 0; iTarget < iRows; ++iTarget) {
        const int iWanted = vecOrder[iTarget];
        const int iFrom = vecPos[iWanted];
        if (iFrom == iTarget)
            continue;
        emit changePos(iTarget, iFrom);
        const int iDisplaced = vecAt[iTarget];
        vecAt[iTarget] = iWanted;
        vecAt[iFrom] = iDisplaced;
        vecPos[iWanted] = iTarget;
        vecPos[iDisplaced] = iFrom;
    }

    QModelIndexList listNew;
    listNew.reserve(listPersistent.size());
    for (const QModelIndex &idx : listPersistent)
        listNew.append(index(vecPos[idx.row()], idx.column(), idx.parent()));
    changePersistentIndexList(listPersistent, listNew);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);

    if (m_pView)
        m_pView->viewport()->update();
}

int ModelEx::filter(const QString &strText)
{
    int iShown = 0;
    const int iRows = rowCount();
    for (int i = 0; i < iRows; ++i) {
        bool bShow = false;
        for (int iCol = 1; iCol <= 2 && iCol < columnCount() && !bShow; ++iCol)
            bShow = data(index(i, iCol), Qt::DisplayRole).toString().contains(strText, Qt::CaseInsensitive);
        if (bShow)
            ++iShown;
        // Only touch rows whose state changes: hiding a header section is not cheap.
        if (m_pView && m_pView->isRowHidden(i) == bShow)
            m_pView->setRowHidden(i, !bShow);
    }
    return iShown;
}

void ModelEx::resetModel()
{
    beginResetModel();
    endResetModel();
}

QVariant ModelEx::checkData(const QModelIndex &index) const
{
    return isRowChecked(index.row()) ? Qt::Checked : Qt::Unchecked;
}

bool ModelEx::setCheckData(const QModelIndex &index, const QVariant &value)
{
    const int iState = value.toInt();
    if (iState == Qt::Checked || iState == Qt::Unchecked)
        applyCheck(index.row(), iState == Qt::Checked);
    // Owners recount on every click on a check box, changed or not.
    emit checkListChanged();
    return true;
}

bool ModelEx::isRowChecked(int iRow) const
{
    return iRow >= 0 && iRow < rowCount() && m_listChecked.contains(checkKey(iRow));
}

bool ModelEx::setRowChecked(int iRow, bool bChecked)
{
    if (!applyCheck(iRow, bChecked))
        return false;
    emit checkListChanged();
    return true;
}

bool ModelEx::applyCheck(int iRow, bool bChecked)
{
    if (iRow < 0 || iRow >= rowCount())
        return false;
    const int iKey = checkKey(iRow);
    if (bChecked == m_listChecked.contains(iKey))
        return false;
    if (bChecked)
        m_listChecked.append(iKey);
    else
        m_listChecked.removeOne(iKey);
    const QModelIndex idx = index(iRow, 0);
    emit dataChanged(idx, idx, {Qt::CheckStateRole});
    return true;
}

void ModelEx::checkOnlyRows(const QVector<int> &vecRows)
{
    QList<int> listKeys;
    for (int iRow : vecRows) {
        if (iRow >= 0 && iRow < rowCount() && !listKeys.contains(checkKey(iRow)))
            listKeys.append(checkKey(iRow));
    }
    if (listKeys == m_listChecked)
        return;
    m_listChecked = listKeys;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
    emit checkListChanged();
}

void ModelEx::toggleSelectAll()
{
    m_listChecked.clear();
    if (!m_bAllSelected) {
        for (int i = 0; i < rowCount(); ++i) {
            if (!m_pView || !m_pView->isRowHidden(i))
                m_listChecked.append(checkKey(i));
        }
    }
    m_bAllSelected = !m_bAllSelected;
    resetModel();
    emit checkListChanged();
}
