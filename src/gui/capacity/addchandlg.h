#ifndef ADDCHANDLG_H
#define ADDCHANDLG_H

#include "chandlgbase.h"

// Describes a new channel row of the capacity calculator.
class CAddChanDlg : public CChanDlgBase
{
    Q_OBJECT

public:
    explicit CAddChanDlg(QWidget *parent = nullptr);
    ~CAddChanDlg() override;

public slots:
    void oAddChanBtn_slot(const QString &strDevType);

private:
    QString rangeNote() const override;
};

#endif // ADDCHANDLG_H
