#include "dev_networkcfgform.h"
#include "ui_dev_networkcfgform.h"

#include "cfgreport.h"
#include "devcapability.h"
#include "devsession.h"
#include "devtext.h"
#include "ipv4.h"
#include "msgdlg.h"

#include "zelt_mw_sdk.h"

#include <QLoggingCategory>
#include <QRegExpValidator>

#include <algorithm>
#include <cstring>
#include <iterator>

Q_LOGGING_CATEGORY(lcNetworkCfg, "corvane.remotecfg.network")

namespace {

enum EIpType { IpTypeStatic = 0, IpTypePppoe = 1, IpTypeDhcp = 2 };

const char *const kIpTypeTexts[] = {
    QT_TRANSLATE_NOOP("CNetworkCfgForm", "静态地址(手动)"),
    QT_TRANSLATE_NOOP("CNetworkCfgForm", "PPPOE"),
    QT_TRANSLATE_NOOP("CNetworkCfgForm", "DHCP"),
};

const char *const kWorkModeTexts[] = {
    QT_TRANSLATE_NOOP("CNetworkCfgForm", "自协商"),
    QT_TRANSLATE_NOOP("CNetworkCfgForm", "10M 全双工"),
    QT_TRANSLATE_NOOP("CNetworkCfgForm", "10M 半双工"),
    QT_TRANSLATE_NOOP("CNetworkCfgForm", "100M 全双工"),
    QT_TRANSLATE_NOOP("CNetworkCfgForm", "100M 半双工"),
    QT_TRANSLATE_NOOP("CNetworkCfgForm", "1000M 全双工"),
    QT_TRANSLATE_NOOP("CNetworkCfgForm", "10M 自协商"),
    QT_TRANSLATE_NOOP("CNetworkCfgForm", "100M 自协商"),
    QT_TRANSLATE_NOOP("CNetworkCfgForm", "1000M 自协商"),
};

const char *const kPortTypeTexts[] = {
    QT_TRANSLATE_NOOP("CNetworkCfgForm", "电口"),
    QT_TRANSLATE_NOOP("CNetworkCfgForm", "SFP光口"),
    QT_TRANSLATE_NOOP("CNetworkCfgForm", "EPON光口"),
    QT_TRANSLATE_NOOP("CNetworkCfgForm", "LRE电口"),
};

constexpr int kMtuMin = 576;
constexpr int kMtuMax = 1500;
constexpr int kPortMin = 1;
constexpr int kPortMax = 65535;
// User names and passwords: room for the text and its terminating zero.
constexpr int kAccountMaxChars = 32;

// A server address may be left empty (or all zero); anything typed must be
// a whole address a server can have.
bool isEmptyOrUsableServer(const IpWidget *pWidget)
{
    const QString strRaw = pWidget->rawText();
    quint32 uHost = 1;
    if (strRaw == QLatin1String("...") || (Ipv4::parse(strRaw, uHost) && uHost == 0))
        return true;
    return Ipv4::isUsableHost(strRaw);
}

void setRowsVisible(std::initializer_list<QWidget *> widgets, bool bVisible)
{
    for (QWidget *pWidget : widgets)
        pWidget->setVisible(bVisible);
}

void selectByData(QComboBox *pCombo, int nValue)
{
    pCombo->setCurrentIndex(pCombo->findData(nValue));
}

template <std::size_t N>
QString textAt(const std::array<char, N> &cfg, std::size_t iOffset, std::size_t iLen)
{
    return DevText::fromBuffer(cfg.data() + iOffset, iLen);
}

template <std::size_t N>
void putText(std::array<char, N> &cfg, std::size_t iOffset, std::size_t iLen, const QString &strText)
{
    DevText::toBuffer(strText, cfg.data() + iOffset, iLen);
}

} // namespace

