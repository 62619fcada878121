#include "setupdlg.h"
#include "ui_setupdlg.h"

CSetupDlg::CSetupDlg(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CSetupDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    setFixedSize(440, 380);
    connect(ui->oCondSearchCheck, &QCheckBox::clicked, ui->oBeginIPWidget, &QWidget::setEnabled);
    connect(ui->oCondSearchCheck, &QCheckBox::clicked, ui->oEndIPWidget, &QWidget::setEnabled);
}

CSetupDlg::~CSetupDlg() = default;

void CSetupDlg::setSearchMode(const CUISearchModeBean &oBean)
{
    ui->oAutoSearchCheck->setCheckState(oBean.bMulticast ? Qt::Checked : Qt::Unchecked);
    ui->oCondSearchCheck->setCheckState(oBean.bSegmentSearch ? Qt::Checked : Qt::Unchecked);
    ui->oBeginIPWidget->setEnabled(oBean.bSegmentSearch);
    ui->oEndIPWidget->setEnabled(oBean.bSegmentSearch);
    ui->oBeginIPWidget->setText(oBean.strBeginIP);
    ui->oEndIPWidget->setText(oBean.strEndIP);
}

CUISearchModeBean CSetupDlg::getSearchMode() const
{
    CUISearchModeBean oBean;
    oBean.bMulticast = ui->oAutoSearchCheck->checkState() != Qt::Unchecked;
    oBean.bSegmentSearch = ui->oCondSearchCheck->checkState() != Qt::Unchecked;
    oBean.strBeginIP = ui->oBeginIPWidget->text();
    oBean.strEndIP = ui->oEndIPWidget->text();
    return oBean;
}

void CSetupDlg::setCustomMade(const CUICustomMadeBean &oBean)
{
    ui->oVersionCheck->setCheckState(oBean.bVersion ? Qt::Checked : Qt::Unchecked);
    ui->oMacAddrCheck->setCheckState(oBean.bMac ? Qt::Checked : Qt::Unchecked);
    ui->oSerialCheck->setCheckState(oBean.bSerial ? Qt::Checked : Qt::Unchecked);
    ui->oGateWayCheck->setCheckState(oBean.bGateway ? Qt::Checked : Qt::Unchecked);
    ui->oNetMaskCheck->setCheckState(oBean.bNetMask ? Qt::Checked : Qt::Unchecked);
    ui->oStatusCheck->setCheckState(oBean.bStatus ? Qt::Checked : Qt::Unchecked);
}

CUICustomMadeBean CSetupDlg::getCustomMade() const
{
    CUICustomMadeBean oBean;
    oBean.bVersion = ui->oVersionCheck->checkState() != Qt::Unchecked;
    oBean.bMac = ui->oMacAddrCheck->checkState() != Qt::Unchecked;
    oBean.bSerial = ui->oSerialCheck->checkState() != Qt::Unchecked;
    oBean.bGateway = ui->oGateWayCheck->checkState() != Qt::Unchecked;
    oBean.bNetMask = ui->oNetMaskCheck->checkState() != Qt::Unchecked;
    oBean.bStatus = ui->oStatusCheck->checkState() != Qt::Unchecked;
    return oBean;
}

void CSetupDlg::on_oOkBtn_clicked()
{
    accept();
}

void CSetupDlg::on_oCancelBtn_clicked()
{
    close();
}
