#include "corvanemainwind.h"
#include "ui_corvanemainwind.h"

#include "aboutdlg.h"
#include "apppaths.h"
#include "appresources.h"
#include "cap_calculateform.h"
#include "dev_manageform.h"
#include "framestatue.h"
#include "frametitle.h"
#include "langconfig.h"
#include "msgdlg.h"
#include "platformutils.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QPointer>
#include <QScreen>

namespace {
const QSize kRestoredSize(800, 600);
}

CCorvaneMainWind::CCorvaneMainWind(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CCorvaneMainWind)
{
    initAppResources();
    ui->setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/image/resource/logo.ico")));
    setWindowTitle(tr("Corvane"));
    setWindowFlags(Qt::CustomizeWindowHint);
    QCoreApplication::instance()->installEventFilter(this);

    m_pDevManageForm = new CDevManageForm(this);
    ui->oMainTabWidget->insertTab(0, m_pDevManageForm, tr("设备管理"));
    m_pCapCalculateForm = new CCapCalculateForm(this);
    ui->oMainTabWidget->insertTab(1, m_pCapCalculateForm, tr("容量计算"));

    connect(m_pCapCalculateForm, &CCapCalculateForm::getDevListSignal,
            m_pDevManageForm, &CDevManageForm::sendDev2CapSlot);
    connect(m_pDevManageForm, &CDevManageForm::sendDev2CapSignal,
            m_pCapCalculateForm, &CCapCalculateForm::getDevListSlot);

    m_pFrameTitle = new CFrameTitle(this);
    m_pFrameStatue = new CFrameStatue(this);
    QPalette palette = m_pFrameStatue->palette();
    palette.setColor(QPalette::All, QPalette::Window, QColor(219, 223, 227));
    m_pFrameStatue->setPalette(palette);
    m_pFrameStatue->setAutoFillBackground(true);

    connect(m_pFrameTitle, &CFrameTitle::showMaxSignal, this, &CCorvaneMainWind::showMaxSlot);
    connect(m_pFrameTitle, &CFrameTitle::showMinSignal, this, &CCorvaneMainWind::showMinSlot);
    connect(m_pFrameTitle, &CFrameTitle::showAboutSignal, this, &CCorvaneMainWind::showAboutSlot);
    connect(m_pFrameTitle, &CFrameTitle::showHelpSignal, this, &CCorvaneMainWind::showHelpSlot);
    connect(this, &CCorvaneMainWind::sendIsMaxWindow, m_pFrameTitle, &CFrameTitle::isMaxWindow);

    ui->verticalLayout->insertWidget(0, m_pFrameTitle);
    ui->verticalLayout->insertWidget(2, m_pFrameStatue);
}

CCorvaneMainWind::~CCorvaneMainWind() = default;

void CCorvaneMainWind::showMaxSlot()
{
    if (m_bMaximized) {
        move(m_oRestorePos);
        resize(kRestoredSize);
        m_bMaximized = false;
        emit sendIsMaxWindow(false);
        return;
    }
    m_oRestorePos = pos();
    // The available area keeps the task bar visible; the system's own
    // maximised state is never used.
    setGeometry(screen()->availableGeometry());
    m_bMaximized = true;
    emit sendIsMaxWindow(true);
}

void CCorvaneMainWind::showMinSlot()
{
    showMinimized();
}

void CCorvaneMainWind::showAboutSlot()
{
    QPointer<CAboutDlg> pDlg = new CAboutDlg(this);
    pDlg->exec();
    delete pDlg.data();
}

ulong CCorvaneMainWind::showHelpSlot()
{
    const QString strPath = CAppPaths::instance().manualFile(CLangConfig::fileSuffix(CLangConfig().startupLanguage()));
    if (!QFileInfo::exists(strPath)) {
        CMsgDlg::showMsg(tr("信息"), tr("打开用户手册失败，请检查文件路径。"), MsgError, this);
        return 1;
    }
    if (CPlatformUtils::openFile(strPath))
        return 0;
    // Without a viewer for the manual, say where it is and show its folder.
    CPlatformUtils::showInFolder(strPath);
    CMsgDlg::showMsg(tr("信息"), tr("没有可打开用户手册的PDF阅读器，请在PDF阅读器中打开 %1")
                                      .arg(QDir::toNativeSeparators(strPath)),
                     MsgNote, this);
    return 0;
}

void CCorvaneMainWind::closeEvent(QCloseEvent *event)
{
    if (CMsgDlg::askQuestion(tr("信息"), tr("真的需要退出吗?"), this)) {
        event->accept();
        QCoreApplication::exit(0);
        return;
    }
    event->ignore();
}

bool CCorvaneMainWind::eventFilter(QObject *pWatched, QEvent *pEvent)
{
    if (pEvent->type() == QEvent::Show) {
        auto *pDlg = qobject_cast<QDialog *>(pWatched);
        if (pDlg && pDlg->isWindow() && !pDlg->parentWidget() && !pDlg->testAttribute(Qt::WA_Moved) && isVisible()) {
            QRect rc = pDlg->frameGeometry();
            rc.moveCenter(frameGeometry().center());
            pDlg->move(rc.topLeft());
        }
    }
    return QWidget::eventFilter(pWatched, pEvent);
}