CNetworkCfgForm::CNetworkCfgForm(const CUIDeviceBean &oBean, QList<stDevCapacityInfo> *pCapList,
                                 QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CNetworkCfgForm)
    , m_devBean(oBean)
{
    ui->setupUi(this);
    m_pReport = new CCfgReport(ui->oReportFrame, ui->oIconLabel, ui->oReportLabel, this);
    m_saveTimer.setSingleShot(true);
    if (pCapList)
        m_capList = *pCapList;

    const QRegExp digits(QStringLiteral("^[0-9]*[1-9][0-9]*$"));
    for (QLineEdit *pEdit : {ui->oMTUEdit, ui->oHttpPortEdit, ui->oHttpsPortEdit})
        pEdit->setValidator(new QRegExpValidator(digits, pEdit));
    ui->oMTUEdit->setMaxLength(4);
    ui->oHttpPortEdit->setMaxLength(5);
    ui->oHttpsPortEdit->setMaxLength(5);
    for (QLineEdit *pEdit : {ui->oUserNameEdit, ui->oPassWordEdit, ui->oNTXUserNameEdit, ui->oNTXPassWordEdit})
        pEdit->setMaxLength(kAccountMaxChars);

    // Rows appear as the capability document and the address mode call for them.
    setRowsVisible({ui->oIpAddrLabel, ui->oIpAddrWidget, ui->oSubnetLabel, ui->oSubnetWidget, ui->oGatewayLabel,
                    ui->oGatewayWidget, ui->oMTULabel, ui->oMTUEdit, ui->oMTUHintLabel, ui->oUserNameLabel,
                    ui->oUserNameEdit, ui->oPassWordLabel, ui->oPassWordEdit, ui->oNTXGroup,
                    ui->oPortTypeLabel, ui->oPortTypeCombo, ui->oOperateModeLabel, ui->oOperateModeCombo},
                   false);
    for (int nMode = IpTypeStatic; nMode <= IpTypeDhcp; ++nMode)
        ui->oIPTypeCombo->addItem(tr(kIpTypeTexts[nMode]), nMode);

    parseCapability();
    setNetworkDefault();
    setNTXDefault();
    setDNSDefault();
    setPortDefault();

    connect(this, &CNetworkCfgForm::sendReportSignal, this, &CNetworkCfgForm::showReportSlot);
    connect(m_pReport->timer(), &QTimer::timeout, this, &CNetworkCfgForm::onShowReportTimer);
    connect(&m_saveTimer, &QTimer::timeout, this, &CNetworkCfgForm::onNetworkCfgTimer);
}

CNetworkCfgForm::~CNetworkCfgForm() = default;

void CNetworkCfgForm::parseCapability()
{
    QString strText;
    if (DevCapability::find(m_capList, QStringLiteral("Mode"), &strText, QStringLiteral("IPType"))) {
        ui->oIPTypeCombo->clear();
        for (int nMode : DevCapability::intList(strText)) {
            if (nMode >= IpTypeStatic && nMode <= IpTypeDhcp && ui->oIPTypeCombo->findData(nMode) < 0)
                ui->oIPTypeCombo->addItem(tr(kIpTypeTexts[nMode]), nMode);
        }
    }
    if (DevCapability::find(m_capList, QStringLiteral("PortMode"))) {
        setRowsVisible({ui->oPortTypeLabel, ui->oPortTypeCombo}, true);
        for (int nType = 0; nType < int(std::size(kPortTypeTexts)); ++nType)
            ui->oPortTypeCombo->addItem(tr(kPortTypeTexts[nType]), nType);
        ui->oPortTypeCombo->setEnabled(false);
    }
    if (DevCapability::find(m_capList, QStringLiteral("WorkMode"), &strText)) {
        setRowsVisible({ui->oOperateModeLabel, ui->oOperateModeCombo}, true);
        for (int nMode : DevCapability::intList(strText)) {
            if (nMode >= 0 && nMode < int(std::size(kWorkModeTexts)) && ui->oOperateModeCombo->findData(nMode) < 0)
                ui->oOperateModeCombo->addItem(tr(kWorkModeTexts[nMode]), nMode);
        }
    }
}

DWORD CNetworkCfgForm::getNetworkParam(DWORD ulCmd)
{
    char *pBuf = nullptr;
    std::size_t iSize = 0;
    switch (ulCmd) {
    case ZELT_MW_NETWORK_INTERFACE_CFG: pBuf = m_netIfCfg.data(); iSize = m_netIfCfg.size(); break;
    case ZELT_MW_NTX_CFG: pBuf = m_ntxCfg.data(); iSize = m_ntxCfg.size(); break;
    case ZELT_MW_PORT_CFG: pBuf = m_portCfg.data(); iSize = m_portCfg.size(); break;
    case ZELT_MW_DNS_SERVER_CFG: pBuf = m_dnsCfg.data(); iSize = m_dnsCfg.size(); break;
    default: return 0;
    }
    std::memset(pBuf, 0, iSize);
    QByteArray cfg;
    QString strReason;
    const DWORD ulResult = DevSession::readConfig(m_devBean, ulCmd, cfg, strReason);
    // Whatever a failed read left behind is not the device's.
    if (ulResult == 0)
        std::memcpy(pBuf, cfg.constData(), std::min(iSize, std::size_t(cfg.size())));
    else
        qCDebug(lcNetworkCfg) << "read" << ulCmd << "failed:" << strReason;
    return ulResult;
}

