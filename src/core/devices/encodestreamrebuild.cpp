// How the three streams follow each other: the reactions to the user's
// changes, the encoding capacity budget, the rebuilt lists of the lower
// streams and their frame-rate caps and bit-rate proposals.
#include "encodestreams.h"

#include <algorithm>
#include <limits>

using namespace EncodeStreams;

namespace {

// Above this area a sub stream may run at the device's full frame rate.
constexpr qint64 kD1Area16 = 414720;
constexpr int kLowerFpsLimit = 25;
constexpr int kMjpegFpsLimit = 5;

} // namespace

void CEncodeStreamLogic::formatChanged(int iStream)
{
    const int iFormat = m_view.format(iStream);
    m_view.setRateControlEnabled(iStream, true);
    if (iFormat == FormatMjpeg) {
        m_view.setRateControlEnabled(iStream, false);
        m_view.setQualityEnabled(iStream, true);
    }
    if (iStream == Main) {
        // MJPEG keeps the bit rate it cannot edit; only its frame rates shrink.
        if (iFormat == FormatMjpeg)
            capFrameRate(Main, m_ulMaxFps);
        if (iFormat == FormatH264) {
            followMainResolution();
            modeChanged(Main);
        } else if (m_iStreamNum > 1) {
            rebuildBelowMain();
        }
    } else {
        if (iFormat == FormatMjpeg || iFormat == FormatH264)
            rebuildLower(iStream);
        if (iFormat == FormatH264) {
            if (iStream == Third)
                propose(Third);
            modeChanged(iStream);
        }
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
        followMainResolution();
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
    // The device refuses a main stream that alone exceeds its capacity.
    const qint64 lPerFrame = capacityCost(m_view.resolution(Main), 1, m_view.format(Main));
    if (iStream == Main && m_bBudgetKnown && lPerFrame > 0)
        lCap = std::min(lCap, m_lBudgetTotal / lPerFrame);
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
    // An MJPEG stream's bit rate is greyed out: what the device holds goes back unchanged.
    if (m_view.format(iStream) == FormatMjpeg)
        return;
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

void CEncodeStreamLogic::followMainResolution()
{
    mainProposal();
    if (m_iStreamNum > 1)
        rebuildBelowMain();
    if (m_iStreamNum > 2)
        propose(Sub);
}

void CEncodeStreamLogic::setGroupOn(int iStream, bool bOn)
{
    m_view.setGroupChecked(iStream, bOn);
    m_view.setGroupExpanded(iStream, bOn);
}
