#include "dev_manageform.h"
#include "ui_dev_manageform.h"

#include "apppaths.h"
#include "dev_batcheditaddrdlg.h"
#include "dev_devcfgdlg.h"
#include "devdiscovery.h"
#include "devlibraries.h"
#include "devlistmerge.h"
#include "devsession.h"
#include "encodedevmodelex.h"
#include "msgdlg.h"
#include "qnofocusdelegate.h"
#include "searchedit.h"
#include "thread_devcmd.h"
#include "thread_devlogin.h"
#include "thread_getcap.h"
#include "thread_maintain.h"
#include "thread_modifyip.h"
#include "thread_versioncheck.h"
#include "upgradedlg.h"
#include "waitdlg.h"
#include "workerregistry.h"

#include <QDir>
#include <QHeaderView>
#include <QLoggingCategory>
#include <QTimer>

#include <algorithm>

Q_LOGGING_CATEGORY(lcDevManage, "corvane.devmanage")

namespace {

constexpr int kRowHeight = 33;
// The whole wait for the logouts at exit, however many devices are silent.
constexpr unsigned long kExitLogoutMs = 1000;

} // namespace

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
    connect(m_pLibraries.get(), &CDevLibraries::sendUpgradeProgressSignal, this,
            &CDevManageForm::onUpgradeProgressEvent, Qt::QueuedConnection);

    createWorkers();

    m_pDevDiscovery = new CDevDiscovery;
    // A device saying Bye is marked offline in the table at once, and back with its Hello.
    m_pDevDiscovery->onDeparted([this](const DeviceDeparture &departure) {
        if (!m_oMerge.markDeparted(departure).isEmpty())
            m_pDevModel->resetModel();
    });
    m_pDevDiscovery->onArrived([this](const stDiscoveryBean &found) {
        if (!m_oMerge.markArrived(found).isEmpty())
            m_pDevModel->resetModel();
    });

    m_pSearchTimer = new QTimer(this);
    m_pSearchTimer->setSingleShot(true);
    connect(m_pSearchTimer, &QTimer::timeout, this, &CDevManageForm::onSearchTimer);
    m_pSegmentProbeTimer = new QTimer(this);
    m_pSegmentProbeTimer->setSingleShot(true);
    connect(m_pSegmentProbeTimer, &QTimer::timeout, this, &CDevManageForm::onSegmentProbeTimer);
    // Upgrading rows show their elapsed time; repainted while any runs.
    m_pUpgradeClockTimer = new QTimer(this);
    connect(m_pUpgradeClockTimer, &QTimer::timeout, this, &CDevManageForm::onUpgradeClockTimer);
    m_pLateAnswerTimer = new QTimer(this);
    connect(m_pLateAnswerTimer, &QTimer::timeout, this, &CDevManageForm::onLateAnswerTimer);

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
    connect(m_pDevCfgDlg, &CDevCfgDlg::sendDevAddrChangedSignal, this, &CDevManageForm::devAddrChangedSlot);
    connect(m_pDevCfgDlg, &CDevCfgDlg::sendStopLiveSignal, this, &CDevManageForm::sendStopLive_sig);
    connect(m_pDevCfgDlg, &CDevCfgDlg::sendDevGoneSignal, this, &CDevManageForm::devGoneSlot);
    // The dialogs (maintenance, daylight saving) are created here.
}

CDevManageForm::~CDevManageForm()
{
    // The focused search box shows its hint again as the children go, after
    // the model below is gone; that change must not reach onFilter.
    disconnect(ui->oSearchEdit, nullptr, this, nullptr);
    qCDebug(lcDevManage) << "m_ulStreamHd " << m_ulStreamHd;
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
            connect(this, &CDevManageForm::sendChangePwdSignal, pWorker, &CDevCmdThread::changePwdSlot);
            connect(pWorker, &CDevCmdThread::sendChangePwdResult, this, &CDevManageForm::onChangePwdResult);
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
    m_arrVersionCheckTiming = {CVersionCheckThread::kFirstTryMs, CVersionCheckThread::kRetryMs,
                               CVersionCheckThread::kGiveUpMs};
    m_pVersionCheckHost = m_pWorkers->add(
        [this] {
            auto *pWorker = new CVersionCheckThread;
            pWorker->setTiming(m_arrVersionCheckTiming[0], m_arrVersionCheckTiming[1], m_arrVersionCheckTiming[2]);
            connect(this, &CDevManageForm::sendVersionCheckSignal, pWorker, &CVersionCheckThread::readVersionSlot);
            connect(pWorker, &CVersionCheckThread::sendVersionSignal, this, &CDevManageForm::getVersionSlot);
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
    const QList<int> listRows = m_oMerge.mergeResult(oBean);
    if (oBean.m_lStatus == DevStatusUpgrading && !m_pUpgradeClockTimer->isActive())
        m_pUpgradeClockTimer->start(1000);
    // Before the repaint: a slot on the model may refresh the list.
    checkVersionAfterUpgrade(listRows);
    for (int iRow : listRows)
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

void CDevManageForm::sendDev2CapSlot()
{
    emit sendDev2CapSignal(m_listDev);
}

void CDevManageForm::abandonWork()
{
    m_oMerge.nextRound();
    closeWaitDlg();
    endCfgOpening();
    m_pWorkers->renewAbandonable();
}

void CDevManageForm::onUpgradeEvent(QString strUserId, qint64 lValue)
{
    const QList<int> listRows = m_oMerge.mergeUpgradeEvent(strUserId, lValue);
    checkVersionAfterUpgrade(listRows);
    for (int iRow : listRows)
        repaintRows(iRow);
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