void CNetworkCfgForm::setNetworkDefault()
{
    if (getNetworkParam(ZELT_MW_NETWORK_INTERFACE_CFG) != 0) {
        m_bNetIfRead = false;
        qCDebug(lcNetworkCfg) << "ZELT_MW_GetConfig ZELT_MW_NETWORK_INTERFACE_CFG failed!";
    }
    m_nIpType = static_cast<int>(zelt_get_u32(m_netIfCfg.data(), ZELT_NETIF_MODE));
    selectByData(ui->oIPTypeCombo, m_nIpType);
    applyIpTypeVisibility();
    connect(ui->oIPTypeCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &CNetworkCfgForm::ipTypeChangedSlot);

    ui->oIpAddrWidget->setText(textAt(m_netIfCfg, ZELT_NETIF_IP, ZELT_NETIF_ADDR_LEN));
    ui->oSubnetWidget->setText(textAt(m_netIfCfg, ZELT_NETIF_MASK, ZELT_NETIF_ADDR_LEN));
    ui->oGatewayWidget->setText(textAt(m_netIfCfg, ZELT_NETIF_GATEWAY, ZELT_NETIF_ADDR_LEN));
    m_nLastMtu = static_cast<int>(zelt_get_u32(m_netIfCfg.data(), ZELT_NETIF_MTU));
    ui->oMTUEdit->setText(QString::number(m_nLastMtu));
    ui->oUserNameEdit->setText(textAt(m_netIfCfg, ZELT_NETIF_PPPOE_USER, ZELT_NETIF_PPPOE_USER_LEN));
    ui->oPassWordEdit->setText(textAt(m_netIfCfg, ZELT_NETIF_PPPOE_PASSWORD, ZELT_NETIF_PPPOE_PASSWORD_LEN));
    selectByData(ui->oOperateModeCombo,
                 static_cast<int>(zelt_get_u32(m_netIfCfg.data(), ZELT_NETIF_WORK_MODE)));
    connect(ui->oMTUEdit, &QLineEdit::editingFinished, this, &CNetworkCfgForm::mtuEditSlot);
}

void CNetworkCfgForm::setNTXDefault()
{
    if (getNetworkParam(ZELT_MW_NTX_CFG) != 0) {
        m_bNTXRead = false;
        ui->oNTXGroup->hide();
        qCDebug(lcNetworkCfg) << "ZELT_MW_GetConfig ZELT_MW_NTX_CFG failed!";
    }
    ui->oEnableNTXCheck->setChecked(zelt_get_u32(m_ntxCfg.data(), ZELT_NTX_ENABLED) != 0);
    ui->oNTXServerAddrWidget->setText(textAt(m_ntxCfg, ZELT_NTX_SERVER, ZELT_NTX_SERVER_LEN));
    const bool bAuth = zelt_get_u32(m_ntxCfg.data(), ZELT_NTX_AUTH) != 0;
    ui->oIdentifyTrueRadio->setChecked(bAuth);
    ui->oIdentifyFalseRadio->setChecked(!bAuth);
    ui->oNTXUserNameEdit->setText(textAt(m_ntxCfg, ZELT_NTX_USER, ZELT_NTX_USER_LEN));
    ui->oNTXPassWordEdit->setText(textAt(m_ntxCfg, ZELT_NTX_PASSWORD, ZELT_NTX_PASSWORD_LEN));
}

void CNetworkCfgForm::setDNSDefault()
{
    if (getNetworkParam(ZELT_MW_DNS_SERVER_CFG) != 0) {
        m_bDNSRead = false;
        ui->oDNSGroup->hide();
        qCDebug(lcNetworkCfg) << "ZELT_MW_GetConfig ZELT_MW_DNS_SERVER_CFG failed!";
    }
    ui->oPrefDNSAddrWidget->setText(textAt(m_dnsCfg, ZELT_DNS_PREFERRED, ZELT_DNS_ADDR_LEN));
    ui->oAlterDNSAddrWidget->setText(textAt(m_dnsCfg, ZELT_DNS_ALTERNATE, ZELT_DNS_ADDR_LEN));
}

