#include "dev_manageform.h"
#include "ui_dev_manageform.h"

#include "cfgselection.h"
#include "dev_batchcfgdlg.h"
#include "dev_batcheditaddrdlg.h"
#include "dev_dstcfgdlg.h"
#include "dev_editnetaddrdlg.h"
#include "dev_logindlg.h"
#include "dev_resetpasswddlg.h"
#include "devdiscovery.h"
#include "encodedevmodelex.h"
#include "msgdlg.h"
#include "platformutils.h"
#include "qnofocusdelegate.h"
#include "searchedit.h"
#include "searcheditbox.h"
#include "setupdlg.h"
#include "thread_devlogin.h"
#include "thread_maintain.h"
#include "thread_modifyip.h"
#include "upgradedlg.h"
#include "waitdlg.h"
#include "workerhost.h"

#include "TolanNetSDK.h"
#include "zelt_mw_sdk.h"

#include <QAction>
#include <QCursor>
#include <QDir>
#include <QHeaderView>
#include <QHostAddress>
#include <QLoggingCategory>
#include <QMenu>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <array>
#include <mutex>

Q_LOGGING_CATEGORY(lcDevManage, "corvane.devmanage")

namespace {

constexpr int kRowHeight = 33;
constexpr int kMulticastWaitMs = 500;
constexpr int kSegmentWaitMs = 1500;
constexpr int kProbePauseMs = 500;
// Largest end - begin of a segment search, alone and beside the multicast search.
constexpr quint32 kMaxSpan = 1024;
constexpr quint32 kMaxSpanWithMulticast = 768;
constexpr DWORD kZeltLogLevel = 2;
constexpr DWORD kZeltLogSize = 2097152;
constexpr int kRestartReportMs = 3000;
constexpr size_t kNvrLoginInfoSize = 48;

// The tab that receives the configuration library's events. The library calls
// back on a thread of its own; the lock keeps the tab from going away while
// an event is being handed over.
std::mutex g_eventReceiverMutex;
CDevManageForm *g_pEventReceiver = nullptr;

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

    ZELT_MW_Init();
    TLSDK_Init();
    ZELT_MW_SetLog(kZeltLogLevel, "log/", kZeltLogSize);
    {
        std::lock_guard<std::mutex> lock(g_eventReceiverMutex);
        g_pEventReceiver = this;
    }
    ZELT_MW_SetEventCallback(&CDevManageForm::zeltEventCallback);

    m_pLoginWorker.reset(new CWorkerHost(this, [this] {
        auto *pWorker = new CDevThread(this);
        connect(this, &CDevManageForm::sendLoginSignal, pWorker, &CDevThread::devLoginSlot);
        return pWorker;
    }));
    m_pLogoutWorker.reset(new CWorkerHost(this, [this] {
        auto *pWorker = new CDevThread(this);
        connect(this, &CDevManageForm::sendLogoutSignal, pWorker, &CDevThread::devLogoutSlot);
        return pWorker;
    }));
    m_pModifyIPWorker.reset(new CWorkerHost(this, [this] {
        auto *pWorker = new CModifyIPThread(this);
        connect(this, &CDevManageForm::sendModifyIPSignal, pWorker, &CModifyIPThread::modifyAddrSlot);
        return pWorker;
    }));
    // One maintenance worker per operation kind: kinds run side by side,
    // requests of one kind one after another.
    auto maintainWorker = [this](void (CDevManageForm::*pfnSignal)(QString, CUIDeviceBean &),
                                 void (CMaintainThread::*pfnSlot)(QString, CUIDeviceBean &)) {
        return new CWorkerHost(this, [this, pfnSignal, pfnSlot] {
            auto *pWorker = new CMaintainThread(this);
            connect(this, pfnSignal, pWorker, pfnSlot);
            return pWorker;
        });
    };
    m_pUpgradeWorker.reset(maintainWorker(&CDevManageForm::sendUpgradeSignal, &CMaintainThread::devUpgradeSlot));
    m_pExportDiagWorker.reset(
        maintainWorker(&CDevManageForm::sendExportDiagSignal, &CMaintainThread::exportDiagInfoSlot));
    m_pImportCfgWorker.reset(maintainWorker(&CDevManageForm::sendImportCfgSignal, &CMaintainThread::importCfgSlot));
    m_pExportCfgWorker.reset(maintainWorker(&CDevManageForm::sendExportCfgSignal, &CMaintainThread::exportCfgSlot));
    // Further workers and their threads are created and connected here.

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
    connect(ui->oDevTabView, &TableViewEx::sendRemoteSignal, this, &CDevManageForm::openRemoteDlg_slot);
    // The view's sendOpenConfigDlgSignal is connected here.

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
    // The dialogs (maintenance, daylight saving, configuration) are created here.
}

