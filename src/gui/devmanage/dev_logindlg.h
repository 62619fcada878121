#ifndef DEV_LOGINDLG_H
#define DEV_LOGINDLG_H

#include "uidevicebean.h"

#include <QDialog>
#include <QScopedPointer>
#include <QString>

namespace Ui {
class CDevLoginDlg;
}

// The account entered in the login dialog, exactly as typed.
struct stLoginInfo
{
    QString strIp;
    QString strUserName;
    QString strPassword;
};

// Asks for the account with which one or several devices are logged in.
class CDevLoginDlg : public QDialog
{
    Q_OBJECT

public:
    // A non-zero event code means the login was requested on the way to
    // another operation, which the note tells the user.
    explicit CDevLoginDlg(int iEventType, QWidget *parent = nullptr);
    ~CDevLoginDlg() override;

    void setDevice(CUIDeviceBean &oBean);
    void setDefaultAccount();
    void hideAddress();
    stLoginInfo loginInfo() const;

private slots:
    void on_oOkBtn_clicked();
    void on_oCancelBtn_clicked();

private:
    QScopedPointer<Ui::CDevLoginDlg> ui;
};

#endif // DEV_LOGINDLG_H
