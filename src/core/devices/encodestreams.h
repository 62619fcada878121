#ifndef ENCODESTREAMS_H
#define ENCODESTREAMS_H

// Video-stream settings of an IPC (main, sub and third stream), without widgets.
//
// CEncodeStreamLogic holds the rules that keep three streams within what the
// device offers: the choices its encoding capability document allows, capture
// size and frame-rate limits, the encoding capacity budget, the rebuilt lists
// of the lower streams, frame-rate caps, bit-rate proposals, validation and the
// order in which the streams are written.
//
// It drives a view through IEncodeStreamView. Every user interface that edits
// streams (the configuration dialog's encoding page, the batch dialog's
// encoding tab) implements the view over its own widgets, forwards the user's
// changes to the reaction functions below and reads and writes the device (or
// sends requests) itself. The view must not report changes the logic makes.
//
// encodestreams.cpp holds the tables, the capability document, loading,
// validation and the save order; encodestreamrebuild.cpp the reactions to the
// user's changes, the capacity budget and the rebuilt lower streams.

#include "devcapacityinfo.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <array>

namespace EncodeStreams {

enum EStream { Main = 0, Sub = 1, Third = 2, StreamCount = 3 };
enum EFormat { FormatMjpeg = 3, FormatH264 = 6, FormatJpeg = 12 };
enum EMode { ModeCbr = 0, ModeVbr = 1 };

constexpr int kBitRateMin = 128;
constexpr int kBitRateMax = 16384;
constexpr int kIFrameMin = 10;
constexpr int kIFrameMax = 250;
constexpr int kCollapsedHeight = 18;

// "MJPEG", "H.264", "JPEG"; empty for other codes.
QString formatLabel(int iFormat);
// Label of a known resolution value ("1920*1080" -> "1080P"); empty when unknown.
QString resolutionLabel(const QString &strValue);
// Known resolutions offered to a stream, largest first.
bool offeredTo(const QString &strValue, int iStream);
// Proposed bit rate of a resolution for a stream; 0 when there is none.
int proposedBitRate(const QString &strValue, int iStream);
// Frame rates a stream may offer before any limit.
QList<int> fullFrameRates(int iStream);
// Width and height each rounded up to a multiple of 16, multiplied.
qint64 area16(const QSize &size);
// "1920*1080" -> 1920x1080; an invalid size for other text.
QSize sizeOf(const QString &strValue);

} // namespace EncodeStreams

// The encoder structure of one stream (command 31, 48 bytes, little-endian).
struct stEncoderCfg
{
    static constexpr int kSize = 48;

    quint32 ulStream = 0;
    quint32 ulEnabled = 0;
    quint32 ulFormat = 0;
    quint32 ulWidth = 0;
    quint32 ulHeight = 0;
    quint32 ulBitRate = 0;
    quint32 ulFrameRate = 0;
    quint32 ulReserved28 = 0;
    quint32 ulIFrame = 0;
    quint32 ulMode = 0;
    quint32 ulQuality = 0;
    quint32 ulReserved44 = 0;

    QByteArray toBytes() const;
    // Zero-filled when data is shorter than the structure.
    static stEncoderCfg fromBytes(const QByteArray &data);
};

// The widgets of the three streams as the logic sees them. Combo items carry
// their values; selecting a value that is not offered leaves the selection.
class IEncodeStreamView
{
public:
    virtual ~IEncodeStreamView() = default;

    virtual void setFormatItems(int iStream, const QList<int> &listFormats) = 0;
    virtual int format(int iStream) const = 0;                      // -1: none selected
    virtual void selectFormat(int iStream, int iFormat) = 0;
    virtual void setResolutionItems(int iStream, const QStringList &listValues) = 0;
    virtual QStringList resolutionItems(int iStream) const = 0;
    virtual QString resolution(int iStream) const = 0;              // empty: none selected
    virtual void selectResolution(int iStream, const QString &strValue) = 0;
    virtual void setFrameRateItems(int iStream, const QList<int> &listRates) = 0;
    virtual int frameRate(int iStream) const = 0;                   // 0: none selected
    virtual void selectFrameRate(int iStream, int iRate) = 0;
    virtual int mode(int iStream) const = 0;                        // -1: none selected
    virtual void selectMode(int iStream, int iMode) = 0;
    virtual QString bitRateText(int iStream) const = 0;
    virtual void setBitRateText(int iStream, const QString &strText) = 0;
    virtual QString iFrameText(int iStream) const = 0;
    virtual void setIFrameText(int iStream, const QString &strText) = 0;
    virtual int quality(int iStream) const = 0;
    virtual void setQuality(int iStream, int iQuality) = 0;
    // Bit rate, encoding mode and I-frame interval together.
    virtual void setRateControlEnabled(int iStream, bool bEnabled) = 0;
    virtual void setQualityEnabled(int iStream, bool bEnabled) = 0;
    virtual void setResolutionEnabled(int iStream, bool bEnabled) = 0;

