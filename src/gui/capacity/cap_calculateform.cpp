#include "cap_calculateform.h"
#include "ui_cap_calculateform.h"

#include "addchandlg.h"
#include "cap_showonlinedevdlg.h"
#include "capformula.h"
#include "chanimport.h"
#include "chanmodelex.h"
#include "modifychandlg.h"
#include "msgdlg.h"
#include "qnofocusdelegate.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QMultiHash>
#include <QPointer>

#include <algorithm>

namespace {

constexpr int ChanRowHeight = 33;
const int s_arrColumnWidth[] = {40, 75, 80, 85, 85, 110};

} // namespace

CCapCalculateForm::CCapCalculateForm(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CCapCalculateForm)
{
    ui->setupUi(this);
    initInputs();
    initView();
    fitTabTitles();
    m_pOnlineDlg = new CShowOnlineDevDlg(this);
    makeConnections();
}

CCapCalculateForm::~CCapCalculateForm() = default;

void CCapCalculateForm::initInputs()
{
    for (int lHour = 1; lHour <= 24; ++lHour) {
        ui->oCapHourCombo->addItem(QString::number(lHour));
        ui->oTimeHourCombo->addItem(QString::number(lHour));
    }
    ui->oCapHourCombo->setCurrentText(QStringLiteral("24"));
    ui->oTimeHourCombo->setCurrentText(QStringLiteral("24"));

    // Decimal gigabytes; there is deliberately no 10TB or 12TB entry.
    const struct {
        const char *text;
        int gb;
    } arrDisk[] = {
        {QT_TR_NOOP("250GB"), 250},   {QT_TR_NOOP("350GB"), 350},   {QT_TR_NOOP("500GB"), 500},
        {QT_TR_NOOP("1TB"), 1000},    {QT_TR_NOOP("2TB"), 2000},    {QT_TR_NOOP("3TB"), 3000},
        {QT_TR_NOOP("4TB"), 4000},    {QT_TR_NOOP("6TB"), 6000},    {QT_TR_NOOP("8TB"), 8000},
        {QT_TR_NOOP("13TB"), 13000},  {QT_TR_NOOP("14TB"), 14000},  {QT_TR_NOOP("16TB"), 16000},
        {QT_TR_NOOP("20TB"), 20000},  {QT_TR_NOOP("24TB"), 24000},
    };
    for (const auto &disk : arrDisk)
        ui->oDiskCombo->addItem(tr(disk.text), disk.gb);
    ui->oDiskCombo->addItem(tr("自定义"), 0);
    ui->oDiskCombo->setCurrentIndex(0);
    ui->oCapGBEdit->hide();
    ui->oDiskCusGBLabel->hide();
}

QString CCapCalculateForm::wrapAtMiddle(const QString &strText)
{
    const int iMiddle = strText.size() / 2;
    int iBreak = -1;
    for (int i = 0; i < strText.size(); ++i) {
        if (strText.at(i) == QLatin1Char(' ') && (iBreak < 0 || qAbs(i - iMiddle) < qAbs(iBreak - iMiddle)))
            iBreak = i;
    }
    if (iBreak < 0)
        return strText;
    QString strWrapped = strText;
    strWrapped[iBreak] = QLatin1Char('\n');
    return strWrapped;
}

void CCapCalculateForm::fitTabTitles()
{
    QTabWidget *pTabs = ui->oCapTabWidget;
    QGroupBox *pGroup = ui->oCalcGroupBox;
    pGroup->ensurePolished();
    // Frame and margins of the box and the tab widget around the tab bar.
    const int nAround = pGroup->width() - pGroup->contentsRect().width()
                        + 2 * pTabs->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 24;
    // Long titles (English, large fonts) take a second line rather than
    // scroll or push the box wider than the window has room for.
    pTabs->setElideMode(Qt::ElideNone);
    if (pTabs->tabBar()->sizeHint().width() + nAround > pGroup->maximumWidth()) {
        for (int i = 0; i < pTabs->count(); ++i)
            pTabs->setTabText(i, wrapAtMiddle(pTabs->tabText(i)));
        // The tab bar sizes its tabs for one line of text.
        const QFontMetrics fm = pTabs->tabBar()->fontMetrics();
        pTabs->tabBar()->setStyleSheet(
            QStringLiteral("QTabBar::tab{min-height: %1px;}").arg(2 * qMax(fm.height(), fm.lineSpacing())));
    }
    // Only a title that cannot break still widens the box.
    const int nNeed = pTabs->tabBar()->sizeHint().width() + nAround;
    if (nNeed > pGroup->maximumWidth()) {
        pGroup->setMaximumWidth(nNeed);
        pGroup->setMinimumWidth(qMax(pGroup->minimumWidth(), nNeed));
    }
}

