#ifndef ENCODESTREAMWIDGETS_H
#define ENCODESTREAMWIDGETS_H

#include "encodestreams.h"

#include <QCoreApplication>

#include <array>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QSlider;
class QWidget;

// The stream widgets of a form (oMainGroup, oSubGroup, oThirdGroup with the
// oEncodeFormCombo_N, oResolutionCombo_N, oFrameRateCombo_N, oBitRatioEdit_N,
// oEncodeModeCombo_N, oPicQualitySlider_N and oIFrameGapEdit_N widgets, N = 1..3)
// as the view of CEncodeStreamLogic. Finds them by name under the root, fills
// the encoding-mode items and sets the edits' validators and lengths. Changes
// made through the view never emit the widgets' change signals.
class CEncodeStreamWidgets : public IEncodeStreamView
{
    Q_DECLARE_TR_FUNCTIONS(CEncodeStreamWidgets)

public:
    explicit CEncodeStreamWidgets(QWidget *pRoot);

    QGroupBox *group(int iStream) const { return m_streams[iStream].pGroup; }
    QComboBox *formatCombo(int iStream) const { return m_streams[iStream].pFormat; }
    QComboBox *resolutionCombo(int iStream) const { return m_streams[iStream].pResolution; }
    QComboBox *frameRateCombo(int iStream) const { return m_streams[iStream].pFrameRate; }
    QComboBox *modeCombo(int iStream) const { return m_streams[iStream].pMode; }
    QLineEdit *bitRateEdit(int iStream) const { return m_streams[iStream].pBitRate; }
    QLineEdit *iFrameEdit(int iStream) const { return m_streams[iStream].pIFrame; }

    void setFormatItems(int iStream, const QList<int> &listFormats) override;
    int format(int iStream) const override;
    void selectFormat(int iStream, int iFormat) override;
    void setResolutionItems(int iStream, const QStringList &listValues) override;
    QStringList resolutionItems(int iStream) const override;
    QString resolution(int iStream) const override;
    void selectResolution(int iStream, const QString &strValue) override;
    void setFrameRateItems(int iStream, const QList<int> &listRates) override;
    int frameRate(int iStream) const override;
    void selectFrameRate(int iStream, int iRate) override;
    int mode(int iStream) const override;
    void selectMode(int iStream, int iMode) override;
    QString bitRateText(int iStream) const override;
    void setBitRateText(int iStream, const QString &strText) override;
    QString iFrameText(int iStream) const override;
    void setIFrameText(int iStream, const QString &strText) override;
    int quality(int iStream) const override;
    void setQuality(int iStream, int iQuality) override;
    void setRateControlEnabled(int iStream, bool bEnabled) override;
    void setQualityEnabled(int iStream, bool bEnabled) override;
    void setResolutionEnabled(int iStream, bool bEnabled) override;
    void setGroupVisible(int iStream, bool bVisible) override;
    bool isGroupChecked(int iStream) const override;
    void setGroupChecked(int iStream, bool bChecked) override;
    void setGroupExpanded(int iStream, bool bExpanded) override;
    void setGroupEnabled(int iStream, bool bEnabled) override;
    bool askCloseStreams() override;
    void showRangeNote(int iLow, int iHigh) override;

private:
    struct stStreamWidgets
    {
        QGroupBox *pGroup = nullptr;
        QComboBox *pFormat = nullptr;
        QComboBox *pResolution = nullptr;
        QComboBox *pFrameRate = nullptr;
        QComboBox *pMode = nullptr;
        QLineEdit *pBitRate = nullptr;
        QLineEdit *pIFrame = nullptr;
        QSlider *pQuality = nullptr;
    };

    QWidget *m_pRoot;
    std::array<stStreamWidgets, 3> m_streams;
};

#endif // ENCODESTREAMWIDGETS_H
