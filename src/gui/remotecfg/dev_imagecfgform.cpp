#include "dev_imagecfgform.h"

#include "zelt_mw_sdk.h"

CImageCfgForm::CImageCfgForm(const CUIDeviceBean &oBean, const QList<stDevCapacityInfo> &capList,
                             QWidget *parent)
    : QWidget(parent)
    , m_devBean(oBean)
{
    Q_UNUSED(capList)
}

CImageCfgForm::~CImageCfgForm()
{
    stopLivePlay();
}

void CImageCfgForm::startLivePlay(DWORD ulStreamHd, DWORD ulLiveResult)
{
    Q_UNUSED(ulLiveResult)
    m_ulStreamHd = ulStreamHd;
}

DWORD CImageCfgForm::stopLivePlay()
{
    if (m_ulStreamHd == 0)
        return 0;
    const QByteArray userId = m_devBean.m_strLoginKey.toLatin1();
    const DWORD ulResult = ZELT_MW_StopMediaStream(userId.constData(), m_ulStreamHd);
    m_ulStreamHd = 0;
    return ulResult;
}
