#ifndef MODELEX_H
#define MODELEX_H

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>
#include <QVector>

class TableViewEx;

// Base of every table model: check-box column 0, hover highlight, sorting
// done by the model through row swaps (changePos) and a text filter.
//
// Check marks are kept by a key of the row's record (checkKey), in the order
// checked, so they follow the rows through sorting and resets. A key is
// listed at most once.
class ModelEx : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ModelEx(TableViewEx *pView, QObject *parent = nullptr);

    void setHoverRow(int iRow);
    int hoverRow() const { return m_iHoverRow; }
    void setAddressColumn(int iColumn);
    int addressColumn() const { return m_iAddressColumn; }
    void setCheckable(bool bCheckable);
    bool isCheckable() const { return m_bFirstCheckable; }

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Hides the rows whose columns 1 and 2 both lack the text; returns the
    // number of rows left visible.
    int filter(const QString &strText);

    // Whole-model reset for owners that changed the underlying list.
    void resetModel();

    // Keys of the checked rows, in the order checked.
    QList<int> &checkedList() { return m_listChecked; }
    const QList<int> &checkedList() const { return m_listChecked; }
    bool isRowChecked(int iRow) const;
    // False when the row already had that state.
    bool setRowChecked(int iRow, bool bChecked);
    // Checks exactly these rows (a click or control-click selection in the view).
    void checkOnlyRows(const QVector<int> &vecRows);
    // The select-all header: the first call checks every row not hidden in
    // the view, the next one unchecks all, whatever was ticked in between.
    void toggleSelectAll();
    bool allSelected() const { return m_bAllSelected; }
    void setAllSelected(bool bAll) { m_bAllSelected = bAll; }
    // Repaint of rows whose records changed in place.
    void updateRows(int iFirst, int iLast);

signals:
    void changePos(int iFirst, int iSecond);
    void checkListChanged();

public slots:
    void OnMouseLeaveView();

protected:
    // The key that names the record at iRow in the checked list.
    virtual int checkKey(int iRow) const = 0;
    // The check-box column's answers; derived models pass these roles on.
    QVariant checkData(const QModelIndex &index) const;
    bool setCheckData(const QModelIndex &index, const QVariant &value);

    TableViewEx *m_pView;
    int m_iAddressColumn = -1;
    bool m_bFirstCheckable = true;
    int m_iHoverRow = -1;
    QStringList m_listHeader;

private:
    bool applyCheck(int iRow, bool bChecked);

    QList<int> m_listChecked;
    bool m_bAllSelected = false;
};

#endif // MODELEX_H
