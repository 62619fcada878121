#ifndef MEDIACFGDLG_H
#define MEDIACFGDLG_H

#include "mediaaccess.h"

#include <QDialog>

#include <memory>

class CImageSettingsForm;
class CStreamEncodingForm;

// The configuration dialog of a camera whose streams and picture are reached
// through CMediaDevice: its encoding and image pages.
class CMediaCfgDlg : public QDialog
{
    Q_OBJECT

public:
    CMediaCfgDlg(std::unique_ptr<CMediaDevice> pDevice, const QString &strTitle, QWidget *parent = nullptr);
    ~CMediaCfgDlg() override;

    CStreamEncodingForm *encodingPage() const { return m_pEncoding; }
    CImageSettingsForm *imagePage() const { return m_pImage; }

private:
    std::unique_ptr<CMediaDevice> m_pDevice;
    CStreamEncodingForm *m_pEncoding;
    CImageSettingsForm *m_pImage;
};

#endif // MEDIACFGDLG_H
