#include "dev_manageform.h"
#include "ui_dev_manageform.h"

#include "devdiscovery.h"
#include "encodedevmodelex.h"
#include "msgdlg.h"
#include "qnofocusdelegate.h"
#include "searchedit.h"
#include "searcheditbox.h"
#include "setupdlg.h"

#include <QDir>
#include <QHeaderView>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>

Q_LOGGING_CATEGORY(lcDevManage, "corvane.devmanage")

namespace {

constexpr int kRowHeight = 33;
constexpr int kMulticastWaitMs = 500;
constexpr int kSegmentWaitMs = 1500;
constexpr int kProbePauseMs = 500;
// Largest end - begin of a segment search, alone and beside the multicast search.
constexpr quint32 kMaxSpan = 1024;
constexpr quint32 kMaxSpanWithMulticast = 768;

// Dotted quad with decimal octets (leading zeros allowed, never octal).
bool parseIpv4(const QString &strIp, quint32 &uIp)
{
    static const QRegularExpression reIp(QRegularExpression::anchoredPattern(
        QStringLiteral("((2[0-4]\\d|25[0-5]|[01]?\\d\\d?)\\.){3}(2[0-4]\\d|25[0-5]|[01]?\\d\\d?)")));
    if (!reIp.match(strIp).hasMatch())
        return false;
    uIp = 0;
    for (const QString &strPart : strIp.split(QLatin1Char('.')))
        uIp = (uIp << 8) | strPart.toUInt();
    return true;
}

} // namespace

CDevManageForm::CDevManageForm(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CDevManageForm)
{
    ui->setupUi(this);
    ui->oDevTabView->verticalHeader()->setDefaultSectionSize(kRowHeight);

    ensureWorkFolders();

    // Device libraries are initialised here, before the workers exist.

    // Workers and their threads are created and connected here.

    m_pDevDiscovery = new CDevDiscovery;

    m_pSearchTimer = new QTimer(this);
    m_pSearchTimer->setSingleShot(true);
    connect(m_pSearchTimer, &QTimer::timeout, this, &CDevManageForm::onSearchTimer);
    m_pSegmentProbeTimer = new QTimer(this);
    m_pSegmentProbeTimer->setSingleShot(true);
    connect(m_pSegmentProbeTimer, &QTimer::timeout, this, &CDevManageForm::onSegmentProbeTimer);
    // The report timer is created here.

    m_pDevModel = new EncodeDevModelEx(ui->oDevTabView, m_listDev);
    ui->oDevTabView->setModel(m_pDevModel);
    ui->oDevTabView->setItemDelegate(new QNoFocusDelegate(ui->oDevTabView, true, ui->oDevTabView));
    m_pDevModel->setAddressColumn(EncodeDevModelEx::ColIp);
    // The view's sendOpenConfigDlgSignal / sendRemoteSignal are connected here.

    applyColumnFlags();
    applyColumnWidths();
    ui->oDevTabView->setColumnHidden(EncodeDevModelEx::ColUserName, true);
    ui->oDevTabView->setColumnHidden(EncodeDevModelEx::ColPassword, true);
    m_pDevModel->setCheckable(true);
    connect(ui->oDevTabView, &QAbstractItemView::entered, this, &CDevManageForm::mouseEnterEncView);
    connect(ui->oDevTabView->horizontalHeader(), &QHeaderView::sectionPressed, this,
            &CDevManageForm::onEncTableViewHeaderClicked);
    connect(ui->oSearchEdit, &SearchEdit::input_changed, this, &CDevManageForm::onFilter);

    // The context menu is created here.

    m_listDev.clear();
    ui->oDevNumLabel->setText(QStringLiteral("0"));

    on_oRefreshBtn_clicked();

    // The dialogs (batch address, maintenance, daylight saving, configuration) are created here.
}

CDevManageForm::~CDevManageForm()
{
    // Devices are logged out here, before the list goes.
    m_listDev.clear();
    ui->oDevTabView->setModel(nullptr);
    delete m_pDevModel;
    delete m_pDevDiscovery;
}

CUISearchModeBean CDevManageForm::searchMode() const
{
    CUISearchModeBean oMode;
    oMode.bMulticast = m_bMulticast;
    oMode.bSegmentSearch = m_bSegmentSearch;
    oMode.strBeginIP = m_strBeginIP;
    oMode.strEndIP = m_strEndIP;
    return oMode;
}

CUICustomMadeBean CDevManageForm::customMade() const
{
    CUICustomMadeBean oBean;
    oBean.bVersion = m_bShowVersion;
    oBean.bMac = m_bShowMac;
    oBean.bSerial = m_bShowSerial;
    oBean.bGateway = m_bShowGateway;
    oBean.bNetMask = m_bShowNetMask;
    oBean.bStatus = m_bShowStatus;
    return oBean;
}

void CDevManageForm::ensureWorkFolders()
{
    QDir dirWork;
    for (const QString &strFolder : {QStringLiteral("log"), QStringLiteral("DiagnoseInfo")}) {
        if (!dirWork.exists(strFolder) && !dirWork.mkdir(strFolder))
            qCDebug(lcDevManage) << "cannot create folder" << strFolder;
    }
}

