#ifndef INVENTORY_H
#define INVENTORY_H

#include "uidevicebean.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The inventory of a fleet: one row of fixed fields per device, written as a
// table, CSV or JSON. The command-line program and the device tab share it.
namespace Inventory {

enum EFormat { FormatTable, FormatCsv, FormatJson };

// Field keys in their order; CSV headers and JSON keys.
const QStringList &fieldKeys();

// The protocol a device is reached by: "onvif", or "native" for a device of our libraries.
QString protocolOf(const CUIDeviceBean &oDev);

// The fields of one device in the order of fieldKeys(); what its protocol
// does not tell stays empty.
QStringList row(const CUIDeviceBean &oDev);

// The devices in numeric order of their addresses.
QList<CUIDeviceBean> sortedByAddress(QList<CUIDeviceBean> listDev);

// Rows in the chosen format: a table with one line per device, CSV with a
// header line, or a JSON array of objects.
QByteArray format(const QList<CUIDeviceBean> &listDev, EFormat eFormat);

// "table", "csv", "json"; false for other text.
bool parseFormat(const QString &strName, EFormat &eFormat);

} // namespace Inventory

#endif // INVENTORY_H