void CNetworkCfgForm::setPortDefault()
{
    if (getNetworkParam(ZELT_MW_PORT_CFG) != 0) {
        m_bPortRead = false;
        ui->oPortGroup->hide();
        qCDebug(lcNetworkCfg) << "ZELT_MW_GetConfig ZELT_MW_PORT_CFG failed!";
    }
    m_nLastHttpPort = zelt_get_u16(m_portCfg.data(), ZELT_PORT_HTTP);
    m_nLastHttpsPort = zelt_get_u16(m_portCfg.data(), ZELT_PORT_HTTPS);
    ui->oHttpPortEdit->setText(QString::number(m_nLastHttpPort));
    ui->oHttpsPortEdit->setText(QString::number(m_nLastHttpsPort));
    connect(ui->oHttpPortEdit, &QLineEdit::editingFinished, this, &CNetworkCfgForm::httpEditSlot);
    connect(ui->oHttpsPortEdit, &QLineEdit::editingFinished, this, &CNetworkCfgForm::httpsEditSlot);
}

void CNetworkCfgForm::applyIpTypeVisibility()
{
    setRowsVisible({ui->oIpAddrLabel, ui->oIpAddrWidget, ui->oSubnetLabel, ui->oSubnetWidget, ui->oGatewayLabel,
                    ui->oGatewayWidget, ui->oMTULabel, ui->oMTUEdit, ui->oMTUHintLabel},
                   m_nIpType == IpTypeStatic);
    setRowsVisible({ui->oUserNameLabel, ui->oUserNameEdit, ui->oPassWordLabel, ui->oPassWordEdit},
                   m_nIpType == IpTypePppoe);
    // An NTX structure that could not be read is never written: keep its group away.
    ui->oNTXGroup->setVisible(m_nIpType == IpTypeStatic && m_bNTXRead);
}

void CNetworkCfgForm::showReportSlot(QString strResult, ULONG ulResult)
{
    m_pReport->show(strResult, ulResult);
}

void CNetworkCfgForm::onShowReportTimer()
{
    m_pReport->clear();
}

void CNetworkCfgForm::ipTypeChangedSlot(int nIndex)
{
    if (nIndex >= 0)
        m_nIpType = ui->oIPTypeCombo->itemData(nIndex).toInt();
    applyIpTypeVisibility();
}

bool CNetworkCfgForm::checkNumberEdit(QLineEdit *pEdit, int nLow, int nHigh, int &nLastAccepted)
{
    bool bOk = false;
    const int nValue = pEdit->text().toInt(&bOk);
    if (bOk && nValue >= nLow && nValue <= nHigh) {
        nLastAccepted = nValue;
        return true;
    }
    pEdit->setText(QString::number(nLastAccepted));
    const QString strNote = pEdit == ui->oMTUEdit ? tr("有效范围为576~1500的整数，请重新输入。")
                                                  : tr("有效范围为1~65535的整数，请重新输入。");
    CMsgDlg::showMsg(tr("信息"), strNote, MsgNote, this);
    return false;
}

void CNetworkCfgForm::mtuEditSlot()
{
    checkNumberEdit(ui->oMTUEdit, kMtuMin, kMtuMax, m_nLastMtu);
}

void CNetworkCfgForm::httpEditSlot()
{
    checkNumberEdit(ui->oHttpPortEdit, kPortMin, kPortMax, m_nLastHttpPort);
}

void CNetworkCfgForm::httpsEditSlot()
{
    checkNumberEdit(ui->oHttpsPortEdit, kPortMin, kPortMax, m_nLastHttpsPort);
}

QString CNetworkCfgForm::staticAddressProblem() const
{
    // Raw texts: a half-filled field is no address (text() would read it as 0).
    const QString strIp = ui->oIpAddrWidget->rawText();
    const QString strMask = ui->oSubnetWidget->rawText();
    const QString strGateway = ui->oGatewayWidget->rawText();
    if (ui->oIpAddrWidget->text().isEmpty() || !Ipv4::isUsableHost(strIp))
        return tr("IP地址无效，请重新输入。");
    if (!Ipv4::isValidMask(strMask))
        return tr("子网掩码无效，请重新输入。");
    if (!Ipv4::isHostInSubnet(strIp, strMask))
        return tr("IP地址不能是网络地址或广播地址，请重新输入。");
    if (!Ipv4::isValidGateway(strGateway, strIp, strMask))
        return tr("默认网关无效或与IP地址不在同一网段，请重新输入。");
    return QString();
}

