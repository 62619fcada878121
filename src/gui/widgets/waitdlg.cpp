#include "waitdlg.h"
#include "appresources.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMovie>
#include <QPainter>

#ifdef CORVANE_HAVE_XCB
#include <xcb/xcb.h>
#include <cstdlib>
#endif

namespace {
constexpr int kAnimationSize = 100;

#ifdef CORVANE_HAVE_XCB
// A compositing manager owns the selection _NET_WM_CM_S<screen>.
bool x11CompositorRunning()
{
    int nScreen = 0;
    xcb_connection_t *pConn = xcb_connect(nullptr, &nScreen);
    bool bRunning = false;
    if (!xcb_connection_has_error(pConn)) {
        const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(nScreen);
        xcb_intern_atom_reply_t *pAtom = xcb_intern_atom_reply(
            pConn, xcb_intern_atom(pConn, 1, uint16_t(name.size()), name.constData()), nullptr);
        if (pAtom && pAtom->atom != XCB_NONE) {
            xcb_get_selection_owner_reply_t *pOwner = xcb_get_selection_owner_reply(
                pConn, xcb_get_selection_owner(pConn, pAtom->atom), nullptr);
            bRunning = pOwner && pOwner->owner != XCB_NONE;
            std::free(pOwner);
        }
        std::free(pAtom);
    }
    xcb_disconnect(pConn);
    return bRunning;
}
#endif
} // namespace

bool CWaitDlg::translucencyAvailable()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return true;
#ifdef CORVANE_HAVE_XCB
    static const bool bComposited = x11CompositorRunning();
    return bComposited;
#else
    return false;
#endif
}

CWaitDlg::CWaitDlg(QWidget *parent, EMode eMode)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_pMovieLabel(new QLabel(this))
    , m_pMovie(new QMovie(this))
    , m_bOverlay(parent && (eMode == ModeOverlay || (eMode == ModeAuto && !translucencyAvailable())))
{
    initAppResources();
    m_pMovie->setFileName(QStringLiteral(":/gif/loading.gif"));
    setObjectName(QStringLiteral("CWaitDlg"));
    resize(400, 300);
    setWindowTitle(QString());
    setAttribute(Qt::WA_DeleteOnClose);
    setContentsMargins(0, 0, 0, 0);
    if (m_bOverlay) {
        QWidget *pHost = parent->window();
        setParent(pHost, Qt::Widget);
        setAttribute(Qt::WA_NoMousePropagation);
        setFocusPolicy(Qt::StrongFocus);
        setGeometry(pHost->rect());
        pHost->installEventFilter(this);
    } else {
        setAttribute(Qt::WA_TranslucentBackground);
    }

    m_pMovieLabel->setContentsMargins(0, 0, 0, 0);
    m_pMovieLabel->resize(kAnimationSize, kAnimationSize);
    m_pMovieLabel->setMovie(m_pMovie);
    m_pMovie->start();
}

CWaitDlg::~CWaitDlg() = default;

bool CWaitDlg::eventFilter(QObject *pWatched, QEvent *pEvent)
{
    if (m_bOverlay && pWatched == parentWidget() && pEvent->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QDialog::eventFilter(pWatched, pEvent);
}

void CWaitDlg::showEvent(QShowEvent *event)
{
    if (m_bOverlay) {
        // QDialog would move it as if it were a window.
        setGeometry(parentWidget()->rect());
        centreAnimation();
        raise();
        setFocus();
        QWidget::showEvent(event);
        return;
    }
    centreAnimation();
    QDialog::showEvent(event);
}

void CWaitDlg::resizeEvent(QResizeEvent *event)
{
    centreAnimation();
    QDialog::resizeEvent(event);
}

void CWaitDlg::centreAnimation()
{
    m_pMovieLabel->move(width() / 2 - kAnimationSize / 2, height() / 2 - kAnimationSize / 2);
}

void CWaitDlg::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_bOverlay) {
        // Dims the window underneath; no window-system translucency involved.
        painter.fillRect(rect(), QColor(0, 0, 0, 70));
        return;
    }
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), QColor(0, 0, 0, 0));
}

void CWaitDlg::keyPressEvent(QKeyEvent *event)
{
    // Only the owner may end the wait; Escape must not reject the overlay. As a
    // child, the overlay swallows keys so that the covered window gets none.
    if (m_bOverlay)
        event->accept();
    else
        event->ignore();
}

void CWaitDlg::closeEvent(QCloseEvent *event)
{
    // Skip QDialog's reject path: the overlay produces no result.
    event->accept();
}
