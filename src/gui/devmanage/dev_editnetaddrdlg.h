#ifndef DEV_EDITNETADDRDLG_H
#define DEV_EDITNETADDRDLG_H

#include "uidevicebean.h"

#include <QDialog>
#include <QScopedPointer>
#include <QString>

namespace Ui {
class CEditNetworkAddrDlg;
}

// Address, mask and gateway as entered; each empty when incomplete.
struct stNetAddrInfo
{
    QString strIp;
    QString strMask;
    QString strGateway;
};

// Asks for a new network address of one device.
class CEditNetworkAddrDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CEditNetworkAddrDlg(QWidget *parent = nullptr);
    ~CEditNetworkAddrDlg() override;

    void setDevice(CUIDeviceBean &oBean);
    stNetAddrInfo addresses() const;
    QString password() const;

private slots:
    void on_oOkBtn_clicked();
    void on_oCancelBtn_clicked();

private:
    // The first missing or invalid field and a message naming it; empty when all are fine.
    QString inputProblem(QWidget **ppField) const;

    QScopedPointer<Ui::CEditNetworkAddrDlg> ui;
};

#endif // DEV_EDITNETADDRDLG_H
