#ifndef IMAGESETTINGSFORM_H
#define IMAGESETTINGSFORM_H

#include "mediaaccess.h"

#include <QHash>
#include <QTimer>
#include <QWidget>

class CLivePlayer;
class CMediaReportBar;
class CVideoWidget;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

// The image page of a camera reached through CMediaDevice: the live picture
// of its main stream and its picture settings. Sliders write on release,
// lists after a short pause, numbers once they are complete; restore switches
// to the camera's default preset where it has one, else writes back what the
// page read when it opened.
class CImageSettingsForm : public QWidget
{
    Q_OBJECT

public:
    explicit CImageSettingsForm(QWidget *parent = nullptr);
    ~CImageSettingsForm() override;
    bool load(CMediaDevice *pDevice);
    CVideoWidget *video() const { return m_pVideo; }
    const stImageSettings &settings() const { return m_current; }

public slots:
    void writeSlot();
    void restoreSlot();
    void retryLiveSlot();

private slots:
    void frameReadySlot();
    void liveStateSlot(int iState, const QString &strText);

private:
    QSlider *addSlider(const QString &strTitle, const QString &strName, const stIntRange &range, int iValue);
    QComboBox *addCombo(const QString &strTitle, const QString &strName, const QList<QPair<QString, QVariant>> &listItems,
                        const QVariant &current);
    QSpinBox *addSpin(const QString &strTitle, const QString &strName, const stIntRange &range, int iValue);
    stImageSettings formValues() const;
    void showValues(const stImageSettings &settings);
    void write(const stImageSettings &settings, const QString &strWhat);

    CMediaDevice *m_pDevice = nullptr;
    CVideoWidget *m_pVideo;
    QLabel *m_pLiveNote;
    QPushButton *m_pRetry;
    QCheckBox *m_pUdp;
    QWidget *m_pFields;
    CMediaReportBar *m_pReport;
    CLivePlayer *m_pPlayer;
    QTimer m_listPause;
    stImageSettings m_read;    // as the page opened
    stImageSettings m_current; // as last written
    stImageOptions m_options;
    QHash<QString, QWidget *> m_hashFields;
};

#endif // IMAGESETTINGSFORM_H
