#include "dev_batcheditaddrdlg.h"
#include "ui_dev_batcheditaddrdlg.h"

#include "batcheditmodelex.h"
#include "devfailreason.h"
#include "dialogframe.h"
#include "ipv4.h"
#include "ipwidget.h"
#include "msgdlg.h"
#include "qnofocusdelegate.h"
#include "tableviewex.h"
#include "uidevicebean.h"

#include "Discovery.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>

namespace {

// The highest host number handed out within one block of 256 addresses.
constexpr int kLastHost = 254;

QList<QLineEdit *> octetFields(IpWidget *pWidget)
{
    return pWidget->findChildren<QLineEdit *>(QString(), Qt::FindDirectChildrenOnly);
}

// An IpWidget with all four fields empty reports "..."; rows get no text then.
QString rowAddressText(const QString &strRaw)
{
    return strRaw == QLatin1String("...") ? QString() : strRaw;
}

} // namespace

CBatchEditAddrDlg::CBatchEditAddrDlg(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CBatchEditAddrDlg)
    , m_pDeadline(new QTimer(this))
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    CDialogFrame::decorate(this);
    m_pDeadline->setSingleShot(true);
    connect(m_pDeadline, &QTimer::timeout, this, &CBatchEditAddrDlg::onDeadline_slot);

    ui->firstIpWidget->setPartsText(QString());
    ui->lastIpWidget->setPartsText(QString());
    ui->subIpWidget->setPartsText(QString());
    ui->gatewayIpWidget->setPartsText(QString());
    // The last address only shows where the range ends.
    for (QLineEdit *pField : octetFields(ui->lastIpWidget))
        pField->setReadOnly(true);
    ui->firstIpWidget->setFocus();

    TableViewEx *pView = ui->oBatchEditAddrTableview;
    m_pModel = new CBatchEditModelEx(pView, &m_listRows, this);
    pView->setModel(m_pModel);
    auto *pDelegate = new QNoFocusDelegate(pView, false, pView);
    pDelegate->setPasswordColumn(CBatchEditModelEx::ColPassword);
    pView->setItemDelegate(pDelegate);
    connect(pView, &QTableView::entered, this, &CBatchEditAddrDlg::mouseEnterEncView);
    connect(pView->horizontalHeader(), &QHeaderView::sectionPressed, this,
            &CBatchEditAddrDlg::onEncTableViewHeaderClicked);
    pView->setColumnWidth(CBatchEditModelEx::ColCheck, 40);
    pView->setColumnWidth(CBatchEditModelEx::ColName, 200);
    for (int iColumn = CBatchEditModelEx::ColOldIp; iColumn < CBatchEditModelEx::ColCount; ++iColumn)
        pView->setColumnWidth(iColumn, 100);
    pView->hideColumn(CBatchEditModelEx::ColCheck);
    pView->hideColumn(CBatchEditModelEx::ColName);
    pView->setEditTriggers(QAbstractItemView::DoubleClicked);

    connect(ui->firstIpWidget, &IpWidget::textChanged, this, &CBatchEditAddrDlg::onInitFirstIp_slot);
    connect(ui->firstIpWidget, &IpWidget::textChanged, this, &CBatchEditAddrDlg::onInitLastIp_slot);
    connect(ui->subIpWidget, &IpWidget::textChanged, this, &CBatchEditAddrDlg::onInitSubIp_slot);
    connect(ui->gatewayIpWidget, &IpWidget::textChanged, this, &CBatchEditAddrDlg::onGatewayIp_slot);
}

CBatchEditAddrDlg::~CBatchEditAddrDlg() = default;

