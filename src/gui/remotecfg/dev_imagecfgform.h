#ifndef DEV_IMAGECFGFORM_H
#define DEV_IMAGECFGFORM_H

#include "devcapacityinfo.h"
#include "devtypes.h"
#include "imageliveplayer.h"
#include "uidevicebean.h"

#include <QByteArray>
#include <QList>
#include <QScopedPointer>
#include <QTimer>
#include <QWidget>

class CCfgReport;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QSlider;

namespace Ui {
class CImageCfgForm;
}

// The "图像" page of the configuration dialog: the live picture and the four
// image setting groups, each written to the device as soon as it changes.
//
// The page's shell (construction, reading and writing the structures, the
// default restore, the report and the live picture) is in
// dev_imagecfgform.cpp; the capability document is read in
// dev_imagecfgcaps.cpp and each setting group has its own unit:
// dev_imagecfgenhance.cpp, dev_imagecfgexposure.cpp (with the shutters in
// dev_imagecfgshutter.cpp), dev_imagecfgir.cpp (infrared light and day/night)
// and dev_imagecfgwhite.cpp.
class CImageCfgForm : public QWidget
{
    Q_OBJECT

public:
    CImageCfgForm(const CUIDeviceBean &oBean, const QList<stDevCapacityInfo> &capList,
                  QWidget *parent = nullptr);
    ~CImageCfgForm() override;

    // Called by the dialog right after construction with the live stream the
    // capability worker started (handle and start result).
    void startLivePlay(DWORD ulStreamHd, DWORD ulLiveResult);
    DWORD stopLivePlay();
    // The notice that stays beside the picture until a retry brings it back.
    void showLiveLost(const QString &strText, DWORD ulResult);

signals:
    void sendReportSignal(QString strResult, ULONG ulResult);
    // A call found the device gone: its session is of no more use.
    void sendDevGoneSignal();

public slots:
    void brightReleaseSlot();
    void brightPressSlot();
    void brightChangedSlot(int iValue);
    void contrastReleaseSlot();
    void contrastPressSlot();
    void contrastChangedSlot(int iValue);
    void saturationReleaseSlot();
    void saturationPressSlot();
    void saturationChangedSlot(int iValue);
    void sharpReleaseSlot();
    void sharpPressSlot();
    void sharpChangedSlot(int iValue);
    void denoise2DReleaseSlot();
    void denoise2DPressSlot();
    void denoise2DChangedSlot(int iValue);
    void denoise3DReleaseSlot();
    void denoise3DPressSlot();
    void denoise3DChangedSlot(int iValue);
    void mirrorChangedSlot(int iIndex);

    void senceGroupSlot(bool bChecked);
    void exposureGroupSlot(bool bChecked);
    void smartIRGroupSlot(bool bChecked);
    void whiteGroupSlot(bool bChecked);

    void redOffsetReleaseSlot();
    void redOffsetPressSlot();
    void redOffsetChangedSlot(int iValue);
    void blueOffsetReleaseSlot();
    void blueOffsetPressSlot();
    void blueOffsetChangedSlot(int iValue);
    void whiteModeChangedSlot(int iIndex);

    void irCtrlChangedSlot(int iIndex);
    void nearLedLevelSlot();
    void midLedLevelSlot();
    void farLedLevelSlot();

    void expModeChangedSlot(int iIndex);
    void shutterChangedSlot(int iIndex);
    void slowShutterChangedSlot(int iIndex);
    void fastShutterChangedSlot(int iIndex);
    void gainChangedSlot();
    void minGainChangedSlot();
    void maxGainChangedSlot();
    void irisChangedSlot(int iIndex);
    void enableSlowShutterSlot(bool bChecked);
    void enableSlowShutter();
    void resetBySlowShutter(ULONG ulSlowShutter);
    void disableSlowShutterSlot(bool bChecked);
    void disableSlowShutter();
    void maxSlowShutterChangedSlot(int iIndex);
    void compenReleaseSlot();
    void compenPressSlot();
    void compenChangedSlot(int iValue);
    void meteringChangedSlot(int iIndex);
    void dayNightModeChangedSlot(int iIndex);
    void dayNightSensChangedSlot(int iIndex);
    void dayNightTimeChangedSlot();
    void wdrChangedSlot(int iIndex);
    void wdrLevelReleaseSlot();
    void wdrLevelPressSlot();
    void wdrLevelChangedSlot(int iValue);

