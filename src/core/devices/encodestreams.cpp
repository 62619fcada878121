#include "encodestreams.h"

#include "devcapability.h"

#include <QtEndian>

#include <algorithm>
#include <limits>

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

// Above this area a sub stream may run at the device's full frame rate.
constexpr qint64 kD1Area16 = 414720;
constexpr int kLowerFpsLimit = 25;
constexpr int kMjpegFpsLimit = 5;

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

void CEncodeStreamLogic::formatChanged(int iStream)
{
    const int iFormat = m_view.format(iStream);
    m_view.setRateControlEnabled(iStream, true);
    if (iFormat == FormatMjpeg) {
        m_view.setRateControlEnabled(iStream, false);
        m_view.setQualityEnabled(iStream, true);
    }
    if (iStream == Main) {
        if (iFormat == FormatMjpeg || iFormat == FormatH264)
            mainProposal();
        if (iFormat == FormatH264)
            modeChanged(Main);
        if (m_iStreamNum > 1)
            rebuildBelowMain();
    } else {
        if (iFormat == FormatMjpeg || iFormat == FormatH264)
            rebuildLower(iStream);
        if (iFormat == FormatH264)
            modeChanged(iStream);
        if (iStream == Sub && m_iStreamNum > 2)
            rebuildLower(Third);
    }
}

void CEncodeStreamLogic::modeChanged(int iStream)
{
    // An MJPEG stream has no rate control; its quality stays editable.
    if (m_view.format(iStream) == FormatMjpeg)
        return;
    const int iMode = m_view.mode(iStream);
    if (iMode == ModeCbr || iMode == ModeVbr)
        m_view.setQualityEnabled(iStream, iMode == ModeVbr);
}

void CEncodeStreamLogic::resolutionChanged(int iStream)
{
    const QString strNew = m_view.resolution(iStream);
    if (iStream == Main) {
        const QSize newSize = sizeOf(strNew);
        const QSize subSize = sizeOf(m_view.resolution(Sub));
        if (m_iStreamNum > 1 && m_view.isGroupChecked(Sub)
            && qint64(newSize.width()) * newSize.height() < qint64(subSize.width()) * subSize.height()) {
            if (!m_view.askCloseStreams()) {
                m_view.selectResolution(Main, m_strMainRes);
                return;
            }
            setGroupOn(Sub, false);
            setGroupOn(Third, false);
            m_view.setGroupEnabled(Third, false);
        }
        mainProposal();
        if (m_iStreamNum > 1)
            rebuildBelowMain();
        m_strMainRes = strNew;
    } else if (iStream == Sub) {
        const QSize newSize = sizeOf(strNew);
        const QSize thirdSize = sizeOf(m_view.resolution(Third));
        if (m_iStreamNum > 2 && m_view.isGroupChecked(Third)
            && qint64(newSize.width()) * newSize.height() < qint64(thirdSize.width()) * thirdSize.height()) {
            if (!m_view.askCloseStreams()) {
                m_view.selectResolution(Sub, m_strSubRes);
                return;
            }
            setGroupOn(Third, false);
        }
        applyLowerCap(Sub);
        if (m_iStreamNum > 2)
            rebuildLower(Third);
        propose(Sub);
        m_strSubRes = strNew;
    } else {
        applyLowerCap(Third);
        propose(Third);
    }
}

void CEncodeStreamLogic::frameRateChanged(int iStream)
{
    if (iStream == Main && m_iStreamNum > 1)
        rebuildBelowMain();
    else if (iStream == Sub && m_iStreamNum > 2)
        rebuildLower(Third);
}

void CEncodeStreamLogic::subGroupClicked(bool bChecked)
{
    if (bChecked) {
        resolutionChanged(Sub);
        if (!m_view.isGroupChecked(Third)) {
            m_view.setGroupExpanded(Sub, true);
            m_view.setGroupEnabled(Third, m_iStreamNum > 2 && !m_view.resolutionItems(Third).isEmpty());
            return;
        }
    } else if (!m_view.isGroupChecked(Third)) {
        m_view.setGroupExpanded(Sub, false);
        m_view.setGroupEnabled(Third, false);
        return;
    }
    if (bChecked) {
        m_view.setGroupExpanded(Sub, true);
        return;
    }
    if (m_view.askCloseStreams()) {
        m_view.setGroupExpanded(Sub, false);
        setGroupOn(Third, false);
        m_view.setGroupEnabled(Third, false);
    } else {
        m_view.setGroupChecked(Sub, true);
    }
}

void CEncodeStreamLogic::thirdGroupClicked(bool bChecked)
{
    if (bChecked)
        rebuildLower(Third);
    m_view.setGroupExpanded(Third, bChecked);
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
        if (!editChecked(iStream, true) || !editChecked(iStream, false))
            return false;
    }
    return true;
}