QString CNetworkCfgForm::serverAddressProblem() const
{
    if (m_bDNSRead && !isEmptyOrUsableServer(ui->oPrefDNSAddrWidget))
        return tr("首选DNS服务器地址无效，请重新输入。");
    if (m_bDNSRead && !isEmptyOrUsableServer(ui->oAlterDNSAddrWidget))
        return tr("备选DNS服务器地址无效，请重新输入。");
    if (m_bNTXRead && !isEmptyOrUsableServer(ui->oNTXServerAddrWidget))
        return tr("NTX服务器地址无效，请重新输入。");
    return QString();
}

void CNetworkCfgForm::on_oSaveBtn_clicked()
{
    // Edits left empty or at zero never finished editing; check them again.
    // The MTU row belongs to the static mode; hidden, it goes back as read.
    if (m_bNetIfRead && m_nIpType == IpTypeStatic
        && !checkNumberEdit(ui->oMTUEdit, kMtuMin, kMtuMax, m_nLastMtu))
        return;
    if (m_bPortRead
        && (!checkNumberEdit(ui->oHttpPortEdit, kPortMin, kPortMax, m_nLastHttpPort)
            || !checkNumberEdit(ui->oHttpsPortEdit, kPortMin, kPortMax, m_nLastHttpsPort)))
        return;
    QString strProblem;
    if (m_bNetIfRead && m_nIpType == IpTypeStatic)
        strProblem = staticAddressProblem();
    if (strProblem.isEmpty())
        strProblem = serverAddressProblem();
    if (!strProblem.isEmpty()) {
        CMsgDlg::showMsg(tr("信息"), strProblem, MsgNote, this);
        return;
    }
    if (!CMsgDlg::askQuestion(tr("信息"), tr("修改网络参数可能会导致网络中断，真的要修改吗？"), this))
        return;
    ui->oSaveBtn->setEnabled(false);
    m_saveTimer.start(50);
}

void CNetworkCfgForm::collectStructures()
{
    putText(m_dnsCfg, ZELT_DNS_PREFERRED, ZELT_DNS_ADDR_LEN, ui->oPrefDNSAddrWidget->text());
    putText(m_dnsCfg, ZELT_DNS_ALTERNATE, ZELT_DNS_ADDR_LEN, ui->oAlterDNSAddrWidget->text());

    zelt_put_u32(m_ntxCfg.data(), ZELT_NTX_ENABLED, ui->oEnableNTXCheck->isChecked() ? 1 : 0);
    putText(m_ntxCfg, ZELT_NTX_SERVER, ZELT_NTX_SERVER_LEN, ui->oNTXServerAddrWidget->text());
    zelt_put_u32(m_ntxCfg.data(), ZELT_NTX_AUTH, ui->oIdentifyTrueRadio->isChecked() ? 1 : 0);
    putText(m_ntxCfg, ZELT_NTX_USER, ZELT_NTX_USER_LEN, ui->oNTXUserNameEdit->text());
    putText(m_ntxCfg, ZELT_NTX_PASSWORD, ZELT_NTX_PASSWORD_LEN, ui->oNTXPassWordEdit->text());

    zelt_put_u16(m_portCfg.data(), ZELT_PORT_HTTPS, static_cast<quint16>(ui->oHttpsPortEdit->text().toUInt()));
    zelt_put_u16(m_portCfg.data(), ZELT_PORT_HTTP, static_cast<quint16>(ui->oHttpPortEdit->text().toUInt()));
}

