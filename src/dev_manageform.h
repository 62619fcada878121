#ifndef DEV_MANAGEFORM_H
#define DEV_MANAGEFORM_H

#include "batcheditnetaddrbean.h"
#include "uicustommadebean.h"
#include "uidevicebean.h"
#include "uisearchmodebean.h"

#include <QList>
#include <QModelIndex>
#include <QScopedPointer>
#include <QString>
#include <QWidget>

class CDevDiscovery;
class EncodeDevModelEx;
class QTimer;

namespace Ui {
class CDevManageForm;
}

// The device-management tab: owns the device list (in display order), the
// discovery service and the search settings; runs the search cycle.
class CDevManageForm : public QWidget
{
    Q_OBJECT

public:
    explicit CDevManageForm(QWidget *parent = nullptr);
    ~CDevManageForm() override;

    const QList<CUIDeviceBean> &deviceList() const { return m_listDev; }
    EncodeDevModelEx *devModel() const { return m_pDevModel; }
    CDevDiscovery *devDiscovery() const { return m_pDevDiscovery; }
    CUISearchModeBean searchMode() const;
    CUICustomMadeBean customMade() const;

    // Stores the search mode after checking the address segment; shows the
    // reason and keeps the previous segment on failure (returns 1).
    ulong applySearchMode(const CUISearchModeBean &oMode);

signals:
    void sendLogoutSignal(CUIDeviceBean &oBean);
    void sendModifyRltSignal(CBatchEditNetAddrBean &oNetAddrBean);
    void sendDev2CapSignal(QList<CUIDeviceBean> &listDev);

public slots:
    ulong on_oRefreshBtn_clicked();
    void onEncTableViewHeaderClicked(int iSection);
    void mouseEnterEncView(const QModelIndex index);
    void onSearchTimer();
    void getResultSlot(CUIDeviceBean &oBean);
    void onFilter(QString strText);
    void on_oSetupBtn_clicked();
    void oCustomMadeTable(CUICustomMadeBean &oBean);
    void getModifyRltSlot(CBatchEditNetAddrBean &oNetAddrBean);
    void sendDev2CapSlot();

private slots:
    void onSegmentProbeTimer();

private:
    void ensureWorkFolders();
    void applyColumnWidths();
    void applyColumnFlags();
    void repaintRows(int iRow);

    EncodeDevModelEx *m_pDevModel = nullptr;
    CDevDiscovery *m_pDevDiscovery = nullptr;
    QString m_strDefaultUser = QStringLiteral("admin");
    QString m_strDefaultPassword = QStringLiteral("vorpe");
    bool m_bMulticast = true;
    bool m_bSegmentSearch = false;
    bool m_bShowVersion = false;
    bool m_bShowMac = true;
    bool m_bShowSerial = false;
    bool m_bShowNetMask = false;
    bool m_bShowGateway = false;
    bool m_bShowConfig = true;
    bool m_bShowStatus = true;
    QString m_strBeginIP = QStringLiteral("192.168.0.1");
    QString m_strEndIP = QStringLiteral("192.168.0.255");
    QTimer *m_pSearchTimer = nullptr;
    // Waits out the pause between the multicast and the segment probe
    // without blocking the user-interface thread.
    QTimer *m_pSegmentProbeTimer = nullptr;
    QScopedPointer<Ui::CDevManageForm> ui;
    QList<CUIDeviceBean> m_listDev;
};

#endif // DEV_MANAGEFORM_H
