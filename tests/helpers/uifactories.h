#ifndef UIFACTORIES_H
#define UIFACTORIES_H

#include <QPair>
#include <QString>
#include <QVector>
#include <QWidget>

#include <functional>

// Every top-level window and dialog of the program, built the way the program
// builds it. The layout test and the screenshot tool walk this list; a new
// dialog needs one line in uifactories.cpp.
namespace UiFactories {

using Factory = std::function<QWidget *()>;

QVector<QPair<QString, Factory>> all();

} // namespace UiFactories

#endif // UIFACTORIES_H
