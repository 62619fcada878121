#include "encodestreamwidgets.h"

#include "msgdlg.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRegExpValidator>
#include <QSignalBlocker>
#include <QSlider>
#include <QWidget>

using namespace EncodeStreams;

namespace {

template <typename T>
T *child(QWidget *pRoot, const char *pszName, int iStream)
{
    T *pWidget = pRoot->findChild<T *>(QString::fromLatin1(pszName) + QString::number(iStream + 1));
    Q_ASSERT_X(pWidget, "CEncodeStreamWidgets", pszName);
    return pWidget;
}

void fillCombo(QComboBox *pCombo, const QList<QPair<QString, QVariant>> &items)
{
    const QSignalBlocker blocker(pCombo);
    pCombo->clear();
    for (const auto &item : items)
        pCombo->addItem(item.first, item.second);
}

void selectData(QComboBox *pCombo, const QVariant &value)
{
    const int iIndex = pCombo->findData(value);
    if (iIndex < 0)
        return;
    const QSignalBlocker blocker(pCombo);
    pCombo->setCurrentIndex(iIndex);
}

} // namespace

CEncodeStreamWidgets::CEncodeStreamWidgets(QWidget *pRoot)
    : m_pRoot(pRoot)
{
    const char *const apszGroups[] = {"oMainGroup", "oSubGroup", "oThirdGroup"};
    for (int iStream = Main; iStream < StreamCount; ++iStream) {
        stStreamWidgets &s = m_streams[iStream];
        s.pGroup = pRoot->findChild<QGroupBox *>(QLatin1String(apszGroups[iStream]));
        Q_ASSERT(s.pGroup);
        s.pFormat = child<QComboBox>(pRoot, "oEncodeFormCombo_", iStream);
        s.pResolution = child<QComboBox>(pRoot, "oResolutionCombo_", iStream);
        s.pFrameRate = child<QComboBox>(pRoot, "oFrameRateCombo_", iStream);
        s.pMode = child<QComboBox>(pRoot, "oEncodeModeCombo_", iStream);
        s.pBitRate = child<QLineEdit>(pRoot, "oBitRatioEdit_", iStream);
        s.pIFrame = child<QLineEdit>(pRoot, "oIFrameGapEdit_", iStream);
        s.pQuality = child<QSlider>(pRoot, "oPicQualitySlider_", iStream);

        fillCombo(s.pMode, {{QStringLiteral("CBR"), ModeCbr}, {QStringLiteral("VBR"), ModeVbr}});
        const QRegExp digits(QStringLiteral("^[0-9]*[0-9][0-9]*$"));
        s.pBitRate->setValidator(new QRegExpValidator(digits, s.pBitRate));
        s.pBitRate->setMaxLength(5);
        s.pIFrame->setValidator(new QRegExpValidator(digits, s.pIFrame));
        s.pIFrame->setMaxLength(3);
        s.pQuality->setRange(1, 9);
        s.pQuality->setPageStep(1);
    }
}

void CEncodeStreamWidgets::setFormatItems(int iStream, const QList<int> &listFormats)
{
    QList<QPair<QString, QVariant>> items;
    for (int iFormat : listFormats)
        items.append({formatLabel(iFormat), iFormat});
    fillCombo(m_streams[iStream].pFormat, items);
}

int CEncodeStreamWidgets::format(int iStream) const
{
    const QVariant value = m_streams[iStream].pFormat->currentData();
    return value.isValid() ? value.toInt() : -1;
}

void CEncodeStreamWidgets::selectFormat(int iStream, int iFormat)
{
    selectData(m_streams[iStream].pFormat, iFormat);
}

void CEncodeStreamWidgets::setResolutionItems(int iStream, const QStringList &listValues)
{
    QList<QPair<QString, QVariant>> items;
    for (const QString &strValue : listValues)
        items.append({resolutionLabel(strValue), strValue});
    fillCombo(m_streams[iStream].pResolution, items);
}

QStringList CEncodeStreamWidgets::resolutionItems(int iStream) const
{
    QStringList list;
    const QComboBox *pCombo = m_streams[iStream].pResolution;
    for (int i = 0; i < pCombo->count(); ++i)
        list << pCombo->itemData(i).toString();
    return list;
}

QString CEncodeStreamWidgets::resolution(int iStream) const
{
    return m_streams[iStream].pResolution->currentData().toString();
}