stEncoderCfg CEncodeStreamLogic::collect(int iStream, const stEncoderCfg &read) const
{
    stEncoderCfg cfg = read;
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

qint64 CEncodeStreamLogic::capacityCost(const QString &strRes, int iRate, int iFormat) const
{
    qint64 lCost = qint64(std::max(iRate, 0)) * area16(sizeOf(strRes));
    if (iFormat == FormatMjpeg)
        lCost = lCost * m_lConvNum / m_lConvDen;
    return lCost;
}

qint64 CEncodeStreamLogic::cost(int iStream) const
{
    return capacityCost(m_view.resolution(iStream), m_view.frameRate(iStream), m_view.format(iStream));
}

qint64 CEncodeStreamLogic::clampedBudget(qint64 lUsed) const
{
    // Without a capacity in the document nothing is limited by it.
    if (!m_bBudgetKnown)
        return std::numeric_limits<qint32>::max();
    return std::max<qint64>(m_lBudgetTotal - lUsed, 0);
}

qint64 CEncodeStreamLogic::budgetAfterMain() const
{
    return clampedBudget(cost(Main));
}

qint64 CEncodeStreamLogic::budgetAfterSub() const
{
    return clampedBudget(cost(Main) + cost(Sub));
}

QStringList CEncodeStreamLogic::lowerCandidates(int iStream) const
{
    QStringList list;
    for (const QString &strValue : m_listLowerSource) {
        if (offeredTo(strValue, iStream))
            list << strValue;
    }
    return list;
}

void CEncodeStreamLogic::rebuildBelowMain()
{
    rebuildLower(Sub);
    if (m_iStreamNum > 2)
        rebuildLower(Third);
}

void CEncodeStreamLogic::rebuildLower(int iStream)
{
    const QString strKeep = m_view.resolution(iStream);
    QStringList list = lowerCandidates(iStream);
    if (list.isEmpty())
        return;
    const qint64 lLeft = iStream == Sub ? budgetAfterMain() : budgetAfterSub();
    QSize upper = sizeOf(m_view.resolution(iStream == Sub ? Main : Sub));
    if (!upper.isValid())
        upper = sizeOf(m_view.resolution(Main));
    const qint64 lUpperArea = upper.isValid() ? qint64(upper.width()) * upper.height()
                                              : std::numeric_limits<qint64>::max();
    // The smallest entry (listed last) always stays, so the stream keeps a choice.
    for (int i = list.size() - 2; i >= 0; --i) {
        const QSize size = sizeOf(list.at(i));
        if (area16(size) > lLeft || qint64(size.width()) * size.height() > lUpperArea)
            list.removeAt(i);
    }
    m_view.setResolutionItems(iStream, list);
    m_view.selectResolution(iStream, list.contains(strKeep) ? strKeep : list.first());
    if (iStream == Sub)
        m_strSubRes = m_view.resolution(Sub);
    applyLowerCap(iStream);
}

void CEncodeStreamLogic::applyLowerCap(int iStream)
{
    const qint64 lArea = area16(sizeOf(m_view.resolution(iStream)));
    if (lArea <= 0)
        return;
    const qint64 lLeft = iStream == Sub ? budgetAfterMain() : budgetAfterSub();
    qint64 lCap = lLeft / lArea;
    if (iStream == Sub && lArea > kD1Area16)
        lCap = std::min<qint64>(lCap, m_ulMaxFps);
    else
        lCap = std::min<qint64>(lCap, kLowerFpsLimit);
    capFrameRate(iStream, lCap);
}

void CEncodeStreamLogic::capFrameRate(int iStream, qint64 lCap)
{
    if (m_view.format(iStream) == FormatMjpeg)
        lCap = std::min<qint64>(lCap, kMjpegFpsLimit);
    QList<int> list;
    for (int iRate : m_listRates[iStream]) {
        if (iRate <= lCap)
            list << iRate;
    }
    // A stream that is on needs a frame rate: the lowest one stays.
    if (list.isEmpty() && !m_listRates[iStream].isEmpty())
        list << m_listRates[iStream].first();
    m_view.setFrameRateItems(iStream, list);
    if (!list.isEmpty())
        m_view.selectFrameRate(iStream, list.last());
}

void CEncodeStreamLogic::propose(int iStream)
{
    const int iBitRate = proposedBitRate(m_view.resolution(iStream), iStream);
    if (iBitRate > 0)
        m_view.setBitRateText(iStream, QString::number(iBitRate));
}

void CEncodeStreamLogic::mainProposal()
{
    const QString strRes = m_view.resolution(Main);
    qint64 lCap = m_ulMaxFps;
    if (strRes == QLatin1String("720*576") || strRes == QLatin1String("704*288")
        || strRes == QLatin1String("352*288"))
        lCap = std::min<qint64>(lCap, kLowerFpsLimit);
    capFrameRate(Main, lCap);
    propose(Main);
}

void CEncodeStreamLogic::setGroupOn(int iStream, bool bOn)
{
    m_view.setGroupChecked(iStream, bOn);
    m_view.setGroupExpanded(iStream, bOn);
}
