#ifndef SETUPDLG_H
#define SETUPDLG_H

#include "uicustommadebean.h"
#include "uisearchmodebean.h"

#include <QDialog>
#include <QScopedPointer>

namespace Ui {
class CSetupDlg;
}

// Search mode and column choice; shows and returns the two records only.
class CSetupDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CSetupDlg(QWidget *parent = nullptr);
    ~CSetupDlg() override;

    void setSearchMode(const CUISearchModeBean &oBean);
    CUISearchModeBean getSearchMode() const;
    void setCustomMade(const CUICustomMadeBean &oBean);
    CUICustomMadeBean getCustomMade() const;

private slots:
    void on_oOkBtn_clicked();
    void on_oCancelBtn_clicked();

private:
    QScopedPointer<Ui::CSetupDlg> ui;
};

#endif // SETUPDLG_H
