#include "dev_logindlg.h"
#include "ui_dev_logindlg.h"
#include "dialogframe.h"

#include <QIcon>
#include <QLayout>

namespace {
constexpr int kMaxAccountLen = 16;
}

CDevLoginDlg::CDevLoginDlg(int iEventType, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CDevLoginDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    CDialogFrame::decorate(this);
    setWindowIcon(QIcon(QStringLiteral(":/image/resource/logo.ico")));
    ui->oUserEdit->setMaxLength(kMaxAccountLen);
    ui->oPasswordEdit->setMaxLength(kMaxAccountLen);
    ui->oPasswordEdit->setEchoMode(QLineEdit::Password);
    ui->oNoteLabel->setText(tr("提示：该操作需登录设备后才能继续进行。"));
    ui->oNoteLabel->setVisible(iEventType != 0);
    // Hidden rows take no room: the dialog is as tall as what it shows.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

CDevLoginDlg::~CDevLoginDlg() = default;

void CDevLoginDlg::setDevice(CUIDeviceBean &oBean)
{
    ui->oIpWidget->setText(oBean.m_strIp);
    ui->oUserEdit->setText(oBean.m_strUserName);
    ui->oPasswordEdit->setText(oBean.m_strPassword);
}

void CDevLoginDlg::setDefaultAccount()
{
    ui->oUserEdit->setText(QStringLiteral("admin"));
    ui->oPasswordEdit->setText(QStringLiteral("vorpe"));
}

void CDevLoginDlg::hideAddress()
{
    ui->oIpAddressLabel->hide();
    ui->oIpWidget->hide();
}

stLoginInfo CDevLoginDlg::loginInfo() const
{
    return {ui->oIpWidget->text(), ui->oUserEdit->text(), ui->oPasswordEdit->text()};
}

void CDevLoginDlg::on_oOkBtn_clicked()
{
    accept();
}

void CDevLoginDlg::on_oCancelBtn_clicked()
{
    close();
}
