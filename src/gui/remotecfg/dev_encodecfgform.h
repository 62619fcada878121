#ifndef DEV_ENCODECFGFORM_H
#define DEV_ENCODECFGFORM_H

#include "devcapacityinfo.h"
#include "devtypes.h"
#include "encodestreams.h"
#include "uidevicebean.h"

#include <QList>
#include <QScopedPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>

class CCfgReport;
class CEncodeStreamWidgets;

namespace Ui {
class CEncodeCfgForm;
}

// The "编码" page of the configuration dialog: the main, sub and third video
// stream of one IPC. Reads the device once when built, writes on Save.
class CEncodeCfgForm : public QWidget
{
    Q_OBJECT

public:
    CEncodeCfgForm(const CUIDeviceBean &oBean, const QList<stDevCapacityInfo> &capList,
                   QWidget *parent = nullptr);
    ~CEncodeCfgForm() override;

signals:
    void sendReportSignal(QString strResult, ULONG ulResult);

public slots:
    void subGroupSlot(bool bChecked);
    void thirdGroupSlot(bool bChecked);
    void showReportSlot(QString strResult, ULONG ulResult);
    void onShowReportTimer();
    void onSaveCfgTimer();
    void encFmt_1_ChangedSlot(int iIndex);
    void encMode_1_ChangedSlot(int iIndex);
    void resolution_1_ChangedSlot(int iIndex);
    void frameRate_1_ChangedSlot(int iIndex);
    void encFmt_2_ChangedSlot(int iIndex);
    void encMode_2_ChangedSlot(int iIndex);
    void resolution_2_ChangedSlot(int iIndex);
    void frameRate_2_ChangedSlot(int iIndex);
    void encFmt_3_ChangedSlot(int iIndex);
    void encMode_3_ChangedSlot(int iIndex);
    void resolution_3_ChangedSlot(int iIndex);
    void bitRate_1_EditSlot();
    void IFrameGap_1_EditSlot();
    void bitRate_2_EditSlot();
    void IFrameGap_2_EditSlot();
    void bitRate_3_EditSlot();
    void IFrameGap_3_EditSlot();
    void on_oSaveBtn_clicked();

private:
    void connectWidgets();

    QScopedPointer<Ui::CEncodeCfgForm> ui;
    CUIDeviceBean m_devBean;
    QByteArray m_userId;
    // The streams as the device holds them: read at construction, following every accepted write.
    std::array<stEncoderCfg, 3> m_encCfg;
    std::unique_ptr<CEncodeStreamWidgets> m_pView;
    std::unique_ptr<CEncodeStreamLogic> m_pLogic;
    CCfgReport *m_pReport = nullptr;
    QTimer m_saveTimer;
    // Why Save is unavailable; empty when it is.
    QString m_strSaveBlocked;
};

#endif // DEV_ENCODECFGFORM_H
