#ifndef DEV_NETWORKCFGFORM_H
#define DEV_NETWORKCFGFORM_H

#include "devcapacityinfo.h"
#include "uidevicebean.h"

#include <QList>
#include <QWidget>

// The "网络" page of the configuration dialog.
class CNetworkCfgForm : public QWidget
{
    Q_OBJECT

public:
    CNetworkCfgForm(const CUIDeviceBean &oBean, QList<stDevCapacityInfo> *pCapList,
                    QWidget *parent = nullptr);

private:
    CUIDeviceBean m_devBean;
};

#endif // DEV_NETWORKCFGFORM_H
