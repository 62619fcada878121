#include "videowidget.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

CVideoWidget::CVideoWidget(QWidget *parent)
    : QWidget(parent)
{
    // The player paints the background itself; the style sheet's black shows
    // until the first picture.
    setAttribute(Qt::WA_StyledBackground);
}

void CVideoWidget::m_FullScreen_slot()
{
    if (!m_bNormalShow)
        return;
    QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    setWindowFlags(Qt::Window);
    if (screen)
        setGeometry(screen->geometry());
    showFullScreen();
    m_bNormalShow = false;
    emit sendScreenChangedSignal();
}

void CVideoWidget::m_RestoreScreen_slot()
{
    if (m_bNormalShow)
        return;
    setWindowFlags(Qt::SubWindow);
    showNormal();
    m_bNormalShow = true;
    emit sendScreenChangedSignal();
}

bool CVideoWidget::event(QEvent *event)
{
    const bool bHandled = QWidget::event(event);
    if (event->type() == QEvent::WinIdChange)
        emit sendScreenChangedSignal();
    return bHandled;
}

void CVideoWidget::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    if (m_bNormalShow)
        menu.addAction(tr("全屏"), this, &CVideoWidget::m_FullScreen_slot);
    else
        menu.addAction(tr("退出全屏"), this, &CVideoWidget::m_RestoreScreen_slot);
    menu.exec(event->globalPos());
}

void CVideoWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    if (m_bNormalShow)
        m_FullScreen_slot();
    else
        m_RestoreScreen_slot();
}

void CVideoWidget::showFrame(const QImage &image)
{
    m_image = image;
    update();
}

void CVideoWidget::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (m_image.isNull())
        return;
    QPainter painter(this);
    const QSize size = m_image.size().scaled(this->size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size), m_image);
}
