#include "dialogframe.h"

#include <QDialog>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>

namespace {
const QColor kBorder(0x9a, 0xa4, 0xb0);
const QColor kCaption(0xe9, 0xee, 0xf5);
const QColor kCaptionText(0x2b, 0x3a, 0x4a);
}

CDialogFrame *CDialogFrame::decorate(QDialog *pDlg)
{
    return new CDialogFrame(pDlg);
}

CDialogFrame::CDialogFrame(QDialog *pDlg)
    : QObject(pDlg)
    , m_pDlg(pDlg)
{
    setObjectName(QStringLiteral("oDialogFrame"));
    if (pDlg->layout()) {
        const QMargins m = pDlg->contentsMargins();
        pDlg->setContentsMargins(m.left() + 1, m.top() + CaptionHeight + 1, m.right() + 1, m.bottom() + 1);
    } else {
        for (QObject *pChild : pDlg->children()) {
            auto *pWidget = qobject_cast<QWidget *>(pChild);
            if (pWidget && !pWidget->isWindow())
                pWidget->move(pWidget->x(), pWidget->y() + CaptionHeight);
        }
    }
    const QSize size(pDlg->width(), pDlg->height() + CaptionHeight);
    if (pDlg->minimumSize() == pDlg->maximumSize())
        pDlg->setFixedSize(size);
    else
        pDlg->resize(size);
    pDlg->installEventFilter(this);
}

bool CDialogFrame::eventFilter(QObject *pWatched, QEvent *pEvent)
{
    if (pWatched != m_pDlg)
        return false;
    switch (pEvent->type()) {
    case QEvent::Paint:
        paint();
        break;
    case QEvent::WindowTitleChange:
        m_pDlg->update(0, 0, m_pDlg->width(), CaptionHeight + 1);
        break;
    case QEvent::MouseButtonPress: {
        auto *pMouse = static_cast<QMouseEvent *>(pEvent);
        if (pMouse->button() == Qt::LeftButton && pMouse->pos().y() <= CaptionHeight) {
            m_bDragging = true;
            m_posPress = pMouse->globalPos() - m_pDlg->pos();
            return true;
        }
        break;
    }
    case QEvent::MouseMove:
        if (m_bDragging) {
            m_pDlg->move(static_cast<QMouseEvent *>(pEvent)->globalPos() - m_posPress);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        m_bDragging = false;
        break;
    default:
        break;
    }
    return false;
}

void CDialogFrame::paint()
{
    QPainter painter(m_pDlg);
    const QRect rcCaption(0, 0, m_pDlg->width(), CaptionHeight + 1);
    painter.fillRect(rcCaption, kCaption);
    painter.setPen(kBorder);
    painter.drawLine(0, CaptionHeight, m_pDlg->width() - 1, CaptionHeight);
    painter.drawRect(m_pDlg->rect().adjusted(0, 0, -1, -1));

    QFont font = m_pDlg->font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(kCaptionText);
    const QRect rcText = rcCaption.adjusted(10, 1, -10, -1);
    const QString strTitle = QFontMetrics(font).elidedText(m_pDlg->windowTitle(), Qt::ElideRight, rcText.width());
    painter.drawText(rcText, Qt::AlignLeft | Qt::AlignVCenter, strTitle);
}
