#ifndef CAP_CALCULATEFORM_H
#define CAP_CALCULATEFORM_H

#include "uidevicebean.h"

#include <QList>
#include <QScopedPointer>
#include <QWidget>

namespace Ui {
class CCapCalculateForm;
}

// The recording-capacity calculator tab.
class CCapCalculateForm : public QWidget
{
    Q_OBJECT

public:
    explicit CCapCalculateForm(QWidget *parent = nullptr);
    ~CCapCalculateForm() override;

signals:
    void getDevListSignal();

public slots:
    void getDevListSlot(QList<CUIDeviceBean> &listDev);

private:
    QScopedPointer<Ui::CCapCalculateForm> ui;
};

#endif // CAP_CALCULATEFORM_H
