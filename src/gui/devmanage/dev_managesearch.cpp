// The device tab's search cycle: the refresh, the probes, the merge of the
// answers and of answers that come late, and the search settings.
#include "dev_manageform.h"
#include "ui_dev_manageform.h"

#include "devdiscovery.h"
#include "encodedevmodelex.h"
#include "ipv4.h"
#include "msgdlg.h"
#include "searchedit.h"
#include "searcheditbox.h"
#include "setupdlg.h"

#include <QHeaderView>
#include <QLoggingCategory>
#include <QTimer>

#include <algorithm>

Q_DECLARE_LOGGING_CATEGORY(lcDevManage)

namespace {

constexpr int kMulticastWaitMs = 500;
constexpr int kSegmentWaitMs = 1500;
constexpr int kProbePauseMs = 500;
// How long after the merge answers are still added, and how often they are looked for.
constexpr int kLateAnswerMs = 3000;
constexpr int kLateAnswerPollMs = 250;
// Largest end - begin of a segment search, alone and beside the multicast search.
constexpr quint32 kMaxSpan = 1024;
constexpr quint32 kMaxSpanWithMulticast = 768;

} // namespace

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
    showSearchState(tr("搜索中..."), QString());
    m_pLateAnswerTimer->stop();

    m_pSearchTimer->stop();
    m_pSegmentProbeTimer->stop();
    m_pDevDiscovery->attach();
    // A refresh with neither search on ends at once.
    if (!m_bMulticast && !m_bSegmentSearch)
        m_pSearchTimer->start(0);
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
    const QList<stDiscoveryBean> listFound = m_pDevDiscovery->results();
    m_iMergedAnswers = listFound.size();
    mergeAnswers(listFound);
    qCDebug(lcDevManage) << "search merged:" << m_listDev.size() << "devices listed";
    // Answers still on their way are taken for a while; the results list keeps growing meanwhile.
    m_lateAnswerClock.start();
    m_pLateAnswerTimer->start(kLateAnswerPollMs);
}

void CDevManageForm::onLateAnswerTimer()
{
    // Only answers that came after the merge: an address listed back then
    // may since have been changed and must not come back.
    const QList<stDiscoveryBean> listFound = m_pDevDiscovery->results();
    if (listFound.size() > m_iMergedAnswers) {
        mergeAnswers(listFound.mid(m_iMergedAnswers));
        m_iMergedAnswers = listFound.size();
        qCDebug(lcDevManage) << "late answers merged:" << m_listDev.size() << "devices listed";
    }
    if (m_lateAnswerClock.elapsed() < kLateAnswerMs)
        return;
    m_pLateAnswerTimer->stop();
    endSearch();
}

void CDevManageForm::mergeAnswers(const QList<stDiscoveryBean> &listFound)
{
    // Besides new rows, answers can move a known row or end its offline mark.
    m_oMerge.mergeDiscovered(listFound, m_strDefaultUser, m_strDefaultPassword, m_pDevDiscovery->departedEndpoints());
    m_pDevModel->sort(EncodeDevModelEx::ColIp, ui->oDevTabView->horizontalHeader()->sortIndicatorOrder());
    m_pDevModel->resetModel();
    ui->oDevNumLabel->setText(QString::number(m_listDev.size()));
}

void CDevManageForm::endSearch()
{
    const int iMissing = m_iLastFound - m_listDev.size();
    m_iLastFound = m_listDev.size();
    if (iMissing <= 0) {
        showSearchState(QString(), QString());
        return;
    }
    showSearchState(tr("%1台设备未应答").arg(iMissing),
                    tr("上次搜索到%1台设备，这次有%2台未应答。请稍后刷新或检查设备的网络连接。")
                        .arg(m_iLastFound + iMissing)
                        .arg(iMissing));
}

void CDevManageForm::showSearchState(const QString &strText, const QString &strTip)
{
    // A line above the table, there only while it has something to say.
    ui->oSearchStateLabel->setText(strText);
    ui->oSearchStateLabel->setToolTip(strTip);
    ui->oSearchStateLabel->setVisible(!strText.isEmpty());
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

