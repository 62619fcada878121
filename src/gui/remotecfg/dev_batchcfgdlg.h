#ifndef DEV_BATCHCFGDLG_H
#define DEV_BATCHCFGDLG_H

#include "devcapacityinfo.h"
#include "devtypes.h"
#include "encodestreams.h"
#include "uidevicebean.h"

#include <QByteArray>
#include <QDialog>
#include <QList>
#include <QScopedPointer>

#include <array>
#include <memory>

class CCfgBatch;
class CEncodeStreamWidgets;

namespace Ui {
class CBatchCfgDlg;
}

// "批量配置": one set of video streams or one audio input setting, taken from
// the first device, sent to every device given (IPCs of one model).
class CBatchCfgDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CBatchCfgDlg(QWidget *parent = nullptr);
    ~CBatchCfgDlg() override;

    // Prepares both tabs from the first device; a tab the device cannot fill
    // is removed. 0 when a tab is left, 1 when none is.
    ULONG prepare();
    // Why the last capability read failed; empty when none did or the device
    // does not offer the capability.
    QString readFailure() const;
    // Deletes the dialog once every request it sent is answered.
    void deleteWhenDone();

    DWORD getDevCapicity(DWORD ulKind);
    DWORD getDevAudioParam();

signals:
    void sendResultSignal(CUIDeviceBean &oBean);

public slots:
    ULONG getDevListInfoSlot(QList<CUIDeviceBean> &oDevList);
    void getResultSlot(CUIDeviceBean &oBean);
    void subGroupSlot(bool bChecked);
    void thirdGroupSlot(bool bChecked);
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
    void oAudioInputOnSlot(bool bChecked);
    void oAudioInputOffSlot(bool bChecked);
    void oEncodeFormatACCLCSlot(int iIndex);
    void on_oAudioCfgBtn_clicked();
    void on_oEncodeCfgBtn_clicked();

private slots:
    void audioGainEditSlot();

private:
    bool setEncodeDefault();
    void connectEncodeWidgets();
    bool setAudioDefault();
    void removeTab(QWidget *pTab);
    // The gain as typed when it is a number within 0..255; otherwise the
    // user is told and false returned.
    bool checkGain(bool bRestore);
    // Marks each device busy and queues its requests, in list order.
    void sendToAll(const QList<QPair<ulong, QByteArray>> &listRequests);
    void showNote(const QString &strText);

    QScopedPointer<Ui::CBatchCfgDlg> ui;
    QList<CUIDeviceBean> m_listDev;
    CUIDeviceBean m_devBean;
    QList<stDevCapacityInfo> m_listCap;
    std::unique_ptr<CEncodeStreamWidgets> m_pView;
    std::unique_ptr<CEncodeStreamLogic> m_pLogic;
    // The first device's streams as read: fields without a widget go out as read.
    std::array<stEncoderCfg, 3> m_encCfg;
    // Why the encoding tab cannot configure; empty when it can.
    QString m_strEncodeBlocked;
    QByteArray m_baAudio;
    bool m_bAudioRead = false;
    bool m_bAudioInputOff = false;
    int m_iLastGain = 0;
    DWORD m_ulReadFailure = 0;
    CCfgBatch *m_pBatch;
};

#endif // DEV_BATCHCFGDLG_H
