#include "encodestreams.h"

#include "devcapability.h"

#include <QtEndian>

#include <algorithm>

namespace EncodeStreams {

namespace {

struct stResolution
{
    const char *pszValue;
    const char *pszLabel;
    int aBitRate[3];   // main, sub, third; 0: not offered to that stream
};

const stResolution kResolutions[] = {
    {"3840*2160", "8MP", {8192, 0, 0}},
    {"2592*2048", "5MP", {6144, 0, 0}},
    {"2048*1536", "3MP", {5120, 0, 0}},
    {"1920*1080", "1080P", {4096, 4096, 0}},
    {"1600*1200", "UXGA", {4096, 4096, 0}},
    {"1280*1024", "SXGA", {2048, 2048, 0}},
    {"1280*960", "960P", {2048, 2048, 0}},
    {"1280*720", "720P", {2048, 2048, 0}},
    {"720*576", "D1", {1024, 1024, 1024}},
    {"704*288", "2CIF", {1024, 1024, 1024}},
    {"352*288", "CIF", {512, 512, 512}},
};

const stResolution *findResolution(const QString &strValue)
{
    for (const stResolution &res : kResolutions) {
        if (strValue == QLatin1String(res.pszValue))
            return &res;
    }
    return nullptr;
}

} // namespace

QString formatLabel(int iFormat)
{
    switch (iFormat) {
    case FormatMjpeg: return QStringLiteral("MJPEG");
    case FormatH264: return QStringLiteral("H.264");
    case FormatJpeg: return QStringLiteral("JPEG");
    default: return QString();
    }
}

QString resolutionLabel(const QString &strValue)
{
    const stResolution *pRes = findResolution(strValue);
    return pRes ? QString::fromLatin1(pRes->pszLabel) : QString();
}

bool offeredTo(const QString &strValue, int iStream)
{
    return proposedBitRate(strValue, iStream) > 0;
}

int proposedBitRate(const QString &strValue, int iStream)
{
    const stResolution *pRes = findResolution(strValue);
    if (!pRes || iStream < 0 || iStream >= StreamCount)
        return 0;
    return pRes->aBitRate[iStream];
}

QList<int> fullFrameRates(int iStream)
{
    if (iStream == Third)
        return {1, 3, 5, 8, 10, 15, 20, 25};
    return {1, 3, 5, 8, 10, 15, 20, 25, 30, 50, 60};
}

qint64 area16(const QSize &size)
{
    if (!size.isValid())
        return 0;
    const qint64 lWidth = (qint64(size.width()) + 15) / 16 * 16;
    const qint64 lHeight = (qint64(size.height()) + 15) / 16 * 16;
    return lWidth * lHeight;
}

QSize sizeOf(const QString &strValue)
{
    const QList<QSize> list = DevCapability::sizeList(strValue);
    return list.size() == 1 ? list.first() : QSize();
}

} // namespace EncodeStreams

using namespace EncodeStreams;

QByteArray stEncoderCfg::toBytes() const
{
    const quint32 aFields[12] = {ulStream,    ulEnabled, ulFormat, ulWidth, ulHeight,  ulBitRate,
                                 ulFrameRate, ulReserved28, ulIFrame, ulMode, ulQuality, ulReserved44};
    QByteArray data(kSize, '\0');
    for (int i = 0; i < 12; ++i)
        qToLittleEndian<quint32>(aFields[i], data.data() + 4 * i);
    return data;
}

stEncoderCfg stEncoderCfg::fromBytes(const QByteArray &data)
{
    stEncoderCfg cfg;
    if (data.size() < kSize)
        return cfg;
    quint32 *apFields[12] = {&cfg.ulStream,    &cfg.ulEnabled,    &cfg.ulFormat, &cfg.ulWidth,
                             &cfg.ulHeight,    &cfg.ulBitRate,    &cfg.ulFrameRate, &cfg.ulReserved28,
                             &cfg.ulIFrame,    &cfg.ulMode,       &cfg.ulQuality, &cfg.ulReserved44};
    for (int i = 0; i < 12; ++i)
        *apFields[i] = qFromLittleEndian<quint32>(data.constData() + 4 * i);
    return cfg;
}

CEncodeStreamLogic::CEncodeStreamLogic(IEncodeStreamView &view)
    : m_view(view)
{
}

void CEncodeStreamLogic::setVideoInput(bool bOk, quint32 ulWidth, quint32 ulHeight, quint32 ulMaxFps)
{
    m_ulCapWidth = bOk ? ulWidth : 0;
    m_ulCapHeight = bOk ? ulHeight : 0;
    m_ulMaxFps = bOk ? ulMaxFps : 0;
}

