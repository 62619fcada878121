// What logging in a list of IPCs costs per device through the program's login
// worker (CDevThread on its own thread, from the signal that sends the list
// to the result that brings it back; it overlaps a few devices and pipelines
// each one's information queries behind its login), against the floor: a bare TCP round trip
// to the same device (connect, one request, its answer, close; no TLS). For
// reference, the library calls the worker used to make one by one (login,
// then three information queries, each a round trip). The three are measured
// in turn within every repeat, so that load from elsewhere hits them alike.
// A logout leaves the device's connection open for the next login, so the
// repeats log in over kept connections.
// First contact (a device never met: a full TLS handshake, nothing to resume)
// is measured on fleets of their own, each met once, against the same TCP
// floor and against what OpenSSL alone needs for a full handshake and one
// request to the same devices.
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

#include <openssl/ssl.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <array>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const char *const First = "127.96.0.10";
const int Devices = 256;
const int Repeats = 15;
// Fleets of Devices each: every one is met once, the last is the repeats' fleet.
const int FirstContacts = 5;

int connectTo(const std::string &ip)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(ZELT_MW_DEFAULT_PORT);
    ::inet_pton(AF_INET, ip.c_str(), &addr.sin_addr);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0) {
        const int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        return fd;
    }
    if (fd >= 0)
        ::close(fd);
    return -1;
}

// One connection, one request and the device's answer, without TLS: the
// device speaks only TLS, so a plain frame header gets its refusal (an
// alert or the close), which is the same one round trip on the wire.
bool bareRoundTrip(const std::string &ip)
{
    const int fd = connectTo(ip);
    if (fd < 0)
        return false;
    const uint8_t request[16] = {'C', 'V', 'N', 'W', 1, 0, 0x01, 0x01, 1, 0, 0, 0, 9, 0, 0, 0};
    uint8_t answer[64];
    bool ok = ::send(fd, request, sizeof request, MSG_NOSIGNAL) == ssize_t(sizeof request);
    if (ok) {
        const ssize_t got = ::recv(fd, answer, sizeof answer, 0);
        ok = got >= 0 || errno == ECONNRESET;
    }
    ::close(fd);
    return ok;
}

// What no first login can avoid, done by OpenSSL alone: connect, a full
// TLS 1.3 handshake, one request (the challenge for "admin") and its reply,
// close_notify, close.
bool tlsRoundTrip(SSL_CTX *ctx, const std::string &ip)
{
    const int fd = connectTo(ip);
    if (fd < 0)
        return false;
    SSL *ssl = SSL_new(ctx);
    SSL_set_fd(ssl, fd);
    const uint8_t request[25] = {'C', 'V', 'N', 'W', 1, 0, 0x01, 0x01, 1, 0, 0, 0, 9, 0, 0, 0,
                                 5, 0, 0, 0, 'a', 'd', 'm', 'i', 'n'};
    uint8_t header[16];
    bool ok = SSL_connect(ssl) == 1 && SSL_write(ssl, request, sizeof request) == int(sizeof request)
        && SSL_read(ssl, header, sizeof header) == int(sizeof header) && header[7] == 0x81;
    std::vector<uint8_t> body(ok ? header[12] | header[13] << 8 : 0);
    for (std::size_t got = 0; ok && got < body.size();) {
        const int n = SSL_read(ssl, body.data() + got, int(body.size() - got));
        ok = n > 0;
        got += std::size_t(std::max(n, 0));
    }
    if (ok)
        SSL_shutdown(ssl);
    SSL_free(ssl);
    ::close(fd);
    return ok;
}

// Nanoseconds per device, or -1 when a device failed.
template <typename RoundTrip>
qint64 floorRun(const std::vector<std::string> &ips, RoundTrip roundTrip)
{
    QElapsedTimer timer;
    timer.start();
    for (const std::string &ip : ips) {
        if (!roundTrip(ip))
            return -1;
    }
    return timer.nsecsElapsed() / qint64(ips.size());
}

