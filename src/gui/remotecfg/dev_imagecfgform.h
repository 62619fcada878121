#ifndef DEV_IMAGECFGFORM_H
#define DEV_IMAGECFGFORM_H

#include "devcapacityinfo.h"
#include "devtypes.h"
#include "uidevicebean.h"

#include <QList>
#include <QWidget>

// The "图像" page of the configuration dialog, with the live picture.
class CImageCfgForm : public QWidget
{
    Q_OBJECT

public:
    CImageCfgForm(const CUIDeviceBean &oBean, const QList<stDevCapacityInfo> &capList,
                  QWidget *parent = nullptr);
    ~CImageCfgForm() override;

    // Called by the dialog right after construction with the live stream the
    // capability worker started (handle and start result).
    void startLivePlay(DWORD ulStreamHd, DWORD ulLiveResult);
    DWORD stopLivePlay();

private:
    CUIDeviceBean m_devBean;
    DWORD m_ulStreamHd = 0;
};

#endif // DEV_IMAGECFGFORM_H
