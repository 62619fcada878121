#include "mediacfgdlg.h"

#include "imagesettingsform.h"
#include "streamencodingform.h"

#include <QTabWidget>
#include <QVBoxLayout>

CMediaCfgDlg::CMediaCfgDlg(std::unique_ptr<CMediaDevice> pDevice, const QString &strTitle, QWidget *parent)
    : QDialog(parent)
    , m_pDevice(std::move(pDevice))
    , m_pEncoding(new CStreamEncodingForm(this))
    , m_pImage(new CImageSettingsForm(this))
{
    setObjectName(QStringLiteral("oMediaCfgDlg"));
    setWindowTitle(tr("参数配置 - %1").arg(strTitle));
    auto *pTabs = new QTabWidget(this);
    pTabs->setObjectName(QStringLiteral("oMediaCfgTabs"));
    pTabs->addTab(m_pEncoding, tr("编码参数"));
    pTabs->addTab(m_pImage, tr("图像参数"));
    auto *pLayout = new QVBoxLayout(this);
    pLayout->addWidget(pTabs);
    resize(900, 560);
    m_pEncoding->load(m_pDevice.get());
    m_pImage->load(m_pDevice.get());
}

// The pages end their live picture before the device they use goes.
CMediaCfgDlg::~CMediaCfgDlg()
{
    delete m_pImage;
    delete m_pEncoding;
}