void CDevManageForm::applyColumnWidths()
{
    TableViewEx *pView = ui->oDevTabView;
    pView->setColumnWidth(EncodeDevModelEx::ColCheck, 40);
    pView->setColumnWidth(EncodeDevModelEx::ColIp, 110);
    pView->setColumnWidth(EncodeDevModelEx::ColModel, 160);
    pView->setColumnWidth(EncodeDevModelEx::ColVersion, 200);
    pView->setColumnWidth(EncodeDevModelEx::ColMac, 160);
    pView->setColumnWidth(EncodeDevModelEx::ColSerial, 170);
    pView->setColumnWidth(EncodeDevModelEx::ColMask, 110);
    pView->setColumnWidth(EncodeDevModelEx::ColGateway, 110);
    pView->setColumnWidth(EncodeDevModelEx::ColConfig, 110);
}

void CDevManageForm::applyColumnFlags()
{
    TableViewEx *pView = ui->oDevTabView;
    pView->setColumnHidden(EncodeDevModelEx::ColVersion, !m_bShowVersion);
    pView->setColumnHidden(EncodeDevModelEx::ColMac, !m_bShowMac);
    pView->setColumnHidden(EncodeDevModelEx::ColSerial, !m_bShowSerial);
    pView->setColumnHidden(EncodeDevModelEx::ColMask, !m_bShowNetMask);
    pView->setColumnHidden(EncodeDevModelEx::ColGateway, !m_bShowGateway);
    pView->setColumnHidden(EncodeDevModelEx::ColConfig, !m_bShowConfig);
    pView->setColumnHidden(EncodeDevModelEx::ColStatus, !m_bShowStatus);
}

void CDevManageForm::repaintRows(int iRow)
{
    m_pDevModel->updateRows(iRow, iRow);
}

ulong CDevManageForm::on_oRefreshBtn_clicked()
{
    const bool bBusy = std::any_of(m_listDev.cbegin(), m_listDev.cend(), [](const CUIDeviceBean &dev) {
        return CUIDeviceBean::isBusyStatus(dev.m_lStatus);
    });
    if (bBusy && !CMsgDlg::askQuestion(tr("信息"), tr("刷新列表可能会导致正在进行的操作失败，您确定要刷新吗？"), this))
        return 1;

    m_pDevModel->checkedList().clear();
    if (SearchEditBox *pBox = ui->oSearchEdit->findChild<SearchEditBox *>())
        pBox->enterHintMode();

    // Work in progress of the workers is abandoned here.

    for (CUIDeviceBean &dev : m_listDev)
        emit sendLogoutSignal(dev);

    m_listDev.clear();
    m_pDevModel->resetModel();
    ui->oDevNumLabel->setText(QStringLiteral("0"));

    // The workers take new work again from here on.

    m_pSearchTimer->stop();
    m_pSegmentProbeTimer->stop();
    m_pDevDiscovery->attach();
    m_pDevDiscovery->takeResults();

    if (m_bMulticast) {
        m_pDevDiscovery->sendProbe1();
        m_pSearchTimer->start(kMulticastWaitMs);
    }
    if (m_bSegmentSearch) {
        if (m_pSearchTimer->isActive()) {
            // Probe 1 was just sent: probe 2 follows after a pause, and the
            // merge after probe 2.
            m_pSearchTimer->stop();
            m_pSegmentProbeTimer->start(kProbePauseMs);
        } else {
            onSegmentProbeTimer();
        }
    }
    return 0;
}

void CDevManageForm::onSegmentProbeTimer()
{
    m_pDevDiscovery->sendProbe2(m_strBeginIP, m_strEndIP);
    m_pSearchTimer->start(kSegmentWaitMs);
}

void CDevManageForm::onSearchTimer()
{
    m_pSearchTimer->stop();

    // Numbers only grow; the list is sorted by address, so its last entry
    // need not hold the highest number.
    int iCounter = 0;
    for (const CUIDeviceBean &dev : m_listDev)
        iCounter = std::max(iCounter, dev.m_lDevId + 1);

    m_pDevDiscovery->detach();
    // results() copies under the service's own lock.
    const QList<stDiscoveryBean> listFound = m_pDevDiscovery->results();
    for (const stDiscoveryBean &found : listFound) {
        const bool bKnown = !found.strIp.isEmpty()
            && std::any_of(m_listDev.cbegin(), m_listDev.cend(),
                           [&found](const CUIDeviceBean &dev) { return dev.m_strIp == found.strIp; });
        if (bKnown)
            continue;
        ++iCounter;
        CUIDeviceBean dev;
        dev.m_lDevId = iCounter;
        dev.m_cFlagA = 0;
        dev.m_lStatus = DevStatusNotLogged;
        dev.m_strIp = found.strIp;
        dev.m_strModel = found.strModel;
        dev.m_strSerial = found.strSerial;
        dev.m_strMac = found.strMac;
        dev.m_strVersion = found.strVersion;
        dev.m_strUserName = m_strDefaultUser;
        dev.m_strPassword = m_strDefaultPassword;
        m_listDev.append(dev);
    }
    m_pDevModel->resetModel();
    ui->oDevNumLabel->setText(QString::number(m_listDev.size()));
    m_pDevDiscovery->attach();

    m_pDevModel->sort(EncodeDevModelEx::ColIp, ui->oDevTabView->horizontalHeader()->sortIndicatorOrder());
    m_pDevModel->resetModel();
}

