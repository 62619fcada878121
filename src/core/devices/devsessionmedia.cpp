// Which media calls serve a device's encoding and image pages.
#include "devsession.h"
#include "onvifmedia.h"

namespace DevSession {

std::unique_ptr<CMediaDevice> mediaDevice(const CUIDeviceBean &oDev)
{
    if (!isOnvif(oDev))
        return nullptr;
    return std::make_unique<COnvifMedia>(oDev.m_strXAddr, oDev.m_strUserName, oDev.m_strPassword);
}

} // namespace DevSession
