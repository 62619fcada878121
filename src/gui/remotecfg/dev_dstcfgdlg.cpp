#include "dev_dstcfgdlg.h"
#include "ui_dev_dstcfgdlg.h"

#include "cfgbatch.h"
#include "devsession.h"
#include "msgdlg.h"
#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QDebug>

namespace {

// A value without an item selects nothing.
void selectByData(QComboBox *pCombo, int iValue)
{
    pCombo->setCurrentIndex(pCombo->findData(iValue));
}

} // namespace

CDstCfgDlg::CDstCfgDlg(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CDstCfgDlg)
    , m_baDst(ZELT_DST_SIZE, '\0')
    , m_pBatch(new CCfgBatch(this))
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    setFixedSize(600, 260);
    fillCombos();
    connect(m_pBatch, &CCfgBatch::sendResultSignal, this, &CDstCfgDlg::getResultSlot);
}

CDstCfgDlg::~CDstCfgDlg() = default;

void CDstCfgDlg::fillCombos()
{
    const QString months[] = {tr("一月"), tr("二月"), tr("三月"), tr("四月"),   tr("五月"),   tr("六月"),
                              tr("七月"), tr("八月"), tr("九月"), tr("十月"), tr("十一月"), tr("十二月")};
    const QString weeks[] = {tr("首个"), tr("第二个"), tr("第三个"), tr("第四个"), tr("末个")};
    const QString weekDays[] = {tr("星期日"), tr("星期一"), tr("星期二"), tr("星期三"),
                                tr("星期四"), tr("星期五"), tr("星期六")};
    for (QComboBox *pCombo : {ui->oBeginMonthCombo, ui->oEndMonthCombo}) {
        for (int i = 0; i < 12; ++i)
            pCombo->addItem(months[i], i + 1);
    }
    for (QComboBox *pCombo : {ui->oBeginWeekNumCombo, ui->oEndWeekNumCombo}) {
        for (int i = 0; i < 5; ++i)
            pCombo->addItem(weeks[i], i + 1);
    }
    for (QComboBox *pCombo : {ui->oBeginWeekDayCombo, ui->oEndWeekDayCombo}) {
        for (int i = 0; i < 7; ++i)
            pCombo->addItem(weekDays[i], i);
    }
    for (QComboBox *pCombo : {ui->oBeginHourCombo, ui->oEndHourCombo}) {
        for (int i = 0; i < 24; ++i)
            pCombo->addItem(QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')), i);
    }
    for (int iMinutes : {30, 60, 90, 120})
        ui->oBiasCombo->addItem(tr("%1分钟").arg(iMinutes), iMinutes);
}

ULONG CDstCfgDlg::getDevListInfoSlot(QList<CUIDeviceBean> &oDevList)
{
    m_listDev = oDevList;
    if (!m_listDev.isEmpty())
        m_devBean = m_listDev.first();
    return 0;
}

ULONG CDstCfgDlg::setDefault()
{
    QByteArray baDst;
    const DWORD ulRet = DevSession::readConfig(m_devBean, ZELT_MW_DST_CFG, baDst, m_strReadFailure);
    if (ulRet != 0) {
        qDebug() << "daylight saving not read:" << ulRet;
        return 1;
    }
    m_baDst = baDst;
    const auto *p = reinterpret_cast<const uint8_t *>(m_baDst.constData());
    ui->oEnableDSTCheck->setChecked(zelt_get_u32(p, ZELT_DST_ENABLED) != 0);
    // A value the device holds outside its range selects nothing, so that
    // it is never sent on as some other value.
    selectByData(ui->oBeginMonthCombo, p[ZELT_DST_START_MONTH]);
    selectByData(ui->oBeginWeekNumCombo, p[ZELT_DST_START_WEEK]);
    selectByData(ui->oBeginWeekDayCombo, p[ZELT_DST_START_WEEKDAY]);
    selectByData(ui->oBeginHourCombo, p[ZELT_DST_START_HOUR]);
    selectByData(ui->oEndMonthCombo, p[ZELT_DST_END_MONTH]);
    selectByData(ui->oEndWeekNumCombo, p[ZELT_DST_END_WEEK]);
    selectByData(ui->oEndWeekDayCombo, p[ZELT_DST_END_WEEKDAY]);
    selectByData(ui->oEndHourCombo, p[ZELT_DST_END_HOUR]);
    selectByData(ui->oBiasCombo, zelt_get_u16(p, ZELT_DST_OFFSET_MIN));
    return 0;
}

bool CDstCfgDlg::collect(QByteArray &baDst) const
{
    const QComboBox *const combos[] = {ui->oBeginMonthCombo, ui->oBeginWeekNumCombo, ui->oBeginWeekDayCombo,
                                       ui->oBeginHourCombo,  ui->oEndMonthCombo,     ui->oEndWeekNumCombo,
                                       ui->oEndWeekDayCombo, ui->oEndHourCombo,      ui->oBiasCombo};
    for (const QComboBox *pCombo : combos) {
        if (pCombo->currentIndex() < 0)
            return false;
    }
    baDst = m_baDst;
    auto *p = reinterpret_cast<uint8_t *>(baDst.data());
    zelt_put_u32(p, ZELT_DST_ENABLED, ui->oEnableDSTCheck->isChecked() ? 1 : 0);
    p[ZELT_DST_START_MONTH] = uint8_t(ui->oBeginMonthCombo->currentData().toUInt());
    p[ZELT_DST_START_WEEK] = uint8_t(ui->oBeginWeekNumCombo->currentData().toUInt());
    p[ZELT_DST_START_WEEKDAY] = uint8_t(ui->oBeginWeekDayCombo->currentData().toUInt());
    p[ZELT_DST_START_HOUR] = uint8_t(ui->oBeginHourCombo->currentData().toUInt());
    p[ZELT_DST_END_MONTH] = uint8_t(ui->oEndMonthCombo->currentData().toUInt());
    p[ZELT_DST_END_WEEK] = uint8_t(ui->oEndWeekNumCombo->currentData().toUInt());
    p[ZELT_DST_END_WEEKDAY] = uint8_t(ui->oEndWeekDayCombo->currentData().toUInt());
    p[ZELT_DST_END_HOUR] = uint8_t(ui->oEndHourCombo->currentData().toUInt());
    zelt_put_u16(p, ZELT_DST_OFFSET_MIN, uint16_t(ui->oBiasCombo->currentData().toUInt()));
    return true;
}

void CDstCfgDlg::on_oOkBtn_clicked()
{
    QByteArray baDst;
    if (!collect(baDst)) {
        CMsgDlg::showMsg(tr("信息"), tr("请为每一项选择有效的值。"), MsgNote, this);
        return;
    }
    for (CUIDeviceBean &oBean : m_listDev) {
        m_pBatch->request(ZELT_MW_DST_CFG, baDst, oBean);
        oBean.m_lStatus = DevStatusConfiguring;
        emit sendResultSignal(oBean);
    }
    accept();
}

void CDstCfgDlg::on_oCancelBtn_clicked()
{
    reject();
}

void CDstCfgDlg::deleteWhenDone()
{
    m_pBatch->deleteWhenDone(this);
}

void CDstCfgDlg::getResultSlot(CUIDeviceBean &oBean)
{
    // The batch answers with the record as it was sent, its status now final.
    emit sendResultSignal(oBean);
}
