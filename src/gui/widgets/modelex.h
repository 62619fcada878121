#ifndef MODELEX_H
#define MODELEX_H

#include <QAbstractTableModel>
#include <QStringList>

class TableViewEx;

// Base of every table model: check-box column 0, hover highlight, sorting
// done by the model through row swaps (changePos) and a text filter.
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
    // Repaint of rows whose records changed in place.
    void updateRows(int iFirst, int iLast);

signals:
    void changePos(int iFirst, int iSecond);

public slots:
    void OnMouseLeaveView();

protected:
    TableViewEx *m_pView;
    int m_iAddressColumn = -1;
    bool m_bFirstCheckable = true;
    int m_iHoverRow = -1;
    QStringList m_listHeader;
};

#endif // MODELEX_H
