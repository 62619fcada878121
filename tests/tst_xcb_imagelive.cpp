// Full screen of the image page's live view on a real window system: going
// to full screen and back moves the player to the widget's new native window
// and closing the page leaves no player and no stream behind.
#include "dev_imagecfgform.h"
#include "devcapability.h"
#include "devicestreams.h"
#include "simfleetprocess.h"
#include "videowidget.h"
#include "zeltplaystats.h"

#include "zelt_mw_sdk.h"

#include <QScreen>
#include <QtTest>

#include <memory>

namespace {

const char *const kFirst = "127.76.2.10";

HWND hwndOf(QWidget *pWidget)
{
    return reinterpret_cast<HWND>(pWidget->winId());
}

} // namespace

class TestXcbImageLive : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void fullScreenKeepsOnePlayer();

private:
    SimFleetProcess m_sim {{"--ipc", "1", "--first", kFirst, "--seed", "11", "--ipc-models", "ZC-2320"}};
    QByteArray m_userId;
};

void TestXcbImageLive::initTestCase()
{
    QCOMPARE(ZELT_MW_Init(), DWORD(0));
    CORVANE_START_SIMULATOR(m_sim);
    char userId[ZELT_MW_USERID_LEN] = {};
    QCOMPARE(ZELT_MW_Login("admin", "vorpe", m_sim.devices().at(0).ip.toLatin1().constData(), 0, userId), DWORD(0));
    m_userId = QByteArray(userId);
}

void TestXcbImageLive::cleanupTestCase()
{
    if (!m_userId.isEmpty())
        ZELT_MW_Logout(m_userId.constData());
    m_sim.stop();
}

void TestXcbImageLive::fullScreenKeepsOnePlayer()
{
    QList<stDevCapacityInfo> caps;
    QCOMPARE(DevCapability::fetch(QString::fromLatin1(m_userId), DevCapability::KindImage, caps), 0u);
    DWORD stream = 0;
    QCOMPARE(ZELT_MW_StartMediaStream(m_userId.constData(), 0, 0, 1, "0.0.0.0", 10086, 1, &stream), DWORD(0));
    CUIDeviceBean bean;
    bean.m_strDevType = QStringLiteral("IPC");
    bean.m_strLoginKey = QString::fromLatin1(m_userId);
    auto page = std::make_unique<CImageCfgForm>(bean, caps);
    page->resize(790, 520);
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    page->startLivePlay(stream, 0);
    CVideoWidget *pVideo = page->findChild<CVideoWidget *>(QStringLiteral("oLivePlayWidget"));
    QVERIFY(pVideo);
    // Each switch may give the widget another native window (X11 keeps it,
    // other systems make a new one): the player is on the current one only.
    QList<HWND> seen;
    auto playsOnCurrentWindow = [&] {
        const HWND current = hwndOf(pVideo);
        if (!seen.contains(current))
            seen << current;
        for (HWND hWnd : seen) {
            ZeltPlayStats other {};
            if (hWnd != current && ZELT_DBG_GetPlayStats(hWnd, &other) != DWORD(ZELT_MW_ERR_NO_WINDOW))
                return false;
        }
        ZeltPlayStats stats {};
        if (ZELT_DBG_GetPlayStats(current, &stats) != 0)
            return false;
        const quint64 shown = stats.framesShown;
        return QTest::qWaitFor(
            [&] { return ZELT_DBG_GetPlayStats(current, &stats) == 0 && stats.framesShown >= shown + 2; }, 5000);
    };
    QVERIFY(playsOnCurrentWindow());
    QCOMPARE(deviceStreamCount(m_userId), 1);

    QTest::mouseDClick(pVideo, Qt::LeftButton);
    QVERIFY(!pVideo->isNormalShow());
    QVERIFY(pVideo->isWindow());
    QTRY_COMPARE(pVideo->size(), pVideo->screen()->size());
    QVERIFY(playsOnCurrentWindow());

    QTest::mouseDClick(pVideo, Qt::LeftButton);
    QVERIFY(pVideo->isNormalShow());
    QVERIFY(!pVideo->isWindow());
    QVERIFY(playsOnCurrentWindow());

    // Closing while in full screen leaves nothing behind either.
    QTest::mouseDClick(pVideo, Qt::LeftButton);
    QVERIFY(playsOnCurrentWindow());
    page.reset();
    for (HWND hWnd : seen) {
        ZeltPlayStats stats {};
        QCOMPARE(ZELT_DBG_GetPlayStats(hWnd, &stats), DWORD(ZELT_MW_ERR_NO_WINDOW));
    }
    QCOMPARE(ZELT_MW_StopMediaStream(m_userId.constData(), stream), DWORD(ZELT_MW_ERR_STREAM));
    QTRY_COMPARE(deviceStreamCount(m_userId), 0);
}

QTEST_MAIN(TestXcbImageLive)
#include "tst_xcb_imagelive.moc"