void CBatchEditAddrDlg::setDeviceList(QList<CBatchEditNetAddrBean> &listBean)
{
    m_listRows.clear();
    for (const CBatchEditNetAddrBean &oGiven : listBean) {
        CBatchEditNetAddrBean oRow;
        oRow.m_lRowId = m_listRows.size();
        oRow.m_lResult = -1;
        oRow.m_strName = oGiven.m_strName;
        oRow.m_strOldIp = oGiven.m_strOldIp;
        oRow.m_strPassword = oGiven.m_strPassword;
        oRow.m_strUserName = oGiven.m_strUserName;
        oRow.m_strSerial = oGiven.m_strSerial;
        oRow.m_strMac = oGiven.m_strMac;
        oRow.m_strInputPassword = oGiven.m_strInputPassword;
        oRow.m_strXAddr = oGiven.m_strXAddr;
        m_listRows.append(oRow);
    }
    m_hashPlanLine.clear();
    m_pModel->setRowsNotInPlan({});
    m_pDeadline->stop();
    updateOkButton();
}

void CBatchEditAddrDlg::clearAddresses()
{
    ui->firstIpWidget->setPartsText(QString());
    ui->lastIpWidget->setPartsText(QString());
    ui->subIpWidget->setPartsText(QString());
    ui->gatewayIpWidget->setPartsText(QString());
}

QStringList CBatchEditAddrDlg::firstIpParts() const
{
    QStringList listParts;
    for (QLineEdit *pField : octetFields(ui->firstIpWidget))
        listParts << pField->text();
    return listParts;
}

void CBatchEditAddrDlg::onInitFirstIp_slot(const QString &)
{
    const QStringList listF = firstIpParts();
    if (!listF.at(3).isEmpty()) {
        const int iStart = listF.at(3).toInt();
        const QString strBlock = listF.at(0) + QLatin1Char('.') + listF.at(1) + QLatin1Char('.');
        const QString strNextBlock = strBlock + QString::number(listF.at(2).toInt() + 1) + QLatin1Char('.');
        int iCounter = 1;
        for (int i = 0; i < m_listRows.size(); ++i) {
            // Host numbers stop at 254 and continue at .1 of the next block.
            if (iStart + i <= kLastHost)
                m_listRows[i].m_strNewIp = strBlock + listF.at(2) + QLatin1Char('.') + QString::number(iStart + i);
            else
                m_listRows[i].m_strNewIp = strNextBlock + QString::number(iCounter++);
        }
    }
    m_pModel->resetModel();
}

void CBatchEditAddrDlg::onInitLastIp_slot(const QString &)
{
    const QStringList listF = firstIpParts();
    const QList<QLineEdit *> listLast = octetFields(ui->lastIpWidget);
    listLast.at(0)->setText(listF.at(0));
    listLast.at(1)->setText(listF.at(1));
    if (!listF.at(3).isEmpty()) {
        const int iEnd = listF.at(3).toInt() + m_listRows.size();
        if (iEnd <= kLastHost + 1) {
            listLast.at(2)->setText(listF.at(2));
            listLast.at(3)->setText(QString::number(iEnd - 1));
        } else {
            listLast.at(2)->setText(QString::number(listF.at(2).toInt() + 1));
            listLast.at(3)->setText(QString::number(iEnd - (kLastHost + 1)));
        }
    }
    if (listF.at(2).isEmpty())
        listLast.at(2)->setText(QString());
    if (listF.at(3).isEmpty())
        listLast.at(3)->setText(QString());

    const QString strFirst = listF.at(0);
    const int iA = strFirst.toInt();
    if (!strFirst.isEmpty() && iA >= 1 && iA <= 127)
        ui->subIpWidget->setText(QStringLiteral("255.0.0.0"));
    else if (!strFirst.isEmpty() && iA >= 128 && iA <= 191)
        ui->subIpWidget->setText(QStringLiteral("255.255.0.0"));
    else
        ui->subIpWidget->setText(QStringLiteral("255.255.255.0"));

    const QString strNormal = ui->firstIpWidget->text();
    ui->gatewayIpWidget->setText(strNormal.left(strNormal.lastIndexOf(QLatin1Char('.'))) + QStringLiteral(".1"));
}

void CBatchEditAddrDlg::onInitSubIp_slot(const QString &strText)
{
    const QString strMask = rowAddressText(strText);
    for (CBatchEditNetAddrBean &oRow : m_listRows)
        oRow.m_strMask = strMask;
    m_pModel->resetModel();
}

