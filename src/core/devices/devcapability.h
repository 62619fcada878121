#ifndef DEVCAPABILITY_H
#define DEVCAPABILITY_H

#include "devcapacityinfo.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>

#include <cstdint>

// Capability documents: fetching one kind from a logged-in IPC, flattening it
// into records, and reading the values the pages react to. Every reader of a
// capability document goes through here.
namespace DevCapability {

enum EKind : uint32_t { KindImage = 1, KindEncode = 3, KindNetwork = 4, KindAudio = 11 };

// Result of fetch() when the device answered with a document that does not parse.
constexpr uint32_t ParseFailed = 0xFFFF0001u;

// Flattens a document in document order: one record per element (its parent's
// node name, its tag name, the text of its whole subtree). False, and the list
// untouched, when the text is not well-formed XML.
bool flatten(const QByteArray &xml, QList<stDevCapacityInfo> &list);

// Fetches kind ulKind from the device logged in as strUserId and flattens it
// into list. Returns the library's result, ParseFailed for a document that
// does not parse (list untouched), 0 on success.
uint32_t fetch(const QString &strUserId, uint32_t ulKind, QList<stDevCapacityInfo> &list);

// The text of the first element named strTag (and, when given, whose parent is
// strParent); false when there is none.
bool find(const QList<stDevCapacityInfo> &list, const QString &strTag, QString *pText = nullptr,
          const QString &strParent = QString());

// "1,2,6" -> {1, 2, 6}; items that are not decimal numbers are skipped.
QList<int> intList(const QString &strText);

// "1920*1080,1280*720" -> sizes; malformed items are skipped.
QList<QSize> sizeList(const QString &strText);

// "4:1" -> {4, 1}; false when the text is not two numbers joined by ':'.
bool ratio(const QString &strText, int &lNum, int &lDen);

} // namespace DevCapability

#endif // DEVCAPABILITY_H