void CEncodeStreamWidgets::selectResolution(int iStream, const QString &strValue)
{
    selectData(m_streams[iStream].pResolution, strValue);
}

void CEncodeStreamWidgets::setFrameRateItems(int iStream, const QList<int> &listRates)
{
    QList<QPair<QString, QVariant>> items;
    for (int iRate : listRates)
        items.append({QString::number(iRate), iRate});
    fillCombo(m_streams[iStream].pFrameRate, items);
}

int CEncodeStreamWidgets::frameRate(int iStream) const
{
    return m_streams[iStream].pFrameRate->currentData().toInt();
}

void CEncodeStreamWidgets::selectFrameRate(int iStream, int iRate)
{
    selectData(m_streams[iStream].pFrameRate, iRate);
}

int CEncodeStreamWidgets::mode(int iStream) const
{
    const QVariant value = m_streams[iStream].pMode->currentData();
    return value.isValid() ? value.toInt() : -1;
}

void CEncodeStreamWidgets::selectMode(int iStream, int iMode)
{
    selectData(m_streams[iStream].pMode, iMode);
}

QString CEncodeStreamWidgets::bitRateText(int iStream) const
{
    return m_streams[iStream].pBitRate->text();
}

void CEncodeStreamWidgets::setBitRateText(int iStream, const QString &strText)
{
    const QSignalBlocker blocker(m_streams[iStream].pBitRate);
    m_streams[iStream].pBitRate->setText(strText);
}

QString CEncodeStreamWidgets::iFrameText(int iStream) const
{
    return m_streams[iStream].pIFrame->text();
}

void CEncodeStreamWidgets::setIFrameText(int iStream, const QString &strText)
{
    const QSignalBlocker blocker(m_streams[iStream].pIFrame);
    m_streams[iStream].pIFrame->setText(strText);
}

int CEncodeStreamWidgets::quality(int iStream) const
{
    return m_streams[iStream].pQuality->value();
}

void CEncodeStreamWidgets::setQuality(int iStream, int iQuality)
{
    const QSignalBlocker blocker(m_streams[iStream].pQuality);
    m_streams[iStream].pQuality->setValue(iQuality);
}

void CEncodeStreamWidgets::setRateControlEnabled(int iStream, bool bEnabled)
{
    m_streams[iStream].pBitRate->setEnabled(bEnabled);
    m_streams[iStream].pMode->setEnabled(bEnabled);
    m_streams[iStream].pIFrame->setEnabled(bEnabled);
}

void CEncodeStreamWidgets::setQualityEnabled(int iStream, bool bEnabled)
{
    m_streams[iStream].pQuality->setEnabled(bEnabled);
}

void CEncodeStreamWidgets::setResolutionEnabled(int iStream, bool bEnabled)
{
    m_streams[iStream].pResolution->setEnabled(bEnabled);
}

void CEncodeStreamWidgets::setGroupVisible(int iStream, bool bVisible)
{
    m_streams[iStream].pGroup->setVisible(bVisible);
}

bool CEncodeStreamWidgets::isGroupChecked(int iStream) const
{
    const QGroupBox *pGroup = m_streams[iStream].pGroup;
    return pGroup->isCheckable() && pGroup->isChecked();
}

void CEncodeStreamWidgets::setGroupChecked(int iStream, bool bChecked)
{
    QGroupBox *pGroup = m_streams[iStream].pGroup;
    const QSignalBlocker blocker(pGroup);
    pGroup->setChecked(bChecked);
}

void CEncodeStreamWidgets::setGroupExpanded(int iStream, bool bExpanded)
{
    m_streams[iStream].pGroup->setMaximumHeight(bExpanded ? QWIDGETSIZE_MAX : kCollapsedHeight);
}

void CEncodeStreamWidgets::setGroupEnabled(int iStream, bool bEnabled)
{
    m_streams[iStream].pGroup->setEnabled(bEnabled);
}

bool CEncodeStreamWidgets::askCloseStreams()
{
    return CMsgDlg::askQuestion(tr("信息"), tr("该操作会使后面的流关闭，是否继续操作？"), m_pRoot);
}

void CEncodeStreamWidgets::showRangeNote(int iLow, int iHigh)
{
    CMsgDlg::showMsg(tr("信息"), tr("有效值为%1~%2的整数，请重新输入。").arg(iLow).arg(iHigh), MsgNote, m_pRoot);
}
