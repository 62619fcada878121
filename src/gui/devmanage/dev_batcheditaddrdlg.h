#ifndef DEV_BATCHEDITADDRDLG_H
#define DEV_BATCHEDITADDRDLG_H

#include "addressplan.h"
#include "batcheditnetaddrbean.h"
#include "uidevicebean.h"

#include <QDialog>
#include <QHash>
#include <QList>
#include <QSet>
#include <QModelIndex>
#include <QScopedPointer>
#include <QStringList>

class CBatchEditModelEx;
class IpWidget;
class QTimer;

namespace Ui {
class CBatchEditAddrDlg;
}

// Changes the addresses of several devices: consecutive addresses from one
// first address, suggested mask and gateway, every cell correctable, and each
// row's outcome shown as it comes back.
class CBatchEditAddrDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CBatchEditAddrDlg(QWidget *parent = nullptr);
    ~CBatchEditAddrDlg() override;

    void setDeviceList(QList<CBatchEditNetAddrBean> &listBean);
    void clearAddresses();
    // Every device of the list: a plan's address may not be one of theirs.
    void setListedDevices(const QList<CUIDeviceBean> &listDev) { m_listListed = listDev; }
    const QList<CBatchEditNetAddrBean> &rows() const { return m_listRows; }
    // A change not answered within this is reported as failed (the library's
    // discovery call gives up after 2 s).
    static constexpr int DefaultRowTimeoutMs = 3000;
    void setRowTimeout(int nMs) { m_nRowTimeoutMs = nMs; }

signals:
    void sendModifySignal(CBatchEditNetAddrBean &oNetAddrBean);

public slots:
    void oGetModifyRltSlot(CBatchEditNetAddrBean &oNetAddrBean);

private slots:
    void on_oOkBtn_clicked();
    void on_ocancelBtn_clicked();
    void on_oLoadPlanBtn_clicked();
    void onInitFirstIp_slot(const QString &strText);
    void onInitLastIp_slot(const QString &strText);
    void onInitSubIp_slot(const QString &strText);
    void onGatewayIp_slot(const QString &strText);
    void onEncTableViewHeaderClicked(int iColumn);
    void mouseEnterEncView(const QModelIndex index);
    void onDeadline_slot();

private:
    // The four octet fields of the first address exactly as typed.
    QStringList firstIpParts() const;
    bool hasPendingRows() const;
    void updateOkButton();
    // Fills the rows from the plan at strPath by MAC or serial number; on any
    // problem the user is told and no row changes.
    void loadPlan(const QString &strPath);
    // The rows the loaded plan covers, as plan entries with their values now.
    QList<CAddressPlan::stEntry> planRows() const;
    void showPlanProblems(const QList<CAddressPlan::stProblem> &listProblems);

    QScopedPointer<Ui::CBatchEditAddrDlg> ui;
    QList<CBatchEditNetAddrBean> m_listRows;
    CBatchEditModelEx *m_pModel;
    QTimer *m_pDeadline;
    int m_nRowTimeoutMs = DefaultRowTimeoutMs;
    QList<CUIDeviceBean> m_listListed;
    // Row id -> plan line of the rows a loaded plan filled; the others are left out.
    QHash<int, int> m_hashPlanLine;
    QString m_strPlanFolder;
};

#endif // DEV_BATCHEDITADDRDLG_H
