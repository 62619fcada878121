// The stream rules without widgets: capability parse, capture and frame-rate
// limits, the capacity budget, lower-stream rebuilds, validation and the
// write order, driven through an in-memory view.
#include "devcapability.h"
#include "encodestreams.h"

#include <QtTest>

using namespace EncodeStreams;

namespace {

class CFakeView : public IEncodeStreamView
{
public:
    struct Stream
    {
        QList<int> formats;
        int format = -1;
        QStringList resolutions;
        QString resolution;
        QList<int> rates;
        int rate = 0;
        int mode = -1;
        QString bitRate;
        QString iFrame;
        int quality = 1;
        bool rateControl = true;
        bool qualityOn = true;
        bool resolutionOn = true;
        bool visible = true;
        bool checked = false;
        bool expanded = true;
        bool groupOn = true;
    };

    void setFormatItems(int s, const QList<int> &l) override { st[s].formats = l; st[s].format = l.value(0, -1); }
    int format(int s) const override { return st[s].format; }
    void selectFormat(int s, int f) override { if (st[s].formats.contains(f)) st[s].format = f; }
    void setResolutionItems(int s, const QStringList &l) override { st[s].resolutions = l; st[s].resolution = l.value(0); }
    QStringList resolutionItems(int s) const override { return st[s].resolutions; }
    QString resolution(int s) const override { return st[s].resolution; }
    void selectResolution(int s, const QString &v) override { if (st[s].resolutions.contains(v)) st[s].resolution = v; }
    void setFrameRateItems(int s, const QList<int> &l) override { st[s].rates = l; st[s].rate = l.value(0); }
    int frameRate(int s) const override { return st[s].rate; }
    void selectFrameRate(int s, int r) override { if (st[s].rates.contains(r)) st[s].rate = r; }
    int mode(int s) const override { return st[s].mode; }
    void selectMode(int s, int m) override { if (m == 0 || m == 1) st[s].mode = m; }
    QString bitRateText(int s) const override { return st[s].bitRate; }
    void setBitRateText(int s, const QString &t) override { st[s].bitRate = t; }
    QString iFrameText(int s) const override { return st[s].iFrame; }
    void setIFrameText(int s, const QString &t) override { st[s].iFrame = t; }
    int quality(int s) const override { return st[s].quality; }
    void setQuality(int s, int q) override { st[s].quality = qBound(1, q, 9); }
    void setRateControlEnabled(int s, bool b) override { st[s].rateControl = b; }
    void setQualityEnabled(int s, bool b) override { st[s].qualityOn = b; }
    void setResolutionEnabled(int s, bool b) override { st[s].resolutionOn = b; }
    void setGroupVisible(int s, bool b) override { st[s].visible = b; }
    bool isGroupChecked(int s) const override { return s != Main && st[s].checked; }
    void setGroupChecked(int s, bool b) override { st[s].checked = b; }
    void setGroupExpanded(int s, bool b) override { st[s].expanded = b; }
    void setGroupEnabled(int s, bool b) override { st[s].groupOn = b; }
    bool askCloseStreams() override { ++questions; return answer; }
    void showRangeNote(int lo, int hi) override { notes << QStringLiteral("%1~%2").arg(lo).arg(hi); }

    Stream st[3];
    bool answer = false;
    int questions = 0;
    QStringList notes;
};

stEncoderCfg stream(quint32 index, quint32 enabled, quint32 format, quint32 w, quint32 h, quint32 fps,
                    quint32 bitRate = 1024)
{
    stEncoderCfg cfg;
    cfg.ulStream = index;
    cfg.ulEnabled = enabled;
    cfg.ulFormat = format;
    cfg.ulWidth = w;
    cfg.ulHeight = h;
    cfg.ulFrameRate = fps;
    cfg.ulBitRate = bitRate;
    cfg.ulIFrame = 50;
    cfg.ulMode = 0;
    cfg.ulQuality = 5;
    cfg.ulReserved28 = 0xA5A5;
    return cfg;
}

QList<stDevCapacityInfo> caps(const QByteArray &xml)
{
    QList<stDevCapacityInfo> list;
    if (!DevCapability::flatten(xml, list))
        qWarning("test document does not parse");
    return list;
}

// A device with capture 1920x1080 at 30 fps, loaded with the given streams.
struct Setup
{
    CFakeView view;
    CEncodeStreamLogic logic{view};