void CEncodeStreamLogic::parseCapability(const QList<stDevCapacityInfo> &listCap)
{
    int iStreams = 0;
    QList<int> listFormats;
    QStringList listMain;
    for (const stDevCapacityInfo &info : listCap) {
        const QString &strTag = info.strTagName;
        if (strTag == QLatin1String("MaxStream")) {
            iStreams = info.strText.trimmed().toInt();
        } else if (strTag == QLatin1String("Number") && info.strParentName == QLatin1String("HiddenStream")) {
            iStreams -= info.strText.trimmed().toInt();
        } else if (strTag == QLatin1String("EncodeFormat")) {
            for (int iCode : DevCapability::intList(info.strText)) {
                if (!formatLabel(iCode).isEmpty() && !listFormats.contains(iCode))
                    listFormats << iCode;
            }
        } else if (strTag == QLatin1String("Resolution") || strTag == QLatin1String("Resolution1")) {
            QStringList listValues;
            for (const QSize &size : DevCapability::sizeList(info.strText)) {
                const QString strValue = QStringLiteral("%1*%2").arg(size.width()).arg(size.height());
                if (!resolutionLabel(strValue).isEmpty() && !listValues.contains(strValue))
                    listValues << strValue;
            }
            m_listLowerSource = listValues;
            if (strTag == QLatin1String("Resolution")) {
                const qint64 lCapArea = qint64(m_ulCapWidth) * m_ulCapHeight;
                listMain.clear();
                for (const QString &strValue : qAsConst(listValues)) {
                    const QSize size = sizeOf(strValue);
                    if (qint64(size.width()) * size.height() <= lCapArea)
                        listMain << strValue;
                }
            }
        } else if (strTag == QLatin1String("NoModifyMainPicSize")) {
            m_view.setResolutionEnabled(Main, info.strText.trimmed().toInt() != 1);
        } else if (strTag == QLatin1String("ALONE")) {
            bool bOk = false;
            const qint64 lAlone = info.strText.trimmed().toLongLong(&bOk);
            m_bBudgetKnown = bOk;
            m_lBudgetTotal = bOk ? std::max<qint64>(lAlone, 0) * 256 : 0;
        } else if (strTag == QLatin1String("CONV")) {
            int lNum = 0;
            int lDen = 0;
            const bool bOk = DevCapability::ratio(info.strText, lNum, lDen) && lNum > 0 && lDen > 0;
            m_lConvNum = bOk ? lNum : 1;
            m_lConvDen = bOk ? lDen : 1;
        }
    }
    m_iStreamNum = std::clamp(iStreams, 0, 3);

    for (int iStream = Main; iStream < StreamCount; ++iStream)
        m_view.setFormatItems(iStream, listFormats);
    m_view.setResolutionItems(Main, listMain);
    m_bMainListEmpty = listMain.isEmpty();
    for (int iStream : {Sub, Third}) {
        const QStringList listLower = lowerCandidates(iStream);
        m_view.setResolutionItems(iStream, listLower);
        // A lower stream with nothing to offer cannot be switched on.
        const bool bOffered = m_iStreamNum > iStream;
        m_view.setGroupVisible(iStream, bOffered);
        if (listLower.isEmpty()) {
            m_view.setGroupChecked(iStream, false);
            m_view.setGroupExpanded(iStream, false);
            m_view.setGroupEnabled(iStream, false);
        }
    }
}

void CEncodeStreamLogic::fillFrameRates()
{
    for (int iStream = Main; iStream < StreamCount; ++iStream) {
        QList<int> listRates;
        for (int iRate : fullFrameRates(iStream)) {
            if (quint32(iRate) <= m_ulMaxFps)
                listRates << iRate;
        }
        m_listRates[iStream] = listRates;
        m_view.setFrameRateItems(iStream, listRates);
    }
}

void CEncodeStreamLogic::loadStream(int iStream, const stEncoderCfg &cfg)
{
    if (iStream == Main) {
        for (int iLower : {Sub, Third}) {
            m_view.setGroupChecked(iLower, false);
            m_view.setGroupExpanded(iLower, false);
        }
    } else {
        if (iStream == Sub) {
            m_view.setGroupChecked(Third, false);
            m_view.setGroupExpanded(Third, false);
        }
        const bool bOn = cfg.ulEnabled != 0 && !m_view.resolutionItems(iStream).isEmpty();
        m_view.setGroupChecked(iStream, bOn);
        m_view.setGroupExpanded(iStream, bOn);
    }
    m_view.selectFormat(iStream, int(cfg.ulFormat));
    m_view.selectResolution(iStream, QStringLiteral("%1*%2").arg(cfg.ulWidth).arg(cfg.ulHeight));
    if (iStream == Main)
        m_strMainRes = m_view.resolution(Main);
    m_view.selectMode(iStream, int(cfg.ulMode));
    m_view.setQuality(iStream, int(cfg.ulQuality));
    m_view.setIFrameText(iStream, QString::number(cfg.ulIFrame));
    m_lastIFrame[iStream] = int(cfg.ulIFrame);

    formatChanged(iStream);
    modeChanged(iStream);

    m_view.selectFrameRate(iStream, int(cfg.ulFrameRate));
    if (iStream == Main && m_iStreamNum > 1)
        rebuildBelowMain();
    else if (iStream == Sub && m_iStreamNum > 2)
        rebuildLower(Third);
    m_view.setBitRateText(iStream, QString::number(cfg.ulBitRate));
    m_lastBitRate[iStream] = int(cfg.ulBitRate);
    if (iStream == Sub)
        m_strSubRes = m_view.resolution(Sub);
}