    void showReportSlot(QString strResult, ULONG ulResult);
    void onShowReportTimer();
    void onEnhanceCfgTimer();
    void onExposureCfgTimer();
    void onWhiteCfgTimer();
    void onIrCtrlCfgTimer();
    void onRestoreParamTimer();

private slots:
    void on_oDefaultBtn_clicked();
    void on_oLiveRetryBtn_clicked();
    void onStreamWatchTimer();
    void videoScreenChangedSlot();

private:
    // Accepted range of a number field; valid is false when the capability
    // document gave none.
    struct NumberRange
    {
        int iMin = 0;
        int iMax = 0;
        bool bValid = false;

        // The field's number when the range is known and holds it.
        bool accepts(const QLineEdit *pEdit, int &iValue) const;
    };

    void initNumberFields();
    void fillShutterLists();
    void readShutterLimit();
    void hideAll();
    void parseCapabilities();
    void addListEntries(QComboBox *pCombo, const QString &strCodes, const QList<QPair<int, QString>> &table);
    void applyRange(const QString &strParent, const QString &strTag, const QString &strText);
    void finishNumberFields();

    void readAllGroups();
    bool readGroup(DWORD ulCmd, QByteArray &data);
    bool readGroupOf(QWidget *pGroupBody, DWORD ulCmd, QByteArray &data);
    void readEnhance();
    // Shows the enhancement values the device holds (m_enhance).
    void showEnhance();
    void readExposure();
    void readWhite();
    void readIrCtrl();
    void connectEnhance();
    void connectExposure();
    void connectWhite();
    void connectIrCtrl();
    void disconnectAll();

    QByteArray collectEnhance() const;
    QByteArray collectExposure() const;
    QByteArray collectWhite() const;
    QByteArray collectIrCtrl() const;
    // False when the device refused the write; stored then stays as it was.
    bool writeGroup(DWORD ulCmd, QByteArray &stored, const QByteArray &data);
    void writeEnhance();
    void writeExposure();
    void writeWhite();
    void writeIrCtrl();
    void startListTimer(QTimer &timer);

    // A dragged slider writes once, when it is released, not at every step.
    void connectSlider(QSlider *pSlider, void (CImageCfgForm::*pressed)(), void (CImageCfgForm::*released)(),
                       void (CImageCfgForm::*changed)(int));
    void sliderPressed(QSlider *pSlider, void (CImageCfgForm::*changed)(int));
    void sliderReleased(QSlider *pSlider, void (CImageCfgForm::*changed)(int), void (CImageCfgForm::*write)());
    void numberEdited(QLineEdit *pEdit, const NumberRange &range, quint32 ulStored, void (CImageCfgForm::*write)());
    void applyWhiteMode();
    void applyIrMode();
    void applyDayNightMode();
    void applyWdrMode();
    void applyExposureMode();
    void refillShutterRange(QComboBox *pCombo, ULONG ulLimit);
    // Folds or unfolds a group; its title shows an arrow, not a check box,
    // since folding switches nothing off.
    void setGroupExpanded(QGroupBox *pGroup, bool bChecked);
    // Each slider of the enhancement group gets its value beside it.
    void addSliderValues();
    QByteArray userId() const;

    QScopedPointer<Ui::CImageCfgForm> ui;
    CCfgReport *m_pReport = nullptr;
    CUIDeviceBean m_devBean;
    QList<stDevCapacityInfo> m_capList;

    QByteArray m_enhance;
    QByteArray m_exposure;
    QByteArray m_white;
    QByteArray m_irCtrl;

    // Pending list codes, written by the group timers.
    int m_iMirror = 0;
    int m_iWhiteMode = 0;
    int m_iIrMode = 0;
    int m_iExpMode = 0;
    int m_iMetering = 0;
    int m_iDayNightMode = 0;
    int m_iDayNightSens = 0;
    int m_iWdrMode = 0;

    // Rows the capability document offers, which the exposure modes show.
    bool m_bHasShutter = false;
    bool m_bHasGain = false;
    bool m_bHasShutterRange = false;

    bool m_bSlowShutter = false;
    ULONG m_ulLastFastShutter = 0;
    ULONG m_ulLastSlowShutter = 0;
    ULONG m_ulShutterLimit = 0;
    // Entries of the two shutter-range lists bounded by the capability document.
    ULONG m_ulRangeMin = 0;
    ULONG m_ulRangeMax = 0;

    NumberRange m_gainRange;
    NumberRange m_minGainRange;
    NumberRange m_maxGainRange;
    NumberRange m_nearRange;
    NumberRange m_midRange;
    NumberRange m_farRange;
    NumberRange m_timeRange;

    CImageLivePlayer m_live;
    // Looks every second whether the playing stream still receives frames.
    QTimer m_streamWatch;

    QTimer m_enhanceTimer;
    QTimer m_exposureTimer;
    QTimer m_whiteTimer;
    QTimer m_irCtrlTimer;
    QTimer m_restoreTimer;
};

#endif // DEV_IMAGECFGFORM_H
