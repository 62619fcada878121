#ifndef LAYOUTUTILS_H
#define LAYOUTUTILS_H

#include <QList>

class QScrollArea;
class QWidget;

namespace LayoutUtils {

// Gives the widgets the width of the widest one's size hint, so that fields
// placed after them in separate layouts line up in every language.
void equalizeWidths(const QList<QWidget *> &listWidgets);

// For a scroll area that scrolls only vertically: keeps its minimum width at
// what its contents need beside a vertical scroll bar, also when rows appear
// or the language changes, so nothing is cut off at the right edge.
void fitWidthToContents(QScrollArea *pArea);

} // namespace LayoutUtils

#endif // LAYOUTUTILS_H