void CDevManageForm::onEncTableViewHeaderClicked(int iSection)
{
    if (iSection == EncodeDevModelEx::ColCheck)
        m_pDevModel->toggleSelectAll();
}

void CDevManageForm::mouseEnterEncView(const QModelIndex index)
{
    m_pDevModel->setHoverRow(index.row());
}

void CDevManageForm::getResultSlot(CUIDeviceBean &oBean)
{
    for (int i = 0; i < m_listDev.size(); ++i) {
        CUIDeviceBean &dev = m_listDev[i];
        if (dev.m_strIp != oBean.m_strIp)
            continue;
        dev.m_lStatus = oBean.m_lStatus;
        dev.m_strLoginKey = oBean.m_strLoginKey;
        dev.m_strModel = oBean.m_strModel;
        dev.m_strVersion = oBean.m_strVersion;
        dev.m_strDevType = oBean.m_strDevType;
        dev.m_strSerial = oBean.m_strSerial;
        dev.m_strMac = oBean.m_strMac;
        dev.m_strMask = oBean.m_strMask;
        dev.m_strGateway = oBean.m_strGateway;
        dev.m_strExtSerial = oBean.m_strExtSerial;
        repaintRows(i);
    }
}

void CDevManageForm::onFilter(QString strText)
{
    ui->oDevNumLabel->setText(QString::number(m_pDevModel->filter(strText)));
}

void CDevManageForm::on_oSetupBtn_clicked()
{
    QScopedPointer<CSetupDlg> pDlg(new CSetupDlg);
    pDlg->setSearchMode(searchMode());
    pDlg->setCustomMade(customMade());
    if (pDlg->exec() != QDialog::Accepted)
        return;
    CUICustomMadeBean oColumns = pDlg->getCustomMade();
    const CUISearchModeBean oMode = pDlg->getSearchMode();
    pDlg.reset();

    oCustomMadeTable(oColumns);
    applySearchMode(oMode);
}

ulong CDevManageForm::applySearchMode(const CUISearchModeBean &oMode)
{
    m_bMulticast = oMode.bMulticast;
    if (!oMode.bSegmentSearch) {
        m_bSegmentSearch = false;
        return 0;
    }

    quint32 uBegin = 0;
    quint32 uEnd = 0;
    if (!parseIpv4(oMode.strBeginIP, uBegin)) {
        CMsgDlg::showMsg(tr("错误"), tr("起始IP地址格式错误，请输入有效IP地址。"), MsgError, this);
        return 1;
    }
    if (!parseIpv4(oMode.strEndIP, uEnd)) {
        CMsgDlg::showMsg(tr("错误"), tr("结束IP地址格式错误，请输入有效IP地址。"), MsgError, this);
        return 1;
    }
    if (uBegin > uEnd) {
        CMsgDlg::showMsg(tr("错误"), tr("起始地址不能大于结束地址。"), MsgError, this);
        return 1;
    }
    if (uEnd - uBegin > (oMode.bMulticast ? kMaxSpanWithMulticast : kMaxSpan)) {
        CMsgDlg::showMsg(tr("信息"), tr("搜索设备数量应小于1024。"), MsgNote, this);
        return 1;
    }
    m_strBeginIP = oMode.strBeginIP;
    m_strEndIP = oMode.strEndIP;
    m_bSegmentSearch = true;
    return 0;
}

void CDevManageForm::oCustomMadeTable(CUICustomMadeBean &oBean)
{
    m_bShowVersion = oBean.bVersion;
    m_bShowMac = oBean.bMac;
    m_bShowSerial = oBean.bSerial;
    m_bShowGateway = oBean.bGateway;
    m_bShowNetMask = oBean.bNetMask;
    m_bShowStatus = oBean.bStatus;
    applyColumnFlags();
    applyColumnWidths();
}

void CDevManageForm::getModifyRltSlot(CBatchEditNetAddrBean &oNetAddrBean)
{
    for (int i = 0; i < m_listDev.size(); ++i) {
        CUIDeviceBean &dev = m_listDev[i];
        if (dev.m_strIp != oNetAddrBean.m_strOldIp)
            continue;
        if (oNetAddrBean.m_lResult == DevStatusModifyOk) {
            dev.m_strIp = oNetAddrBean.m_strNewIp;
            dev.m_strGateway = oNetAddrBean.m_strGateway;
            dev.m_strMask = oNetAddrBean.m_strMask;
        }
        dev.m_lStatus = oNetAddrBean.m_lResult;
        emit sendModifyRltSignal(oNetAddrBean);
        repaintRows(i);
    }
}

void CDevManageForm::sendDev2CapSlot()
{
    emit sendDev2CapSignal(m_listDev);
}
