// Message framing, login proofs, firmware images and .tgz archives of the
// device libraries' shared code. Servers run in-process on 127.40.0.x.
#include "auth.h"
#include "filebytes.h"
#include "firmware.h"
#include "frame.h"
#include "framesocket.h"
#include "tgz.h"

#include <asio/read.hpp>
#include <asio/write.hpp>

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>

using namespace corvane::wire;

namespace {

const char *const kHost = "127.40.0.1";

// Has no login: every connection counts as authenticated.
class EchoHandler : public FrameHandler
{
public:
    bool authenticated() const override { return true; }
    bool handle(const Frame &request, Frame &reply) override
    {
        if (request.type == 0x0666)
            return false; // drop the connection
        reply.payload = request.payload;
        return true;
    }
    bool trustedSource() const override { return true; }
};

// An in-process FrameServer on its own io_context thread.
class EchoServer
{
public:
    explicit EchoServer(uint32_t maxPayload = kMaxFramePayload)
        : m_server(FrameServer::create(
              m_io, [](const asio::ip::address &) { return std::make_unique<EchoHandler>(); }, maxPayload))
    {
        m_ok = !m_server->listen({asio::ip::make_address(kHost), 0});
        m_thread = std::thread([this] {
            auto guard = asio::make_work_guard(m_io);
            m_io.run();
        });
    }
    ~EchoServer()
    {
        asio::post(m_io, [this] { m_server->stop(); m_io.stop(); });
        m_thread.join();
    }
    bool ok() const { return m_ok; }
    uint16_t port() const { return m_server->port(); }

private:
    asio::io_context m_io;
    std::shared_ptr<FrameServer> m_server;
    std::thread m_thread;
    bool m_ok = false;
};

// A peer that accepts one connection, reads one request header and answers
// with whatever bytes the test scripts, then optionally stays silent.
class ScriptedPeer
{
public:
    explicit ScriptedPeer(std::function<std::vector<uint8_t>(const FrameHeader &)> answer,
                          bool closeAfter = true)
        : m_acceptor(m_io, {asio::ip::make_address(kHost), 0})
    {
        m_thread = std::thread([this, answer, closeAfter] {
            std::error_code ec;
            TlsSocket socket(m_io, handServerContext());
            m_acceptor.accept(socket.lowest_layer(), ec);
            if (!ec)
                socket.handshake(asio::ssl::stream_base::server, ec);
            if (ec)
                return;
            FrameHeader header;
            std::vector<uint8_t> body;
            if (!readFrame(socket, header, body))
                return;
            const std::vector<uint8_t> out = answer(header);
            asio::write(socket, asio::buffer(out), ec);
            if (!closeAfter) {
                // Keep the connection open until the test is done with it.
                uint8_t more[1];
                socket.read_some(asio::buffer(more), ec);
            }
        });
    }
    ~ScriptedPeer()
    {
        std::error_code ignored;
        m_acceptor.close(ignored);
        m_thread.join();
    }
    uint16_t port() const { return m_acceptor.local_endpoint().port(); }

private:
    asio::io_context m_io;
    asio::ip::tcp::acceptor m_acceptor;
    std::thread m_thread;
};

std::vector<uint8_t> replyFor(const FrameHeader &header, std::vector<uint8_t> payload)
{
    Frame frame;
    frame.type = uint16_t(header.type | kReplyBit);
    frame.transaction = header.transaction;
    frame.payload = std::move(payload);
    return encodeFrame(frame);
}

} // namespace

class TestFrame : public QObject
{
    Q_OBJECT

private slots:
    void headerChecks();
    void readerBounds();
    void requestReply();
    void concurrentClients();
    void serverDropsBadFrames_data();
    void serverDropsBadFrames();
    void clientRejectsBadReplies_data();
    void clientRejectsBadReplies();
    void silentPeerTimesOut();
    void refusedDestination();
    void loginProof();
    void challengeIsSingleUse();
    void lockout();
    void firmwareRoundTrip();
    void firmwareDamage_data();
    void firmwareDamage();
    void tgzIsReadableByTar();
    void tgzRefusesBadNames();
};

