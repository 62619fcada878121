#ifndef BATCHEDITMODELEX_H
#define BATCHEDITMODELEX_H

#include "batcheditnetaddrbean.h"
#include "modelex.h"

#include <QList>
#include <QSet>

// Rows of the batch address dialog. The list belongs to the dialog; check
// marks are held by row id so that they follow the rows through sorting.
class CBatchEditModelEx : public ModelEx
{
    Q_OBJECT

public:
    enum EColumn {
        ColCheck = 0,
        ColName,
        ColOldIp,
        ColNewIp,
        ColMask,
        ColGateway,
        ColPassword,
        ColResult,
        ColCount
    };

    CBatchEditModelEx(TableViewEx *pView, QList<CBatchEditNetAddrBean> *pList, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // Rows (by row id) an address plan left out; their result says so until one comes.
    void setRowsNotInPlan(const QSet<int> &setRowIds);

public slots:
    void OnChangePos(int iFirst, int iSecond);

protected:
    // Checked rows are named by row id (m_lRowId).
    int checkKey(int iRow) const override;

private:
    QString cellText(const CBatchEditNetAddrBean &oBean, int iColumn) const;

    QList<CBatchEditNetAddrBean> *m_pList;
    QSet<int> m_setNotInPlan;
};

#endif // BATCHEDITMODELEX_H
