#ifndef CAP_SHOWONLINEDEVDLG_H
#define CAP_SHOWONLINEDEVDLG_H

#include "uidevicebean.h"

#include <QDialog>
#include <QHash>
#include <QList>
#include <QModelIndex>
#include <QScopedPointer>

#include <memory>

namespace Ui {
class CShowOnlineDevDlg;
}

class COnlineChanModelEx;
class CWorkerHost;
class QNoFocusDelegate;

// "在线设备": the devices the device tab knows, to log in with one account and
// import into the capacity calculator. The dialog logs devices in on its own
// workers and closes only the sessions it opened itself; a device the device
// tab had logged in keeps its session.
class CShowOnlineDevDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CShowOnlineDevDlg(QWidget *parent);
    ~CShowOnlineDevDlg() override;

    const QList<CUIDeviceBean> &devList() const { return m_listDev; }
    COnlineChanModelEx *model() const { return m_pModel; }

signals:
    void sendLoginSignal(QList<CUIDeviceBean> &oDevList, ulong ulEventType);
    void sendChanInfo(QList<CUIDeviceBean> &oDevList);
    void sendLogoutSignal(CUIDeviceBean &oBean);

public slots:
    void on_oChanLoginBtn_clicked();
    void mouseEnterEncView(const QModelIndex &index);
    void onEncTableViewHeaderClicked(int iColumn);
    void getLoginResultSlot(QList<CUIDeviceBean> &oDevList, ulong ulEventType);
    void getResultSlot(CUIDeviceBean &oBean);
    void on_oAddBtn_clicked();
    void onFilter(const QString &strText);
    void devLogOut(const CUIDeviceBean &oBean);
    void showOnlineDevSlot(QList<CUIDeviceBean> &oDevList);

private:
    void initView();
    // Widens the model column to its longest text (some models carry their maker's name).
    void fitModelColumn();
    // Closes every session this dialog opened, through the logout worker.
    void logoutOwnSessions();
    QList<CUIDeviceBean> checkedDevices() const;

    QScopedPointer<Ui::CShowOnlineDevDlg> ui;
    QList<CUIDeviceBean> m_listDev;
    COnlineChanModelEx *m_pModel = nullptr;
    QNoFocusDelegate *m_pDelegate = nullptr;
    std::unique_ptr<CWorkerHost> m_pLoginWorker;
    std::unique_ptr<CWorkerHost> m_pLogoutWorker;
    // Sessions this dialog opened, by device address: the records as logged in.
    QHash<QString, CUIDeviceBean> m_hashOwnSession;
    // Login results of an earlier opening are recognised by this number.
    quint32 m_ulOpening = 0;
};

#endif // CAP_SHOWONLINEDEVDLG_H
