#include "tableviewex.h"
#include "modelex.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>

TableViewEx::TableViewEx(QWidget *parent)
    : QTableView(parent)
{
    horizontalHeader()->setSortIndicator(1, Qt::AscendingOrder);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setVisible(false);
    setShowGrid(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setMouseTracking(true);
    connect(horizontalHeader(), &QHeaderView::sectionPressed, this, &TableViewEx::onHeaderClicked);
}

void TableViewEx::setSelectAllColumn(bool bOn)
{
    m_bSelectAllColumn = bOn;
}

void TableViewEx::setIconRect(int iRow, const QRect &rect)
{
    if (hasIconSlot(iRow))
        m_arrIconRect[iRow] = rect;
}

QRect TableViewEx::iconRect(int iRow) const
{
    return hasIconSlot(iRow) ? m_arrIconRect[iRow] : QRect();
}

int TableViewEx::iconState(int iRow) const
{
    return hasIconSlot(iRow) ? m_arrIconState[iRow] : IconNone;
}

void TableViewEx::onHeaderClicked(int iSection)
{
    horizontalHeader()->setSortIndicatorShown(!(iSection == 0 && m_bSelectAllColumn));
}

int TableViewEx::iconAt(const QRect &rect, int iX)
{
    // A row the delegate never painted has no icons.
    if (rect.isNull())
        return IconNone;
    const int iLeft = rect.left();
    if (iX > iLeft && iX <= iLeft + IconSize)
        return IconConfig;
    if (iX > iLeft + RemoteIconOffset && iX <= iLeft + RemoteIconOffset + IconSize)
        return IconRemote;
    return IconNone;
}

void TableViewEx::mousePressEvent(QMouseEvent *event)
{
    QTableView::mousePressEvent(event);
    syncChecksWithSelection(event, true);
}

void TableViewEx::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    syncChecksWithSelection(event, false);
}

void TableViewEx::syncChecksWithSelection(QMouseEvent *event, bool bPress)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    QAbstractItemModel *pModel = model();
    if (!pModel)
        return;
    const QModelIndex index = indexAt(event->pos());
    if (!index.isValid()) {
        if (selectionModel())
            selectionModel()->clearCurrentIndex();
        return;
    }
    if (index.column() == 0)
        return;

    QItemSelectionModel *pSelection = selectionModel();
    if (!pSelection)
        return;
    // An icon acts on its own row; the check marks stay as they are.
    if (bPress)
        m_iPressedIcon = (event->button() == Qt::LeftButton && index.column() == IconColumn)
            ? iconAt(iconRect(index.row()), event->pos().x())
            : int(IconNone);
    if (m_iPressedIcon != IconNone) {
        if (bPress && m_iPressedIcon == IconConfig)
            emit sendOpenConfigDlgSignal();
        else if (bPress)
            emit sendRemoteSignal();
        return;
    }
    const int iRows = pModel->rowCount();
    QVector<int> vecSelected;
    if (event->button() == Qt::RightButton) {
        // The context menu acts on the checked rows; a click outside them checks its row alone.
        if (!bPress || pModel->data(pModel->index(index.row(), 0), Qt::CheckStateRole).toInt() != Qt::Unchecked)
            return;
        vecSelected.append(index.row());
    } else {
        for (int i = 0; i < iRows; ++i) {
            if (pSelection->isSelected(pModel->index(i, 0)))
                vecSelected.append(i);
        }
        // The release usually leaves the selection the press made: nothing to redo then.
        const bool bSameAsPress = !bPress && vecSelected == m_vecSyncedRows;
        m_vecSyncedRows = bPress ? vecSelected : QVector<int>();
        if (bSameAsPress)
            return;
    }
    if (auto *pModelEx = qobject_cast<ModelEx *>(pModel)) {
        pModelEx->checkOnlyRows(vecSelected);
        return;
    }
    for (int i = 0; i < iRows; ++i) {
        const QModelIndex idxCheck = pModel->index(i, 0);
        if (pModel->data(idxCheck, Qt::CheckStateRole).toInt() != Qt::Unchecked)
            pModel->setData(idxCheck, Qt::Unchecked, Qt::CheckStateRole);
    }
    for (int iRow : vecSelected)
        pModel->setData(pModel->index(iRow, 0), Qt::Checked, Qt::CheckStateRole);
}

void TableViewEx::setIconState(int iRow, int iState)
{
    if (!hasIconSlot(iRow))
        return;
    m_arrIconState[iRow] = iState;
    if (model())
        viewport()->update(visualRect(model()->index(iRow, IconColumn)));
}

void TableViewEx::resetIcons()
{
    if (hasIconSlot(m_iIconRow) && m_arrIconState[m_iIconRow] != IconNone)
        setIconState(m_iIconRow, IconNone);
    setCursor(Qt::ArrowCursor);
}

void TableViewEx::mouseMoveEvent(QMouseEvent *event)
{
    QTableView::mouseMoveEvent(event);
    const QModelIndex index = indexAt(event->pos());
    if (!index.isValid()) {
        resetIcons();
        emit mouse_over_reset();
        return;
    }
    if (index.row() != m_iIconRow) {
        if (hasIconSlot(m_iIconRow) && m_arrIconState[m_iIconRow] != IconNone)
            setIconState(m_iIconRow, IconNone);
        m_iIconRow = index.row();
    }
    if (index.column() != IconColumn) {
        resetIcons();
        return;
    }
    const QRect rect = iconRect(index.row());
    const QPoint pos = event->pos();
    const int iIcon = (pos.y() > rect.top() && pos.y() < rect.bottom()) ? iconAt(rect, pos.x()) : IconNone;
    if (iIcon == IconNone) {
        resetIcons();
        return;
    }
    setIconState(index.row(), iIcon);
    setCursor(Qt::PointingHandCursor);
}

void TableViewEx::leaveEvent(QEvent *event)
{
    QTableView::leaveEvent(event);
    resetIcons();
    emit mouse_over_reset();
    viewport()->update();
}

void TableViewEx::fitColumn(int iColumn, int iMinWidth)
{
    resizeColumnToContents(iColumn);
    if (columnWidth(iColumn) < iMinWidth)
        setColumnWidth(iColumn, iMinWidth);
}