void TestFrame::headerChecks()
{
    Frame frame;
    frame.type = 0x1234;
    frame.transaction = 0xdeadbeef;
    frame.payload = {1, 2, 3};
    std::vector<uint8_t> wire = encodeFrame(frame);
    QCOMPARE(wire.size(), kFrameHeaderSize + 3);

    FrameHeader header;
    QCOMPARE(decodeFrameHeader(wire.data(), header), FrameError::None);
    QCOMPARE(header.type, uint16_t(0x1234));
    QCOMPARE(header.transaction, 0xdeadbeefu);
    QCOMPARE(header.length, 3u);

    // The receiver's own limit decides, not the sender's.
    QCOMPARE(decodeFrameHeader(wire.data(), header, 2), FrameError::TooLarge);

    std::vector<uint8_t> bad = wire;
    bad[0] ^= 0xff;
    QCOMPARE(decodeFrameHeader(bad.data(), header), FrameError::BadMagic);
    bad = wire;
    bad[4] = kFrameVersion + 1;
    QCOMPARE(decodeFrameHeader(bad.data(), header), FrameError::BadVersion);
}

void TestFrame::readerBounds()
{
    const std::vector<uint8_t> data = WireWriter().u32(7).str("abc").u64(1ull << 40).take();
    WireReader reader(data);
    uint32_t a = 0;
    std::string text;
    uint64_t big = 0;
    QVERIFY(reader.u32(a) && reader.str(text, 16) && reader.u64(big));
    QCOMPARE(a, 7u);
    QCOMPARE(text, std::string("abc"));
    QCOMPARE(big, 1ull << 40);
    QVERIFY(reader.atEnd());
    uint8_t extra = 0;
    QVERIFY(!reader.u8(extra));
    QVERIFY(!reader.ok());

    // A length prefix beyond the data, or beyond the caller's limit, fails
    // without reading anything.
    const std::vector<uint8_t> lying = WireWriter().u32(1000).raw("xy", 2).take();
    WireReader r1(lying);
    QVERIFY(!r1.str(text, 5000));
    WireReader r2(data);
    r2.u32(a);
    QVERIFY(!r2.str(text, 2));
    QVERIFY(!r2.ok());
}

void TestFrame::requestReply()
{
    EchoServer server;
    QVERIFY(server.ok());
    FrameClient client(std::chrono::milliseconds(2000));
    QCOMPARE(client.connect(kHost, server.port()), FrameError::None);
    for (int i = 0; i < 3; ++i) {
        Frame reply;
        const std::vector<uint8_t> payload(std::size_t(i) * 100000, uint8_t(i));
        QCOMPARE(client.request(0x0042, payload, reply), FrameError::None);
        QCOMPARE(reply.type, uint16_t(0x0042 | kReplyBit));
        QVERIFY(reply.payload == payload);
    }
    // The server may end a connection instead of answering.
    Frame reply;
    QCOMPARE(client.request(0x0666, {}, reply), FrameError::Closed);
    QVERIFY(!client.isOpen());
    QCOMPARE(client.request(0x0042, {}, reply), FrameError::Closed);
}

void TestFrame::concurrentClients()
{
    EchoServer server;
    QVERIFY(server.ok());
    FrameClient shared(std::chrono::milliseconds(5000));
    QCOMPARE(shared.connect(kHost, server.port()), FrameError::None);
    std::atomic<int> failures {0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&, t] {
            FrameClient own(std::chrono::milliseconds(5000));
            if (own.connect(kHost, server.port()) != FrameError::None)
                ++failures;
            for (int i = 0; i < 40; ++i) {
                const std::vector<uint8_t> payload = WireWriter().u32(uint32_t(t)).u32(uint32_t(i)).take();
                Frame a, b;
                if (shared.request(1, payload, a) != FrameError::None || a.payload != payload)
                    ++failures;
                if (own.request(2, payload, b) != FrameError::None || b.payload != payload)
                    ++failures;
            }
        });
    }
    for (std::thread &t : threads)
        t.join();
    QCOMPARE(failures.load(), 0);
}

void TestFrame::serverDropsBadFrames_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("bad magic") << 0;
    QTest::newRow("bad version") << 1;
    QTest::newRow("oversized") << 2;
    QTest::newRow("truncated") << 3;
}