void CBatchEditAddrDlg::onGatewayIp_slot(const QString &strText)
{
    const QString strGateway = rowAddressText(strText);
    for (CBatchEditNetAddrBean &oRow : m_listRows)
        oRow.m_strGateway = strGateway;
    m_pModel->resetModel();
}

void CBatchEditAddrDlg::on_oOkBtn_clicked()
{
    // A changed device no longer answers at its old address, and a pending one
    // is still being changed: neither is sent again.
    const bool bPlan = !m_hashPlanLine.isEmpty();
    if (bPlan) {
        const QList<CAddressPlan::stProblem> listProblems =
            CAddressPlan::check(planRows(), m_listListed, CAddressPlan::UnmatchedIsAllowed);
        if (!listProblems.isEmpty()) {
            showPlanProblems(listProblems);
            return;
        }
    }
    int nSent = 0;
    for (CBatchEditNetAddrBean &oRow : m_listRows) {
        if (oRow.m_lResult == DevStatusModifyOk || oRow.m_lResult == DevStatusModifying)
            continue;
        if (bPlan && !m_hashPlanLine.contains(oRow.m_lRowId))
            continue;
        CBatchEditNetAddrBean oRequest = oRow;
        emit sendModifySignal(oRequest);
        oRow.m_lResult = DevStatusModifying;
        oRow.m_strFailReason.clear();
        ++nSent;
    }
    m_pModel->resetModel();
    if (nSent == 0)
        return;
    // The changes run one after another, each bounded by the library's timeout.
    m_pDeadline->start(nSent * m_nRowTimeoutMs);
    updateOkButton();
}

bool CBatchEditAddrDlg::hasPendingRows() const
{
    return std::any_of(m_listRows.cbegin(), m_listRows.cend(), [](const CBatchEditNetAddrBean &oRow) {
        return oRow.m_lResult == DevStatusModifying;
    });
}

void CBatchEditAddrDlg::updateOkButton()
{
    const bool bPending = hasPendingRows();
    ui->oOkBtn->setEnabled(!bPending);
    if (!bPending)
        m_pDeadline->stop();
}

void CBatchEditAddrDlg::onDeadline_slot()
{
    for (CBatchEditNetAddrBean &oRow : m_listRows) {
        if (oRow.m_lResult == DevStatusModifying) {
            oRow.m_lResult = DevStatusModifyFailed;
            oRow.m_strFailReason = CDevFailReason::ofDiscovery(RVNA_ERR_TIMEOUT);
        }
    }
    m_pModel->resetModel();
    updateOkButton();
}

void CBatchEditAddrDlg::on_ocancelBtn_clicked()
{
    close();
}

void CBatchEditAddrDlg::oGetModifyRltSlot(CBatchEditNetAddrBean &oNetAddrBean)
{
    for (CBatchEditNetAddrBean &oRow : m_listRows) {
        if (oRow.m_strOldIp == oNetAddrBean.m_strOldIp) {
            oRow.m_lResult = oNetAddrBean.m_lResult;
            oRow.m_strFailReason = oNetAddrBean.m_strFailReason;
        }
    }
    m_pModel->resetModel();
    updateOkButton();
}

void CBatchEditAddrDlg::onEncTableViewHeaderClicked(int iColumn)
{
    if (iColumn != CBatchEditModelEx::ColCheck)
        return;
    m_pModel->toggleSelectAll();
}

void CBatchEditAddrDlg::mouseEnterEncView(const QModelIndex index)
{
    m_pModel->setHoverRow(index.row());
}