    Setup(const QByteArray &xml, const QList<stEncoderCfg> &streams, quint32 w = 1920, quint32 h = 1080,
          quint32 fps = 30, bool vinOk = true)
    {
        logic.setVideoInput(vinOk, w, h, fps);
        logic.parseCapability(caps(xml));
        logic.fillFrameRates();
        for (int i = 0; i < streams.size() && (i == 0 || logic.streamCount() > i); ++i)
            logic.loadStream(i, streams.at(i));
        logic.finishLoading();
    }
};

const QByteArray kTwoStreams =
    "<E><MaxStream>2</MaxStream><EncodeFormat>3,6</EncodeFormat>"
    "<Resolution>1920*1080,1280*720,720*576,352*288</Resolution><ALONE>400000</ALONE><CONV>3:2</CONV></E>";
const QByteArray kThreeStreams =
    "<E><MaxStream>3</MaxStream><EncodeFormat>3,6,12</EncodeFormat>"
    "<Resolution>1920*1080,1280*720,720*576,352*288</Resolution><ALONE>600000</ALONE></E>";

} // namespace

class TestEncodeStreams : public QObject
{
    Q_OBJECT

private slots:
    void structureRoundTrip();
    void parseCountsAndChoices();
    void streamCountClamped_data();
    void streamCountClamped();
    void captureSizeAndFrameRateLimits();
    void failedVideoInputOffersNothing();
    void mjpegAndSmallMainCaps();
    void budgetClampedAtZero();
    void convMissingOrZeroIsOneToOne();
    void emptyLowerListCannotBeEnabled();
    void closingQuestion();
    void subGroupSwitches();
    void validation();
    void saveOrder();
};

void TestEncodeStreams::structureRoundTrip()
{
    const stEncoderCfg cfg = stream(2, 1, FormatH264, 720, 576, 25, 2048);
    const QByteArray data = cfg.toBytes();
    QCOMPARE(data.size(), 48);
    QCOMPARE(quint8(data[12]), quint8(720 & 0xFF));
    QCOMPARE(quint8(data[13]), quint8(720 >> 8));
    const stEncoderCfg back = stEncoderCfg::fromBytes(data);
    QCOMPARE(back.ulStream, 2u);
    QCOMPARE(back.ulBitRate, 2048u);
    QCOMPARE(back.ulReserved28, 0xA5A5u);
    QCOMPARE(stEncoderCfg::fromBytes(QByteArray(10, '\1')).ulWidth, 0u);
}

void TestEncodeStreams::parseCountsAndChoices()
{
    // Hidden streams count after MaxStream; unknown codes and resolutions are ignored.
    Setup s("<E><MaxStream>3</MaxStream><HiddenStream><Number>1</Number></HiddenStream>"
            "<EncodeFormat>6,99,3,12</EncodeFormat><Resolution>1920*1080,1024*768,1280*720,720*576</Resolution>"
            "<Resolution1>1280*720,352*288</Resolution1><NoModifyMainPicSize>1</NoModifyMainPicSize>"
            "<Bogus>1</Bogus></E>",
            {stream(0, 1, 6, 1920, 1080, 25)});
    QCOMPARE(s.logic.streamCount(), 2);
    QCOMPARE(s.view.st[Main].formats, (QList<int>{6, 3, 12}));
    QCOMPARE(s.view.st[Main].resolutions, (QStringList{"1920*1080", "1280*720", "720*576"}));
    // The lower streams come from Resolution1.
    QCOMPARE(s.view.st[Sub].resolutions, (QStringList{"1280*720", "352*288"}));
    QCOMPARE(s.view.st[Third].resolutions, (QStringList{"352*288"}));
    QVERIFY(!s.view.st[Main].resolutionOn);
    QVERIFY(s.view.st[Sub].visible);
    QVERIFY(!s.view.st[Third].visible);
}

void TestEncodeStreams::streamCountClamped_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("count");
    QTest::newRow("missing") << QByteArray("<E><Resolution>720*576</Resolution></E>") << 0;
    QTest::newRow("too many") << QByteArray("<E><MaxStream>7</MaxStream></E>") << 3;
    QTest::newRow("negative") << QByteArray("<E><MaxStream>1</MaxStream><HiddenStream><Number>4</Number></HiddenStream></E>") << 0;
    QTest::newRow("hidden before max") << QByteArray("<E><HiddenStream><Number>1</Number></HiddenStream><MaxStream>2</MaxStream></E>") << 2;
}