qint64 floorRun(const std::vector<std::string> &ips)
{
    return floorRun(ips, bareRoundTrip);
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

// Runs the three in turn, starting with the round's own: none of them
// always runs first, so that load from elsewhere hits them alike.
void inTurn(int round, const std::array<std::function<void()>, 3> &runs)
{
    for (std::size_t step = 0; step < runs.size(); ++step)
        runs[(std::size_t(round) + step) % runs.size()]();
}

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
    SimFleetProcess sim({"--ipc", QString::number(Devices * FirstContacts), "--first", First, "--seed", "3"});
    if (!sim.start() || sim.devices().size() != Devices * FirstContacts) {
        std::fprintf(stderr, "bench_login: the simulator did not start: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    // Fleet f: addresses and login records of devices [f * Devices, (f + 1) * Devices).
    std::vector<std::vector<std::string>> fleetIps(FirstContacts);
    std::vector<QList<CUIDeviceBean>> fleetLists(FirstContacts);
    for (int i = 0; i < sim.devices().size(); ++i) {
        const SimFleetProcess::Device &device = sim.devices()[i];
        fleetIps[std::size_t(i / Devices)].push_back(device.ip.toStdString());
        CUIDeviceBean oBean;
        oBean.m_lDevId = i % Devices;
        oBean.m_strIp = device.ip;
        oBean.m_strUserName = QStringLiteral("admin");
        oBean.m_strPassword = QStringLiteral("vorpe");
        fleetLists[std::size_t(i / Devices)].append(oBean);
    }
    ZELT_MW_Init();
    CLoginOwner owner;

    // OpenSSL alone, as the library's client sets it up: TLS 1.3, the key
    // checked by nobody, no session kept (every handshake is a full one).
    SSL_CTX *tls = SSL_CTX_new(TLS_client_method());
    SSL_CTX_set_min_proto_version(tls, TLS1_3_VERSION);
    SSL_CTX_set_session_cache_mode(tls, SSL_SESS_CACHE_OFF);
    auto tlsTrip = [tls](const std::string &ip) { return tlsRoundTrip(tls, ip); };

    // First contact, once per fleet: no TLS session to resume and no
    // connection kept from a logout. The repeats' fleet comes last, so that
    // its connections are the ones kept for the repeats.
    std::vector<double> coldFloorUs, coldTlsUs, coldUs, coldRatio, coldTlsRatio, tlsRatio;
    for (int fleet = 0; fleet < FirstContacts; ++fleet) {
        const std::vector<std::string> &ips = fleetIps[std::size_t(fleet)];
        qint64 floor = 0, tlsFloor = 0, worker = 0;
        inTurn(fleet, {[&] { floor = floorRun(ips); }, [&] { tlsFloor = floorRun(ips, tlsTrip); },
                       [&] { worker = owner.run(fleetLists[std::size_t(fleet)]); }});
        if (floor <= 0 || tlsFloor <= 0 || worker <= 0) {
            std::fprintf(stderr, "bench_login: a first login or round trip failed on fleet %d\n", fleet);
            return 1;
        }
        coldFloorUs.push_back(floor / 1000.0);
        coldTlsUs.push_back(tlsFloor / 1000.0);
        coldUs.push_back(worker / 1000.0);
        coldRatio.push_back(double(worker) / double(floor));
        coldTlsRatio.push_back(double(worker) / double(tlsFloor));
        tlsRatio.push_back(double(tlsFloor) / double(floor));
    }
    SSL_CTX_free(tls);

    const std::vector<std::string> &ips = fleetIps.back();
    const QList<CUIDeviceBean> &list = fleetLists.back();
    std::vector<double> floorUs, workerUs, oneByOneUs, workerRatio, oneByOneRatio;
    for (int repeat = 0; repeat < Repeats; ++repeat) {
        qint64 floor = 0, worker = 0, oneByOne = 0;
        inTurn(repeat, {[&] { floor = floorRun(ips); }, [&] { worker = owner.run(list); },
                        [&] { oneByOne = oneByOneRun(ips); }});
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
    std::printf("%-54s %26s %22s\n", "library calls one by one (login, 3 queries)", spread(oneByOneUs, 1).constData(),
                spread(oneByOneRatio, 2).constData());
    std::printf("\nfirst contact: %d fleets of %d IPCs, each met once, the three runs of a fleet in rotating order\n",
                FirstContacts, Devices);
    std::printf("%-54s %26s %22s %22s\n", "per device", "us min / median / max", "x TCP floor min/med/max",
                "x TLS alone min/med/max");
    std::printf("%-54s %26s %22s %22s\n", "bare TCP round trip (floor)", spread(coldFloorUs, 1).constData(), "1", "");
    std::printf("%-54s %26s %22s %22s\n", "TLS alone: handshake, one request (OpenSSL)",
                spread(coldTlsUs, 1).constData(), spread(tlsRatio, 2).constData(), "1");
    std::printf("%-54s %26s %22s %22s\n", "login worker, first contact", spread(coldUs, 1).constData(),
                spread(coldRatio, 2).constData(), spread(coldTlsRatio, 2).constData());
    auto result = [](const char *key, std::vector<double> ratios) {
        std::sort(ratios.begin(), ratios.end());
        std::printf("RESULT|%s|%.2f|%.2f|%.2f|x\n", key, ratios.front(), ratios[ratios.size() / 2], ratios.back());
    };
    result("login worker per device, x bare TCP round trip", workerRatio);
    result("first login (full TLS), x bare TCP round trip", coldRatio);
    result("first login (full TLS), x TLS handshake alone", coldTlsRatio);
    return 0;
}

#include "bench_login.moc"
