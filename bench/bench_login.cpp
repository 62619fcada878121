// What logging in a list of IPCs costs per device through the program's login
// worker (CDevThread on its own thread, from the signal that sends the list
// to the result that brings it back; it overlaps a few devices and pipelines
// each one's information queries behind its login), against the floor: a bare TCP round trip
// to the same device (connect, one request, its answer, close; no TLS). For
// reference, the library calls the worker used to make one by one (login,
// then three information queries, each a round trip). The three are measured
// in turn within every repeat, so that load from elsewhere hits them alike.
// A logout leaves the device's connection open for the next login, so the
// repeats log in over kept connections; the first contact (full TLS
// handshakes) is measured once before them.
#include "devsession.h"
#include "recordtypes.h"
#include "simfleetprocess.h"
#include "thread_devlogin.h"
#include "uidevicebean.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStringList>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <array>
#include <cstdio>
#include <vector>

namespace {

const char *const First = "127.96.0.10";
const int Devices = 256;
const int Repeats = 15;

// One connection, one request and the device's answer, without TLS: the
// device speaks only TLS, so a plain frame header gets its refusal (an
// alert or the close), which is the same one round trip on the wire.
bool bareRoundTrip(const std::string &ip)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(ZELT_MW_DEFAULT_PORT);
    ::inet_pton(AF_INET, ip.c_str(), &addr.sin_addr);
    bool ok = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0;
    if (ok) {
        const int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        const uint8_t request[16] = {'C', 'V', 'N', 'W', 1, 0, 0x01, 0x01, 1, 0, 0, 0, 9, 0, 0, 0};
        uint8_t answer[64];
        ok = ::send(fd, request, sizeof request, MSG_NOSIGNAL) == ssize_t(sizeof request);
        if (ok) {
            const ssize_t got = ::recv(fd, answer, sizeof answer, 0);
            ok = got >= 0 || errno == ECONNRESET;
        }
    }
    if (fd >= 0)
        ::close(fd);
    return ok;
}

// Nanoseconds per device, or -1 when a device failed.
qint64 floorRun(const std::vector<std::string> &ips)
{
    QElapsedTimer timer;
    timer.start();
    for (const std::string &ip : ips) {
        if (!bareRoundTrip(ip))
            return -1;
    }
    return timer.nsecsElapsed() / qint64(ips.size());
}

qint64 oneByOneRun(const std::vector<std::string> &ips)
{
    std::vector<std::string> ids;
    QElapsedTimer timer;
    timer.start();
    for (const std::string &ip : ips) {
        char userId[ZELT_MW_USERID_LEN] = {};
        if (ZELT_MW_Login("admin", "vorpe", ip.c_str(), 0, userId) != 0)
            return -1;
        std::array<char, ZELT_QUERY_BASE_SIZE> base {};
        std::array<char, ZELT_QUERY_NET_SIZE> net {};
        std::array<char, ZELT_QUERY_REG_SIZE> reg {};
        if (ZELT_MW_QueryDeviceInfo(userId, 0, ZELT_MW_QUERY_DEVICE_BASE, base.data()) != 0
            || ZELT_MW_QueryDeviceInfo(userId, 0, ZELT_MW_QUERY_NETWORK, net.data()) != 0
            || ZELT_MW_QueryDeviceInfo(userId, 0, ZELT_MW_QUERY_REGISTER, reg.data()) != 0)
            return -1;
        ids.emplace_back(userId);
    }
    const qint64 ns = timer.nsecsElapsed() / qint64(ips.size());
    for (const std::string &id : ids)
        ZELT_MW_Logout(id.c_str());
    return ns;
}

} // namespace

// Owns a login worker the way the device tab does.
class CLoginOwner : public QObject
{
    Q_OBJECT

public:
    CLoginOwner()
    {
        m_pWorker = new CDevThread(this);
        m_pWorker->moveToThread(&m_thread);
        connect(this, SIGNAL(sendLoginSignal(QList<CUIDeviceBean>&,ulong)), m_pWorker,
                SLOT(devLoginSlot(QList<CUIDeviceBean>&,ulong)));
        m_thread.start(QThread::InheritPriority);
    }
    ~CLoginOwner() override
    {
        m_thread.quit();
        m_thread.wait();
        delete m_pWorker;
    }

