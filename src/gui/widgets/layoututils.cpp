#include "layoututils.h"

#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>

namespace LayoutUtils {

namespace {

class CWidthFitter : public QObject
{
public:
    explicit CWidthFitter(QScrollArea *pArea)
        : QObject(pArea)
        , m_pArea(pArea)
    {
        pArea->widget()->installEventFilter(this);
        fit();
    }

    bool eventFilter(QObject *pWatched, QEvent *pEvent) override
    {
        if (pEvent->type() == QEvent::LayoutRequest)
            fit();
        return QObject::eventFilter(pWatched, pEvent);
    }

private:
    void fit()
    {
        const int nWidth = m_pArea->widget()->minimumSizeHint().width()
                           + m_pArea->verticalScrollBar()->sizeHint().width() + 2 * m_pArea->frameWidth();
        if (nWidth != m_pArea->minimumWidth())
            m_pArea->setMinimumWidth(nWidth);
    }

    QScrollArea *m_pArea;
};

} // namespace

void equalizeWidths(const QList<QWidget *> &listWidgets)
{
    int nWidth = 0;
    for (const QWidget *pWidget : listWidgets)
        nWidth = qMax(nWidth, pWidget->sizeHint().width());
    for (QWidget *pWidget : listWidgets)
        pWidget->setMinimumWidth(nWidth);
}

void fitWidthToContents(QScrollArea *pArea)
{
    if (pArea->widget())
        new CWidthFitter(pArea);
}

} // namespace LayoutUtils
