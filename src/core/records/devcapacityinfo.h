#ifndef DEVCAPACITYINFO_H
#define DEVCAPACITYINFO_H

#include <QList>
#include <QMetaType>
#include <QString>

// One element of a device's capability document, flattened: a device's
// capabilities of one kind travel as QList<stDevCapacityInfo>.
struct stDevCapacityInfo
{
    QString strParentName;  // node name of the parent, "#document" for the root element
    QString strTagName;
    QString strText;        // concatenated text of all descendants
};

Q_DECLARE_METATYPE(stDevCapacityInfo)
Q_DECLARE_METATYPE(QList<stDevCapacityInfo>)

#endif // DEVCAPACITYINFO_H
