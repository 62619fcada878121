#include "dev_editnetaddrdlg.h"
#include "ui_dev_editnetaddrdlg.h"

CEditNetworkAddrDlg::CEditNetworkAddrDlg(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CEditNetworkAddrDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    ui->oPasswordEdit->setMaxLength(16);
    ui->oPasswordEdit->setEchoMode(QLineEdit::Password);
}

CEditNetworkAddrDlg::~CEditNetworkAddrDlg() = default;

void CEditNetworkAddrDlg::setDevice(CUIDeviceBean &oBean)
{
    ui->oIpWidget->setText(oBean.m_strIp);
    ui->oMaskAddrWidget->setText(oBean.m_strMask);
    ui->oGateWayWidget->setText(oBean.m_strGateway);
    ui->oPasswordEdit->setText(oBean.m_strPassword);
}

stNetAddrInfo CEditNetworkAddrDlg::addresses() const
{
    return {ui->oIpWidget->text(), ui->oMaskAddrWidget->text(), ui->oGateWayWidget->text()};
}

QString CEditNetworkAddrDlg::password() const
{
    return ui->oPasswordEdit->text();
}

void CEditNetworkAddrDlg::on_oOkBtn_clicked()
{
    accept();
}

void CEditNetworkAddrDlg::on_oCancelBtn_clicked()
{
    close();
}