void TestEncodeStreams::streamCountClamped()
{
    QFETCH(QByteArray, xml);
    QFETCH(int, count);
    Setup s(xml, {stream(0, 1, 6, 720, 576, 25)});
    QCOMPARE(s.logic.streamCount(), count);
    // Only the main stream and the offered lower streams are written.
    std::array<stEncoderCfg, 3> read{stream(0, 1, 6, 720, 576, 25), stream(1, 1, 6, 352, 288, 25),
                                     stream(2, 0, 6, 352, 288, 15)};
    QCOMPARE(s.logic.saveSequence(read).size(), count <= 1 ? 1 : 2 * count - 1);
}

void TestEncodeStreams::captureSizeAndFrameRateLimits()
{
    // A listed resolution larger than the capture size is never offered; frame
    // rates above the device's maximum neither.
    Setup s("<E><MaxStream>3</MaxStream><EncodeFormat>6</EncodeFormat>"
            "<Resolution>2048*1536,1920*1080,1280*720,720*576,352*288</Resolution></E>",
            {stream(0, 1, 6, 1920, 1080, 20), stream(1, 1, 6, 720, 576, 20), stream(2, 0, 6, 352, 288, 15)},
            1920, 1080, 20);
    QCOMPARE(s.view.st[Main].resolutions.first(), QStringLiteral("1920*1080"));
    QCOMPARE(s.view.st[Main].rates.last(), 20);
    QCOMPARE(s.view.st[Sub].rates.last(), 20);
    QVERIFY(s.view.st[Third].rates.last() <= 20);
    // No budget in the document: nothing limited by it.
    QCOMPARE(s.view.st[Sub].resolutions, (QStringList{"1920*1080", "1280*720", "720*576", "352*288"}));
}

void TestEncodeStreams::failedVideoInputOffersNothing()
{
    Setup s(kTwoStreams, {stream(0, 1, 6, 1920, 1080, 25)}, 1920, 1080, 30, false);
    QVERIFY(s.logic.mainResolutionsEmpty());
    QVERIFY(s.view.st[Main].rates.isEmpty());
    QCOMPARE(s.logic.maxFrameRate(), 0u);
}

void TestEncodeStreams::mjpegAndSmallMainCaps()
{
    Setup s(kTwoStreams, {stream(0, 1, FormatH264, 1920, 1080, 30, 4096), stream(1, 1, 6, 352, 288, 25)});
    QCOMPARE(s.view.st[Main].rate, 30);

    s.view.st[Main].format = FormatMjpeg;
    s.logic.formatChanged(Main);
    QCOMPARE(s.view.st[Main].rates.last(), 5);
    QVERIFY(!s.view.st[Main].rateControl);
    QVERIFY(s.view.st[Main].qualityOn);
    // A resolution change keeps the MJPEG limit.
    s.view.st[Main].resolution = QStringLiteral("1280*720");
    s.logic.resolutionChanged(Main);
    QCOMPARE(s.view.st[Main].rates.last(), 5);

    s.view.st[Main].format = FormatH264;
    s.logic.formatChanged(Main);
    QVERIFY(s.view.st[Main].rateControl);
    QCOMPARE(s.view.st[Main].rates.last(), 30);
    for (const char *small : {"720*576", "352*288"}) {
        s.view.st[Main].resolution = QLatin1String(small);
        s.logic.resolutionChanged(Main);
        QCOMPARE(s.view.st[Main].rates.last(), 25);
    }
    QCOMPARE(s.view.st[Main].bitRate, QStringLiteral("512"));
}

void TestEncodeStreams::budgetClampedAtZero()
{
    // ALONE 210000: 53 760 000, a little more than 1080P at 25 fps costs.
    const QByteArray xml = "<E><MaxStream>2</MaxStream><EncodeFormat>6</EncodeFormat>"
                           "<Resolution>1920*1080,1280*720,720*576,352*288</Resolution><ALONE>210000</ALONE></E>";
    Setup s(xml, {stream(0, 1, 6, 1920, 1080, 25), stream(1, 1, 6, 352, 288, 15)});
    QCOMPARE(s.logic.budgetAfterMain(), 53760000 - 1920LL * 1088 * 25);
    // 1080P no longer fits the 1 536 000 left; the selected CIF runs at most 1 536 000 / 101 376 fps.
    QCOMPARE(s.view.st[Sub].resolutions, (QStringList{"1280*720", "720*576", "352*288"}));
    QCOMPARE(s.view.st[Sub].rates.last(), 15);

    // Over the budget: nothing left, never a huge number; the smallest sub entry stays.
    s.view.st[Main].rate = 30;
    s.logic.frameRateChanged(Main);
    QCOMPARE(s.logic.budgetAfterMain(), 0);
    QCOMPARE(s.logic.budgetAfterSub(), 0);
    QCOMPARE(s.view.st[Sub].resolutions, QStringList{"352*288"});
    QCOMPARE(s.view.st[Sub].rates, QList<int>{1});
}

