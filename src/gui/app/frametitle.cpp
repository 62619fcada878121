#include "frametitle.h"
#include "ui_frametitle.h"

#include "langconfig.h"
#include "msgdlg.h"

#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>

namespace {
constexpr int kButtonZoneWidth = 170;

QString maxButtonStyle(const char *image)
{
    return QStringLiteral(
               "QPushButton#oMaxBtn{background-image: url(:/images/%1_inactive.png);border:0px;}"
               "QPushButton#oMaxBtn:hover{background-image: url(:/images/%1_active.png);}"
               "QPushButton#oMaxBtn:pressed{background-image: url(:/images/%1_active.png);}")
        .arg(QLatin1String(image));
}
} // namespace

CFrameTitle::CFrameTitle(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CFrameTitle)
{
    ui->setupUi(this);
    // The logo is decoration: presses and double-clicks on it belong to the caption.
    ui->oLogoBtn->setAttribute(Qt::WA_TransparentForMouseEvents);
    buildHelpMenu(CLangConfig().readOrRepair());
    // The caption buttons show only icons.
    ui->oHelpBtn->setToolTip(tr("帮助"));
    ui->oMinBtn->setToolTip(tr("最小化"));
    ui->oCloseBtn->setToolTip(tr("关闭"));
    isMaxWindow(false);

    connect(ui->oCloseBtn, &QPushButton::clicked, this, &CFrameTitle::closeWnd);
    connect(ui->oMaxBtn, &QPushButton::clicked, this, &CFrameTitle::showMaxSignal);
    connect(ui->oMinBtn, &QPushButton::clicked, this, &CFrameTitle::showMinSignal);
    connect(m_pAboutAction, &QAction::triggered, this, &CFrameTitle::showAboutSignal);
    connect(m_pManualAction, &QAction::triggered, this, &CFrameTitle::showHelpSignal);
    connect(m_pEnglishAction, &QAction::triggered, this, &CFrameTitle::onEnglish);
    connect(m_pChineseAction, &QAction::triggered, this, &CFrameTitle::onChinese);
}

CFrameTitle::~CFrameTitle() = default;

void CFrameTitle::buildHelpMenu(int lang)
{
    m_pHelpMenu = new QMenu(this);
    m_pManualAction = m_pHelpMenu->addAction(tr("用户手册"));
    m_pManualAction->setShortcut(QKeySequence(Qt::Key_F1));
    m_pAboutAction = m_pHelpMenu->addAction(tr("关于Corvane"));
    QMenu *pLangMenu = m_pHelpMenu->addMenu(tr("语言"));
    m_pEnglishAction = pLangMenu->addAction(QStringLiteral("English(US)"));
    m_pChineseAction = pLangMenu->addAction(QStringLiteral("中文(简体)"));

    // With no language known (unusual system language, no file) neither item is checked.
    QAction *pCurrent = nullptr;
    if (lang == CLangConfig::LangEnglish)
        pCurrent = m_pEnglishAction;
    else if (lang == CLangConfig::LangChinese)
        pCurrent = m_pChineseAction;
    if (pCurrent) {
        pCurrent->setCheckable(true);
        pCurrent->setChecked(true);
    }

    ui->oHelpBtn->setMenu(m_pHelpMenu);
    ui->oHelpBtn->setStyleSheet(QStringLiteral("QPushButton::menu-indicator{image:None;}"));
    // F1 works anywhere in the window, not only while the menu is open.
    addAction(m_pManualAction);
}

void CFrameTitle::onEnglish()
{
    CLangConfig().write(CLangConfig::LangEnglish);
    showLanguageNote();
}

void CFrameTitle::onChinese()
{
    CLangConfig().write(CLangConfig::LangChinese);
    showLanguageNote();
}

void CFrameTitle::showLanguageNote()
{
    CMsgDlg::showMsg(tr("信息"), tr("您修改了系统语言，将在下一次启动后生效."), MsgNote, this);
}

void CFrameTitle::about_slot()
{
    emit showAboutSignal();
}

void CFrameTitle::help_slot()
{
    emit showHelpSignal();
}

void CFrameTitle::closeWnd()
{
    QPointer<CMsgDlg> pDlg = new CMsgDlg(tr("信息"), tr("真的需要退出吗?"), MsgQuery, this);
    pDlg->setButtonTexts(tr("是"), tr("否"));
    const int nResult = pDlg->exec();
    delete pDlg.data();
    if (nResult == QDialog::Accepted)
        QCoreApplication::quit();
}

void CFrameTitle::isMaxWindow(bool isMax)
{
    m_bMaximized = isMax;
    ui->oMaxBtn->setStyleSheet(maxButtonStyle(isMax ? "frame_restore" : "frame_max"));
    ui->oMaxBtn->setToolTip(isMax ? tr("还原") : tr("最大化"));
}

bool CFrameTitle::inButtonZone(int x) const
{
    return x > width() - (kButtonZoneWidth + 1);
}

void CFrameTitle::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->localPos().toPoint();
    if (m_bMaximized || inButtonZone(pos.x()))
        return;
    m_nPressX = pos.x();
    m_nPressY = pos.y();
    m_bDragging = true;
}

void CFrameTitle::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || !m_bDragging)
        return;
    if (!m_pDragWindow)
        m_pDragWindow = window();
    const QPoint pos = event->localPos().toPoint();
    m_pDragWindow->move(m_pDragWindow->x() + pos.x() - m_nPressX,
                        m_pDragWindow->y() + pos.y() - m_nPressY);
}

void CFrameTitle::mouseReleaseEvent(QMouseEvent *)
{
    m_bDragging = false;
}

void CFrameTitle::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (!inButtonZone(event->localPos().toPoint().x()))
        emit showMaxSignal();
}