void CEncodeStreamLogic::finishLoading()
{
    if (m_iStreamNum > 2)
        m_view.setGroupEnabled(Third, m_view.isGroupChecked(Sub) && !m_view.resolutionItems(Third).isEmpty());
}

bool CEncodeStreamLogic::bitRateEdited(int iStream)
{
    return editChecked(iStream, true);
}

bool CEncodeStreamLogic::iFrameEdited(int iStream)
{
    return editChecked(iStream, false);
}

bool CEncodeStreamLogic::editChecked(int iStream, bool bBitRate)
{
    const int iLow = bBitRate ? kBitRateMin : kIFrameMin;
    const int iHigh = bBitRate ? kBitRateMax : kIFrameMax;
    const QString strText = bBitRate ? m_view.bitRateText(iStream) : m_view.iFrameText(iStream);
    bool bOk = false;
    const int iValue = strText.trimmed().toInt(&bOk);
    int &iLast = bBitRate ? m_lastBitRate[iStream] : m_lastIFrame[iStream];
    if (bOk && iValue >= iLow && iValue <= iHigh) {
        iLast = iValue;
        return true;
    }
    if (bBitRate)
        m_view.setBitRateText(iStream, QString::number(iLast));
    else
        m_view.setIFrameText(iStream, QString::number(iLast));
    m_view.showRangeNote(iLow, iHigh);
    return false;
}

bool CEncodeStreamLogic::validateAll()
{
    const int iStreams = std::max(m_iStreamNum, 1);
    for (int iStream = Main; iStream < iStreams; ++iStream) {
        // A stream left off and an MJPEG stream (no rate control) have no editable rate
        // fields: they go back as read, and a value the device holds outside our range
        // must not block every save with a note about a field nobody can change.
        const bool bEditable = (iStream == Main || m_view.isGroupChecked(iStream))
                               && m_view.format(iStream) != FormatMjpeg;
        if (!bEditable)
            continue;
        if (!editChecked(iStream, true) || !editChecked(iStream, false))
            return false;
    }
    return true;
}

stEncoderCfg CEncodeStreamLogic::collect(int iStream, const stEncoderCfg &read) const
{
    stEncoderCfg cfg = read;
    cfg.ulStream = quint32(iStream);
    if (iStream == Main)
        cfg.ulEnabled = 1;
    else
        cfg.ulEnabled = m_view.isGroupChecked(iStream) ? 1 : 0;
    if (m_view.format(iStream) >= 0)
        cfg.ulFormat = quint32(m_view.format(iStream));
    const QSize size = sizeOf(m_view.resolution(iStream));
    if (size.isValid()) {
        cfg.ulWidth = quint32(size.width());
        cfg.ulHeight = quint32(size.height());
    }
    if (m_view.frameRate(iStream) > 0)
        cfg.ulFrameRate = quint32(m_view.frameRate(iStream));
    bool bOk = false;
    const uint ulBitRate = m_view.bitRateText(iStream).toUInt(&bOk);
    if (bOk)
        cfg.ulBitRate = ulBitRate;
    const uint ulIFrame = m_view.iFrameText(iStream).toUInt(&bOk);
    if (bOk)
        cfg.ulIFrame = ulIFrame;
    if (m_view.mode(iStream) >= 0)
        cfg.ulMode = quint32(m_view.mode(iStream));
    cfg.ulQuality = quint32(m_view.quality(iStream));
    return cfg;
}

QList<stEncoderCfg> CEncodeStreamLogic::saveSequence(const std::array<stEncoderCfg, 3> &read) const
{
    QList<stEncoderCfg> list;
    std::array<stEncoderCfg, 3> final;
    for (int iStream = Main; iStream < StreamCount; ++iStream)
        final[iStream] = collect(iStream, read[iStream]);
    for (int iStream : {Third, Sub}) {
        if (m_iStreamNum > iStream) {
            stEncoderCfg off = final[iStream];
            off.ulEnabled = 0;
            list << off;
        }
    }
    list << final[Main];
    for (int iStream : {Sub, Third}) {
        if (m_iStreamNum > iStream)
            list << final[iStream];
    }
    return list;
}
