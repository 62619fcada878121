#include "ipv4.h"

#include <QtTest>

class TestIpv4 : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void formatRoundTrips();
    void usableHost();
    void masks_data();
    void masks();
    void hostsInSubnet();
    void gateways_data();
    void gateways();
    void sortKeysOrderNumerically();
};

void TestIpv4::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<quint32>("host");
    QTest::newRow("plain") << "192.168.0.1" << true << 0xC0A80001u;
    QTest::newRow("leading zeros are decimal") << "010.001.000.008" << true << 0x0A010008u;
    QTest::newRow("broadcast") << "255.255.255.255" << true << 0xFFFFFFFFu;
    QTest::newRow("zero") << "0.0.0.0" << true << 0u;
    QTest::newRow("octet too big") << "1.2.3.256" << false << 0u;
    QTest::newRow("three parts") << "1.2.3" << false << 0u;
    QTest::newRow("five parts") << "1.2.3.4.5" << false << 0u;
    QTest::newRow("hex") << "0x1.2.3.4" << false << 0u;
    QTest::newRow("space") << " 1.2.3.4" << false << 0u;
    QTest::newRow("empty part") << "1..3.4" << false << 0u;
    QTest::newRow("empty") << "" << false << 0u;
    QTest::newRow("four digits") << "1.2.3.0001" << false << 0u;
}

void TestIpv4::parse()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(quint32, host);
    quint32 uHost = 0x12345678u;
    QCOMPARE(Ipv4::parse(text, uHost), valid);
    QCOMPARE(uHost, valid ? host : 0x12345678u);
    QCOMPARE(Ipv4::isValid(text), valid);
}

void TestIpv4::formatRoundTrips()
{
    QCOMPARE(Ipv4::format(0xC0A80001u), QStringLiteral("192.168.0.1"));
    QCOMPARE(Ipv4::format(0xFFFFFFFFu), QStringLiteral("255.255.255.255"));
    QCOMPARE(Ipv4::normalized(QStringLiteral("127.000.00.010")), QStringLiteral("127.0.0.10"));
    QCOMPARE(Ipv4::normalized(QStringLiteral("no address")), QStringLiteral("no address"));
}

void TestIpv4::usableHost()
{
    QVERIFY(Ipv4::isUsableHost(QStringLiteral("10.0.0.1")));
    QVERIFY(!Ipv4::isUsableHost(QStringLiteral("10.0.0.0")));
    QVERIFY(!Ipv4::isUsableHost(QStringLiteral("10.0.0.000")));
    QVERIFY(!Ipv4::isUsableHost(QStringLiteral("10.0.0")));
}

void TestIpv4::masks_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<bool>("valid");
    QTest::newRow("/24") << "255.255.255.0" << true;
    QTest::newRow("/8") << "255.0.0.0" << true;
    QTest::newRow("/30") << "255.255.255.252" << true;
    QTest::newRow("/1") << "128.0.0.0" << true;
    QTest::newRow("hole") << "255.0.255.0" << false;
    QTest::newRow("zeros first") << "0.255.255.255" << false;
    QTest::newRow("all ones") << "255.255.255.255" << false;
    QTest::newRow("all zeros") << "0.0.0.0" << false;
    QTest::newRow("no address") << "255.255.255" << false;
}

void TestIpv4::masks()
{
    QFETCH(QString, mask);
    QFETCH(bool, valid);
    QCOMPARE(Ipv4::isValidMask(mask), valid);
}

void TestIpv4::hostsInSubnet()
{
    const QString strMask = QStringLiteral("255.255.255.128");
    QVERIFY(Ipv4::isHostInSubnet(QStringLiteral("10.1.2.129"), strMask));
    QVERIFY(Ipv4::isHostInSubnet(QStringLiteral("10.1.2.127"), QStringLiteral("255.255.0.0")));
    QVERIFY(!Ipv4::isHostInSubnet(QStringLiteral("10.1.2.128"), strMask));   // network address
    QVERIFY(!Ipv4::isHostInSubnet(QStringLiteral("10.1.2.127"), strMask));   // broadcast address
    QVERIFY(!Ipv4::isHostInSubnet(QStringLiteral("10.1.2.20"), QStringLiteral("255.0.255.0")));
    QVERIFY(!Ipv4::isHostInSubnet(QStringLiteral("10.1.2."), strMask));
}

void TestIpv4::gateways_data()
{
    QTest::addColumn<QString>("gateway");
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<bool>("valid");
    QTest::newRow("same subnet") << "10.1.2.1" << "10.1.2.30" << "255.255.255.0" << true;
    QTest::newRow("other subnet") << "10.1.3.1" << "10.1.2.30" << "255.255.255.0" << false;
    QTest::newRow("wider mask") << "10.1.3.1" << "10.1.2.30" << "255.255.0.0" << true;
    QTest::newRow("the address itself") << "10.1.2.30" << "10.1.2.30" << "255.255.255.0" << false;
    QTest::newRow("network address") << "10.1.2.0" << "10.1.2.30" << "255.255.255.0" << false;
    QTest::newRow("broadcast") << "10.1.2.255" << "10.1.2.30" << "255.255.255.0" << false;
    QTest::newRow("bad mask") << "10.1.2.1" << "10.1.2.30" << "255.0.255.0" << false;
    QTest::newRow("no gateway") << "" << "10.1.2.30" << "255.255.255.0" << false;
}

void TestIpv4::gateways()
{
    QFETCH(QString, gateway);
    QFETCH(QString, ip);
    QFETCH(QString, mask);
    QFETCH(bool, valid);
    QCOMPARE(Ipv4::isValidGateway(gateway, ip, mask), valid);
}

void TestIpv4::sortKeysOrderNumerically()
{
    // Text order would put 10 before 9 and 100 before 20.
    QVERIFY(Ipv4::sortKey(QStringLiteral("10.0.0.9")) < Ipv4::sortKey(QStringLiteral("10.0.0.10")));
    QVERIFY(Ipv4::sortKey(QStringLiteral("20.0.0.1")) < Ipv4::sortKey(QStringLiteral("100.0.0.1")));
    QVERIFY(Ipv4::sortKey(QStringLiteral("255.255.255.254")) < Ipv4::sortKey(QStringLiteral("garbage")));
    QCOMPARE(Ipv4::sortKey(QStringLiteral("garbage")), 0xFFFFFFFFu);
}

QTEST_MAIN(TestIpv4)
#include "tst_ipv4.moc"
