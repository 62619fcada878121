#ifndef IMAGECFGFIELDS_H
#define IMAGECFGFIELDS_H

// Helpers shared by the units of the image page: fields of the device's
// configuration structures and the page's lists and rows.

#include <QLoggingCategory>
#include <QtGlobal>

class QByteArray;
class QComboBox;
class QWidget;

Q_DECLARE_LOGGING_CATEGORY(lcImageCfg)

namespace ImageCfgFields {

quint32 u32At(const QByteArray &data, int iOffset);
void putU32(QByteArray &data, int iOffset, quint32 ulValue);

// Selects the entry whose data is iCode; none (-1) when the list lacks it.
void selectCode(QComboBox *pCombo, int iCode);
bool rowShown(const QWidget *pRow);
// The list's value when it shows one, else the value that was read.
quint32 comboValue(const QComboBox *pCombo, const QWidget *pRow, quint32 ulStored);

} // namespace ImageCfgFields

#endif // IMAGECFGFIELDS_H