    // The checkable groups of the sub and third stream.
    virtual void setGroupVisible(int iStream, bool bVisible) = 0;
    virtual bool isGroupChecked(int iStream) const = 0;
    virtual void setGroupChecked(int iStream, bool bChecked) = 0;
    virtual void setGroupExpanded(int iStream, bool bExpanded) = 0;
    virtual void setGroupEnabled(int iStream, bool bEnabled) = 0;

    // "This operation will switch off the later streams; continue?" True to go on.
    virtual bool askCloseStreams() = 0;
    // Tells the user a typed number must lie in [iLow, iHigh].
    virtual void showRangeNote(int iLow, int iHigh) = 0;
};

class CEncodeStreamLogic
{
public:
    explicit CEncodeStreamLogic(IEncodeStreamView &view);

    // Initialisation, in this order: video input, capability, frame rates,
    // then loadStream for main, sub and third as the stream count allows.
    // bOk false (a failed read) leaves capture size and maximum frame rate 0.
    void setVideoInput(bool bOk, quint32 ulWidth, quint32 ulHeight, quint32 ulMaxFps);
    void parseCapability(const QList<stDevCapacityInfo> &listCap);
    void fillFrameRates();
    void loadStream(int iStream, const stEncoderCfg &cfg);
    // After loading: the third group is usable only while the sub stream is on.
    void finishLoading();

    // Reactions to the user's changes.
    void formatChanged(int iStream);
    void modeChanged(int iStream);
    void resolutionChanged(int iStream);
    void frameRateChanged(int iStream);
    void subGroupClicked(bool bChecked);
    void thirdGroupClicked(bool bChecked);
    // Validates an edit when editing finishes; an invalid value is replaced by
    // the last accepted one and the range is shown. False when it was invalid.
    bool bitRateEdited(int iStream);
    bool iFrameEdited(int iStream);

    // Re-validates the edits of every stream offered; false at the first
    // invalid one (restored and explained as above).
    bool validateAll();
    // The structure of stream iStream from the widgets; fields without a
    // selection and the reserved fields keep the values of `read`.
    stEncoderCfg collect(int iStream, const stEncoderCfg &read) const;
    // The writes of one save, in order: lower streams switched off first, the
    // main stream, then the lower streams in their final state. Never leaves
    // the device with a later stream larger than an earlier one.
    QList<stEncoderCfg> saveSequence(const std::array<stEncoderCfg, 3> &read) const;

    int streamCount() const { return m_iStreamNum; }
    bool mainResolutionsEmpty() const { return m_bMainListEmpty; }
    quint32 maxFrameRate() const { return m_ulMaxFps; }
    // Capacity left after the main stream, and after main and sub; never below 0.
    qint64 budgetAfterMain() const;
    qint64 budgetAfterSub() const;
    // Capacity cost of a stream as currently selected.
    qint64 cost(int iStream) const;

private:
    qint64 clampedBudget(qint64 lUsed) const;
    qint64 capacityCost(const QString &strRes, int iRate, int iFormat) const;
    QStringList lowerCandidates(int iStream) const;
    void rebuildLower(int iStream);
    void capFrameRate(int iStream, qint64 lCap);
    void applyLowerCap(int iStream);
    void propose(int iStream);
    void mainProposal();
    void rebuildBelowMain();
    // The main stream's proposal and the lower streams that follow a main resolution.
    void followMainResolution();
    bool editChecked(int iStream, bool bBitRate);
    void setGroupOn(int iStream, bool bOn);

    IEncodeStreamView &m_view;
    quint32 m_ulCapWidth = 0;
    quint32 m_ulCapHeight = 0;
    quint32 m_ulMaxFps = 0;
    int m_iStreamNum = 0;
    bool m_bBudgetKnown = false;
    qint64 m_lBudgetTotal = 0;
    qint64 m_lConvNum = 1;
    qint64 m_lConvDen = 1;
    bool m_bMainListEmpty = true;
    // Resolutions the lower streams are rebuilt from (Resolution1 when given).
    QStringList m_listLowerSource;
    std::array<QList<int>, 3> m_listRates;
    QString m_strMainRes;
    QString m_strSubRes;
    std::array<int, 3> m_lastBitRate{{0, 0, 0}};
    std::array<int, 3> m_lastIFrame{{0, 0, 0}};
};

#endif // ENCODESTREAMS_H
