#include "dev_manageform.h"
#include "ui_dev_manageform.h"

#include "apppaths.h"
#include "cfgselection.h"
#include "dev_batchcfgdlg.h"
#include "dev_batcheditaddrdlg.h"
#include "dev_devcfgdlg.h"
#include "dev_dstcfgdlg.h"
#include "dev_editnetaddrdlg.h"
#include "dev_logindlg.h"
#include "dev_resetpasswddlg.h"
#include "devcapability.h"
#include "devdiscovery.h"
#include "devlibraries.h"
#include "devlistmerge.h"
#include "devrequests.h"
#include "devsession.h"
#include "encodedevmodelex.h"
#include "ipv4.h"
#include "msgdlg.h"
#include "platformutils.h"
#include "qnofocusdelegate.h"
#include "searchedit.h"
#include "searcheditbox.h"
#include "setupdlg.h"
#include "thread_devcmd.h"
#include "thread_devlogin.h"
#include "thread_getcap.h"
#include "thread_maintain.h"
#include "thread_modifyip.h"
#include "upgradedlg.h"
#include "waitdlg.h"
#include "workerregistry.h"

#include <QAction>
#include <QCursor>
#include <QDir>
#include <QHeaderView>
#include <QLoggingCategory>
#include <QMenu>
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
constexpr int kRestartReportMs = 3000;
// The whole wait for the logouts at exit, however many devices are silent.
constexpr unsigned long kExitLogoutMs = 1000;

} // namespace

const std::array<CDevManageForm::ResumeCommand, CDevManageForm::EventRestart + 1> CDevManageForm::kResumeCommands = {{
    nullptr,
    &CDevManageForm::on_oDSTBtn_clicked,
    &CDevManageForm::on_oUpgradeBtn_clicked,
    &CDevManageForm::on_oBatchCfgBtn_clicked,
    &CDevManageForm::configAfterLogin,
    &CDevManageForm::restartAfterLogin,
}};

CDevManageForm::CDevManageForm(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CDevManageForm)
{
    ui->setupUi(this);
    ui->oDevTabView->verticalHeader()->setDefaultSectionSize(kRowHeight);

    ensureWorkFolders();

    m_pLibraries.reset(new CDevLibraries(CAppPaths::instance().workFolder(QStringLiteral("log")) + QLatin1Char('/')));
    connect(m_pLibraries.get(), &CDevLibraries::sendUpgradeEventSignal, this, &CDevManageForm::onUpgradeEvent,
            Qt::QueuedConnection);

    createWorkers();

    m_pDevDiscovery = new CDevDiscovery;

    m_pSearchTimer = new QTimer(this);
    m_pSearchTimer->setSingleShot(true);
    connect(m_pSearchTimer, &QTimer::timeout, this, &CDevManageForm::onSearchTimer);
    m_pSegmentProbeTimer = new QTimer(this);
    m_pSegmentProbeTimer->setSingleShot(true);
    connect(m_pSegmentProbeTimer, &QTimer::timeout, this, &CDevManageForm::onSegmentProbeTimer);
    m_pReportTimer = new QTimer(this);
    m_pReportTimer->setSingleShot(true);
    connect(m_pReportTimer, &QTimer::timeout, this, &CDevManageForm::onReportTimer);

    m_pDevModel = new EncodeDevModelEx(ui->oDevTabView, m_listDev);
    ui->oDevTabView->setModel(m_pDevModel);
    ui->oDevTabView->setItemDelegate(new QNoFocusDelegate(ui->oDevTabView, true, ui->oDevTabView));
    m_pDevModel->setAddressColumn(EncodeDevModelEx::ColIp);
    connect(ui->oDevTabView, &TableViewEx::sendOpenConfigDlgSignal, this, &CDevManageForm::openConfigDlg_slot);
    connect(ui->oDevTabView, &TableViewEx::sendRemoteSignal, this, &CDevManageForm::openRemoteDlg_slot);

    applyColumnFlags();
    applyColumnWidths();
    ui->oDevTabView->setColumnHidden(EncodeDevModelEx::ColUserName, true);
    ui->oDevTabView->setColumnHidden(EncodeDevModelEx::ColPassword, true);
    m_pDevModel->setCheckable(true);
    connect(ui->oDevTabView, &QAbstractItemView::entered, this, &CDevManageForm::mouseEnterEncView);
    connect(ui->oDevTabView->horizontalHeader(), &QHeaderView::sectionPressed, this,
            &CDevManageForm::onEncTableViewHeaderClicked);
    connect(ui->oSearchEdit, &SearchEdit::input_changed, this, &CDevManageForm::onFilter);

    createContextMenu();

    m_listDev.clear();
    ui->oDevNumLabel->setText(QStringLiteral("0"));

    on_oRefreshBtn_clicked();

    m_pBatchEditAddrDlg = new CBatchEditAddrDlg(this);
    connect(m_pBatchEditAddrDlg, &CBatchEditAddrDlg::sendModifySignal, this, &CDevManageForm::oBatchModifyIPSlot);
    connect(this, &CDevManageForm::sendModifyRltSignal, m_pBatchEditAddrDlg, &CBatchEditAddrDlg::oGetModifyRltSlot);
    m_pUpgradeDlg = new CUpgradeDlg(this);
    connect(this, &CDevManageForm::sendDevListInfo, m_pUpgradeDlg, &CUpgradeDlg::getDevListInfoSlot);
    connect(m_pUpgradeDlg, &CUpgradeDlg::sendResultSignal, this, &CDevManageForm::getResultSlot);
    connect(m_pUpgradeDlg, &CUpgradeDlg::sendOperateSignal, this, &CDevManageForm::oMaintainSlot);
    // Without a parent: the tab deletes it.
    m_pDevCfgDlg = new CDevCfgDlg;
    connect(this, &CDevManageForm::sendCapResultSig, m_pDevCfgDlg, &CDevCfgDlg::getDevCapInfoSlot);
    connect(this, &CDevManageForm::sendDevListInfo, m_pDevCfgDlg, &CDevCfgDlg::getDevListInfoSlot);
    connect(m_pDevCfgDlg, &CDevCfgDlg::sendTerminateWaitDlg, this, &CDevManageForm::terminateWaitDlg_slot);
    connect(m_pDevCfgDlg, &CDevCfgDlg::sendInitDataFinish_sig, this, &CDevManageForm::initCfgDlg_slot);
    // The dialogs (maintenance, daylight saving) are created here.
}

