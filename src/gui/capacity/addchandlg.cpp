#include "addchandlg.h"
#include "ui_chandlg.h"

CAddChanDlg::CAddChanDlg(QWidget *parent)
    : CChanDlgBase(tr("添加通道"), tr("添加通道 >> "), parent)
{
    // Connected before filling, so the form opens with a recommendation.
    connectReactions();
    connect(ui->oChanTypeCombo, &QComboBox::textActivated, this, &CAddChanDlg::oAddChanBtn_slot);
    oAddChanBtn_slot(ui->oChanTypeCombo->currentText());
    fillFmtAndFrameRates();
}

CAddChanDlg::~CAddChanDlg() = default;

void CAddChanDlg::oAddChanBtn_slot(const QString &strDevType)
{
    Q_UNUSED(strDevType)
    fillResolutions(QStringLiteral("1080P"));
}

QString CAddChanDlg::rangeNote() const
{
    return tr("码率范围:128~16384");
}
