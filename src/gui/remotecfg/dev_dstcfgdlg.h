#ifndef DEV_DSTCFGDLG_H
#define DEV_DSTCFGDLG_H

#include "devtypes.h"
#include "uidevicebean.h"

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QScopedPointer>

class CCfgBatch;
class QComboBox;

namespace Ui {
class CDstCfgDlg;
}

// "夏令时": reads the daylight-saving rule of the first device and sends the
// edited rule to every device given. Outcomes reach the device table through
// sendResultSignal; the dialog is hidden by then.
class CDstCfgDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CDstCfgDlg(QWidget *parent = nullptr);
    ~CDstCfgDlg() override;

    // Reads the first device's rule into the widgets: 0, or 1 when the read failed.
    ULONG setDefault();
    // Why the read failed; empty when none did or the device does not offer the setting.
    QString readFailure() const { return m_strReadFailure; }
    // Deletes the dialog once every request it sent is answered.
    void deleteWhenDone();

signals:
    void sendResultSignal(CUIDeviceBean &oBean);

public slots:
    ULONG getDevListInfoSlot(QList<CUIDeviceBean> &oDevList);
    void getResultSlot(CUIDeviceBean &oBean);
    void on_oOkBtn_clicked();
    void on_oCancelBtn_clicked();

private:
    void fillCombos();
    // Writes the widgets into baDst; false when a field has no valid choice.
    bool collect(QByteArray &baDst) const;

    QScopedPointer<Ui::CDstCfgDlg> ui;
    QList<CUIDeviceBean> m_listDev;
    CUIDeviceBean m_devBean;
    // As read: the reserved fields go back unchanged.
    QByteArray m_baDst;
    QString m_strReadFailure;
    CCfgBatch *m_pBatch;
};

#endif // DEV_DSTCFGDLG_H
