#include "waitdlg.h"
#include "appresources.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMovie>
#include <QPainter>

namespace {
constexpr int kAnimationSize = 100;
}

CWaitDlg::CWaitDlg(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_pMovieLabel(new QLabel(this))
    , m_pMovie(new QMovie(this))
{
    initAppResources();
    m_pMovie->setFileName(QStringLiteral(":/gif/loading.gif"));
    setObjectName(QStringLiteral("CWaitDlg"));
    resize(400, 300);
    setWindowTitle(QString());
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose);
    setContentsMargins(0, 0, 0, 0);

    m_pMovieLabel->setContentsMargins(0, 0, 0, 0);
    m_pMovieLabel->resize(kAnimationSize, kAnimationSize);
    m_pMovieLabel->setMovie(m_pMovie);
    m_pMovie->start();
}

CWaitDlg::~CWaitDlg() = default;

void CWaitDlg::showEvent(QShowEvent *event)
{
    m_pMovieLabel->move(width() / 2 - kAnimationSize / 2, height() / 2 - kAnimationSize / 2);
    QDialog::showEvent(event);
}

void CWaitDlg::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), QColor(0, 0, 0, 0));
}

void CWaitDlg::keyPressEvent(QKeyEvent *event)
{
    // Only the owner may end the wait; Escape must not reject the overlay.
    event->ignore();
}

void CWaitDlg::closeEvent(QCloseEvent *event)
{
    // Skip QDialog's reject path: the overlay produces no result.
    event->accept();
}
