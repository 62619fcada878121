// Live streams of the configuration library painted into a widget of this
// process, and the picture following the device's image settings.
#include "simfleetprocess.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"
#include "zeltplaystats.h"

#include <QWidget>
#include <QtTest>

namespace {

const char *const kFirst = "127.94.0.10";

HWND handleOf(QWidget &widget)
{
    return reinterpret_cast<HWND>(widget.winId());
}

// Mean grey level of the upper half, above the text strip of the test picture.
int meanLevel(const QImage &image)
{
    qint64 sum = 0;
    qint64 count = 0;
    for (int y = 0; y < image.height() / 2; y += 4) {
        for (int x = 0; x < image.width(); x += 4) {
            sum += qGray(image.pixel(x, y));
            ++count;
        }
    }
    return count ? int(sum / count) : 0;
}

} // namespace

class TestZeltPlay : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void playShowsTheLivePicture();
    void pictureFollowsBrightness();
    void handlesAreChecked();
    void logoutEndsStreams();

private:
    QByteArray login(const QString &model);
    DWORD setBrightness(const QByteArray &userId, quint32 value);

    SimFleetProcess m_sim {{"--ipc", "12", "--first", kFirst, "--seed", "5"}};
};

void TestZeltPlay::initTestCase()
{
    QCOMPARE(ZELT_MW_Init(), DWORD(0));
    CORVANE_START_SIMULATOR(m_sim);
}

void TestZeltPlay::cleanupTestCase()
{
    m_sim.stop();
}

QByteArray TestZeltPlay::login(const QString &model)
{
    for (const SimFleetProcess::Device &device : m_sim.devices()) {
        if (device.model != model)
            continue;
        char userId[ZELT_MW_USERID_LEN] = {};
        if (ZELT_MW_Login("admin", "vorpe", device.ip.toLatin1().constData(), 0, userId) == 0)
            return QByteArray(userId);
    }
    return QByteArray();
}

DWORD TestZeltPlay::setBrightness(const QByteArray &userId, quint32 value)
{
    QByteArray buf(ZELT_ENH_SIZE, '\0');
    DWORD len = ZELT_ENH_SIZE;
    if (ZELT_MW_GetConfig(userId.constData(), ZELT_MW_IMAGE_ENHANCE_CFG, 0, &len, buf.data()) != 0)
        return ZELT_MW_ERR_PROTOCOL;
    zelt_put_u32(buf.data(), ZELT_ENH_BRIGHTNESS, value);
    return ZELT_MW_SetConfig(userId.constData(), ZELT_MW_IMAGE_ENHANCE_CFG, 0, ZELT_ENH_SIZE, buf.constData());
}

void TestZeltPlay::playShowsTheLivePicture()
{
    const QByteArray userId = login(QStringLiteral("ZC-5330"));
    QVERIFY(!userId.isEmpty());
    QWidget widget;
    widget.setStyleSheet(QStringLiteral("background-color: rgb(0,0,0)"));
    widget.resize(400, 300);
    widget.show();
    DWORD stream = 0;
    QCOMPARE(ZELT_MW_StartMediaStream(userId.constData(), 0, 0, 1, "0.0.0.0", 10086, 1, &stream), DWORD(0));
    QVERIFY(stream != 0);
    QCOMPARE(ZELT_MW_StartPlay(handleOf(widget), stream), DWORD(0));
    // Frames arrive and the picture moves.
    QTRY_VERIFY_WITH_TIMEOUT(meanLevel(widget.grab().toImage()) > 20, 5000);
    const QImage first = widget.grab().toImage();
    QTRY_VERIFY_WITH_TIMEOUT(widget.grab().toImage() != first, 5000);

    // A user-interface thread held up (a library call that times out) gets
    // the newest frame afterwards, not every frame decoded meanwhile.
    ZeltPlayStats before {};
    QCOMPARE(ZELT_DBG_GetPlayStats(handleOf(widget), &before), DWORD(0));
    QThread::msleep(800);
    QCoreApplication::sendPostedEvents();
    ZeltPlayStats after {};
    QCOMPARE(ZELT_DBG_GetPlayStats(handleOf(widget), &after), DWORD(0));
    QVERIFY2(after.framesDecoded - before.framesDecoded <= 2,
             qPrintable(QString::number(after.framesDecoded - before.framesDecoded)));
    QTRY_VERIFY_WITH_TIMEOUT(widget.grab().toImage() != first, 5000);

    QCOMPARE(ZELT_MW_StopPlay(handleOf(widget)), DWORD(0));
    QCOMPARE(ZELT_MW_StopPlay(handleOf(widget)), DWORD(ZELT_MW_ERR_NO_WINDOW));
    QCOMPARE(ZELT_MW_StopMediaStream(userId.constData(), stream), DWORD(0));
    ZELT_MW_Logout(userId.constData());
}

