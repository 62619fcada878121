#ifndef DEV_NETWORKCFGFORM_H
#define DEV_NETWORKCFGFORM_H

#include "devcapacityinfo.h"
#include "devtypes.h"
#include "uidevicebean.h"
#include "zelt_mw_cfg.h"

#include <QByteArray>
#include <QList>
#include <QScopedPointer>
#include <QTimer>
#include <QWidget>

#include <array>

namespace Ui {
class CNetworkCfgForm;
}

class CCfgReport;
class QLineEdit;

// The "网络" page of the configuration dialog: the device's interface, NTX,
// DNS and port structures, read once when the page is built and written back
// in one save, the interface last since it may cut the connection.
class CNetworkCfgForm : public QWidget
{
    Q_OBJECT

public:
    CNetworkCfgForm(const CUIDeviceBean &oBean, QList<stDevCapacityInfo> *pCapList,
                    QWidget *parent = nullptr);
    ~CNetworkCfgForm() override;

signals:
    void sendReportSignal(QString strResult, ULONG ulResult);
    // A saved interface gave the device another address (strNewIp empty when
    // it is not known, e.g. after a switch to DHCP): the session and the
    // device-list entry still name strOldIp.
    void sendDevAddrChangedSignal(QString strOldIp, QString strNewIp);

public slots:
    void showReportSlot(QString strResult, ULONG ulResult);
    void onShowReportTimer();
    void ipTypeChangedSlot(int nIndex);
    void onNetworkCfgTimer();
    void mtuEditSlot();
    void httpEditSlot();
    void httpsEditSlot();
    void on_oSaveBtn_clicked();

private:
    DWORD getNetworkParam(DWORD ulCmd);
    void setNetworkDefault();
    void setNTXDefault();
    void setDNSDefault();
    void setPortDefault();
    void parseCapability();
    void applyIpTypeVisibility();

    // Range checks of the numeric edits; false after the note and the last
    // accepted value are back in the edit.
    bool checkNumberEdit(QLineEdit *pEdit, int nLow, int nHigh, int &nLastAccepted);
    // The note for the first unusable field of a static interface, empty when
    // address, mask and gateway are usable.
    QString staticAddressProblem() const;
    // The same for the DNS and NTX server fields the device could be read for.
    QString serverAddressProblem() const;
    void collectStructures();
    void reportSaveResult(DWORD ulFirstError, const QString &strFirstReason, bool bInterfaceWritten);

    QScopedPointer<Ui::CNetworkCfgForm> ui;
    CUIDeviceBean m_devBean;
    QList<stDevCapacityInfo> m_capList;

    std::array<char, ZELT_NETIF_SIZE> m_netIfCfg {};
    std::array<char, ZELT_NTX_SIZE> m_ntxCfg {};
    std::array<char, ZELT_PORT_SIZE> m_portCfg {};
    std::array<char, ZELT_DNS_SIZE> m_dnsCfg {};

    int m_nIpType = 0;
    bool m_bNetIfRead = true;
    bool m_bNTXRead = true;
    bool m_bDNSRead = true;
    bool m_bPortRead = true;
    // Set once the device left its old address: the session is stale.
    bool m_bAddressMoved = false;

    int m_nLastMtu = 0;
    int m_nLastHttpPort = 0;
    int m_nLastHttpsPort = 0;

    CCfgReport *m_pReport;
    QTimer m_saveTimer;
};

#endif // DEV_NETWORKCFGFORM_H
