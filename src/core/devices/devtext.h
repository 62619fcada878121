#ifndef DEVTEXT_H
#define DEVTEXT_H

#include <QString>

#include <cstddef>

// Reading texts out of the fixed-size buffers the device libraries fill.
namespace DevText {

// The text in a slot of iSlotLen bytes, up to its terminating zero; a slot
// without a terminator is read to its end and never beyond.
QString fromBuffer(const char *pSlot, std::size_t iSlotLen);

// Writes strText as UTF-8 into a slot of iSlotLen bytes, zero-filling the rest.
// A text too long for the slot is cut before the character that would not fit
// with its terminating zero, so the slot always holds whole characters.
void toBuffer(const QString &strText, char *pSlot, std::size_t iSlotLen);

// Six MAC bytes as twelve lower-case hexadecimal digits without separators.
QString macText(const unsigned char *pMac);

} // namespace DevText

#endif // DEVTEXT_H
