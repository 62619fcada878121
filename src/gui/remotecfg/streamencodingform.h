#ifndef STREAMENCODINGFORM_H
#define STREAMENCODINGFORM_H

#include "mediaaccess.h"

#include <QWidget>

class CMediaReportBar;
class RangeSpinBox;
class QComboBox;
class QGridLayout;

// The encoding page of a camera reached through CMediaDevice: one row per
// stream (main, sub, third) with what the camera offers for it. Save writes
// the changed streams; when one fails, those written are put back.
class CStreamEncodingForm : public QWidget
{
    Q_OBJECT

public:
    explicit CStreamEncodingForm(QWidget *parent = nullptr);
    // Reads the streams; false when the camera did not answer (the reason is shown).
    bool load(CMediaDevice *pDevice);
    const QVector<stStreamEncoding> &streams() const { return m_vecStreams; }

public slots:
    void saveSlot();

private slots:
    void encodingChangedSlot();

private:
    struct stRow
    {
        QComboBox *pEncoding;
        QComboBox *pResolution;
        RangeSpinBox *pFps;
        RangeSpinBox *pBitrate;
        RangeSpinBox *pGop;
        QComboBox *pRateControl;
        RangeSpinBox *pQuality;
    };
    void buildRow(int iIndex);
    void reportOutOfRange(RangeSpinBox *pSpin, int iIndex, int stStreamEncoding::*pField);
    // The row's choices for its current encoding, its values kept where they fit.
    void offerChoices(int iIndex, const stStreamEncoding &values);
    stStreamEncoding rowValues(int iIndex) const;

    CMediaDevice *m_pDevice = nullptr;
    QGridLayout *m_pGrid;
    CMediaReportBar *m_pReport;
    QVector<stStreamEncoding> m_vecStreams;
    QVector<stStreamOptions> m_vecOptions;
    QVector<stRow> m_vecRows;
};

#endif // STREAMENCODINGFORM_H
