#ifndef MODIFYCHANDLG_H
#define MODIFYCHANDLG_H

#include "chandlgbase.h"

// Changes the checked channel rows of the capacity calculator.
class CModifyChanDlg : public CChanDlgBase
{
    Q_OBJECT

public:
    explicit CModifyChanDlg(QWidget *parent = nullptr);
    ~CModifyChanDlg() override;

    // Shows a row. Each step runs the form's reactions, so an MJPEG row ends
    // on 5 fps with the recommendation for it.
    void setChanRecord(const CUIChanBean &oBean);

public slots:
    void setInitResSlot(const QString &strDevType);

private:
    QString rangeNote() const override;
};

#endif // MODIFYCHANDLG_H
