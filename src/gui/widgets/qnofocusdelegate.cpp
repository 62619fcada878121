#include "qnofocusdelegate.h"
#include "tableviewex.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QToolTip>

QNoFocusDelegate::QNoFocusDelegate(TableViewEx *pView, bool bDrawIcons, QObject *parent)
    : QStyledItemDelegate(parent ? parent : pView)
    , m_pView(pView)
    , m_bDrawIcons(bDrawIcons)
{
    QStyle *pStyle = pView ? pView->style() : QApplication::style();
    // Without an option the style cannot see the view's palette or its
    // style-sheet rule and answers black.
    QStyleOption opt;
    if (pView)
        opt.initFrom(pView);
    const int iGridHint = pStyle->styleHint(QStyle::SH_Table_GridLineColor, pView ? &opt : nullptr, pView);
    const Qt::PenStyle penStyle = pView ? pView->gridStyle() : Qt::SolidLine;
    m_penGrid = QPen(QColor(static_cast<QRgb>(iGridHint)), 0, penStyle, Qt::SquareCap, Qt::BevelJoin);
}

void QNoFocusDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    QStyleOptionViewItem opt(option);
    opt.state &= ~QStyle::State_HasFocus;
    QStyledItemDelegate::paint(painter, opt, index);

    const QRect rect = option.rect;
    if (m_bDrawIcons && m_pView && index.column() == TableViewEx::IconColumn
        && index.row() < TableViewEx::MaxIconRows) {
        m_pView->setIconRect(index.row(), rect);
        const int iState = m_pView->iconState(index.row());
        const int iTop = rect.top() + (rect.bottom() - rect.top() - TableViewEx::IconSize) / 2;
        // QIcon picks the @2x artwork on high-DPI screens.
        const QIcon iconCfg(iState == TableViewEx::IconConfig
                                ? QStringLiteral(":/images/dev_cfg_active.png")
                                : QStringLiteral(":/images/dev_cfg_inactive.png"));
        const QIcon iconRemote(iState == TableViewEx::IconRemote
                                   ? QStringLiteral(":/images/dev_remote_active.png")
                                   : QStringLiteral(":/images/dev_remote_inactive.png"));
        const QSize size(TableViewEx::IconSize, TableViewEx::IconSize);
        iconCfg.paint(painter, QRect(QPoint(rect.left(), iTop), size));
        iconRemote.paint(painter, QRect(QPoint(rect.left() + TableViewEx::RemoteIconOffset, iTop), size));
    }

    const QPen penOld = painter->pen();
    painter->setPen(m_penGrid);
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->setPen(penOld);
}

QString QNoFocusDelegate::toolTipFor(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QString strTip = index.data(Qt::ToolTipRole).toString();
    if (!strTip.isEmpty())
        return strTip;
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    if (opt.text.isEmpty())
        return QString();
    const QWidget *pWidget = opt.widget;
    QStyle *pStyle = pWidget ? pWidget->style() : QApplication::style();
    const QRect rcText = pStyle->subElementRect(QStyle::SE_ItemViewItemText, &opt, pWidget);
    const int iMargin = 2 * (pStyle->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, pWidget) + 1);
    return opt.fontMetrics.horizontalAdvance(opt.text) > rcText.width() - iMargin ? opt.text : QString();
}

bool QNoFocusDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
                                 const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (!event || event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString strTip = toolTipFor(option, index);
    if (strTip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPos(), strTip, view, option.rect);
    return true;
}
