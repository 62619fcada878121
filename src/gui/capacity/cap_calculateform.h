#ifndef CAP_CALCULATEFORM_H
#define CAP_CALCULATEFORM_H

#include "devtypes.h"
#include "uichanbean.h"
#include "uidevicebean.h"

#include <QHash>
#include <QList>
#include <QModelIndex>
#include <QScopedPointer>
#include <QWidget>

namespace Ui {
class CCapCalculateForm;
}

class CChanModelEx;
class CShowOnlineDevDlg;
class QNoFocusDelegate;

// The recording-capacity calculator tab: a list of channel rows, and for the
// checked ones the days a disk lasts and the disk a number of days needs.
class CCapCalculateForm : public QWidget
{
    Q_OBJECT

public:
    // Rows the list may hold.
    static constexpr int MaxChanRecords = 1024;

    explicit CCapCalculateForm(QWidget *parent = nullptr);
    ~CCapCalculateForm() override;

    const QList<CUIChanBean> &chanList() const { return m_listChan; }
    CChanModelEx *chanModel() const { return m_pChanModel; }
    // The device list last received from the device tab, for the online import.
    const QList<CUIDeviceBean> &onlineDevList() const { return m_listOnlineDev; }
    CShowOnlineDevDlg *onlineDevDlg() const { return m_pOnlineDlg; }

signals:
    void getDevListSignal();
    void sendDev2DlgSignal(QList<CUIDeviceBean> &oDevList);
    void calculateSignal();
    void sendResult(CUIDeviceBean &oBean);

public slots:
    void on_oAddChanBtn_clicked();
    void on_oModifyChanBtn_clicked();
    void on_oShowOnlineBtn_clicked();
    void mouseEnterEncView(const QModelIndex &index);
    void onEncTableViewHeaderClicked(int iColumn);
    void on_oDelChanBtn_clicked();
    void calDiskSpaceSlot();
    void calRecordTimeSlot();
    void getDevListSlot(QList<CUIDeviceBean> &oDevList);
    void diskChangeSlot();
    void checkListChangeSlot();
    // Appends one row per logged-in device of the list, read from its main
    // stream; 1 (nothing imported) when the rows would exceed the limit.
    DWORD getChanInfo(QList<CUIDeviceBean> &oDevList);

private:
    void initView();
    // Widens the channel column to its longest name (an imported row names its device).
    void fitChanColumn();
    void initInputs();
    void fitTabTitles();
    // The text with the space nearest its middle turned into a line break.
    static QString wrapAtMiddle(const QString &strText);
    void makeConnections();
    // One more than the largest row id, so ids stay unique after sorting.
    int nextChanId() const;
    // Total bit rates of the checked rows, in checked order.
    QList<qint32> checkedTotals() const;
    void showNote(const QString &strText);

    // Fills the list directly; a thousand rows through the dialog is slow.
    friend class TestCapCalculateForm;

    QScopedPointer<Ui::CCapCalculateForm> ui;
    QList<CUIChanBean> m_listChan;
    CChanModelEx *m_pChanModel = nullptr;
    QNoFocusDelegate *m_pDelegate = nullptr;
    QList<CUIDeviceBean> m_listOnlineDev;
    CShowOnlineDevDlg *m_pOnlineDlg = nullptr;
    // Address of the device each imported row came from, by row id.
    QHash<int, QString> m_hashImportedFrom;
};

#endif // CAP_CALCULATEFORM_H
