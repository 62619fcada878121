// The discovery service without a network: password form, the blocks handed
// to the library, the results list, and arguments refused before sending.
#include "devdiscovery.h"

#include <QHostAddress>
#include <QtTest>

#include <cstddef>
#include <cstring>
#include <thread>

namespace {

RVNA_DEVICE_INFO rawAnswer(const char *ip, const char *model = "M", const char *serial = "S")
{
    RVNA_DEVICE_INFO info;
    std::memset(&info, 0, sizeof info);
    std::strcpy(info.szIp, ip);
    std::strcpy(info.szModel, model);
    std::strcpy(info.szSerial, serial);
    std::strcpy(info.szMac, "001122aabbcc");
    std::strcpy(info.szReserved, "HW-A1");
    std::strcpy(info.szVersion, "V1.0");
    return info;
}

// As the library delivers it: from the address it names.
void addOwnAnswer(CDevDiscovery &discovery, const RVNA_DEVICE_INFO &info)
{
    discovery.addAnswer(info, QHostAddress(QString::fromLatin1(info.szIp)).toIPv4Address());
}

bool slotIsZeroFrom(const char *slot, int from)
{
    for (int i = from; i < RVNA_TEXT_LEN; ++i) {
        if (slot[i] != '\0')
            return false;
    }
    return true;
}

} // namespace

class TestDevDiscovery : public QObject
{
    Q_OBJECT

private slots:
    void blockLayouts();
    void encodesEmptyPasswordAsMarker();
    void encodesWithAlternatingKey();
    void encodingBounds_data();
    void encodingBounds();
    void encodingRejectsNullPointers();
    void accountBlockHoldsEncodedPassword();
    void slotsTruncateAtSixtyFourBytes();
    void rawAnswerConversion();
    void unterminatedAnswerSlotStaysInside();
    void keepsOneAnswerPerDeviceAndAddress();
    void keepsEveryAnswerWithoutAddress();
    void takeResultsEmptiesTheList();
    void concurrentAnswersAreAllKept();
    void refusesBeforeSending();
};

void TestDevDiscovery::blockLayouts()
{
    QCOMPARE(sizeof(RVNA_DEVICE_INFO), size_t(384));
    QCOMPARE(offsetof(RVNA_DEVICE_INFO, szModel), size_t(64));
    QCOMPARE(offsetof(RVNA_DEVICE_INFO, szSerial), size_t(128));
    QCOMPARE(offsetof(RVNA_DEVICE_INFO, szMac), size_t(192));
    QCOMPARE(offsetof(RVNA_DEVICE_INFO, szReserved), size_t(256));
    QCOMPARE(offsetof(RVNA_DEVICE_INFO, szVersion), size_t(320));
    QCOMPARE(sizeof(RVNA_DEV_IDENTITY), size_t(128));
    QCOMPARE(offsetof(RVNA_DEV_IDENTITY, szMac), size_t(64));
    QCOMPARE(sizeof(RVNA_DEV_ACCOUNT), size_t(132));
    QCOMPARE(offsetof(RVNA_DEV_ACCOUNT, szPassword), size_t(64));
    QCOMPARE(offsetof(RVNA_DEV_ACCOUNT, uReserved), size_t(128));
    QCOMPARE(sizeof(RVNA_DEV_NETADDR), size_t(192));
    QCOMPARE(offsetof(RVNA_DEV_NETADDR, szMask), size_t(64));
    QCOMPARE(offsetof(RVNA_DEV_NETADDR, szGateway), size_t(128));
}

void TestDevDiscovery::encodesEmptyPasswordAsMarker()
{
    QByteArray encoded;
    QCOMPARE(CDevDiscovery::encodePassword(QString(), encoded), DWORD(0));
    QCOMPARE(encoded.size(), 12);
    for (const char c : encoded)
        QVERIFY(c >= 'a' && c <= 'z');

    // The marker needs 13 bytes with its terminator.
    char small[12];
    QCOMPARE(CDevDiscovery::encodePassword("", small, sizeof small), DWORD(CDevDiscovery::EncodeNoRoom));
}

void TestDevDiscovery::encodesWithAlternatingKey()
{
    // 'a' ^ 0x6E = 0x0F, 'b' ^ 0x91 = 0xF3, 'c' ^ 0x6E = 0x0D.
    QByteArray encoded;
    QCOMPARE(CDevDiscovery::encodePassword(QStringLiteral("abc"), encoded), DWORD(0));
    QCOMPARE(encoded, QByteArray("!ll0!b"));
    QCOMPARE(encoded.size(), 6);

    QVERIFY(CDevDiscovery::encodePassword(QStringLiteral("vorpe\u00e9\u4e2d"), encoded) == 0);
    for (const char c : encoded) {
        QVERIFY(c >= 33 && c <= 108);
        QCOMPARE((c - 33) % 5, 0);
    }
}

void TestDevDiscovery::encodingBounds_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("bufferSize");
    QTest::addColumn<bool>("fits");
    QTest::newRow("31 bytes in a 64-byte slot") << 31 << 64 << true;
    QTest::newRow("32 bytes in a 64-byte slot") << 32 << 64 << false;
    QTest::newRow("127 bytes in 256") << 127 << 256 << true;
    QTest::newRow("128 bytes in 256") << 128 << 256 << false;
}

