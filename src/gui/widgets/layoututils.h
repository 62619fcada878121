#ifndef LAYOUTUTILS_H
#define LAYOUTUTILS_H

#include <QList>

class QWidget;

namespace LayoutUtils {

// Gives the widgets the width of the widest one's size hint, so that fields
// placed after them in separate layouts line up in every language.
void equalizeWidths(const QList<QWidget *> &listWidgets);

} // namespace LayoutUtils

#endif // LAYOUTUTILS_H
