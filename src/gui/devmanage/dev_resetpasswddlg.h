#ifndef DEV_RESETPASSWDDLG_H
#define DEV_RESETPASSWDDLG_H

#include <QDialog>
#include <QScopedPointer>
#include <QString>

namespace Ui {
class CResetPasswdDlg;
}

// Asks for the security code that resets a forgotten device password.
class CResetPasswdDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CResetPasswdDlg(QWidget *parent = nullptr);
    ~CResetPasswdDlg() override;

    void setSerial(const QString &strSerial);
    QString securityCode() const;

private slots:
    void on_oOkBtn_clicked();
    void on_oCancelBtn_clicked();

private:
    QScopedPointer<Ui::CResetPasswdDlg> ui;
};

#endif // DEV_RESETPASSWDDLG_H
