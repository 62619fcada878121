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

// Field keys in their order; CSV headers and JSON keys. New fields go last,
// so that scripts and files reading the earlier ones stay valid.
const QStringList &fieldKeys();

// The protocol a device is reached by: "onvif", or "native" for a device of our libraries.
QString protocolOf(const CUIDeviceBean &oDev);

// The fields of one device in the order of fieldKeys(); what its protocol
// does not tell stays empty.
QStringList row(const CUIDeviceBean &oDev);

// What the device table says about a row's answer, in the program's
// language: another device answers at its address, another host answered
// for it. Empty for a device's own answer. The "note" field.
QString note(const CUIDeviceBean &oDev);

// The devices in numeric order of their addresses.
QList<CUIDeviceBean> sortedByAddress(QList<CUIDeviceBean> listDev);

// Rows in the chosen format: a table with one line per device, CSV with a
// header line, or a JSON array of objects. strNoteHeader, when given, heads
// the note column of CSV for people in place of its key; JSON keeps the key.
QByteArray format(const QList<CUIDeviceBean> &listDev, EFormat eFormat, const QString &strNoteHeader = QString());

// "table", "csv", "json"; false for other text.
bool parseFormat(const QString &strName, EFormat &eFormat);

} // namespace Inventory

#endif // INVENTORY_H
