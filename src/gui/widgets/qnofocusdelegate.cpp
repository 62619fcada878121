#include "qnofocusdelegate.h"
#include "tableviewex.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QToolTip>

QNoFocusDelegate::QNoFocusDelegate(TableViewEx *pView, bool bDrawIcons, QObject *parent)
    : QStyledItemDelegate(parent ? parent : pView)
    , m_pView(pView)
    , m_bDrawIcons(bDrawIcons)
{
    if (m_bDrawIcons) {
        // Through QIcon, which picks the @2x artwork on high-DPI screens.
        const QSize size(TableViewEx::IconSize, TableViewEx::IconSize);
        m_pixCfg = QIcon(QStringLiteral(":/images/dev_cfg_inactive.png")).pixmap(size);
        m_pixCfgActive = QIcon(QStringLiteral(":/images/dev_cfg_active.png")).pixmap(size);
        m_pixRemote = QIcon(QStringLiteral(":/images/dev_remote_inactive.png")).pixmap(size);
        m_pixRemoteActive = QIcon(QStringLiteral(":/images/dev_remote_active.png")).pixmap(size);
    }
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

QWidget *QNoFocusDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    QWidget *pEditor = QStyledItemDelegate::createEditor(parent, option, index);
    auto *pLine = qobject_cast<QLineEdit *>(pEditor);
    if (pLine && index.column() == m_iPasswordColumn)
        pLine->setEchoMode(QLineEdit::Password);
    return pEditor;
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
        painter->drawPixmap(rect.left(), iTop, iState == TableViewEx::IconConfig ? m_pixCfgActive : m_pixCfg);
        painter->drawPixmap(rect.left() + TableViewEx::RemoteIconOffset, iTop,
                            iState == TableViewEx::IconRemote ? m_pixRemoteActive : m_pixRemote);
    }

    // A solid one-pixel line as a filled rectangle: the raster engine's line
    // path cost a third of a table repaint.
    if (m_penGrid.style() == Qt::SolidLine) {
        painter->fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), m_penGrid.color());
        return;
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
    // The text margins a style's item view keeps on both sides.
    const int iMargin = 2 * (pStyle->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, pWidget) + 1);
    return opt.fontMetrics.horizontalAdvance(opt.text) > option.rect.width() - iMargin ? opt.text : QString();
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
