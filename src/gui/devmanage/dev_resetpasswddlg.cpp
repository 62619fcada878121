#include "dev_resetpasswddlg.h"
#include "ui_dev_resetpasswddlg.h"
#include "dialogframe.h"

CResetPasswdDlg::CResetPasswdDlg(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CResetPasswdDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    CDialogFrame::decorate(this);
    // The serial is filled in and read-only; the code is what the user types.
    ui->oSerialCodeEdit->setFocus();
}

CResetPasswdDlg::~CResetPasswdDlg() = default;

void CResetPasswdDlg::setSerial(const QString &strSerial)
{
    ui->oDevSerialEdit->setText(strSerial);
    ui->oDevSerialEdit->setReadOnly(true);
}

QString CResetPasswdDlg::securityCode() const
{
    return ui->oSerialCodeEdit->text();
}

void CResetPasswdDlg::on_oOkBtn_clicked()
{
    accept();
}

void CResetPasswdDlg::on_oCancelBtn_clicked()
{
    close();
}
