#ifndef ONLINECHANMODELEX_H
#define ONLINECHANMODELEX_H

#include "modelex.h"
#include "uidevicebean.h"

#include <QList>

// Model of the online-device table of the capacity calculator's import
// dialog. Its rows are the dialog's device list (referred to, not owned);
// check marks are kept by sequence number.
class COnlineChanModelEx : public ModelEx
{
    Q_OBJECT

public:
    enum EColumn { ColCheck = 0, ColIp, ColModel, ColStatus, ColumnCount };

    COnlineChanModelEx(TableViewEx *pView, QList<CUIDeviceBean> &listDev, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    static QString statusText(long lStatus);

public slots:
    void OnChangePos(int iFirst, int iSecond);

protected:
    // Checked devices are named by sequence number (m_lDevId).
    int checkKey(int iRow) const override;

private:
    QList<CUIDeviceBean> &m_listDev;
};

#endif // ONLINECHANMODELEX_H