void TestFrame::serverDropsBadFrames()
{
    QFETCH(int, kind);
    EchoServer server(1024);
    QVERIFY(server.ok());
    asio::io_context io;
    TlsSocket socket(io, handClientContext());
    socket.lowest_layer().connect({asio::ip::make_address(kHost), server.port()});
    socket.handshake(asio::ssl::stream_base::client);

    Frame frame;
    frame.type = 1;
    frame.payload.assign(kind == 2 ? 2048 : 16, 7);
    std::vector<uint8_t> wire = encodeFrame(frame);
    if (kind == 0)
        wire[1] = 'X';
    if (kind == 1)
        wire[4] = 9;
    if (kind == 3) {
        wire.resize(kFrameHeaderSize + 4);
    }
    asio::write(socket, asio::buffer(wire));
    if (kind == 3)
        socket.lowest_layer().shutdown(asio::ip::tcp::socket::shutdown_send);

    // No reply: the server closes the connection (EOF, or a reset when the
    // unread body is discarded).
    uint8_t buffer[64];
    std::error_code ec;
    const std::size_t got = asio::read(socket, asio::buffer(buffer), ec);
    QCOMPARE(got, std::size_t(0));
    QVERIFY(ec == asio::error::eof || ec == asio::error::connection_reset || ec == asio::ssl::error::stream_truncated);
}

void TestFrame::clientRejectsBadReplies_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("expected");
    QTest::newRow("truncated body") << 0 << int(FrameError::Truncated);
    QTest::newRow("truncated header") << 1 << int(FrameError::Truncated);
    QTest::newRow("oversized") << 2 << int(FrameError::TooLarge);
    QTest::newRow("bad magic") << 3 << int(FrameError::BadMagic);
    QTest::newRow("wrong transaction") << 4 << int(FrameError::Mismatch);
    QTest::newRow("no reply bit") << 5 << int(FrameError::Mismatch);
}

void TestFrame::clientRejectsBadReplies()
{
    QFETCH(int, kind);
    QFETCH(int, expected);
    // The oversized case keeps the connection open: the client must refuse
    // from the header alone instead of waiting for a body.
    ScriptedPeer peer([kind](const FrameHeader &header) {
        std::vector<uint8_t> out = replyFor(header, std::vector<uint8_t>(100, 1));
        switch (kind) {
        case 0: out.resize(kFrameHeaderSize + 10); break;
        case 1: out.resize(7); break;
        case 2: out[12] = out[13] = out[14] = 0xff; out.resize(kFrameHeaderSize); break;
        case 3: out[0] = 'Z'; break;
        case 4: out[8] ^= 1; break;
        case 5: out[7] &= 0x7f; break;
        }
        return out;
    }, kind != 2);
    FrameClient client(std::chrono::milliseconds(3000));
    QCOMPARE(client.connect(kHost, peer.port()), FrameError::None);
    Frame reply;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(int(client.request(1, {1, 2, 3}, reply)), expected);
    QVERIFY(timer.elapsed() < 2500);
    QVERIFY(!client.isOpen());
}

void TestFrame::silentPeerTimesOut()
{
    ScriptedPeer peer([](const FrameHeader &) { return std::vector<uint8_t>(); }, false);
    FrameClient client(std::chrono::milliseconds(300));
    QCOMPARE(client.connect(kHost, peer.port()), FrameError::None);
    Frame reply;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(client.request(1, {}, reply), FrameError::Timeout);
    QVERIFY(timer.elapsed() >= 250);
    QVERIFY(timer.elapsed() < 2000);
    QVERIFY(!client.isOpen());
}

void TestFrame::refusedDestination()
{
    // Nothing listens there: refused at once. Outside loopback the guard
    // refuses before any packet leaves (ctest sets CORVANE_LOOPBACK_ONLY=1).
    FrameClient client(std::chrono::milliseconds(1000));
    QCOMPARE(client.connect("127.40.0.9", 1), FrameError::Refused);
    if (qgetenv("CORVANE_LOOPBACK_ONLY") == "1")
        QCOMPARE(client.connect("192.0.2.1", 6060), FrameError::Refused);
    QCOMPARE(client.connect("not-an-address", 6060), FrameError::Refused);
}