CDevManageForm::~CDevManageForm()
{
    {
        std::lock_guard<std::mutex> lock(g_eventReceiverMutex);
        if (g_pEventReceiver == this)
            g_pEventReceiver = nullptr;
    }
    // Directly, not through the workers: the event loop is over.
    for (const CUIDeviceBean &dev : qAsConst(m_listDev))
        CDevThread::logoutDevice(dev);
    // Worker threads end before the list and the model they report into.
    m_pLoginWorker.reset();
    m_pLogoutWorker.reset();
    m_pModifyIPWorker.reset();
    m_pUpgradeWorker.reset();
    m_pExportDiagWorker.reset();
    m_pImportCfgWorker.reset();
    m_pExportCfgWorker.reset();
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
        dev.m_ulListRound = m_ulListRound;
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
    if (!isCurrentRound(oBean.m_ulListRound)) {
        // A login that ended after its list was abandoned must not stay open.
        if (oBean.m_lStatus == DevStatusLogged)
            emit sendLogoutSignal(oBean);
        return;
    }
    for (int i = 0; i < m_listDev.size(); ++i) {
        CUIDeviceBean &dev = m_listDev[i];
        if (dev.m_strIp != oBean.m_strIp)
            continue;
        dev.m_lStatus = oBean.m_lStatus;
        // Only a login decides the session. Any other result carries the key
        // of when its request was sent, which a login since may have closed
        // and replaced; taking it back would lose the open session.
        if (oBean.m_lStatus == DevStatusLogged || oBean.m_lStatus == DevStatusLoginFailed) {
            dev.m_strLoginKey = oBean.m_strLoginKey;
            dev.m_strDevType = oBean.m_strDevType;
        }
        dev.m_strModel = oBean.m_strModel;
        dev.m_strVersion = oBean.m_strVersion;
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
    if (!isCurrentRound(oNetAddrBean.m_ulListRound))
        return;
    for (int i = 0; i < m_listDev.size(); ++i) {
        CUIDeviceBean &dev = m_listDev[i];
        if (dev.m_strIp != oNetAddrBean.m_strOldIp)
            continue;
        if (oNetAddrBean.m_lResult == DevStatusModifyOk) {
            // An address typed with leading zeros reaches the device as typed; the
            // device then answers at the plain form, which is what the list keeps.
            quint32 uNewIp = 0;
            dev.m_strIp = parseIpv4(oNetAddrBean.m_strNewIp, uNewIp)
                ? QHostAddress(uNewIp).toString()
                : oNetAddrBean.m_strNewIp;
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
    for (int i = 0; i < m_listDev.size(); ++i) {
        if (m_listDev.at(i).m_lDevId == iDevId)
            return i;
    }
    return -1;
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
    QList<CUIDeviceBean> listLogin;
    for (int iRow : checkedRows()) {
        CUIDeviceBean &dev = m_listDev[iRow];
        dev.m_strUserName = info.strUserName;
        dev.m_strPassword = info.strPassword;
        // Closes an earlier login of the device first.
        emit sendLogoutSignal(dev);
        // That session is gone: a failed login must not leave its key behind
        // for commands to use as if the device were still logged in.
        dev.m_strLoginKey.clear();
        dev.m_lStatus = DevStatusConnecting;
        listLogin.append(dev);
    }
    m_pDevModel->resetModel();
    emit sendLoginSignal(listLogin, ulEventType);
    showWaitDlg();
    return 0;
}

void CDevManageForm::getLoginResultSlot(QList<CUIDeviceBean> &oDevList, ulong ulEventType)
{
    const bool bCurrent = std::all_of(oDevList.cbegin(), oDevList.cend(), [this](const CUIDeviceBean &dev) {
        return isCurrentRound(dev.m_ulListRound);
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
    // The commands of other parts of the tab are resumed by name, so that
    // the login flow need not know them.
    static const char *const kResumeSlots[] = {nullptr, "on_oDSTBtn_clicked", "on_oUpgradeBtn_clicked",
                                               "on_oBatchCfgBtn_clicked", "openConfigDlg_slot", nullptr};
    if (ulEventType == EventRestart) {
        doRestartDev();
        return;
    }
    if (ulEventType >= sizeof(kResumeSlots) / sizeof(kResumeSlots[0]) || !kResumeSlots[ulEventType])
        return;
    if (!QMetaObject::invokeMethod(this, kResumeSlots[ulEventType], Qt::DirectConnection))
        qCDebug(lcDevManage) << "no command to resume for event" << ulEventType;
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
    QList<CUIDeviceBean> listDev;
    for (int iRow : listRows)
        listDev.append(m_listDev.at(iRow));
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
        CBatchEditNetAddrBean oRequest;
        oRequest.m_strOldIp = oDev.m_strIp;
        oRequest.m_strUserName = oDev.m_strUserName;
        oRequest.m_strPassword = oDev.m_strPassword;
        oRequest.m_strSerial = oDev.m_strSerial;
        oRequest.m_strMac = oDev.m_strMac;
        oRequest.m_strNewIp = addr.strIp;
        oRequest.m_strMask = addr.strMask;
        oRequest.m_strGateway = addr.strGateway;
        oRequest.m_strInputPassword = dlg.password();
        oRequest.m_ulListRound = m_ulListRound;
        emit sendModifyIPSignal(oRequest);
        const int iRow = rowOfDevId(oDev.m_lDevId);
        if (iRow >= 0) {
            m_listDev[iRow].m_lStatus = DevStatusModifying;
            repaintRows(iRow);
        }
        return 0;
    }

    QList<CBatchEditNetAddrBean> listRequest;
    for (int iRow : listRows) {
        const CUIDeviceBean &dev = m_listDev.at(iRow);
        CBatchEditNetAddrBean oRequest;
        oRequest.m_strName = dev.m_strModel + QLatin1Char('_') + dev.m_strIp;
        oRequest.m_strOldIp = dev.m_strIp;
        oRequest.m_strPassword = dev.m_strPassword;
        oRequest.m_strUserName = dev.m_strUserName;
        oRequest.m_strSerial = dev.m_strSerial;
        oRequest.m_strMac = dev.m_strMac;
        oRequest.m_strInputPassword = dev.m_strPassword;
        listRequest.append(oRequest);
    }
    m_pBatchEditAddrDlg->setDeviceList(listRequest);
    m_pBatchEditAddrDlg->clearAddresses();
    m_pBatchEditAddrDlg->exec();
    return 0;
}

void CDevManageForm::oBatchModifyIPSlot(CBatchEditNetAddrBean &oNetAddrBean)
{
    CBatchEditNetAddrBean oRequest = oNetAddrBean;
    oRequest.m_ulListRound = m_ulListRound;
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
    if (oDev.m_strSerial.isEmpty() || oDev.m_strDevType == QLatin1String("NVR")) {
        showNote(tr("该设备不支持密码重置功能，请及时与客服联系。"));
        return 1;
    }
    CResetPasswdDlg dlg(this);
    dlg.setSerial(oDev.m_strSerial);
    if (dlg.exec() != QDialog::Accepted)
        return 0;
    const DWORD ulRet = CDevDiscovery::resetPassword(oDev.m_strIp, oDev.m_strSerial, oDev.m_strMac, dlg.securityCode());
    if (ulRet == 0) {
        showNote(tr("重置成功，密码为：vorpe"));
        return 0;
    }
    qCDebug(lcDevManage) << "password reset of" << oDev.m_strIp << "failed:" << ulRet;
    showNote(tr("重置失败。"));
    return 1;
}

void CDevManageForm::doRemoteConfig()
{
    const int iRow = currentRow(-1);
    if (iRow < 0)
        return;
    CPlatformUtils::openWebPage(QStringLiteral("http://") + m_listDev.at(iRow).m_strIp);
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
    const DWORD ulRet = restartDevice(oDev);
    if (ulRet != 0) {
        qCDebug(lcDevManage) << "restart of" << oDev.m_strIp << "failed:" << ulRet;
        showNote(tr("重启失败。"));
        return 1;
    }
    m_iRestartDevId = oDev.m_lDevId;
    m_pReportTimer->start(kRestartReportMs);
    return 0;
}

DWORD CDevManageForm::restartDevice(const CUIDeviceBean &oDev)
{
    if (oDev.m_strDevType == QLatin1String("IPC"))
        return ZELT_MW_Reboot(oDev.m_strLoginKey.toLatin1().constData());

    DWORD ulHandle = 0;
    std::array<char, kNvrLoginInfoSize> aInfo{};
    const DWORD ulLogin = TLSDK_Login(oDev.m_strIp.toLatin1().constData(), TLSDK_DEFAULT_PORT,
                                      oDev.m_strUserName.toLatin1().constData(),
                                      oDev.m_strPassword.toLatin1().constData(), &ulHandle, aInfo.data());
    if (ulLogin != 0)
        return ulLogin;
    const DWORD ulRet = TLSDK_Restart(ulHandle);
    // The session was opened for the restart alone.
    TLSDK_Logout(ulHandle);
    return ulRet;
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

bool CDevManageForm::isCurrentRound(quint32 ulListRound) const
{
    // 0: a record made outside the list, tied to no round.
    return ulListRound == 0 || ulListRound == m_ulListRound;
}

void CDevManageForm::abandonWork()
{
    ++m_ulListRound;
    m_pReportTimer->stop();
    m_iRestartDevId = -1;
    closeWaitDlg();
    m_pLoginWorker->renew();
    m_pModifyIPWorker->renew();
    m_pUpgradeWorker->renew();
    m_pExportDiagWorker->renew();
    m_pImportCfgWorker->renew();
    m_pExportCfgWorker->renew();
    // Further workers whose work a refresh abandons are renewed here.
}

void DEV_API CDevManageForm::zeltEventCallback(const char *szUserID, DWORD ulEventType, DWORD *pulValue)
{
    if (!szUserID || !*szUserID)
        return;
    // Only the upgrade event carries an outcome; any other event says nothing about one.
    if (ulEventType != ZELT_MW_EVENT_UPGRADE || !pulValue)
        return;
    const QString strUserId = QString::fromLatin1(szUserID);
    const qint64 lValue = *pulValue;
    std::lock_guard<std::mutex> lock(g_eventReceiverMutex);
    if (!g_pEventReceiver)
        return;
    CDevManageForm *pForm = g_pEventReceiver;
    // The list belongs to the user-interface thread; a refresh may be emptying it right now.
    QMetaObject::invokeMethod(
        pForm, [pForm, strUserId, lValue] { pForm->applyUpgradeEvent(strUserId, lValue); }, Qt::QueuedConnection);
}

void CDevManageForm::applyUpgradeEvent(const QString &strUserId, qint64 lValue)
{
    for (int i = 0; i < m_listDev.size(); ++i) {
        CUIDeviceBean &dev = m_listDev[i];
        if (dev.m_strLoginKey != strUserId || dev.m_lStatus != DevStatusUpgrading)
            continue;
        dev.m_lStatus = lValue > 0 ? DevStatusUpgradeFailed : DevStatusUpgradeOk;
        repaintRows(i);
    }
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