void TestDevDiscovery::encodingBounds()
{
    QFETCH(int, length);
    QFETCH(int, bufferSize);
    QFETCH(bool, fits);
    const QByteArray password(length, 'x');
    QByteArray buffer(bufferSize + 8, '\x7f'); // guard bytes behind the buffer
    const DWORD dwRet = CDevDiscovery::encodePassword(password.constData(), buffer.data(), size_t(bufferSize));
    QCOMPARE(dwRet, fits ? DWORD(0) : DWORD(CDevDiscovery::EncodeNoRoom));
    if (fits)
        QCOMPARE(int(std::strlen(buffer.constData())), 2 * length);
    QCOMPARE(buffer.right(8), QByteArray(8, '\x7f'));
}

void TestDevDiscovery::encodingRejectsNullPointers()
{
    char buffer[16];
    QCOMPARE(CDevDiscovery::encodePassword(nullptr, buffer, sizeof buffer), DWORD(CDevDiscovery::EncodeNullPointer));
    QCOMPARE(CDevDiscovery::encodePassword("a", nullptr, 16), DWORD(CDevDiscovery::EncodeNullPointer));
}

void TestDevDiscovery::accountBlockHoldsEncodedPassword()
{
    RVNA_DEV_ACCOUNT account;
    std::memset(&account, 0x55, sizeof account);
    QCOMPARE(CDevDiscovery::makeAccount(QStringLiteral("admin"), QStringLiteral("abc"), account), DWORD(0));
    QCOMPARE(QByteArray(account.szUserName), QByteArray("admin"));
    QVERIFY(slotIsZeroFrom(account.szUserName, 5));
    QByteArray encoded;
    CDevDiscovery::encodePassword(QStringLiteral("abc"), encoded);
    QCOMPARE(QByteArray(account.szPassword), encoded);
    QVERIFY(slotIsZeroFrom(account.szPassword, 6));
    QCOMPARE(account.uReserved, 0u);

    // Too long to carry: refused, and the slot is left empty rather than cut.
    QCOMPARE(CDevDiscovery::makeAccount(QStringLiteral("admin"), QString(32, QLatin1Char('p')), account),
             DWORD(CDevDiscovery::EncodeNoRoom));
    QVERIFY(slotIsZeroFrom(account.szPassword, 0));
    QCOMPARE(CDevDiscovery::makeAccount(QStringLiteral("admin"), QString(31, QLatin1Char('p')), account), DWORD(0));
    QCOMPARE(int(std::strlen(account.szPassword)), 62);
}

void TestDevDiscovery::slotsTruncateAtSixtyFourBytes()
{
    const QString longSerial(70, QLatin1Char('S'));
    const RVNA_DEV_IDENTITY identity = CDevDiscovery::makeIdentity(longSerial, QStringLiteral("001122aabbcc"));
    QCOMPARE(QByteArray(identity.szSerial, RVNA_TEXT_LEN), QByteArray(64, 'S')); // full slot, no terminator
    QCOMPARE(QByteArray(identity.szMac), QByteArray("001122aabbcc"));
    QVERIFY(slotIsZeroFrom(identity.szMac, 12));

    const RVNA_DEV_NETADDR netAddr = CDevDiscovery::makeNetAddr(
        QStringLiteral("127.0.0.20"), QString(64, QLatin1Char('9')), QStringLiteral("127.0.0.1"));
    QCOMPARE(QByteArray(netAddr.szIp), QByteArray("127.0.0.20"));
    QCOMPARE(QByteArray(netAddr.szMask, RVNA_TEXT_LEN), QByteArray(64, '9'));
    QCOMPARE(QByteArray(netAddr.szGateway), QByteArray("127.0.0.1"));
    QVERIFY(slotIsZeroFrom(netAddr.szIp, 10));

    // A multi-byte text is cut at the slot, never beyond.
    char slot[RVNA_TEXT_LEN + 4];
    std::memset(slot, 0x7f, sizeof slot);
    CDevDiscovery::copyToSlot(slot, RVNA_TEXT_LEN, QString(40, QChar(0x4e2d)).toUtf8());
    QCOMPARE(QByteArray(slot + RVNA_TEXT_LEN, 4), QByteArray(4, '\x7f'));
}

void TestDevDiscovery::rawAnswerConversion()
{
    RVNA_DEVICE_INFO info = rawAnswer("127.0.0.10", "ZC-2320", "2403A1234567");
    std::strcpy(info.szModel, "\xe6\x91\x84\xe5\x83\x8f"); // UTF-8 text survives
    const stDiscoveryBean bean = CDevDiscovery::toBean(info);
    QCOMPARE(bean.strIp, QStringLiteral("127.0.0.10"));
    QCOMPARE(bean.strModel, QStringLiteral("\u6444\u50cf"));
    QCOMPARE(bean.strSerial, QStringLiteral("2403A1234567"));
    QCOMPARE(bean.strMac, QStringLiteral("001122aabbcc"));
    QCOMPARE(bean.strReserved, QStringLiteral("HW-A1"));
    QCOMPARE(bean.strVersion, QStringLiteral("V1.0"));
}