void TestEncodeStreams::convMissingOrZeroIsOneToOne()
{
    for (const QByteArray &conv : {QByteArray(), QByteArray("<CONV>3:0</CONV>"), QByteArray("<CONV>x</CONV>")}) {
        Setup s("<E><MaxStream>2</MaxStream><EncodeFormat>3,6</EncodeFormat><Resolution>720*576</Resolution>"
                "<ALONE>100000</ALONE>" + conv + "</E>",
                {stream(0, 1, FormatMjpeg, 720, 576, 5)});
        QCOMPARE(s.logic.cost(Main), 720LL * 576 * 5);
    }
    Setup s("<E><MaxStream>2</MaxStream><EncodeFormat>3,6</EncodeFormat><Resolution>720*576</Resolution>"
            "<ALONE>100000</ALONE><CONV>3:2</CONV></E>",
            {stream(0, 1, FormatMjpeg, 720, 576, 5)});
    QCOMPARE(s.logic.cost(Main), 720LL * 576 * 5 * 3 / 2);
}

void TestEncodeStreams::emptyLowerListCannotBeEnabled()
{
    // Only main-only resolutions: neither lower stream has anything to offer.
    Setup s("<E><MaxStream>3</MaxStream><EncodeFormat>6</EncodeFormat><Resolution>2048*1536</Resolution></E>",
            {stream(0, 1, 6, 2048, 1536, 25), stream(1, 1, 6, 720, 576, 25), stream(2, 1, 6, 352, 288, 25)},
            2048, 1536, 25);
    QVERIFY(!s.view.st[Sub].groupOn);
    QVERIFY(!s.view.st[Sub].checked);
    QVERIFY(!s.view.st[Third].groupOn);
    // Reactions on such a stream do nothing harmful.
    s.logic.resolutionChanged(Sub);
    s.logic.frameRateChanged(Sub);
    s.logic.thirdGroupClicked(true);
    QVERIFY(s.view.st[Sub].rates.size() > 0);
}

void TestEncodeStreams::closingQuestion()
{
    Setup s(kThreeStreams, {stream(0, 1, 6, 1280, 720, 25), stream(1, 1, 6, 720, 576, 25),
                            stream(2, 1, 6, 352, 288, 15)});
    QVERIFY(s.view.st[Sub].checked);
    QVERIFY(s.view.st[Third].checked);
    const CFakeView::Stream before = s.view.st[Sub];

    // Refused: the previous main resolution comes back and nothing else moves.
    s.view.answer = false;
    s.view.st[Main].resolution = QStringLiteral("352*288");
    const QString bitRate = s.view.st[Main].bitRate;
    s.logic.resolutionChanged(Main);
    QCOMPARE(s.view.questions, 1);
    QCOMPARE(s.view.st[Main].resolution, QStringLiteral("1280*720"));
    QCOMPARE(s.view.st[Main].bitRate, bitRate);
    QCOMPARE(s.view.st[Sub].resolutions, before.resolutions);
    QVERIFY(s.view.st[Sub].checked);

    // Accepted: both lower streams go off.
    s.view.answer = true;
    s.view.st[Main].resolution = QStringLiteral("352*288");
    s.logic.resolutionChanged(Main);
    QCOMPARE(s.view.questions, 2);
    QVERIFY(!s.view.st[Sub].checked);
    QVERIFY(!s.view.st[Third].checked);
    QVERIFY(!s.view.st[Third].groupOn);
    QCOMPARE(s.view.st[Sub].resolutions, QStringList{"352*288"});

    // A larger main resolution asks nothing.
    s.view.st[Main].resolution = QStringLiteral("1920*1080");
    s.logic.resolutionChanged(Main);
    QCOMPARE(s.view.questions, 2);
    QCOMPARE(s.view.st[Main].bitRate, QStringLiteral("4096"));
}