void CCapCalculateForm::initView()
{
    TableViewEx *pView = ui->oChanTableView;
    m_pChanModel = new CChanModelEx(pView, m_listChan, this);
    m_pDelegate = new QNoFocusDelegate(pView, false, this);
    pView->setModel(m_pChanModel);
    pView->setItemDelegate(m_pDelegate);
    m_pChanModel->setCheckable(true);
    pView->verticalHeader()->setDefaultSectionSize(ChanRowHeight);
    for (int i = 0; i < CChanModelEx::ColumnCount; ++i)
        pView->setColumnWidth(i, s_arrColumnWidth[i]);
    // The last column stretches; the table never gets narrower than its title.
    QHeaderView *pHeader = pView->horizontalHeader();
    const int iLast = CChanModelEx::ColumnCount - 1;
    int nWidth = pHeader->fontMetrics().horizontalAdvance(m_pChanModel->headerData(iLast, Qt::Horizontal).toString())
                 + 2 * pHeader->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, pHeader) + 8;
    for (int i = 0; i < iLast; ++i)
        nWidth += s_arrColumnWidth[i];
    pView->setMinimumWidth(nWidth + 2 * pView->frameWidth() + pView->verticalScrollBar()->sizeHint().width());
    connect(m_pChanModel, &QAbstractItemModel::modelReset, this, &CCapCalculateForm::fitChanColumn);
}

void CCapCalculateForm::fitChanColumn()
{
    ui->oChanTableView->fitColumn(CChanModelEx::ColChan, s_arrColumnWidth[CChanModelEx::ColChan]);
}

void CCapCalculateForm::makeConnections()
{
    const auto comboChanged = QOverload<int>::of(&QComboBox::currentIndexChanged);
    const auto spinChanged = QOverload<int>::of(&QSpinBox::valueChanged);
    connect(ui->oDiskCombo, comboChanged, this, &CCapCalculateForm::diskChangeSlot);
    connect(ui->oDiskCombo, comboChanged, this, &CCapCalculateForm::calRecordTimeSlot);
    connect(ui->oCapHourCombo, comboChanged, this, &CCapCalculateForm::calRecordTimeSlot);
    connect(ui->oCapGBEdit, spinChanged, this, &CCapCalculateForm::calRecordTimeSlot);
    connect(ui->oTimeDayEdit, spinChanged, this, &CCapCalculateForm::calDiskSpaceSlot);
    connect(ui->oTimeHourCombo, comboChanged, this, &CCapCalculateForm::calDiskSpaceSlot);
    connect(this, &CCapCalculateForm::calculateSignal, this, &CCapCalculateForm::calDiskSpaceSlot);
    connect(this, &CCapCalculateForm::calculateSignal, this, &CCapCalculateForm::calRecordTimeSlot);

    connect(this, &CCapCalculateForm::sendDev2DlgSignal, m_pOnlineDlg, &CShowOnlineDevDlg::showOnlineDevSlot);
    connect(m_pOnlineDlg, &CShowOnlineDevDlg::sendChanInfo, this, &CCapCalculateForm::getChanInfo);
    connect(this, &CCapCalculateForm::sendResult, m_pOnlineDlg, &CShowOnlineDevDlg::getResultSlot);

    connect(m_pChanModel, &CChanModelEx::checkListChanged, this, &CCapCalculateForm::checkListChangeSlot);
    connect(ui->oChanTableView, &QAbstractItemView::entered, this, &CCapCalculateForm::mouseEnterEncView);
    connect(ui->oChanTableView->horizontalHeader(), &QHeaderView::sectionPressed, this,
            &CCapCalculateForm::onEncTableViewHeaderClicked);
}