void TestZeltPlay::pictureFollowsBrightness()
{
    const QByteArray userId = login(QStringLiteral("ZC-2320"));
    QVERIFY(!userId.isEmpty());
    QWidget widget;
    widget.resize(320, 240);
    widget.show();
    DWORD stream = 0;
    QCOMPARE(ZELT_MW_StartMediaStream(userId.constData(), 0, 0, 1, "0.0.0.0", 10086, 1, &stream), DWORD(0));
    QCOMPARE(ZELT_MW_StartPlay(handleOf(widget), stream), DWORD(0));
    QCOMPARE(setBrightness(userId, 0), DWORD(0));
    QTRY_VERIFY_WITH_TIMEOUT(meanLevel(widget.grab().toImage()) < 60, 5000);
    const int dark = meanLevel(widget.grab().toImage());
    QCOMPARE(setBrightness(userId, 255), DWORD(0));
    QTRY_VERIFY_WITH_TIMEOUT(meanLevel(widget.grab().toImage()) > dark + 100, 5000);
    QCOMPARE(setBrightness(userId, 128), DWORD(0));
    ZELT_MW_StopPlay(handleOf(widget));
    ZELT_MW_StopMediaStream(userId.constData(), stream);
    ZELT_MW_Logout(userId.constData());
}

void TestZeltPlay::handlesAreChecked()
{
    const QByteArray userId = login(QStringLiteral("ZC-2320N"));
    QVERIFY(!userId.isEmpty());
    DWORD stream = 0;
    // A two-stream device has no third stream to send.
    QCOMPARE(ZELT_MW_StartMediaStream(userId.constData(), 0, 2, 1, "0.0.0.0", 10086, 1, &stream), DWORD(ZELT_MW_ERR_PARAM));
    // A model without audio starts the stream and says so.
    QCOMPARE(ZELT_MW_StartMediaStream(userId.constData(), 0, 1, 1, "0.0.0.0", 10086, 1, &stream),
             DWORD(ZELT_MW_STREAM_NO_AUDIO));
    QCOMPARE(ZELT_MW_StopMediaStream("someone else", stream), DWORD(ZELT_MW_ERR_USERID));
    QCOMPARE(ZELT_MW_StopMediaStream(userId.constData(), stream + 1000), DWORD(ZELT_MW_ERR_STREAM));

    QWidget widget;
    widget.show();
    QCOMPARE(ZELT_MW_StartPlay(nullptr, stream), DWORD(ZELT_MW_ERR_NO_WINDOW));
    QCOMPARE(ZELT_MW_StartPlay(reinterpret_cast<HWND>(quintptr(0x7fffff01)), stream), DWORD(ZELT_MW_ERR_NO_WINDOW));
    QCOMPARE(ZELT_MW_StopMediaStream(userId.constData(), stream), DWORD(0));
    // A stopped stream's handle is neither valid nor handed out again.
    QCOMPARE(ZELT_MW_StartPlay(handleOf(widget), stream), DWORD(ZELT_MW_ERR_STREAM));
    DWORD next = 0;
    QCOMPARE(ZELT_MW_StartMediaStream(userId.constData(), 0, 0, 1, "0.0.0.0", 10086, 1, &next),
             DWORD(ZELT_MW_STREAM_NO_AUDIO));
    QVERIFY(next != stream);
    // A second start of the running stream shares it; each start has its own stop.
    DWORD shared = 0;
    QCOMPARE(ZELT_MW_StartMediaStream(userId.constData(), 0, 0, 1, "0.0.0.0", 10086, 1, &shared),
             DWORD(ZELT_MW_STREAM_SHARED));
    QCOMPARE(shared, next);
    QCOMPARE(ZELT_MW_StopMediaStream(userId.constData(), shared), DWORD(0));
    QCOMPARE(ZELT_MW_StartPlay(handleOf(widget), next), DWORD(0));
    QCOMPARE(ZELT_MW_StopPlay(handleOf(widget)), DWORD(0));
    QCOMPARE(ZELT_MW_StopMediaStream(userId.constData(), next), DWORD(0));
    ZELT_MW_Logout(userId.constData());
}

void TestZeltPlay::logoutEndsStreams()
{
    const QByteArray userId = login(QStringLiteral("ZC-1210D"));
    QVERIFY(!userId.isEmpty());
    DWORD stream = 0;
    QCOMPARE(ZELT_MW_StartMediaStream(userId.constData(), 0, 0, 1, "0.0.0.0", 10086, 1, &stream), DWORD(0));
    QCOMPARE(ZELT_MW_Logout(userId.constData()), DWORD(0));
    QCOMPARE(ZELT_MW_StopMediaStream(userId.constData(), stream), DWORD(ZELT_MW_ERR_STREAM));
}

QTEST_MAIN(TestZeltPlay)
#include "tst_zelt_play.moc"
