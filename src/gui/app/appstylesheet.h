#ifndef APPSTYLESHEET_H
#define APPSTYLESHEET_H

#include <QString>

// The one style sheet applied to the whole application: title-bar and tool
// buttons, command buttons, tabs, tables, headers and scroll bars.
QString appStyleSheet();

#endif // APPSTYLESHEET_H