void TestEncodeStreams::subGroupSwitches()
{
    Setup s(kThreeStreams, {stream(0, 1, 6, 1920, 1080, 25), stream(1, 1, 6, 720, 576, 25),
                            stream(2, 1, 6, 352, 288, 15)});
    // Switching the sub stream off while the third is on asks; "no" keeps it on.
    s.view.answer = false;
    s.view.st[Sub].checked = false;
    s.logic.subGroupClicked(false);
    QVERIFY(s.view.st[Sub].checked);
    QVERIFY(s.view.st[Third].checked);
    s.view.answer = true;
    s.view.st[Sub].checked = false;
    s.logic.subGroupClicked(false);
    QVERIFY(!s.view.st[Third].checked);
    QVERIFY(!s.view.st[Third].groupOn);
    QVERIFY(!s.view.st[Sub].expanded);
    // Back on: the third becomes available again, without a question.
    s.view.st[Sub].checked = true;
    s.logic.subGroupClicked(true);
    QCOMPARE(s.view.questions, 2);
    QVERIFY(s.view.st[Sub].expanded);
    QVERIFY(s.view.st[Third].groupOn);
}

void TestEncodeStreams::validation()
{
    Setup s(kTwoStreams, {stream(0, 1, 6, 1920, 1080, 25, 4096), stream(1, 1, 6, 720, 576, 25, 1024)});
    struct Case { const char *text; bool ok; };
    for (const Case &c : {Case{"127", false}, Case{"16385", false}, Case{"128", true}, Case{"16384", true},
                          Case{"", false}, Case{"0", false}}) {
        const QString last = s.view.st[Main].bitRate;
        s.view.st[Main].bitRate = QLatin1String(c.text);
        QCOMPARE(s.logic.bitRateEdited(Main), c.ok);
        QCOMPARE(s.view.st[Main].bitRate, c.ok ? QLatin1String(c.text) : last);
    }
    QCOMPARE(s.view.notes, QStringList({"128~16384", "128~16384", "128~16384", "128~16384"}));
    s.view.st[Sub].iFrame = QStringLiteral("9");
    QVERIFY(!s.logic.iFrameEdited(Sub));
    QCOMPARE(s.view.st[Sub].iFrame, QStringLiteral("50"));
    QCOMPARE(s.view.notes.last(), QStringLiteral("10~250"));

    // An edit emptied without finishing is caught at Save and restored.
    s.view.st[Sub].bitRate.clear();
    QVERIFY(!s.logic.validateAll());
    QCOMPARE(s.view.st[Sub].bitRate, QStringLiteral("1024"));
    QVERIFY(s.logic.validateAll());
    // A proposal is not an accepted value: refusing after it restores the typed one.
    s.view.st[Main].resolution = QStringLiteral("720*576");
    s.logic.resolutionChanged(Main);
    QCOMPARE(s.view.st[Main].bitRate, QStringLiteral("1024"));
    s.view.st[Main].bitRate = QStringLiteral("99999");
    s.logic.bitRateEdited(Main);
    QCOMPARE(s.view.st[Main].bitRate, QStringLiteral("16384"));

    // Values the device holds outside the range, in fields nobody can edit (a stream left
    // off, an MJPEG stream), do not block the save; they go back as read.
    Setup held(kThreeStreams, {stream(0, 1, 3, 1280, 720, 5, 0), stream(1, 0, 6, 720, 576, 25, 0),
                               stream(2, 0, 6, 352, 288, 15, 64)});
    QVERIFY(!held.view.st[Sub].checked);
    held.view.notes.clear();
    QVERIFY(held.logic.validateAll());
    QVERIFY(held.view.notes.isEmpty());
    QCOMPARE(held.view.st[Sub].bitRate, QStringLiteral("0"));
    held.view.st[Sub].checked = true;
    QVERIFY(!held.logic.validateAll());
    QCOMPARE(held.view.notes, QStringList({"128~16384"}));
}

void TestEncodeStreams::saveOrder()
{
    Setup s(kThreeStreams, {stream(0, 1, 6, 1920, 1080, 25), stream(1, 1, 6, 720, 576, 25),
                            stream(2, 0, 6, 352, 288, 15)});
    std::array<stEncoderCfg, 3> read{stream(0, 1, 6, 1920, 1080, 25), stream(1, 1, 6, 720, 576, 25),
                                     stream(2, 0, 6, 352, 288, 15)};
    const QList<stEncoderCfg> list = s.logic.saveSequence(read);
    QCOMPARE(list.size(), 5);
    QStringList order;
    for (const stEncoderCfg &cfg : list)
        order << QStringLiteral("%1:%2").arg(cfg.ulStream).arg(cfg.ulEnabled);
    QCOMPARE(order, QStringList({"2:0", "1:0", "0:1", "1:1", "2:0"}));
    // Fields without a widget are written back as read.
    QCOMPARE(list.at(2).ulReserved28, 0xA5A5u);
    QCOMPARE(list.at(2).ulWidth, 1920u);
}

QTEST_GUILESS_MAIN(TestEncodeStreams)
#include "tst_encodestreams.moc"
