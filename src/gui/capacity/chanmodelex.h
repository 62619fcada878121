#ifndef CHANMODELEX_H
#define CHANMODELEX_H

#include "modelex.h"
#include "uichanbean.h"

#include <QList>

// Model of the capacity calculator's channel table. Its rows are the
// calculator's channel list itself (referred to, not owned); check marks are
// kept by row id, so they survive sorting and resets.
class CChanModelEx : public ModelEx
{
    Q_OBJECT

public:
    enum EColumn { ColCheck = 0, ColChan, ColResolution, ColFrameRate, ColBitRate, ColTotal, ColumnCount };

    CChanModelEx(TableViewEx *pView, QList<CUIChanBean> &listChan, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

public slots:
    void OnChangePos(int iFirst, int iSecond);

protected:
    // Checked channels are named by row id (m_lChanId).
    int checkKey(int iRow) const override;

private:
    QList<CUIChanBean> &m_listChan;
};

#endif // CHANMODELEX_H
