#include "dev_networkcfgform.h"

CNetworkCfgForm::CNetworkCfgForm(const CUIDeviceBean &oBean, QList<stDevCapacityInfo> *pCapList,
                                 QWidget *parent)
    : QWidget(parent)
    , m_devBean(oBean)
{
    Q_UNUSED(pCapList)
}
