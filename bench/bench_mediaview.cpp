// Live view of simulated ONVIF cameras in the image page: page opening to
// the first painted frame, a frame's send (stamped in its top rows by the
// simulator) to its paint, frames painted per second at two sizes and with
// four pages at once, the program's CPU per stream, and the resident memory
// before and after twenty openings and closings of the page.
#include "devsession.h"
#include "imagesettingsform.h"
#include "mediaaccess.h"
#include "simfleetprocess.h"
#include "uidevicebean.h"
#include "videowidget.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

const QString kFirst = QStringLiteral("127.151.0.10");
constexpr int kCameras = 4;
constexpr int kOpenings = 5;
constexpr int kCycles = 20;
constexpr int kWarmUpMs = 2000;
constexpr int kMeasureMs = 8000;

CUIDeviceBean camera(int iIndex)
{
    CUIDeviceBean dev;
    dev.m_strIp = SimFleetProcess::addressAt(kFirst, iIndex);
    dev.m_strProtocol = QStringLiteral("onvif");
    dev.m_strXAddr = QStringLiteral("http://%1:8080/onvif/device_service").arg(dev.m_strIp);
    dev.m_strUserName = QStringLiteral("admin");
    dev.m_strPassword = QStringLiteral("vorpe");
    return dev;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long rssKb()
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

void runFor(int iMs)
{
    QEventLoop loop;
    QTimer::singleShot(iMs, &loop, &QEventLoop::quit);
    loop.exec();
}

bool waitFor(const std::function<bool()> &done, int iMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < iMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// The simulator's send time: 32 blocks along the top edge, most significant first.
bool stampOf(const QImage &image, quint32 &uMs)
{
    const int iBlock = image.width() / 34;
    if (iBlock < 2)
        return false;
    const int iY = std::min(image.height() / 8, iBlock) / 2;
    uMs = 0;
    for (int iBit = 0; iBit < 32; ++iBit)
        uMs = (uMs << 1) | (qGray(image.pixel((iBit + 1) * iBlock + iBlock / 2, iY)) > 128 ? 1u : 0u);
    return true;
}

// Counts the frames a page paints and how long each took from the simulator.
class CPaintWatch : public QObject
{
public:
    explicit CPaintWatch(CVideoWidget *pVideo)
        : m_pVideo(pVideo)
    {
        pVideo->installEventFilter(this);
    }
    int m_iFrames = 0;
    qint64 m_llFirstPaintMs = -1;
    std::vector<double> m_vecLatency;

protected:
    bool eventFilter(QObject *pObject, QEvent *pEvent) override
    {
        if (pEvent->type() != QEvent::Paint || m_pVideo->frame().isNull())
            return QObject::eventFilter(pObject, pEvent);
        quint32 uStamp = 0;
        if (!stampOf(m_pVideo->frame(), uStamp) || uStamp == m_uLast)
            return false;
        m_uLast = uStamp;
        const qint64 llNow = QDateTime::currentMSecsSinceEpoch();
        if (m_llFirstPaintMs < 0)
            m_llFirstPaintMs = llNow;
        ++m_iFrames;
        const qint32 iLatency = qint32(quint32(llNow) - uStamp);
        if (iLatency >= 0 && iLatency < 60000)
            m_vecLatency.push_back(iLatency);
        return false;
    }

private:
    CVideoWidget *m_pVideo;
    quint32 m_uLast = 0;
};

struct stPage
{
    std::unique_ptr<CMediaDevice> pDevice;
    std::unique_ptr<CImageSettingsForm> pForm;
    std::unique_ptr<CPaintWatch> pWatch;
};

stPage openPage(int iCamera)
{
    stPage page;
    page.pDevice = DevSession::mediaDevice(camera(iCamera));
    page.pForm.reset(new CImageSettingsForm);
    page.pForm->resize(960, 640);
    page.pForm->show();
    page.pWatch.reset(new CPaintWatch(page.pForm->video()));
    page.pForm->load(page.pDevice.get());
    return page;
}

double percentile(std::vector<double> vec, double dShare)
{
    if (vec.empty())
        return 0;
    std::sort(vec.begin(), vec.end());
    return vec[std::min(vec.size() - 1, std::size_t(dShare * double(vec.size())))];
}

void result(const char *pszKey, std::vector<double> vec, const char *pszUnit)
{
    if (vec.empty()) {
        std::printf("RESULT|%s|-|-|-|%s\n", pszKey, pszUnit);
        return;
    }
    std::sort(vec.begin(), vec.end());
    std::printf("RESULT|%s|%.1f|%.1f|%.1f|%s\n", pszKey, vec.front(), vec[vec.size() / 2], vec.back(), pszUnit);
    std::fflush(stdout);
}

bool setMainSize(int iCamera, const QSize &size)
{
    std::unique_ptr<CMediaDevice> pDevice = DevSession::mediaDevice(camera(iCamera));
    QVector<stStreamEncoding> vecStreams;
    QVector<stStreamOptions> vecOptions;
    if (!pDevice->readStreams(vecStreams, vecOptions).isEmpty() || vecStreams.isEmpty())
        return false;
    stStreamEncoding main = vecStreams.first();
    main.iWidth = size.width();
    main.iHeight = size.height();
    main.iFps = 25;
    return pDevice->writeStream(0, main).isEmpty();
}

// Frames per second, latency and CPU of the pages of cameras 0..iPages-1 at one size.
void measureStreams(int iPages, const QSize &size)
{
    for (int i = 0; i < iPages; ++i) {
        if (!setMainSize(i, size))
            std::fprintf(stderr, "bench_mediaview: camera %d refused %dx%d\n", i, size.width(), size.height());
    }
    std::vector<stPage> vecPages;
    for (int i = 0; i < iPages; ++i)
        vecPages.push_back(openPage(i));
    runFor(kWarmUpMs);
    for (stPage &page : vecPages) {
        page.pWatch->m_iFrames = 0;
        page.pWatch->m_vecLatency.clear();
    }
    const double dCpuBefore = cpuSeconds();
    QElapsedTimer timer;
    timer.start();
    runFor(kMeasureMs);
    const double dSeconds = timer.elapsed() / 1000.0;
    const double dCpu = (cpuSeconds() - dCpuBefore) / dSeconds * 100.0 / iPages;
    std::vector<double> vecFps;
    std::vector<double> vecLatency;
    for (const stPage &page : vecPages) {
        vecFps.push_back(page.pWatch->m_iFrames / dSeconds);
        vecLatency.insert(vecLatency.end(), page.pWatch->m_vecLatency.begin(), page.pWatch->m_vecLatency.end());
    }
    const QByteArray baWhat = iPages == 1 ? QByteArrayLiteral("one page")
                                          : QByteArray::number(iPages) + " pages at once";
    const QByteArray baSize = QByteArray::number(size.width()) + "x" + QByteArray::number(size.height());
    result(("media view: fps painted, " + baWhat + ", " + baSize).constData(), vecFps, "fps");
    if (!vecLatency.empty()) {
        std::vector<double> vecP95;
        // The 95th percentile of each page's frames, so min/median/max span the pages.
        for (const stPage &page : vecPages)
            vecP95.push_back(percentile(page.pWatch->m_vecLatency, 0.95));
        result(("media view: send to paint p95, " + baWhat + ", " + baSize).constData(), vecP95, "ms");
    }
    result(("media view: program CPU per stream, " + baWhat + ", " + baSize).constData(), {dCpu}, "% of one core");
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("CORVANE_LOOPBACK_ONLY", "1");
    QApplication app(argc, argv);
    SimFleetProcess sim({QStringLiteral("--onvif"), QString::number(kCameras), QStringLiteral("--first"), kFirst});
    if (!sim.start()) {
        std::fprintf(stderr, "bench_mediaview: the simulator did not start: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    std::printf("bench_mediaview: %d simulated ONVIF cameras from %s, %d s per measurement after %d s warm-up\n",
                kCameras, qPrintable(kFirst), kMeasureMs / 1000, kWarmUpMs / 1000);
    setMainSize(0, QSize(640, 360));

    std::vector<double> vecFirst;
    for (int i = 0; i < kOpenings; ++i) {
        QElapsedTimer timer;
        timer.start();
        const qint64 llOpened = QDateTime::currentMSecsSinceEpoch();
        stPage page = openPage(0);
        if (waitFor([&page] { return page.pWatch->m_llFirstPaintMs >= 0; }, 10000))
            vecFirst.push_back(double(page.pWatch->m_llFirstPaintMs - llOpened));
        else
            std::fprintf(stderr, "bench_mediaview: no frame within 10 s of opening\n");
    }
    result("media view: page opening to first frame painted", vecFirst, "ms");

    measureStreams(1, QSize(640, 360));
    measureStreams(1, QSize(1920, 1080));
    measureStreams(kCameras, QSize(640, 360));

    // Memory: one opening first, so what stays for good (libraries, fonts) is in "before".
    setMainSize(0, QSize(640, 360));
    auto cycle = [] {
        stPage page = openPage(0);
        waitFor([&page] { return page.pWatch->m_llFirstPaintMs >= 0; }, 10000);
        runFor(300);
    };
    cycle();
    const long lBefore = rssKb();
    for (int i = 0; i < kCycles; ++i)
        cycle();
    runFor(500);
    const long lAfter = rssKb();
    const double dGrowth = lBefore > 0 ? 100.0 * double(lAfter - lBefore) / double(lBefore) : 0;
    std::printf("RESULT|media view: RSS before %d open/close cycles (MB)|%.1f|%.1f|%.1f|MB\n", kCycles, lBefore / 1024.0,
                lBefore / 1024.0, lBefore / 1024.0);
    std::printf("RESULT|media view: RSS after %d open/close cycles (MB)|%.1f|%.1f|%.1f|MB\n", kCycles, lAfter / 1024.0,
                lAfter / 1024.0, lAfter / 1024.0);
    std::printf("RESULT|media view: RSS change over %d open/close cycles|%.1f|%.1f|%.1f|%%\n", kCycles, dGrowth, dGrowth,
                dGrowth);
    sim.stop();
    return 0;
}