void CCapCalculateForm::on_oAddChanBtn_clicked()
{
    const int lNewId = nextChanId();
    // The form may go away while the dialog runs (application shutdown).
    QPointer<CAddChanDlg> pDlg = new CAddChanDlg(this);
    const int lResult = pDlg->exec();
    if (!pDlg)
        return;
    if (lResult == QDialog::Accepted) {
        if (m_listChan.size() >= MaxChanRecords) {
            delete pDlg.data();
            showNote(tr("添加纪录数量不能多于1024。"));
            return;
        }
        CUIChanBean oBean = pDlg->chanRecord();
        oBean.m_lChanId = lNewId;
        oBean.m_strChanName = CUIChanBean::chanName(oBean.m_lChanNum, oBean.m_strChanName);
        oBean.m_lTotalBitRate = oBean.m_lChanNum * oBean.m_lBitRate;
        m_listChan.append(oBean);
        m_pChanModel->checkedList().append(lNewId);
    }
    m_pChanModel->resetModel();
    delete pDlg.data();
    emit calculateSignal();
}

void CCapCalculateForm::on_oModifyChanBtn_clicked()
{
    QList<int> &listChecked = m_pChanModel->checkedList();
    if (listChecked.isEmpty()) {
        showNote(tr("请选择设备。"));
        return;
    }
    const auto itFirst = std::find_if(m_listChan.cbegin(), m_listChan.cend(), [&](const CUIChanBean &chan) {
        return listChecked.contains(chan.m_lChanId);
    });
    if (itFirst == m_listChan.cend())
        return;

    QPointer<CModifyChanDlg> pDlg = new CModifyChanDlg(this);
    pDlg->setChanRecord(*itFirst);
    const int lResult = pDlg->exec();
    if (!pDlg)
        return;
    if (lResult == QDialog::Accepted) {
        const CUIChanBean oNew = pDlg->chanRecord();
        for (int lId : qAsConst(listChecked)) {
            for (CUIChanBean &chan : m_listChan) {
                if (chan.m_lChanId != lId)
                    continue;
                chan.m_lChanNum = oNew.m_lChanNum;
                chan.m_strChanName = CUIChanBean::chanName(oNew.m_lChanNum, oNew.m_strChanName);
                chan.m_strResolution = oNew.m_strResolution;
                chan.m_strFrameRate = oNew.m_strFrameRate;
                chan.m_lBitRate = oNew.m_lBitRate;
                chan.m_lBestBitRate = oNew.m_lBestBitRate;
                chan.m_lTotalBitRate = chan.m_lChanNum * chan.m_lBitRate;
                chan.m_lEncFmt = oNew.m_lEncFmt;
            }
        }
        listChecked.clear();
        m_pChanModel->resetModel();
    }
    delete pDlg.data();
    emit calculateSignal();
}

void CCapCalculateForm::on_oShowOnlineBtn_clicked()
{
    // Answered synchronously through getDevListSlot, which fills the dialog.
    emit getDevListSignal();
    m_pOnlineDlg->exec();
}

void CCapCalculateForm::mouseEnterEncView(const QModelIndex &index)
{
    m_pChanModel->setHoverRow(index.row());
}

void CCapCalculateForm::onEncTableViewHeaderClicked(int iColumn)
{
    if (iColumn == CChanModelEx::ColCheck)
        m_pChanModel->toggleSelectAll();
}

void CCapCalculateForm::on_oDelChanBtn_clicked()
{
    QList<int> &listChecked = m_pChanModel->checkedList();
    if (listChecked.isEmpty()) {
        showNote(tr("请选择设备。"));
        return;
    }
    for (int lId : qAsConst(listChecked)) {
        const auto it = std::find_if(m_listChan.begin(), m_listChan.end(),
                                     [lId](const CUIChanBean &chan) { return chan.m_lChanId == lId; });
        if (it != m_listChan.end())
            m_listChan.erase(it);
        m_hashImportedFrom.remove(lId);
    }
    listChecked.clear();
    m_pChanModel->resetModel();
    emit calculateSignal();
}

void CCapCalculateForm::calDiskSpaceSlot()
{
    if (m_pChanModel->checkedList().isEmpty()) {
        ui->oDiskCapLabel->setText(QStringLiteral("0 GB"));
        return;
    }
    const int lDays = ui->oTimeDayEdit->value();
    const int lHours = ui->oTimeHourCombo->currentText().toInt();
    const qint64 lGB = CCapFormula::diskSpaceGB(lDays, lHours, checkedTotals());
    ui->oDiskCapLabel->setText(
        QStringLiteral("%1 GB = %2 TB").arg(lGB).arg(CCapFormula::diskSpaceTB(lGB)));
}