CDevManageForm::~CDevManageForm()
{
    qCDebug(lcDevManage) << "m_ulStreamHd" << m_ulStreamHd;
    // Its pages stop their live view while the sessions still exist.
    delete m_pDevCfgDlg;
    m_pLibraries.reset();
    // Directly, not through the workers: the event loop is over.
    DevSession::logoutAll(m_listDev, kExitLogoutMs);
    // Worker threads end before the list and the model they report into.
    m_pWorkers.reset();
    m_listDev.clear();
    ui->oDevTabView->setModel(nullptr);
    delete m_pDevModel;
    delete m_pDevDiscovery;
}

void CDevManageForm::createWorkers()
{
    using Reg = CWorkerRegistry;
    m_pWorkers.reset(new CWorkerRegistry(this));
    m_pWorkers->add<CDevThread>(this, &CDevManageForm::sendLoginSignal, &CDevThread::devLoginSlot,
                                Reg::AbandonedOnRefresh);
    // Logouts run on: a refresh sends every listed device to it.
    m_pWorkers->add<CDevThread>(this, &CDevManageForm::sendLogoutSignal, &CDevThread::devLogoutSlot,
                                Reg::KeptOnRefresh);
    m_pWorkers->add<CModifyIPThread>(this, &CDevManageForm::sendModifyIPSignal, &CModifyIPThread::modifyAddrSlot,
                                     Reg::AbandonedOnRefresh);
    // One maintenance worker per operation kind: kinds run side by side,
    // requests of one kind one after another.
    m_pWorkers->add<CMaintainThread>(this, &CDevManageForm::sendUpgradeSignal, &CMaintainThread::devUpgradeSlot,
                                     Reg::AbandonedOnRefresh);
    m_pWorkers->add<CMaintainThread>(this, &CDevManageForm::sendExportDiagSignal,
                                     &CMaintainThread::exportDiagInfoSlot, Reg::AbandonedOnRefresh);
    m_pWorkers->add<CMaintainThread>(this, &CDevManageForm::sendImportCfgSignal, &CMaintainThread::importCfgSlot,
                                     Reg::AbandonedOnRefresh);
    m_pWorkers->add<CMaintainThread>(this, &CDevManageForm::sendExportCfgSignal, &CMaintainThread::exportCfgSlot,
                                     Reg::AbandonedOnRefresh);
    // A restart or reset under way cannot be called back; its result is
    // matched to the list round it was sent in.
    m_pWorkers->add(
        [this] {
            auto *pWorker = new CDevCmdThread;
            connect(this, &CDevManageForm::sendRestartSignal, pWorker, &CDevCmdThread::restartSlot);
            connect(this, &CDevManageForm::sendResetPwdSignal, pWorker, &CDevCmdThread::resetPwdSlot);
            connect(pWorker, &CDevCmdThread::sendRestartResult, this, &CDevManageForm::onRestartResult);
            connect(pWorker, &CDevCmdThread::sendResetPwdResult, this, &CDevManageForm::onResetPwdResult);
            return pWorker;
        },
        Reg::KeptOnRefresh);
    m_pWorkers->add(
        [this] {
            auto *pWorker = new CGetCapThread;
            connect(this, &CDevManageForm::sendGetCapSig, pWorker, &CGetCapThread::getDevCap_slot);
            connect(this, &CDevManageForm::sendStartLive_sig, pWorker, &CGetCapThread::startLivePlay);
            connect(this, &CDevManageForm::sendStopLive_sig, pWorker, &CGetCapThread::stopLivePlay);
            connect(pWorker, &CGetCapThread::sendGetCapReslut_sig, this, &CDevManageForm::getCapResult);
            connect(pWorker, &CGetCapThread::sendGetCapFailed_sig, this, &CDevManageForm::getCapFailed_slot);
            connect(pWorker, &CGetCapThread::sendStartLiveResult, this, &CDevManageForm::getStartLiveResult);
            return pWorker;
        },
        Reg::AbandonedOnRefresh);
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
    for (const char *szFolder : {"log", "DiagnoseInfo"}) {
        const QString strFolder = CAppPaths::instance().workFolder(QLatin1String(szFolder));
        if (!QDir().mkpath(strFolder))
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

    abandonWork();

    for (CUIDeviceBean &dev : m_listDev)
        emit sendLogoutSignal(dev);

    m_listDev.clear();
    m_pDevModel->resetModel();
    ui->oDevNumLabel->setText(QStringLiteral("0"));

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

    m_pDevDiscovery->detach();
    // results() copies under the service's own lock.
    m_oMerge.mergeDiscovered(m_pDevDiscovery->results(), m_strDefaultUser, m_strDefaultPassword);
    m_pDevModel->resetModel();
    ui->oDevNumLabel->setText(QString::number(m_listDev.size()));
    m_pDevDiscovery->attach();

    m_pDevModel->sort(EncodeDevModelEx::ColIp, ui->oDevTabView->horizontalHeader()->sortIndicatorOrder());
    m_pDevModel->resetModel();
    qCDebug(lcDevManage) << "search merged:" << m_listDev.size() << "devices listed";
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
    if (!m_oMerge.isCurrentRound(oBean.m_ulListRound)) {
        // A login that ended after its list was abandoned must not stay open.
        if (oBean.m_lStatus == DevStatusLogged)
            emit sendLogoutSignal(oBean);
        return;
    }
    for (int iRow : m_oMerge.mergeResult(oBean))
        repaintRows(iRow);
}

void CDevManageForm::getUpgradeProgressSlot(QString strIp, int iPercent)
{
    for (int i = 0; i < m_listDev.size(); ++i) {
        CUIDeviceBean &dev = m_listDev[i];
        if (dev.m_strIp == strIp && dev.m_lStatus == DevStatusUpgrading) {
            dev.m_lProgress = iPercent;
            repaintRows(i);
        }
    }
}

void CDevManageForm::onFilter(QString strText)
{
    ui->oDevNumLabel->setText(QString::number(m_pDevModel->filter(strText)));
}

void CDevManageForm::on_oSetupBtn_clicked()
{
    QScopedPointer<CSetupDlg> pDlg(new CSetupDlg(this));
    pDlg->setSearchMode(searchMode());
    pDlg->setCustomMade(customMade());
    // A refused range opens the dialog again with everything as typed.
    while (pDlg->exec() == QDialog::Accepted) {
        if (applySearchMode(pDlg->getSearchMode()) != 0)
            continue;
        CUICustomMadeBean oColumns = pDlg->getCustomMade();
        oCustomMadeTable(oColumns);
        return;
    }
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
    if (!Ipv4::parse(oMode.strBeginIP, uBegin)) {
        CMsgDlg::showMsg(tr("错误"), tr("起始IP地址格式错误，请输入有效IP地址。"), MsgError, this);
        return 1;
    }
    if (!Ipv4::parse(oMode.strEndIP, uEnd)) {
        CMsgDlg::showMsg(tr("错误"), tr("结束IP地址格式错误，请输入有效IP地址。"), MsgError, this);
        return 1;
    }
    if (uBegin > uEnd) {
        CMsgDlg::showMsg(tr("错误"), tr("起始地址不能大于结束地址。"), MsgError, this);
        return 1;
    }
    const quint32 uMaxSpan = oMode.bMulticast ? kMaxSpanWithMulticast : kMaxSpan;
    if (uEnd - uBegin > uMaxSpan) {
        CMsgDlg::showMsg(tr("信息"), tr("一次最多搜索%1个地址。").arg(uMaxSpan + 1), MsgNote, this);
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
    if (!m_oMerge.isCurrentRound(oNetAddrBean.m_ulListRound))
        return;
    for (int iRow : m_oMerge.mergeAddressResult(oNetAddrBean)) {
        emit sendModifyRltSignal(oNetAddrBean);
        repaintRows(iRow);
    }
}

void CDevManageForm::sendDev2CapSlot()
{
    emit sendDev2CapSignal(m_listDev);
}

void CDevManageForm::on_oLoginBtn_clicked()
{
    devLogin(EventNone);
}

QList<int> CDevManageForm::checkedRows() const
{
    QList<int> listRows;
    for (int iDevId : m_pDevModel->checkedList()) {
        const int iRow = rowOfDevId(iDevId);
        if (iRow >= 0)
            listRows.append(iRow);
    }
    return listRows;
}

int CDevManageForm::rowOfDevId(int iDevId) const
{
    return m_oMerge.rowOfDevId(iDevId);
}

int CDevManageForm::currentRow(int iFallback) const
{
    const int iRow = ui->oDevTabView->currentIndex().row();
    return (iRow >= 0 && iRow < m_listDev.size()) ? iRow : iFallback;
}

void CDevManageForm::showNote(const QString &strText)
{
    CMsgDlg::showMsg(tr("信息"), strText, MsgNote, this);
}

void CDevManageForm::showWaitDlg()
{
    closeWaitDlg();
    m_pWaitDlg = new CWaitDlg(this);
    m_pWaitDlg->setAttribute(Qt::WA_DeleteOnClose);
    m_pWaitDlg->setModal(true);
    m_pWaitDlg->show();
}

void CDevManageForm::closeWaitDlg()
{
    // Closing deletes the dialog; the guarded pointer forgets it.
    if (m_pWaitDlg)
        m_pWaitDlg->close();
}

ulong CDevManageForm::devLogin(ulong ulEventType)
{
    QScopedPointer<CDevLoginDlg> pDlg(new CDevLoginDlg(int(ulEventType), this));
    pDlg->hideAddress();
    const auto itFirst = std::find_if(m_listDev.cbegin(), m_listDev.cend(), [this](const CUIDeviceBean &dev) {
        return m_pDevModel->checkedList().contains(dev.m_lDevId);
    });
    if (itFirst == m_listDev.cend()) {
        showNote(tr("请选择设备。"));
        return 1;
    }
    CUIDeviceBean oFirst = *itFirst;
    pDlg->setDevice(oFirst);
    if (pDlg->exec() != QDialog::Accepted)
        return 0;
    const stLoginInfo info = pDlg->loginInfo();
    pDlg.reset();
    if (info.strUserName.isEmpty() || info.strPassword.isEmpty()) {
        CMsgDlg::showMsg(tr("错误"), tr("用户名或密码不能为空，请重新尝试。"), MsgError, this);
        return 1;
    }

    // The list may have changed while the dialog was open: rows are looked up now.
    QList<CUIDeviceBean> listClose;
    QList<CUIDeviceBean> listLogin =
        DevRequests::prepareLogin(m_listDev, checkedRows(), info.strUserName, info.strPassword, listClose);
    // Closes an earlier login of each device first.
    for (CUIDeviceBean &dev : listClose)
        emit sendLogoutSignal(dev);
    m_pDevModel->resetModel();
    emit sendLoginSignal(listLogin, ulEventType);
    showWaitDlg();
    return 0;
}

void CDevManageForm::getLoginResultSlot(QList<CUIDeviceBean> &oDevList, ulong ulEventType)
{
    const bool bCurrent = std::all_of(oDevList.cbegin(), oDevList.cend(), [this](const CUIDeviceBean &dev) {
        return m_oMerge.isCurrentRound(dev.m_ulListRound);
    });
    if (!bCurrent)
        return;
    QList<int> &listChecked = m_pDevModel->checkedList();
    listChecked.clear();
    for (const CUIDeviceBean &dev : qAsConst(oDevList))
        listChecked.append(dev.m_lDevId);
    m_pDevModel->resetModel();
    closeWaitDlg();
    resumeCommand(ulEventType);
}

void CDevManageForm::resumeCommand(ulong ulEventType)
{
    if (ulEventType >= kResumeCommands.size() || !kResumeCommands[ulEventType])
        return;
    (this->*kResumeCommands[ulEventType])();
}

void CDevManageForm::restartAfterLogin()
{
    doRestartDev();
}

void CDevManageForm::configAfterLogin()
{
    openConfig(false);
}

bool CDevManageForm::checkLoggedIn(ulong ulEventType)
{
    const QList<int> listRows = checkedRows();
    if (listRows.isEmpty()) {
        showNote(tr("请选择设备。"));
        return false;
    }
    const bool bAllLogged = std::all_of(listRows.cbegin(), listRows.cend(), [this](int iRow) {
        return !m_listDev.at(iRow).m_strLoginKey.isEmpty();
    });
    if (!bAllLogged) {
        devLogin(ulEventType);
        return false;
    }
    QList<CUIDeviceBean> listDev = checkedDevices();
    emit sendDevListInfo(listDev);
    return true;
}

void CDevManageForm::createContextMenu()
{
    ui->oDevTabView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->oDevTabView, &QWidget::customContextMenuRequested, this,
            &CDevManageForm::showDevTabViewContextMenu);
    m_pEditAddrAction = new QAction(tr("修改网络地址"), this);
    connect(m_pEditAddrAction, &QAction::triggered, this, &CDevManageForm::doEditNetworkAddress);
    m_pRestorePwdAction = new QAction(tr("重置设备密码"), this);
    connect(m_pRestorePwdAction, &QAction::triggered, this, &CDevManageForm::doRestoreDevPwd);
    m_pRestartAction = new QAction(tr("重启设备"), this);
    connect(m_pRestartAction, &QAction::triggered, this, &CDevManageForm::doRestartDev);
    // Reached through the table's remote icon, not through the menu.
    m_pRemoteAction = new QAction(tr("浏览网页"), this);
    connect(m_pRemoteAction, &QAction::triggered, this, &CDevManageForm::doRemoteConfig);
}

void CDevManageForm::showDevTabViewContextMenu(const QPoint &)
{
    if (!ui->oDevTabView->currentIndex().isValid())
        return;
    QMenu menu(this);
    menu.addAction(m_pEditAddrAction);
    menu.addAction(m_pRestorePwdAction);
    menu.addAction(m_pRestartAction);
    menu.exec(QCursor::pos());
}

ulong CDevManageForm::doEditNetworkAddress()
{
    const QList<int> listRows = checkedRows();
    if (listRows.isEmpty()) {
        showNote(tr("请选择设备。"));
        return 1;
    }
    if (listRows.size() == 1) {
        CUIDeviceBean oDev = m_listDev.at(currentRow(listRows.first()));
        CEditNetworkAddrDlg dlg(this);
        dlg.setDevice(oDev);
        if (dlg.exec() != QDialog::Accepted)
            return 0;
        const stNetAddrInfo addr = dlg.addresses();
        CBatchEditNetAddrBean oRequest =
            DevRequests::addressChange(oDev, addr.strIp, addr.strMask, addr.strGateway, dlg.password());
        oRequest.m_ulListRound = m_oMerge.round();
        emit sendModifyIPSignal(oRequest);
        const int iRow = rowOfDevId(oDev.m_lDevId);
        if (iRow >= 0) {
            m_listDev[iRow].m_lStatus = DevStatusModifying;
            repaintRows(iRow);
        }
        return 0;
    }

    QList<CUIDeviceBean> listChecked;
    for (int iRow : listRows)
        listChecked.append(m_listDev.at(iRow));
    QList<CBatchEditNetAddrBean> listRequest = DevRequests::batchRows(listChecked);
    m_pBatchEditAddrDlg->setDeviceList(listRequest);
    m_pBatchEditAddrDlg->clearAddresses();
    m_pBatchEditAddrDlg->exec();
    return 0;
}

void CDevManageForm::oBatchModifyIPSlot(CBatchEditNetAddrBean &oNetAddrBean)
{
    CBatchEditNetAddrBean oRequest = oNetAddrBean;
    oRequest.m_ulListRound = m_oMerge.round();
    emit sendModifyIPSignal(oRequest);
    // Marks the device busy, as a single change does, so that a refresh asks first.
    for (int i = 0; i < m_listDev.size(); ++i) {
        if (m_listDev.at(i).m_strIp == oRequest.m_strOldIp) {
            m_listDev[i].m_lStatus = DevStatusModifying;
            repaintRows(i);
        }
    }
}

ulong CDevManageForm::doRestoreDevPwd()
{
    const QList<int> listRows = checkedRows();
    if (listRows.isEmpty()) {
        showNote(tr("请选择设备。"));
        return 1;
    }
    if (listRows.size() > 1) {
        showNote(tr("不能同时操作多台设备。"));
        return 1;
    }
    const CUIDeviceBean oDev = m_listDev.at(currentRow(listRows.first()));
    if (oDev.m_strSerial.isEmpty() || DevSession::isNvr(oDev)) {
        showNote(tr("该设备不支持密码重置功能，请及时与客服联系。"));
        return 1;
    }
    CResetPasswdDlg dlg(this);
    dlg.setSerial(oDev.m_strSerial);
    if (dlg.exec() != QDialog::Accepted)
        return 0;
    CUIDeviceBean oRequest = oDev;
    emit sendResetPwdSignal(oRequest, dlg.securityCode());
    showWaitDlg();
    return 0;
}

void CDevManageForm::onResetPwdResult(CUIDeviceBean &, ulong ulResult)
{
    closeWaitDlg();
    showNote(ulResult == 0 ? tr("重置成功，密码为：vorpe") : tr("重置失败。"));
}

void CDevManageForm::doRemoteConfig()
{
    const int iRow = currentRow(-1);
    if (iRow < 0)
        return;
    const QString strUrl = QStringLiteral("http://") + m_listDev.at(iRow).m_strIp;
    if (!CPlatformUtils::openWebPage(strUrl))
        CMsgDlg::showMsg(tr("错误"), tr("无法启动浏览器，请在浏览器中打开 %1").arg(strUrl), MsgError, this);
}

void CDevManageForm::openRemoteDlg_slot()
{
    doRemoteConfig();
}

ulong CDevManageForm::doRestartDev()
{
    const QList<int> listRows = checkedRows();
    if (listRows.isEmpty()) {
        showNote(tr("请选择设备。"));
        return 1;
    }
    if (listRows.size() > 1) {
        showNote(tr("不能同时操作多台设备。"));
        return 1;
    }
    const CUIDeviceBean oDev = m_listDev.at(listRows.first());
    if (oDev.m_strLoginKey.isEmpty()) {
        devLogin(EventRestart);
        return 1;
    }
    if (!CMsgDlg::askQuestion(tr("信息"), tr("你确定要重启系统吗？"), this))
        return 1;
    CUIDeviceBean oRequest = oDev;
    oRequest.m_ulListRound = m_oMerge.round();
    emit sendRestartSignal(oRequest);
    showWaitDlg();
    return 0;
}

void CDevManageForm::onRestartResult(CUIDeviceBean &oBean, ulong ulResult)
{
    closeWaitDlg();
    if (ulResult != 0) {
        showNote(tr("重启失败。"));
        return;
    }
    // After a refresh the device is listed afresh and leaves by itself.
    if (!m_oMerge.isCurrentRound(oBean.m_ulListRound))
        return;
    m_iRestartDevId = oBean.m_lDevId;
    m_pReportTimer->start(kRestartReportMs);
}

void CDevManageForm::onReportTimer()
{
    m_pReportTimer->stop();
    const int iRow = rowOfDevId(m_iRestartDevId);
    if (iRow >= 0) {
        // Its session ended with the restart; the library forgets it too.
        emit sendLogoutSignal(m_listDev[iRow]);
        m_listDev.removeAt(iRow);
        ui->oDevNumLabel->setText(QString::number(m_listDev.size()));
    }
    m_iRestartDevId = -1;
    m_pDevModel->checkedList().clear();
    m_pDevModel->resetModel();
    showNote(tr("设备正在重启，请在约3分钟后刷新列表获取该设备。"));
}

void CDevManageForm::abandonWork()
{
    m_oMerge.nextRound();
    m_pReportTimer->stop();
    m_iRestartDevId = -1;
    closeWaitDlg();
    endCfgOpening();
    m_pWorkers->renewAbandonable();
}

void CDevManageForm::onUpgradeEvent(QString strUserId, qint64 lValue)
{
    for (int iRow : m_oMerge.mergeUpgradeEvent(strUserId, lValue))
        repaintRows(iRow);
}

void CDevManageForm::on_oUpgradeBtn_clicked()
{
    // Without a login the login flow takes over and calls this again afterwards.
    if (!checkLoggedIn(EventUpgrade))
        return;
    m_pUpgradeDlg->exec();
}

QList<CUIDeviceBean> CDevManageForm::checkedDevices() const
{
    QList<CUIDeviceBean> listDev;
    for (int iRow : checkedRows())
        listDev.append(m_listDev.at(iRow));
    return listDev;
}

QList<CUIDeviceBean> CDevManageForm::devicesForBatch(ulong ulEventType)
{
    // Without a login the login flow takes over and resumes the command afterwards.
    if (!checkLoggedIn(ulEventType))
        return {};
    const QList<CUIDeviceBean> listDev = checkedDevices();
    const QString strRefusal = CfgSelection::refusal(listDev);
    if (!strRefusal.isEmpty()) {
        showNote(strRefusal);
        return {};
    }
    return listDev;
}

void CDevManageForm::oMaintainSlot(QString strPath, ULONG ulCmd, CUIDeviceBean &oBean)
{
    switch (ulCmd) {
    case CUpgradeDlg::CmdUpgrade:
        emit sendUpgradeSignal(strPath, oBean);
        break;
    case CUpgradeDlg::CmdExportDiag:
        emit sendExportDiagSignal(strPath, oBean);
        break;
    case CUpgradeDlg::CmdImportCfg:
        emit sendImportCfgSignal(strPath, oBean);
        break;
    case CUpgradeDlg::CmdExportCfg:
        emit sendExportCfgSignal(strPath, oBean);
        break;
    default:
        break;
    }
}

void CDevManageForm::on_oBatchCfgBtn_clicked()
{
    QList<CUIDeviceBean> listDev = devicesForBatch(EventBatchCfg);
    if (listDev.isEmpty())
        return;
    auto *pDlg = new CBatchCfgDlg(this);
    connect(pDlg, &CBatchCfgDlg::sendResultSignal, this, &CDevManageForm::getResultSlot);
    pDlg->getDevListInfoSlot(listDev);
    if (pDlg->prepare() != 0) {
        delete pDlg;
        showNote(tr("所选设备不支持该功能。"));
        return;
    }
    pDlg->exec();
    pDlg->deleteWhenDone();
}

void CDevManageForm::openConfigDlg_slot()
{
    // The icon's row: the view makes the clicked row current.
    int iRow = currentRow(-1);
    if (iRow < 0) {
        const QList<int> listRows = checkedRows();
        if (listRows.isEmpty()) {
            showNote(tr("请选择设备。"));
            return;
        }
        iRow = listRows.first();
    }
    m_iCfgDevId = m_listDev.at(iRow).m_lDevId;
    openConfig(true);
}

void CDevManageForm::openConfig(bool bMayLogin)
{
    const int iRow = rowOfDevId(m_iCfgDevId);
    if (iRow < 0)
        return;
    endCfgOpening();
    const CUIDeviceBean oDev = m_listDev.at(iRow);
    if (oDev.m_strLoginKey.isEmpty()) {
        // After a login that did not succeed the opening ends here.
        if (!bMayLogin)
            return;
        QList<int> &listChecked = m_pDevModel->checkedList();
        if (!listChecked.contains(oDev.m_lDevId))
            listChecked.append(oDev.m_lDevId);
        m_pDevModel->resetModel();
        devLogin(EventConfig);
        return;
    }
    QList<CUIDeviceBean> listDev{oDev};
    emit sendDevListInfo(listDev);
    if (oDev.m_strDevType != QLatin1String("IPC")) {
        m_pDevCfgDlg->initSysInfoPage();
        return;
    }
    m_strCfgUserId = oDev.m_strLoginKey;
    m_bCfgPending = true;
    for (ulong ulKind : {ulong(DevCapability::KindImage), ulong(DevCapability::KindNetwork),
                         ulong(DevCapability::KindEncode)})
        emit sendGetCapSig(m_strCfgUserId, ulKind, m_ulCfgOpening);
    emit sendStartLive_sig(m_strCfgUserId, m_ulCfgOpening);
    showWaitDlg();
}

void CDevManageForm::getCapResult(QList<stDevCapacityInfo> &devCapInfoList, ulong capType, quint32 ulOpening)
{
    if (!m_bCfgPending || ulOpening != m_ulCfgOpening)
        return;
    emit sendCapResultSig(devCapInfoList, capType);
}

void CDevManageForm::getStartLiveResult(ulong streamHd, ulong ulResult, quint32 ulOpening)
{
    if (!m_bCfgPending || ulOpening != m_ulCfgOpening) {
        // A stream of an opening that ended shows nowhere.
        if (streamHd != 0)
            emit sendStopLive_sig(m_strCfgUserId, streamHd);
        return;
    }
    endCfgOpening();
    m_ulStreamHd = DWORD(streamHd);
    m_pDevCfgDlg->setLiveResult(DWORD(streamHd), DWORD(ulResult));
}

void CDevManageForm::getCapFailed_slot(ulong ulResult, quint32 ulOpening)
{
    if (!m_bCfgPending || ulOpening != m_ulCfgOpening)
        return;
    endCfgOpening();
    qCDebug(lcDevManage) << "capability request failed:" << ulResult;
    closeWaitDlg();
    const int iRow = rowOfDevId(m_iCfgDevId);
    if (iRow >= 0) {
        CUIDeviceBean &dev = m_listDev[iRow];
        // The copy still carries the key the logout needs.
        emit sendLogoutSignal(dev);
        dev.m_strLoginKey.clear();
        dev.m_lStatus = DevStatusNotLogged;
        repaintRows(iRow);
    }
    CMsgDlg::showMsg(tr("信息"), tr("连接超时,请检查设备网络连接。"), MsgError, this);
}

void CDevManageForm::initCfgDlg_slot()
{
    closeWaitDlg();
    m_pDevCfgDlg->initCfgPages();
}

void CDevManageForm::terminateWaitDlg_slot()
{
    closeWaitDlg();
    m_pDevCfgDlg->exec();
}

void CDevManageForm::endCfgOpening()
{
    m_bCfgPending = false;
    ++m_ulCfgOpening;
}

void CDevManageForm::on_oDSTBtn_clicked()
{
    QList<CUIDeviceBean> listDev = devicesForBatch(EventDst);
    if (listDev.isEmpty())
        return;
    auto *pDlg = new CDstCfgDlg(this);
    connect(pDlg, &CDstCfgDlg::sendResultSignal, this, &CDevManageForm::getResultSlot);
    pDlg->getDevListInfoSlot(listDev);
    if (pDlg->setDefault() != 0) {
        delete pDlg;
        showNote(tr("所选设备不支持该功能。"));
        return;
    }
    pDlg->exec();
    pDlg->deleteWhenDone();
}
