#include "streamencodingform.h"

#include "mediareportbar.h"
#include "rangespinbox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

void setRange(QSpinBox *pSpin, const stIntRange &range, int iValue)
{
    pSpin->setVisible(range.offered());
    if (range.offered())
        pSpin->setRange(range.iMin, range.iMax);
    pSpin->setValue(iValue);
}

} // namespace

CStreamEncodingForm::CStreamEncodingForm(QWidget *parent)
    : QWidget(parent)
    , m_pGrid(new QGridLayout)
    , m_pReport(new CMediaReportBar(this))
{
    setObjectName(QStringLiteral("oStreamEncodingForm"));
    const QStringList listHeads = {tr("码流"), tr("编码"), tr("分辨率"), tr("帧率"), tr("码率(Kbps)"),
                                   tr("I帧间隔"), tr("码率控制"), tr("图像质量")};
    for (int i = 0; i < listHeads.size(); ++i)
        m_pGrid->addWidget(new QLabel(listHeads[i], this), 0, i);
    auto *pSave = new QPushButton(tr("保存"), this);
    pSave->setObjectName(QStringLiteral("oSaveBtn"));
    connect(pSave, &QPushButton::clicked, this, &CStreamEncodingForm::saveSlot);
    auto *pButtons = new QHBoxLayout;
    pButtons->addStretch();
    pButtons->addWidget(pSave);
    auto *pLayout = new QVBoxLayout(this);
    pLayout->addLayout(m_pGrid);
    pLayout->addStretch();
    pLayout->addLayout(pButtons);
    pLayout->addWidget(m_pReport);
}

bool CStreamEncodingForm::load(CMediaDevice *pDevice)
{
    m_pDevice = pDevice;
    const QString strReason = pDevice->readStreams(m_vecStreams, m_vecOptions);
    if (!strReason.isEmpty()) {
        m_pReport->report(tr("读取编码参数失败"), strReason);
        return false;
    }
    for (int i = 0; i < m_vecStreams.size(); ++i)
        buildRow(i);
    return true;
}

void CStreamEncodingForm::buildRow(int iIndex)
{
    const stStreamEncoding &stream = m_vecStreams[iIndex];
    const stStreamOptions &options = m_vecOptions[iIndex];
    stRow row{new QComboBox(this),    new QComboBox(this),  new RangeSpinBox(this), new RangeSpinBox(this),
              new RangeSpinBox(this), new QComboBox(this), new RangeSpinBox(this)};
    const QString strIndex = QString::number(iIndex);
    row.pEncoding->setObjectName(QStringLiteral("oEncodingCombo") + strIndex);
    row.pResolution->setObjectName(QStringLiteral("oResolutionCombo") + strIndex);
    row.pFps->setObjectName(QStringLiteral("oFpsSpin") + strIndex);
    row.pBitrate->setObjectName(QStringLiteral("oBitrateSpin") + strIndex);
    row.pGop->setObjectName(QStringLiteral("oGopSpin") + strIndex);
    row.pRateControl->setObjectName(QStringLiteral("oRateControlCombo") + strIndex);
    row.pQuality->setObjectName(QStringLiteral("oQualitySpin") + strIndex);
    row.pEncoding->addItems(options.mapEncodings.keys());
    row.pEncoding->setCurrentText(stream.strEncoding);
    row.pRateControl->addItem(tr("变码率"), false);
    row.pRateControl->addItem(tr("定码率"), true);
    row.pRateControl->setCurrentIndex(stream.bConstantBitrate ? 1 : 0);
    row.pRateControl->setVisible(options.bRateControl);
    setRange(row.pQuality, options.quality, stream.iQuality);
    m_pGrid->addWidget(new QLabel(StreamEncoding::streamTitle(stream.strStream), this), iIndex + 1, 0);
    const QList<QWidget *> listWidgets = {row.pEncoding, row.pResolution, row.pFps, row.pBitrate,
                                          row.pGop, row.pRateControl, row.pQuality};
    for (int i = 0; i < listWidgets.size(); ++i)
        m_pGrid->addWidget(listWidgets[i], iIndex + 1, i + 1);
    m_vecRows.append(row);
    reportOutOfRange(row.pFps, iIndex, &stStreamEncoding::iFps);
    reportOutOfRange(row.pBitrate, iIndex, &stStreamEncoding::iBitrate);
    reportOutOfRange(row.pGop, iIndex, &stStreamEncoding::iGop);
    reportOutOfRange(row.pQuality, iIndex, &stStreamEncoding::iQuality);
    offerChoices(iIndex, stream);
    connect(row.pEncoding, &QComboBox::currentTextChanged, this, &CStreamEncodingForm::encodingChangedSlot);
}

