#include "imagecfgfields.h"

#include "zelt_mw_cfg.h"

#include <QByteArray>
#include <QComboBox>
#include <QSignalBlocker>

Q_LOGGING_CATEGORY(lcImageCfg, "corvane.remotecfg.image")

namespace ImageCfgFields {

quint32 u32At(const QByteArray &data, int iOffset)
{
    return zelt_get_u32(data.constData(), size_t(iOffset));
}

void putU32(QByteArray &data, int iOffset, quint32 ulValue)
{
    zelt_put_u32(data.data(), size_t(iOffset), ulValue);
}

void selectCode(QComboBox *pCombo, int iCode)
{
    const QSignalBlocker blocker(pCombo);
    pCombo->setCurrentIndex(pCombo->findData(iCode));
}

bool rowShown(const QWidget *pRow)
{
    return !pRow->isHidden();
}

quint32 comboValue(const QComboBox *pCombo, const QWidget *pRow, quint32 ulStored)
{
    if (!rowShown(pRow) || pCombo->currentIndex() < 0)
        return ulStored;
    return pCombo->currentData().toUInt();
}

} // namespace ImageCfgFields