    qint64 run(const QList<CUIDeviceBean> &list)
    {
        QList<CUIDeviceBean> copy = list;
        m_nSingles = 0;
        m_listFinal.clear();
        m_timer.start();
        emit sendLoginSignal(copy, 1);
        m_loop.exec();
        const qint64 ns = m_ns / qint64(list.size());
        bool bAll = m_nSingles == list.size() && m_listFinal.size() == list.size();
        for (const CUIDeviceBean &oBean : qAsConst(m_listFinal)) {
            bAll = bAll && oBean.m_lStatus == DevStatusLogged && !oBean.m_strModel.isEmpty();
            DevSession::logout(oBean);
        }
        return bAll ? ns : -1;
    }

signals:
    void sendLoginSignal(QList<CUIDeviceBean> &oDevList, ulong ulEventType);

public slots:
    void getResultSlot(CUIDeviceBean &) { ++m_nSingles; }
    void getLoginResultSlot(QList<CUIDeviceBean> &oDevList, ulong)
    {
        m_ns = m_timer.nsecsElapsed();
        m_listFinal = oDevList;
        m_loop.quit();
    }

private:
    QThread m_thread;
    CDevThread *m_pWorker = nullptr;
    QEventLoop m_loop;
    QElapsedTimer m_timer;
    qint64 m_ns = 0;
    int m_nSingles = 0;
    QList<CUIDeviceBean> m_listFinal;
};

namespace {

QByteArray spread(std::vector<double> values, int decimals)
{
    std::sort(values.begin(), values.end());
    auto text = [decimals](double v) { return QByteArray::number(v, 'f', decimals); };
    return text(values.front()) + " / " + text(values[values.size() / 2]) + " / " + text(values.back());
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("CORVANE_LOOPBACK_ONLY", "1");
    QCoreApplication app(argc, argv);
    registerRecordTypes();
    SimFleetProcess sim({"--ipc", QString::number(Devices), "--first", First, "--seed", "3"});
    if (!sim.start() || sim.devices().size() != Devices) {
        std::fprintf(stderr, "bench_login: the simulator did not start: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    std::vector<std::string> ips;
    QList<CUIDeviceBean> list;
    for (const SimFleetProcess::Device &device : sim.devices()) {
        ips.push_back(device.ip.toStdString());
        CUIDeviceBean oBean;
        oBean.m_lDevId = list.size();
        oBean.m_strIp = device.ip;
        oBean.m_strUserName = QStringLiteral("admin");
        oBean.m_strPassword = QStringLiteral("vorpe");
        list.append(oBean);
    }
    ZELT_MW_Init();
    CLoginOwner owner;

    // First contact: no TLS session to resume and no connection kept from a logout.
    const qint64 coldFloor = floorRun(ips);
    const qint64 cold = owner.run(list);
    if (coldFloor <= 0 || cold <= 0) {
        std::fprintf(stderr, "bench_login: a first login or round trip failed\n");
        return 1;
    }

    std::vector<double> floorUs, workerUs, oneByOneUs, workerRatio, oneByOneRatio;
    for (int repeat = 0; repeat < Repeats; ++repeat) {
        // Rotate the order so that none of the three always runs first.
        qint64 floor = 0, worker = 0, oneByOne = 0;
        for (int step = 0; step < 3; ++step) {
            switch ((repeat + step) % 3) {
            case 0:
                floor = floorRun(ips);
                break;
            case 1:
                worker = owner.run(list);
                break;
            default:
                oneByOne = oneByOneRun(ips);
                break;
            }
        }
        if (floor <= 0 || worker <= 0 || oneByOne <= 0) {
            std::fprintf(stderr, "bench_login: a login or round trip failed in repeat %d\n", repeat);
            return 1;
        }
        floorUs.push_back(floor / 1000.0);
        workerUs.push_back(worker / 1000.0);
        oneByOneUs.push_back(oneByOne / 1000.0);
        workerRatio.push_back(double(worker) / double(floor));
        oneByOneRatio.push_back(double(oneByOne) / double(floor));
    }

    std::printf("bench_login: %d simulated IPCs, %d repeats, the three runs of a repeat in rotating order\n",
                Devices, Repeats);
    std::printf("%-54s %26s %22s\n", "per device", "us min / median / max", "x floor min/med/max");
    std::printf("%-54s %26s %22s\n", "bare TCP round trip (floor)", spread(floorUs, 1).constData(), "1");
    std::printf("%-54s %26s %22s\n", "login worker (CDevThread, list of 256)",
                spread(workerUs, 1).constData(), spread(workerRatio, 2).constData());
    std::printf("%-54s %26.1f %22.2f\n", "login worker, first contact (one run before the repeats)",
                cold / 1000.0, double(cold) / double(coldFloor));
    std::printf("%-54s %26s %22s\n", "library calls one by one (login, 3 queries)", spread(oneByOneUs, 1).constData(),
                spread(oneByOneRatio, 2).constData());
    std::sort(workerRatio.begin(), workerRatio.end());
    std::printf("RESULT|login worker per device, x bare TCP round trip|%.2f|%.2f|%.2f|x\n", workerRatio.front(),
                workerRatio[workerRatio.size() / 2], workerRatio.back());
    return 0;
}

#include "bench_login.moc"
