#ifndef DEV_MANAGEFORM_H
#define DEV_MANAGEFORM_H

#include "uidevicebean.h"

#include <QList>
#include <QScopedPointer>
#include <QWidget>

namespace Ui {
class CDevManageForm;
}

// The device-management tab.
class CDevManageForm : public QWidget
{
    Q_OBJECT

public:
    explicit CDevManageForm(QWidget *parent = nullptr);
    ~CDevManageForm() override;

signals:
    void sendDev2CapSignal(QList<CUIDeviceBean> &listDev);

public slots:
    void sendDev2CapSlot();

private:
    QScopedPointer<Ui::CDevManageForm> ui;
    QList<CUIDeviceBean> m_listDev;
};

#endif // DEV_MANAGEFORM_H
