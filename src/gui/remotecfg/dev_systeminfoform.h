#ifndef DEV_SYSTEMINFOFORM_H
#define DEV_SYSTEMINFOFORM_H

#include "uidevicebean.h"

#include <QScopedPointer>
#include <QWidget>

namespace Ui {
class CSystemInfoForm;
}

// The "系统信息" page: the identity of the device being configured from its
// record, and what its session adds (read when the page opens). Rows without
// a value are hidden.
class CSystemInfoForm : public QWidget
{
    Q_OBJECT

public:
    explicit CSystemInfoForm(const CUIDeviceBean &oBean, QWidget *parent = nullptr);
    ~CSystemInfoForm() override;

private:
    void addExtraRows();

    QScopedPointer<Ui::CSystemInfoForm> ui;
    CUIDeviceBean m_devBean;
};

#endif // DEV_SYSTEMINFOFORM_H