void CStreamEncodingForm::reportOutOfRange(RangeSpinBox *pSpin, int iIndex, int stStreamEncoding::*pField)
{
    // The spin box keeps its last value; the note names the range the camera offers.
    connect(pSpin, &RangeSpinBox::sendOutOfRangeSignal, this, [this, iIndex, pField](int iTyped) {
        stStreamEncoding values = rowValues(iIndex);
        values.*pField = iTyped;
        m_pReport->report(StreamEncoding::streamTitle(values.strStream),
                          StreamEncoding::problem(values, m_vecOptions[iIndex]));
    });
}

void CStreamEncodingForm::offerChoices(int iIndex, const stStreamEncoding &values)
{
    const stRow &row = m_vecRows[iIndex];
    const stEncodingChoice choice = m_vecOptions[iIndex].mapEncodings.value(row.pEncoding->currentText());
    row.pResolution->clear();
    for (const QSize &size : choice.vecResolutions)
        row.pResolution->addItem(QStringLiteral("%1x%2").arg(size.width()).arg(size.height()), size);
    const int iCurrent = row.pResolution->findData(QSize(values.iWidth, values.iHeight));
    row.pResolution->setCurrentIndex(qMax(0, iCurrent));
    setRange(row.pFps, choice.fps, values.iFps);
    setRange(row.pBitrate, choice.bitrate, values.iBitrate);
    setRange(row.pGop, choice.gop, values.iGop);
}

void CStreamEncodingForm::encodingChangedSlot()
{
    for (int i = 0; i < m_vecRows.size(); ++i) {
        if (m_vecRows[i].pEncoding == sender())
            offerChoices(i, rowValues(i));
    }
}

stStreamEncoding CStreamEncodingForm::rowValues(int iIndex) const
{
    const stRow &row = m_vecRows[iIndex];
    stStreamEncoding values = m_vecStreams[iIndex];
    values.strEncoding = row.pEncoding->currentText();
    const QSize size = row.pResolution->currentData().toSize();
    values.iWidth = size.width();
    values.iHeight = size.height();
    values.iFps = row.pFps->value();
    values.iBitrate = row.pBitrate->value();
    values.iGop = row.pGop->value();
    values.bConstantBitrate = row.pRateControl->currentData().toBool();
    values.iQuality = row.pQuality->value();
    return values;
}

void CStreamEncodingForm::saveSlot()
{
    if (!m_pDevice)
        return;
    QVector<stStreamEncoding> vecWanted;
    for (int i = 0; i < m_vecRows.size(); ++i) {
        vecWanted.append(rowValues(i));
        const QString strProblem = StreamEncoding::problem(vecWanted.last(), m_vecOptions[i]);
        if (!strProblem.isEmpty()) {
            m_pReport->report(StreamEncoding::streamTitle(vecWanted.last().strStream), strProblem);
            return;
        }
    }
    const StreamEncoding::stSaveResult result = StreamEncoding::save(*m_pDevice, m_vecStreams, vecWanted);
    if (result.strReason.isEmpty()) {
        m_vecStreams = vecWanted;
        m_pReport->report(tr("保存成功"));
        return;
    }
    const QString strWhat = result.bRestored ? tr("%1保存失败，已恢复原设置").arg(result.listFailed.join(tr("、")))
                                             : tr("%1保存失败，且未能恢复已写入的码流").arg(result.listFailed.join(tr("、")));
    m_pReport->report(strWhat, result.strReason);
}
