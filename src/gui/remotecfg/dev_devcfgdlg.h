#ifndef DEV_DEVCFGDLG_H
#define DEV_DEVCFGDLG_H

#include "devcapacityinfo.h"
#include "devtypes.h"
#include "uidevicebean.h"

#include <QDialog>
#include <QList>
#include <QScopedPointer>

class CEncodeCfgForm;
class CImageCfgForm;
class CNetworkCfgForm;
class CSystemInfoForm;
class QTabWidget;

namespace Ui {
class CDevCfgDlg;
}

// The "配置" dialog: a frame holding the configuration pages of one logged-in
// device. The device tab hands it the device and, for an IPC, the capability
// lists and the live stream; the dialog then builds the pages it shows and
// asks to be shown. The pages of an opening are deleted when the dialog is
// closed.
class CDevCfgDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CDevCfgDlg(QWidget *parent = nullptr);
    ~CDevCfgDlg() override;

    // Stores the live stream for the image page; the opening's data is then complete.
    void setLiveResult(DWORD ulStreamHd, DWORD ulLiveResult);
    // Builds the IPC pages that have capabilities (one tab each) and asks to
    // be shown; a stream without an image page is handed back to be stopped.
    void initCfgPages();
    // Builds the system-information page alone and asks to be shown.
    void initSysInfoPage();

    const CUIDeviceBean &devBean() const { return m_devBean; }
    QTabWidget *tabWidget() const;

signals:
    void sendTerminateWaitDlg();
    void sendInitDataFinish_sig();
    // A live stream of this opening that no page shows.
    void sendStopLiveSignal(QString strUserId, ulong ulStreamHd);
    // The network page moved the device: its sessions belong to the old address.
    void sendDevAddrChangedSignal(QString strOldIp, QString strNewIp);
    // A page found the device gone: the list no longer shows it logged in.
    void sendDevGoneSignal(QString strIp);

public slots:
    // Starts an opening for the first device of the list; an empty list changes nothing.
    ULONG getDevListInfoSlot(QList<CUIDeviceBean> &oDevList);
    ULONG getDevCapInfoSlot(QList<stDevCapacityInfo> &devCapInfo, ulong capType);

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void deletePages();
    // The session of this opening belongs to the device's old address: the
    // other pages would only send into nothing.
    void disablePagesAfterMove();

    QScopedPointer<Ui::CDevCfgDlg> ui;
    CUIDeviceBean m_devBean;
    CImageCfgForm *m_pImageForm = nullptr;
    CNetworkCfgForm *m_pNetworkForm = nullptr;
    CEncodeCfgForm *m_pEncodeForm = nullptr;
    CSystemInfoForm *m_pSysInfoForm = nullptr;
    QList<stDevCapacityInfo> m_imageCapList;
    QList<stDevCapacityInfo> m_encodeCapList;
    QList<stDevCapacityInfo> m_networkCapList;
    DWORD m_ulStreamHd = 0;
    DWORD m_ulLiveResult = 0;
};

#endif // DEV_DEVCFGDLG_H