void CCapCalculateForm::calRecordTimeSlot()
{
    if (m_pChanModel->checkedList().isEmpty()) {
        ui->oRecTimeLabel->setText(QString::number(0) + tr(" 天"));
        return;
    }
    qint64 lDiskGB = ui->oDiskCombo->currentData().toLongLong();
    if (lDiskGB == 0) {
        const QString strCustom = ui->oCapGBEdit->cleanText();
        if (strCustom.isEmpty()) {
            showNote(tr("磁盘空间不能为空。"));
            return;
        }
        lDiskGB = strCustom.toLongLong();
    }
    qint64 lDays = 0;
    if (!CCapFormula::recordDays(lDiskGB, ui->oCapHourCombo->currentText().toDouble(), checkedTotals(),
                                 lDays)) {
        // Only rows without a bit rate are checked: nothing is ever recorded.
        ui->oRecTimeLabel->setText(tr("码率为0，无法计算"));
        return;
    }
    ui->oRecTimeLabel->setText(QString::number(lDays) + tr(" 天"));
}

void CCapCalculateForm::getDevListSlot(QList<CUIDeviceBean> &oDevList)
{
    m_listOnlineDev = oDevList;
    emit sendDev2DlgSignal(m_listOnlineDev);
}

DWORD CCapCalculateForm::getChanInfo(QList<CUIDeviceBean> &oDevList)
{
    if (m_listChan.size() + oDevList.size() > MaxChanRecords) {
        showNote(tr("添加记录数量不能多于1024。"));
        return 1;
    }
    int lNextId = nextChanId();
    for (CUIDeviceBean &dev : oDevList) {
        const bool bPresent = std::any_of(m_listChan.cbegin(), m_listChan.cend(), [&](const CUIChanBean &chan) {
            return m_hashImportedFrom.value(chan.m_lChanId) == dev.m_strIp;
        });
        if (bPresent) {
            // Counting a device's channels twice would halve the days.
            dev.m_lStatus = DevStatusImportExists;
        } else {
            CUIChanBean oChan;
            oChan.m_lChanId = lNextId;
            dev.m_lStatus = ChanImport::readMainStream(dev, oChan, dev.m_strFailReason);
            if (dev.m_lStatus == DevStatusImportOk) {
                m_listChan.append(oChan);
                // Counted at once, as a row added by hand is.
                m_pChanModel->checkedList().append(lNextId);
                m_hashImportedFrom.insert(lNextId, dev.m_strIp);
                ++lNextId;
            }
        }
        emit sendResult(dev);
    }
    m_pChanModel->resetModel();
    emit calculateSignal();
    return 0;
}

void CCapCalculateForm::diskChangeSlot()
{
    const bool bCustom = ui->oDiskCombo->currentData().toInt() == 0;
    ui->oCapGBEdit->setVisible(bCustom);
    ui->oDiskCusGBLabel->setVisible(bCustom);
}

void CCapCalculateForm::checkListChangeSlot()
{
    if (m_listChan.isEmpty()) {
        showNote(tr("请添加通道。"));
        return;
    }
    emit calculateSignal();
}

int CCapCalculateForm::nextChanId() const
{
    int lMaxId = -1;
    for (const CUIChanBean &chan : m_listChan)
        lMaxId = std::max(lMaxId, chan.m_lChanId);
    return lMaxId + 1;
}

QList<qint32> CCapCalculateForm::checkedTotals() const
{
    // Runs on every check mark the view sets, so no scan of the list per id.
    QMultiHash<int, qint32> hashTotal;
    hashTotal.reserve(m_listChan.size());
    for (const CUIChanBean &chan : m_listChan)
        hashTotal.insert(chan.m_lChanId, chan.m_lTotalBitRate);
    QList<qint32> listTotal;
    for (int lId : m_pChanModel->checkedList())
        listTotal.append(hashTotal.values(lId));
    return listTotal;
}

void CCapCalculateForm::showNote(const QString &strText)
{
    CMsgDlg::showMsg(tr("信息"), strText, MsgNote, this);
}
