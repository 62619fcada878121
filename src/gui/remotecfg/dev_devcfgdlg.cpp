#include "dev_devcfgdlg.h"
#include "ui_dev_devcfgdlg.h"

#include "dev_encodecfgform.h"
#include "dev_imagecfgform.h"
#include "dev_networkcfgform.h"
#include "dev_systeminfoform.h"
#include "devcapability.h"

#include <QHideEvent>

namespace {

enum ETabIndex { TabImage = 0, TabNetwork = 1, TabEncode = 2, TabSysInfo = 3 };

} // namespace

CDevCfgDlg::CDevCfgDlg(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CDevCfgDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    QFont font = this->font();
    font.setFamily(QStringLiteral("微软雅黑"));
    setFont(font);
}

CDevCfgDlg::~CDevCfgDlg()
{
    deletePages();
}

QTabWidget *CDevCfgDlg::tabWidget() const
{
    return ui->oDevCfgTabWidget;
}

ULONG CDevCfgDlg::getDevListInfoSlot(QList<CUIDeviceBean> &oDevList)
{
    if (oDevList.isEmpty())
        return 0;
    m_devBean = oDevList.first();
    // The title names the device: several may look alike.
    setWindowTitle(tr("配置 - %1 %2").arg(m_devBean.m_strIp, m_devBean.m_strModel).trimmed());
    // A new opening: nothing of the previous device's capabilities or stream may show.
    m_imageCapList.clear();
    m_encodeCapList.clear();
    m_networkCapList.clear();
    m_ulStreamHd = 0;
    m_ulLiveResult = 0;
    return 0;
}

ULONG CDevCfgDlg::getDevCapInfoSlot(QList<stDevCapacityInfo> &devCapInfo, ulong capType)
{
    switch (capType) {
    case DevCapability::KindImage: m_imageCapList = devCapInfo; break;
    case DevCapability::KindNetwork: m_networkCapList = devCapInfo; break;
    case DevCapability::KindEncode: m_encodeCapList = devCapInfo; break;
    default: break;
    }
    return 0;
}

void CDevCfgDlg::setLiveResult(DWORD ulStreamHd, DWORD ulLiveResult)
{
    m_ulStreamHd = ulStreamHd;
    m_ulLiveResult = ulLiveResult;
    emit sendInitDataFinish_sig();
}

void CDevCfgDlg::initCfgPages()
{
    deletePages();
    // A page without capabilities has no tab: it is not built, so it neither
    // reads the device nor plays a stream nobody sees.
    QTabWidget *pTabs = ui->oDevCfgTabWidget;
    if (!m_imageCapList.isEmpty()) {
        m_pImageForm = new CImageCfgForm(m_devBean, m_imageCapList);
        connect(m_pImageForm, &CImageCfgForm::sendDevGoneSignal, this,
                [this] { emit sendDevGoneSignal(m_devBean.m_strIp); });
        m_pImageForm->startLivePlay(m_ulStreamHd, m_ulLiveResult);
        pTabs->insertTab(TabImage, m_pImageForm, tr("图像"));
    } else if (m_ulStreamHd != 0) {
        emit sendStopLiveSignal(m_devBean.m_strLoginKey, m_ulStreamHd);
    }
    // The page owns the stream from here on, or it was stopped.
    m_ulStreamHd = 0;
    if (!m_networkCapList.isEmpty()) {
        m_pNetworkForm = new CNetworkCfgForm(m_devBean, &m_networkCapList);
        connect(m_pNetworkForm, &CNetworkCfgForm::sendDevAddrChangedSignal, this,
                &CDevCfgDlg::disablePagesAfterMove);
        connect(m_pNetworkForm, &CNetworkCfgForm::sendDevAddrChangedSignal, this,
                &CDevCfgDlg::sendDevAddrChangedSignal);
        pTabs->insertTab(TabNetwork, m_pNetworkForm, tr("网络"));
    }
    if (!m_encodeCapList.isEmpty()) {
        m_pEncodeForm = new CEncodeCfgForm(m_devBean, m_encodeCapList);
        pTabs->insertTab(TabEncode, m_pEncodeForm, tr("编码"));
    }
    m_pSysInfoForm = new CSystemInfoForm(m_devBean);
    pTabs->insertTab(TabSysInfo, m_pSysInfoForm, tr("系统信息"));
    pTabs->setCurrentIndex(0);
    emit sendTerminateWaitDlg();
}

void CDevCfgDlg::disablePagesAfterMove()
{
    for (QWidget *pPage : {static_cast<QWidget *>(m_pImageForm), static_cast<QWidget *>(m_pEncodeForm)}) {
        if (pPage)
            pPage->setEnabled(false);
    }
}

void CDevCfgDlg::initSysInfoPage()
{
    deletePages();
    m_pSysInfoForm = new CSystemInfoForm(m_devBean);
    ui->oDevCfgTabWidget->insertTab(TabSysInfo, m_pSysInfoForm, tr("系统信息"));
    ui->oDevCfgTabWidget->setCurrentIndex(0);
    emit sendTerminateWaitDlg();
}

void CDevCfgDlg::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    // Minimising or a window-manager hide keeps the pages; closing ends the opening.
    if (!event->spontaneous())
        deletePages();
}

void CDevCfgDlg::deletePages()
{
    // Deleting a page removes its tab.
    delete m_pImageForm;
    m_pImageForm = nullptr;
    delete m_pNetworkForm;
    m_pNetworkForm = nullptr;
    delete m_pEncodeForm;
    m_pEncodeForm = nullptr;
    delete m_pSysInfoForm;
    m_pSysInfoForm = nullptr;
    ui->oDevCfgTabWidget->clear();
}
