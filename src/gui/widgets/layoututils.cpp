#include "layoututils.h"

#include <QWidget>

namespace LayoutUtils {

void equalizeWidths(const QList<QWidget *> &listWidgets)
{
    int nWidth = 0;
    for (const QWidget *pWidget : listWidgets)
        nWidth = qMax(nWidth, pWidget->sizeHint().width());
    for (QWidget *pWidget : listWidgets)
        pWidget->setMinimumWidth(nWidth);
}

} // namespace LayoutUtils
