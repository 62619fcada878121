#include "dev_editnetaddrdlg.h"
#include "ui_dev_editnetaddrdlg.h"
#include "dialogframe.h"
#include "ipv4.h"
#include "msgdlg.h"

CEditNetworkAddrDlg::CEditNetworkAddrDlg(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CEditNetworkAddrDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    CDialogFrame::decorate(this);
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

QString CEditNetworkAddrDlg::inputProblem(QWidget **ppField) const
{
    const stNetAddrInfo addr = addresses();
    struct Field { QWidget *pWidget; QString strName; QString strValue; bool bValid; };
    const Field fields[] = {
        {ui->oIpWidget, ui->oIpLabel->text(), addr.strIp, Ipv4::isUsableHost(addr.strIp)},
        {ui->oMaskAddrWidget, ui->oMaskLabel->text(), addr.strMask, Ipv4::isValidMask(addr.strMask)},
        {ui->oGateWayWidget, ui->oGateWayLabel->text(), addr.strGateway,
         Ipv4::isValidGateway(addr.strGateway, addr.strIp, addr.strMask)},
    };
    for (const Field &field : fields) {
        if (field.bValid)
            continue;
        *ppField = field.pWidget;
        if (field.strValue.isEmpty())
            return tr("请填写%1。").arg(field.strName);
        if (field.pWidget == ui->oGateWayWidget)
            return tr("%1 %2 不在该地址的子网中。").arg(field.strName, field.strValue);
        return tr("%1 %2 无效。").arg(field.strName, field.strValue);
    }
    return QString();
}

void CEditNetworkAddrDlg::on_oOkBtn_clicked()
{
    // The device refuses an incomplete address with a bare error code, so the
    // field at fault is named here before anything is sent.
    QWidget *pField = nullptr;
    const QString strProblem = inputProblem(&pField);
    if (!strProblem.isEmpty()) {
        CMsgDlg::showMsg(tr("信息"), strProblem, CMsgDlg::MsgWarning, this);
        pField->setFocus();
        return;
    }
    accept();
}

void CEditNetworkAddrDlg::on_oCancelBtn_clicked()
{
    close();
}