void TestFrame::loginProof()
{
    const std::vector<uint8_t> nonce = makeNonce();
    QCOMPARE(nonce.size(), kNonceSize);
    QVERIFY(makeNonce() != nonce);
    const std::vector<uint8_t> proof = corvane::wire::loginProof("secret", nonce, "admin");
    QCOMPARE(proof.size(), kProofSize);
    QVERIFY(checkLoginProof("secret", nonce, "admin", proof));
    QVERIFY(!checkLoginProof("Secret", nonce, "admin", proof));
    QVERIFY(!checkLoginProof("secret", nonce, "admin2", proof));
    QVERIFY(!checkLoginProof("secret", makeNonce(), "admin", proof));
    QVERIFY(!checkLoginProof("secret", nonce, "admin", {}));
    // The password never appears in the proof.
    const std::string password = "secret";
    QVERIFY(std::search(proof.begin(), proof.end(), password.begin(), password.end()) == proof.end());
    // Known answer: HMAC-SHA256(key "key", "The quick brown fox jumps over the lazy dog").
    const std::string text = "The quick brown fox jumps over the lazy dog";
    QCOMPARE(toHex(corvane::wire::loginProof("key", std::vector<uint8_t>(text.begin(), text.end()), "")),
             std::string("f7bc83f430538424b13298e6aa6fb143ef4d59a14946175997479dbc2d1a3cd8"));
    QVERIFY(checkLoginProof("", nonce, "admin", corvane::wire::loginProof("", nonce, "admin")));
}

void TestFrame::challengeIsSingleUse()
{
    Challenge challenge;
    QVERIFY(!challenge.consume("admin"));
    const std::vector<uint8_t> nonce = challenge.issue("admin");
    QVERIFY(!challenge.consume("other")); // bound to the user that asked
    const auto first = challenge.consume("admin");
    QVERIFY(first && *first == nonce);
    QVERIFY(!challenge.consume("admin"));
    // A new challenge carries a new nonce.
    QVERIFY(challenge.issue("admin") != nonce);
}

void TestFrame::lockout()
{
    using namespace std::chrono;
    const std::string src = "127.40.0.2";
    LoginLockout lockout(3, seconds(30));
    const auto t0 = LoginLockout::Clock::now();
    QVERIFY(!lockout.recordFailure("admin", src, t0));
    QVERIFY(!lockout.recordFailure("admin", src, t0));
    lockout.recordSuccess("admin", src); // a good login clears the count
    QVERIFY(!lockout.recordFailure("admin", src, t0));
    QVERIFY(!lockout.recordFailure("admin", src, t0));
    QCOMPARE(lockout.remaining("admin", src, t0).count(), 0);
    QVERIFY(lockout.recordFailure("admin", src, t0));
    QVERIFY(lockout.remaining("admin", src, t0 + seconds(29)).count() > 0);
    QCOMPARE(lockout.remaining("admin", "127.40.0.3", t0).count(), 0); // one source locks only itself
    QVERIFY(lockout.remaining("guest", src, t0).count() > 0); // the source, whatever name it tries
    QCOMPARE(lockout.remaining("admin", src, t0 + seconds(30)).count(), 0);
    // After the lock has run out the count starts afresh.
    QVERIFY(!lockout.recordFailure("admin", src, t0 + seconds(31)));
}

void TestFrame::firmwareRoundTrip()
{
    std::vector<uint8_t> image;
    const std::vector<uint8_t> payload(5000, 0x5a);
    QVERIFY(buildFirmware("NVR-3216", "V2.1.0", payload, image));
    QCOMPARE(image.size(), kFirmwareHeaderSize + payload.size());
    FirmwareInfo info;
    QCOMPARE(checkFirmwareFor(image, "NVR-3216", info), FirmwareStatus::Ok);
    QCOMPARE(info.model, std::string("NVR-3216"));
    QCOMPARE(info.version, std::string("V2.1.0"));
    QCOMPARE(info.payloadSize, uint64_t(payload.size()));
    QCOMPARE(checkFirmwareFor(image, "NVR-1608", info), FirmwareStatus::WrongModel);
    // Texts must fit their fields and be printable.
    QVERIFY(!buildFirmware(std::string(32, 'M'), "V1", payload, image));
    QVERIFY(!buildFirmware("M", "", payload, image));
    QVERIFY(!buildFirmware("M\n", "V1", payload, image));
    QVERIFY(buildFirmware("M", "V1", {}, image));
    QCOMPARE(parseFirmware(image, info), FirmwareStatus::Ok);
}

