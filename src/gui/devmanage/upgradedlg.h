#ifndef UPGRADEDLG_H
#define UPGRADEDLG_H

#include "devtypes.h"
#include "uidevicebean.h"

#include <QDialog>
#include <QList>
#include <QScopedPointer>
#include <QString>

namespace Ui {
class CUpgradeDlg;
}
class QLineEdit;

// Maintenance dialog of the device tab: collects a file or folder for one of
// the four maintenance operations and hands each device to the tab.
class CUpgradeDlg : public QDialog
{
    Q_OBJECT

public:
    // Operation codes carried by sendOperateSignal.
    enum EMaintainCmd : ULONG {
        CmdUpgrade = 0,
        CmdExportDiag = 1,
        CmdImportCfg = 2,
        CmdExportCfg = 3
    };

    explicit CUpgradeDlg(QWidget *parent = nullptr);
    ~CUpgradeDlg() override;

signals:
    void sendResultSignal(CUIDeviceBean &oBean);
    void sendOperateSignal(QString strPath, ULONG ulCmd, CUIDeviceBean &oBean);

public slots:
    void getDevListInfoSlot(QList<CUIDeviceBean> &oDevList);

private slots:
    void on_oUpdateFileDlgBtn_clicked();
    void on_oUpdateBtn_clicked();
    void on_oDiagnoseInfoDlgBtn_clicked();
    void on_oExportDiagInfoBtn_clicked();
    void on_oImportCfgFileDlgBtn_clicked();
    void on_oImportCfgBtn_clicked();
    void on_oExportCfgFileDlgBtn_clicked();
    void on_oExportCfgBtn_clicked();

private:
    // Shows a message titled "信息"; returns the dialog's exec() result.
    int showMessage(const QString &strText, int iKind);
    // The devices the operation is for, for its question.
    QString deviceNames() const;
    // Marks every device busy and hands it to the tab, in list order.
    void startOperation(const QString &strPath, ULONG ulCmd, long lBusyStatus);
    static void setPathUnlessCancelled(QLineEdit *pEdit, const QString &strPath);

    QList<CUIDeviceBean> m_listDev;
    QScopedPointer<Ui::CUpgradeDlg> ui;
};

#endif // UPGRADEDLG_H
