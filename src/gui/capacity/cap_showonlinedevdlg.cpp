#include "cap_showonlinedevdlg.h"
#include "ui_cap_showonlinedevdlg.h"

#include "dev_logindlg.h"
#include "devsession.h"
#include "msgdlg.h"
#include "onlinechanmodelex.h"
#include "qnofocusdelegate.h"
#include "searchedit.h"
#include "tableviewex.h"
#include "thread_devlogin.h"
#include "workerhost.h"

#include <QHeaderView>

namespace {

constexpr int OnlineRowHeight = 33;
const int s_arrColumnWidth[] = {40, 150, 150, 200};

} // namespace

CShowOnlineDevDlg::CShowOnlineDevDlg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowCloseButtonHint)
    , ui(new Ui::CShowOnlineDevDlg)
{
    ui->setupUi(this);
    setFont(QFont(QStringLiteral("微软雅黑")));
    initView();

    m_pLoginWorker.reset(new CWorkerHost(this, [this] {
        auto *pWorker = new CDevThread(this);
        connect(this, &CShowOnlineDevDlg::sendLoginSignal, pWorker, &CDevThread::devLoginSlot);
        return pWorker;
    }));
    m_pLogoutWorker.reset(new CWorkerHost(this, [this] {
        auto *pWorker = new CDevThread(this);
        connect(this, &CShowOnlineDevDlg::sendLogoutSignal, pWorker, &CDevThread::devLogoutSlot);
        return pWorker;
    }));

    connect(ui->oSearchEdit, &SearchEdit::input_changed, this, &CShowOnlineDevDlg::onFilter);
    connect(ui->oOnlineTableView, &QAbstractItemView::entered, this, &CShowOnlineDevDlg::mouseEnterEncView);
    connect(ui->oOnlineTableView->horizontalHeader(), &QHeaderView::sectionPressed, this,
            &CShowOnlineDevDlg::onEncTableViewHeaderClicked);
}

CShowOnlineDevDlg::~CShowOnlineDevDlg()
{
    // The focused search box shows its hint again as the children go, after
    // this object is gone; that change must not reach onFilter.
    disconnect(ui->oSearchEdit, nullptr, this, nullptr);
    // The workers stop first, so no login finishes behind the logouts below.
    m_pLoginWorker.reset();
    m_pLogoutWorker.reset();
    // Side by side and bounded: a device that no longer answers does not hold up the exit.
    DevSession::logoutAll(m_hashOwnSession.values(), 1000);
}

void CShowOnlineDevDlg::initView()
{
    TableViewEx *pView = ui->oOnlineTableView;
    m_pModel = new COnlineChanModelEx(pView, m_listDev, this);
    m_pDelegate = new QNoFocusDelegate(pView, false, this);
    pView->setModel(m_pModel);
    pView->setItemDelegate(m_pDelegate);
    m_pModel->setCheckable(true);
    m_pModel->setAddressColumn(COnlineChanModelEx::ColIp);
    pView->verticalHeader()->setDefaultSectionSize(OnlineRowHeight);
    for (int i = 0; i < COnlineChanModelEx::ColumnCount; ++i)
        pView->setColumnWidth(i, s_arrColumnWidth[i]);
    connect(m_pModel, &QAbstractItemModel::modelReset, this, &CShowOnlineDevDlg::fitModelColumn);
}

void CShowOnlineDevDlg::fitModelColumn()
{
    ui->oOnlineTableView->fitColumn(COnlineChanModelEx::ColModel, s_arrColumnWidth[COnlineChanModelEx::ColModel]);
}

void CShowOnlineDevDlg::showOnlineDevSlot(QList<CUIDeviceBean> &oDevList)
{
    // Sessions of the previous opening are closed before the list is replaced.
    logoutOwnSessions();
    ++m_ulOpening;
    m_listDev.clear();
    m_pModel->checkedList().clear();
    for (CUIDeviceBean dev : oDevList) {
        if (!dev.m_strLoginKey.isEmpty())
            dev.m_lStatus = DevStatusLogged;
        dev.m_ulListRound = m_ulOpening;
        m_listDev.append(dev);
    }
    m_pModel->resetModel();
    const QHeaderView *pHeader = ui->oOnlineTableView->horizontalHeader();
    m_pModel->sort(COnlineChanModelEx::ColIp, pHeader->sortIndicatorOrder());
}

void CShowOnlineDevDlg::logoutOwnSessions()
{
    for (CUIDeviceBean dev : qAsConst(m_hashOwnSession))
        emit sendLogoutSignal(dev);
    m_hashOwnSession.clear();
}