void TestFrame::firmwareDamage_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("expected");
    QTest::newRow("payload byte") << 0 << int(FirmwareStatus::ChecksumMismatch);
    QTest::newRow("model renamed") << 1 << int(FirmwareStatus::ChecksumMismatch);
    QTest::newRow("truncated") << 2 << int(FirmwareStatus::SizeMismatch);
    QTest::newRow("appended") << 3 << int(FirmwareStatus::SizeMismatch);
    QTest::newRow("header only part") << 4 << int(FirmwareStatus::TooShort);
    QTest::newRow("magic") << 5 << int(FirmwareStatus::BadMagic);
    QTest::newRow("format") << 6 << int(FirmwareStatus::BadFormat);
    QTest::newRow("unterminated model") << 7 << int(FirmwareStatus::BadHeader);
}

void TestFrame::firmwareDamage()
{
    QFETCH(int, kind);
    QFETCH(int, expected);
    std::vector<uint8_t> image;
    QVERIFY(buildFirmware("NVR-3216", "V2.1.0", std::vector<uint8_t>(300, 1), image));
    switch (kind) {
    case 0: image[kFirmwareHeaderSize + 17] ^= 0x10; break;
    case 1: image[8] = 'X'; break;
    case 2: image.pop_back(); break;
    case 3: image.push_back(0); break;
    case 4: image.resize(50); break;
    case 5: image[0] = 'X'; break;
    case 6: image[4] = 2; break;
    case 7: std::fill(image.begin() + 8, image.begin() + 40, 'A'); break;
    }
    FirmwareInfo info;
    QCOMPARE(int(checkFirmwareFor(image, "NVR-3216", info)), expected);
}

void TestFrame::tgzIsReadableByTar()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    TgzWriter writer;
    std::vector<uint8_t> binary(70000);
    for (std::size_t i = 0; i < binary.size(); ++i)
        binary[i] = uint8_t(i * 7);
    QVERIFY(writer.addFile("info/device.txt", std::string("model=NVR-3216\n")));
    QVERIFY(writer.addFile("log/system.log", binary));
    QVERIFY(writer.addFile("empty.txt", std::string()));
    const std::vector<uint8_t> archive = writer.finish();
    QVERIFY(archive.size() > 18);
    QCOMPARE(int(archive[0]), 0x1f); // gzip
    QCOMPARE(int(archive[1]), 0x8b);
    const QString file = dir.filePath("mtinfo.tgz");
    QVERIFY(writeFileBytes(file.toStdString(), archive));

    QProcess tar;
    tar.setWorkingDirectory(dir.path());
    tar.start("tar", {"-xzf", file});
    QVERIFY(tar.waitForFinished(10000));
    QCOMPARE(tar.exitCode(), 0);
    QFile text(dir.filePath("info/device.txt"));
    QVERIFY(text.open(QIODevice::ReadOnly));
    QCOMPARE(text.readAll(), QByteArray("model=NVR-3216\n"));
    std::vector<uint8_t> back;
    QCOMPARE(readFileBytes(dir.filePath("log/system.log").toStdString(), back, 1 << 20), FileReadResult::Ok);
    QVERIFY(back == binary);
    QCOMPARE(QFileInfo(dir.filePath("empty.txt")).size(), qint64(0));
}

void TestFrame::tgzRefusesBadNames()
{
    TgzWriter writer;
    QVERIFY(!writer.addFile("", std::string("x")));
    QVERIFY(!writer.addFile("/etc/passwd", std::string("x")));
    QVERIFY(!writer.addFile("../up.txt", std::string("x")));
    QVERIFY(!writer.addFile(std::string(101, 'a'), std::string("x")));
}

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"