void CNetworkCfgForm::onNetworkCfgTimer()
{
    m_saveTimer.stop();
    collectStructures();

    // The interface is filled into a copy: m_netIfCfg stays what the device
    // holds until the write succeeds.
    std::array<char, ZELT_NETIF_SIZE> netIf = m_netIfCfg;
    zelt_put_u32(netIf.data(), ZELT_NETIF_MODE, static_cast<quint32>(m_nIpType));
    putText(netIf, ZELT_NETIF_IP, ZELT_NETIF_ADDR_LEN, ui->oIpAddrWidget->text());
    putText(netIf, ZELT_NETIF_MASK, ZELT_NETIF_ADDR_LEN, ui->oSubnetWidget->text());
    putText(netIf, ZELT_NETIF_GATEWAY, ZELT_NETIF_ADDR_LEN, ui->oGatewayWidget->text());
    if (m_nIpType == IpTypeStatic)
        zelt_put_u32(netIf.data(), ZELT_NETIF_MTU, ui->oMTUEdit->text().toUInt());
    putText(netIf, ZELT_NETIF_PPPOE_USER, ZELT_NETIF_PPPOE_USER_LEN, ui->oUserNameEdit->text());
    putText(netIf, ZELT_NETIF_PPPOE_PASSWORD, ZELT_NETIF_PPPOE_PASSWORD_LEN, ui->oPassWordEdit->text());
    // No valid choice in the combo: the device's own value goes back.
    if (ui->oOperateModeCombo->currentIndex() >= 0)
        zelt_put_u32(netIf.data(), ZELT_NETIF_WORK_MODE,
                     ui->oOperateModeCombo->currentData().toUInt());

    DWORD ulFirstError = 0;
    QString strFirstReason;
    auto write = [&](DWORD ulCmd, const auto &cfg, const char *pName) {
        QString strReason;
        const DWORD ulResult = DevSession::writeConfig(
            m_devBean, ulCmd, QByteArray(cfg.data(), static_cast<int>(cfg.size())), strReason);
        if (ulResult != 0) {
            qCDebug(lcNetworkCfg) << "write" << pName << "failed:" << strReason;
            if (ulFirstError == 0) {
                ulFirstError = ulResult;
                strFirstReason = strReason;
            }
        }
        return ulResult == 0;
    };
    if (m_bDNSRead)
        write(ZELT_MW_DNS_SERVER_CFG, m_dnsCfg, "ZELT_MW_DNS_SERVER_CFG");
    if (m_bNTXRead)
        write(ZELT_MW_NTX_CFG, m_ntxCfg, "ZELT_MW_NTX_CFG");
    if (m_bPortRead)
        write(ZELT_MW_PORT_CFG, m_portCfg, "ZELT_MW_PORT_CFG");

    // A zero-filled interface would set a static address of nothing.
    bool bInterfaceWritten = false;
    if (m_bNetIfRead && write(ZELT_MW_NETWORK_INTERFACE_CFG, netIf, "ZELT_MW_NETWORK_INTERFACE_CFG")) {
        bInterfaceWritten = true;
        const int nOldType = static_cast<int>(zelt_get_u32(m_netIfCfg.data(), ZELT_NETIF_MODE));
        m_netIfCfg = netIf;
        const QString strNewIp = textAt(netIf, ZELT_NETIF_IP, ZELT_NETIF_ADDR_LEN);
        if (m_nIpType == IpTypeStatic && strNewIp != m_devBean.m_strIp) {
            m_bAddressMoved = true;
            emit sendDevAddrChangedSignal(m_devBean.m_strIp, strNewIp);
        } else if (m_nIpType != IpTypeStatic && m_nIpType != nOldType) {
            m_bAddressMoved = true;
            emit sendDevAddrChangedSignal(m_devBean.m_strIp, QString());
        }
    }
    reportSaveResult(ulFirstError, strFirstReason, bInterfaceWritten);
}

void CNetworkCfgForm::reportSaveResult(DWORD ulFirstError, const QString &strFirstReason, bool bInterfaceWritten)
{
    QString strResult;
    ULONG ulResult = ulFirstError;
    if (!m_bNetIfRead) {
        strResult = tr("设置参数失败！") + tr("网络接口参数读取失败，未写入。");
        if (ulResult == 0)
            ulResult = 1;
    } else {
        strResult = ulFirstError != 0 ? tr("设置参数失败！") + strFirstReason : tr("设置参数成功！");
    }
    if (bInterfaceWritten && m_bAddressMoved) {
        const QString strNewIp = textAt(m_netIfCfg, ZELT_NETIF_IP, ZELT_NETIF_ADDR_LEN);
        strResult += m_nIpType == IpTypeStatic ? tr("设备地址已改为%1，请刷新设备列表。").arg(strNewIp)
                                               : tr("设备地址可能已改变，请刷新设备列表。");
    }
    // The session still points at the old address; another save would go nowhere.
    ui->oSaveBtn->setEnabled(!m_bAddressMoved);
    emit sendReportSignal(strResult, ulResult);
}