void CBatchEditAddrDlg::on_oLoadPlanBtn_clicked()
{
    if (m_strPlanFolder.isEmpty())
        m_strPlanFolder = QDir::homePath();
    QFileDialog oDialog(this, tr("导入地址计划"), m_strPlanFolder, tr("CSV 文件 (*.csv)"));
    oDialog.setObjectName(QStringLiteral("oPlanFileDlg"));
    oDialog.setOption(QFileDialog::DontUseNativeDialog);
    oDialog.setFileMode(QFileDialog::ExistingFile);
    if (oDialog.exec() != QDialog::Accepted || oDialog.selectedFiles().isEmpty())
        return;
    m_strPlanFolder = QFileInfo(oDialog.selectedFiles().first()).absolutePath();
    loadPlan(oDialog.selectedFiles().first());
}

void CBatchEditAddrDlg::loadPlan(const QString &strPath)
{
    CAddressPlan oPlan;
    CAddressPlan::stProblem oProblem;
    if (!oPlan.load(strPath, oProblem)) {
        showPlanProblems({oProblem});
        return;
    }
    // The rows as devices, so that plan entries find them by MAC or serial number.
    QList<CUIDeviceBean> listRowDevs;
    for (const CBatchEditNetAddrBean &oRow : qAsConst(m_listRows)) {
        CUIDeviceBean oDev;
        oDev.m_strIp = oRow.m_strOldIp;
        oDev.m_strMac = oRow.m_strMac;
        oDev.m_strSerial = oRow.m_strSerial;
        oDev.m_strXAddr = oRow.m_strXAddr;
        listRowDevs << oDev;
    }
    QHash<int, CAddressPlan::stEntry> hashEntry; // row index -> entry
    QList<CAddressPlan::stEntry> listUsed;
    for (const CAddressPlan::stEntry &oEntry : oPlan.entries()) {
        const int iRow = CAddressPlan::findDevice(oEntry, listRowDevs);
        if (iRow >= 0 && !hashEntry.contains(iRow)) {
            hashEntry.insert(iRow, oEntry);
            listUsed << oEntry;
        }
    }
    const QList<CAddressPlan::stProblem> listProblems =
        CAddressPlan::check(listUsed, m_listListed, CAddressPlan::UnmatchedIsAllowed);
    if (!listProblems.isEmpty()) {
        showPlanProblems(listProblems);
        return;
    }
    m_hashPlanLine.clear();
    QSet<int> setNotInPlan;
    for (int i = 0; i < m_listRows.size(); ++i) {
        CBatchEditNetAddrBean &oRow = m_listRows[i];
        if (!hashEntry.contains(i)) {
            setNotInPlan.insert(oRow.m_lRowId);
            continue;
        }
        const CAddressPlan::stEntry &oEntry = hashEntry[i];
        oRow.m_strNewIp = Ipv4::normalized(oEntry.strIp);
        oRow.m_strMask = Ipv4::normalized(oEntry.strMask);
        oRow.m_strGateway = Ipv4::normalized(oEntry.strGateway);
        if (!oEntry.strUser.isEmpty())
            oRow.m_strUserName = oEntry.strUser;
        m_hashPlanLine.insert(oRow.m_lRowId, oEntry.iLine);
    }
    m_pModel->setRowsNotInPlan(setNotInPlan);
}

QList<CAddressPlan::stEntry> CBatchEditAddrDlg::planRows() const
{
    QList<CAddressPlan::stEntry> listEntries;
    for (const CBatchEditNetAddrBean &oRow : m_listRows) {
        if (!m_hashPlanLine.contains(oRow.m_lRowId))
            continue;
        CAddressPlan::stEntry oEntry;
        oEntry.iLine = m_hashPlanLine.value(oRow.m_lRowId);
        oEntry.strMac = oRow.m_strMac;
        oEntry.strSerial = oRow.m_strSerial;
        oEntry.strIp = oRow.m_strNewIp;
        oEntry.strMask = oRow.m_strMask;
        oEntry.strGateway = oRow.m_strGateway;
        listEntries << oEntry;
    }
    return listEntries;
}

void CBatchEditAddrDlg::showPlanProblems(const QList<CAddressPlan::stProblem> &listProblems)
{
    CMsgDlg::showMsg(tr("错误"), tr("地址计划有误，未发送任何请求：\n%1").arg(CAddressPlan::describe(listProblems)),
                     MsgError, this);
}