void TestDevDiscovery::unterminatedAnswerSlotStaysInside()
{
    RVNA_DEVICE_INFO info = rawAnswer("127.0.0.10");
    std::memset(info.szVersion, 'V', RVNA_TEXT_LEN); // last slot, no terminator
    std::memset(info.szSerial, 'S', RVNA_TEXT_LEN);
    const stDiscoveryBean bean = CDevDiscovery::toBean(info);
    QCOMPARE(bean.strVersion, QString(64, QLatin1Char('V')));
    QCOMPARE(bean.strSerial, QString(64, QLatin1Char('S')));
    QCOMPARE(bean.strMac, QStringLiteral("001122aabbcc"));
}

void TestDevDiscovery::keepsOneAnswerPerDeviceAndAddress()
{
    CDevDiscovery discovery;
    discovery.detach();
    addOwnAnswer(discovery, rawAnswer("127.0.0.10", "first"));
    addOwnAnswer(discovery, rawAnswer("127.0.0.11"));
    // The same device again (a second probe), then another device at its address.
    addOwnAnswer(discovery, rawAnswer("127.0.0.10", "first"));
    addOwnAnswer(discovery, rawAnswer("127.0.0.10", "second", "other"));
    const QList<stDiscoveryBean> results = discovery.results();
    QCOMPARE(results.size(), 3);
    QCOMPARE(results.at(0).strModel, QStringLiteral("first"));
    QCOMPARE(results.at(1).strIp, QStringLiteral("127.0.0.11"));
    QCOMPARE(results.at(2).strSerial, QStringLiteral("other"));
}

void TestDevDiscovery::keepsEveryAnswerWithoutAddress()
{
    CDevDiscovery discovery;
    discovery.detach();
    addOwnAnswer(discovery, rawAnswer(""));
    addOwnAnswer(discovery, rawAnswer("", "same"));
    addOwnAnswer(discovery, rawAnswer("", "same"));
    QCOMPARE(discovery.resultCount(), 3);
}

void TestDevDiscovery::takeResultsEmptiesTheList()
{
    CDevDiscovery discovery;
    discovery.detach();
    addOwnAnswer(discovery, rawAnswer("127.0.0.10"));
    QCOMPARE(discovery.takeResults().size(), 1);
    QCOMPARE(discovery.resultCount(), 0);
    // After a swap the same address is new again.
    addOwnAnswer(discovery, rawAnswer("127.0.0.10"));
    QCOMPARE(discovery.resultCount(), 1);
}

void TestDevDiscovery::concurrentAnswersAreAllKept()
{
    CDevDiscovery discovery;
    discovery.detach();
    QList<stDiscoveryBean> taken;
    std::thread writer([&discovery] {
        for (int i = 0; i < 2000; ++i) {
            const QByteArray ip = "127.0." + QByteArray::number(i / 250) + "." + QByteArray::number(i % 250 + 1);
            addOwnAnswer(discovery, rawAnswer(ip.constData()));
        }
    });
    for (int i = 0; i < 200; ++i)
        taken += discovery.takeResults();
    writer.join();
    taken += discovery.takeResults();
    QCOMPARE(taken.size(), 2000);
}

void TestDevDiscovery::refusesBeforeSending()
{
    const QString mac = QStringLiteral("001122aabbcc");
    // Not an address: nothing to send to.
    QCOMPARE(CDevDiscovery::setDevIpAddr(QStringLiteral("not-an-ip"), QStringLiteral("vorpe"), QStringLiteral("admin"),
                                         QStringLiteral("S"), mac, QStringLiteral("127.0.0.20"),
                                         QStringLiteral("255.0.0.0"), QStringLiteral("127.0.0.1")),
             DWORD(RVNA_ERR_PARAM));
    QCOMPARE(CDevDiscovery::resetPassword(QString(), QStringLiteral("S"), mac, QStringLiteral("1")),
             DWORD(RVNA_ERR_PARAM));
    // A password whose encoded form does not fit is refused, not shortened.
    QCOMPARE(CDevDiscovery::setDevIpAddr(QStringLiteral("127.0.0.1"), QString(32, QLatin1Char('p')),
                                         QStringLiteral("admin"), QStringLiteral("S"), mac,
                                         QStringLiteral("127.0.0.20"), QStringLiteral("255.0.0.0"),
                                         QStringLiteral("127.0.0.1")),
             DWORD(CDevDiscovery::EncodeNoRoom));
    // 0.0.0.0 lies outside loopback; refused by the guard (and would stay on this host anyway).
    if (qgetenv("CORVANE_LOOPBACK_ONLY") == "1") {
        QCOMPARE(CDevDiscovery::resetPassword(QStringLiteral("0.0.0.0"), QStringLiteral("S"), mac,
                                              QStringLiteral("1")),
                 DWORD(RVNA_ERR_REFUSED));
    }
}

QTEST_GUILESS_MAIN(TestDevDiscovery)
#include "tst_devdiscovery.moc"
