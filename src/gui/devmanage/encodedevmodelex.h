#ifndef ENCODEDEVMODELEX_H
#define ENCODEDEVMODELEX_H

#include "modelex.h"
#include "uidevicebean.h"

#include <QList>

// Model of the device table. Its rows are the device tab's list itself
// (referred to, not owned); check marks are kept by sequence number, so they
// survive sorting and resets.
class EncodeDevModelEx : public ModelEx
{
    Q_OBJECT

public:
    enum EColumn {
        ColCheck = 0,
        ColIp,
        ColModel,
        ColVersion,
        ColMac,
        ColMask,
        ColGateway,
        ColSerial,
        ColConfig,
        ColStatus,
        ColUserName,
        ColPassword,
        ColumnCount
    };

    EncodeDevModelEx(TableViewEx *pView, QList<CUIDeviceBean> &listDev, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // The status cell's text: a running upgrade shows its percentage, a row
    // the last refresh marked (offline, address conflict) the mark.
    static QString statusText(const CUIDeviceBean &dev);
    // The status cell's tooltip: the whole status and, after a failure, its reason.
    static QString statusTip(const CUIDeviceBean &dev);
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

public slots:
    void OnChangePos(int iFirst, int iSecond);

protected:
    // Checked devices are named by sequence number (m_lDevId).
    int checkKey(int iRow) const override;

private:
    static QString ownStatusText(const CUIDeviceBean &dev);

    QList<CUIDeviceBean> &m_listDev;
};

#endif // ENCODEDEVMODELEX_H