QList<CUIDeviceBean> CShowOnlineDevDlg::checkedDevices() const
{
    QList<CUIDeviceBean> list;
    for (int lId : m_pModel->checkedList()) {
        for (const CUIDeviceBean &dev : m_listDev) {
            if (dev.m_lDevId == lId)
                list.append(dev);
        }
    }
    return list;
}

void CShowOnlineDevDlg::on_oChanLoginBtn_clicked()
{
    const QList<CUIDeviceBean> listChecked = checkedDevices();
    if (listChecked.isEmpty()) {
        CMsgDlg::showMsg(tr("信息"), tr("请选择设备。"), MsgNote, this);
        return;
    }
    QScopedPointer<CDevLoginDlg> pDlg(new CDevLoginDlg(0, this));
    pDlg->hideAddress();
    pDlg->setDefaultAccount();
    if (pDlg->exec() != QDialog::Accepted)
        return;
    const stLoginInfo info = pDlg->loginInfo();
    pDlg.reset();
    if (info.strUserName.isEmpty() || info.strPassword.isEmpty()) {
        CMsgDlg::showMsg(tr("信息"), tr("用户名或密码不能为空，请重新尝试。"), MsgError, this);
        return;
    }

    QList<CUIDeviceBean> listLogin;
    for (int lId : m_pModel->checkedList()) {
        for (CUIDeviceBean &dev : m_listDev) {
            if (dev.m_lDevId != lId)
                continue;
            dev.m_strUserName = info.strUserName;
            dev.m_strPassword = info.strPassword;
            // Only a session this dialog opened is closed; one the device tab
            // opened stays with the tab.
            const auto itOwn = m_hashOwnSession.find(dev.m_strIp);
            if (itOwn != m_hashOwnSession.end()) {
                emit sendLogoutSignal(itOwn.value());
                m_hashOwnSession.erase(itOwn);
            }
            dev.m_strLoginKey.clear();
            dev.m_lStatus = DevStatusConnecting;
            listLogin.append(dev);
        }
    }
    m_pModel->resetModel();
    emit sendLoginSignal(listLogin, 0);
}

void CShowOnlineDevDlg::mouseEnterEncView(const QModelIndex &index)
{
    m_pModel->setHoverRow(index.row());
}

void CShowOnlineDevDlg::onEncTableViewHeaderClicked(int iColumn)
{
    if (iColumn == COnlineChanModelEx::ColCheck)
        m_pModel->toggleSelectAll();
}

void CShowOnlineDevDlg::getLoginResultSlot(QList<CUIDeviceBean> &, ulong)
{
    ui->oOnlineTableView->viewport()->update();
}

void CShowOnlineDevDlg::getResultSlot(CUIDeviceBean &oBean)
{
    const bool bLoggedIn = oBean.m_lStatus == DevStatusLogged && !oBean.m_strLoginKey.isEmpty();
    if (oBean.m_ulListRound != m_ulOpening) {
        // A login of an earlier opening that finished late: nobody uses it.
        if (bLoggedIn)
            emit sendLogoutSignal(oBean);
        return;
    }
    if (bLoggedIn) {
        // Login pressed again before the first answer: only the newest session is kept.
        const auto itOld = m_hashOwnSession.constFind(oBean.m_strIp);
        if (itOld != m_hashOwnSession.constEnd() && itOld->m_strLoginKey != oBean.m_strLoginKey) {
            CUIDeviceBean oldSession = itOld.value();
            emit sendLogoutSignal(oldSession);
        }
        m_hashOwnSession.insert(oBean.m_strIp, oBean);
    }
    for (CUIDeviceBean &dev : m_listDev) {
        if (dev.m_strIp != oBean.m_strIp)
            continue;
        dev.m_lStatus = oBean.m_lStatus;
        dev.m_strLoginKey = oBean.m_strLoginKey;
        dev.m_strModel = oBean.m_strModel;
        dev.m_strVersion = oBean.m_strVersion;
        dev.m_strDevType = oBean.m_strDevType;
        dev.m_strSerial = oBean.m_strSerial;
        dev.m_strFailReason = oBean.m_strFailReason;
    }
    fitModelColumn();
    ui->oOnlineTableView->viewport()->update();
}

void CShowOnlineDevDlg::on_oAddBtn_clicked()
{
    QList<CUIDeviceBean> listChecked = checkedDevices();
    emit sendChanInfo(listChecked);
}

void CShowOnlineDevDlg::onFilter(const QString &strText)
{
    m_pModel->filter(strText);
}

void CShowOnlineDevDlg::devLogOut(const CUIDeviceBean &oBean)
{
    DevSession::logout(oBean);
}
