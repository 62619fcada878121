#ifndef UISEARCHMODEBEAN_H
#define UISEARCHMODEBEAN_H

#include <QString>

// How devices are searched: multicast discovery, an address segment, or both.
class CUISearchModeBean
{
public:
    CUISearchModeBean() = default;
    CUISearchModeBean(const CUISearchModeBean &) = default;
    CUISearchModeBean &operator=(const CUISearchModeBean &) = default;
    virtual ~CUISearchModeBean() = default;

    bool bMulticast = true;
    bool bSegmentSearch = false;
    QString strBeginIP;
    QString strEndIP;
};

#endif // UISEARCHMODEBEAN_H
