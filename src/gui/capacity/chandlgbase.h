#ifndef CHANDLGBASE_H
#define CHANDLGBASE_H

#include "uichanbean.h"

#include <QDialog>
#include <QScopedPointer>

class QComboBox;

namespace Ui {
class CChanDlg;
}

// The form and reactions the add and modify channel dialogs share: picking
// a resolution or frame rate proposes a bit rate, MJPEG limits the frame rates.
class CChanDlgBase : public QDialog
{
    Q_OBJECT

public:
    ~CChanDlgBase() override;

    // The row as the form shows it; the id stays -1 and the channel name
    // holds the device type.
    CUIChanBean chanRecord();

public slots:
    void on_oOkBtn_clicked();
    void on_oCancelBtn_clicked();
    void changedByResolution();
    void changedByEncFmt();
    void changeByFrameRate();
    void setBestBitRate();

protected:
    CChanDlgBase(const QString &strTitle, const QString &strOkText, QWidget *parent);

    void fillResolutions(const QString &strSelect);
    // Formats with H.264 selected, frame rates with 25 selected.
    void fillFmtAndFrameRates();
    // Frame rates up to lMaxRate, number as item data.
    void fillFrameRates(int lMaxRate);
    void connectReactions();
    // Note shown when OK is pressed with a bit rate out of range.
    virtual QString rangeNote() const = 0;

    QScopedPointer<Ui::CChanDlg> ui;

private:
    void selectText(QComboBox *pCombo, const QString &strText);

    CUIChanBean m_oChanBean;
};

#endif // CHANDLGBASE_H
