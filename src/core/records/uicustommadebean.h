#ifndef UICUSTOMMADEBEAN_H
#define UICUSTOMMADEBEAN_H

// Which optional columns of the device table are shown.
class CUICustomMadeBean
{
public:
    CUICustomMadeBean() = default;
    CUICustomMadeBean(const CUICustomMadeBean &) = default;
    CUICustomMadeBean &operator=(const CUICustomMadeBean &) = default;
    virtual ~CUICustomMadeBean() = default;

    bool bVersion = false;
    bool bMac = false;
    bool bSerial = false;
    bool bGateway = false;
    bool bNetMask = false;
    bool bStatus = false;
};

#endif // UICUSTOMMADEBEAN_H
