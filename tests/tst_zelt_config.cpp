// Configuration structures and capability documents of the simulated IPCs
// through the configuration library.
#include "simfleetprocess.h"

#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QDomDocument>
#include <QtTest>

namespace {

const char *const kFirst = "127.91.0.10";

struct Field
{
    DWORD cmd;
    DWORD stream;
    int offset;
    int width;   // 4, 2 or 1 bytes; 0 for a text field of textLen bytes
    int textLen;
};

void writeField(QByteArray &buf, const Field &f, const QVariant &value)
{
    uchar *p = reinterpret_cast<uchar *>(buf.data());
    switch (f.width) {
    case 4: zelt_put_u32(p, std::size_t(f.offset), value.toUInt()); break;
    case 2: zelt_put_u16(p, std::size_t(f.offset), quint16(value.toUInt())); break;
    case 1: p[f.offset] = uchar(value.toUInt()); break;
    default: zelt_put_text(p, std::size_t(f.offset), std::size_t(f.textLen), value.toString().toLatin1().constData()); break;
    }
}

// Writes a 32-bit field of a structure read from the device, which may have failed.
void put32(QByteArray &buf, int offset, quint32 value)
{
    if (buf.size() >= offset + 4)
        zelt_put_u32(buf.data(), std::size_t(offset), value);
}

} // namespace

Q_DECLARE_METATYPE(Field)

class TestZeltConfig : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void roundTrip_data();
    void roundTrip();
    void outOfRangeRefused_data();
    void outOfRangeRefused();
    void lengthsChecked();
    void capabilityDocuments_data();
    void capabilityDocuments();
    void modelDifferences();
    void staticAddressMovesDevice();

private:
    QByteArray loginTo(const QString &model);
    QByteArray read(const QByteArray &userId, DWORD cmd, DWORD stream = 0);

    SimFleetProcess m_sim {{"--ipc", "12", "--first", kFirst, "--seed", "5"}};
    QMap<QString, QByteArray> m_sessions;   // model -> user-ID
};

void TestZeltConfig::initTestCase()
{
    QCOMPARE(ZELT_MW_Init(), DWORD(0));
    CORVANE_START_SIMULATOR(m_sim);
    for (const SimFleetProcess::Device &device : m_sim.devices()) {
        if (m_sessions.contains(device.model))
            continue;
        char userId[ZELT_MW_USERID_LEN] = {};
        QCOMPARE(ZELT_MW_Login("admin", "vorpe", device.ip.toLatin1().constData(), 0, userId), DWORD(0));
        m_sessions.insert(device.model, QByteArray(userId));
    }
    // The seed gives a fleet holding every model.
    QCOMPARE(m_sessions.size(), 5);
}

void TestZeltConfig::cleanupTestCase()
{
    for (const QByteArray &userId : qAsConst(m_sessions))
        ZELT_MW_Logout(userId.constData());
    m_sim.stop();
}

QByteArray TestZeltConfig::loginTo(const QString &model)
{
    return m_sessions.value(model);
}

QByteArray TestZeltConfig::read(const QByteArray &userId, DWORD cmd, DWORD stream)
{
    QByteArray buf(int(zelt_cfg_size(cmd)), '\0');
    if (cmd == ZELT_MW_VIDEO_ENCODER_CFG)
        zelt_put_u32(buf.data(), ZELT_ENC_STREAM, stream);
    DWORD len = DWORD(buf.size());
    const DWORD result = ZELT_MW_GetConfig(userId.constData(), cmd, 0, &len, buf.data());
    return result == 0 && len == DWORD(buf.size()) ? buf : QByteArray();
}

void TestZeltConfig::roundTrip_data()
{
    QTest::addColumn<Field>("field");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("2 dst enabled") << Field{2, 0, ZELT_DST_ENABLED, 4, 0} << QVariant(1);
    QTest::newRow("2 dst end month") << Field{2, 0, ZELT_DST_END_MONTH, 1, 0} << QVariant(11);
    QTest::newRow("2 dst offset") << Field{2, 0, ZELT_DST_OFFSET_MIN, 2, 0} << QVariant(120);
    QTest::newRow("12 mtu") << Field{12, 0, ZELT_NETIF_MTU, 4, 0} << QVariant(1400);
    QTest::newRow("12 pppoe user") << Field{12, 0, ZELT_NETIF_PPPOE_USER, 0, ZELT_NETIF_PPPOE_USER_LEN} << QVariant("dialer");
    QTest::newRow("13 ntx server") << Field{13, 0, ZELT_NTX_SERVER, 0, ZELT_NTX_SERVER_LEN} << QVariant("127.0.0.77");
    QTest::newRow("18 http port") << Field{18, 0, ZELT_PORT_HTTP, 2, 0} << QVariant(8080);
    QTest::newRow("19 dns") << Field{19, 0, ZELT_DNS_ALTERNATE, 0, ZELT_DNS_ADDR_LEN} << QVariant("127.0.0.53");
    QTest::newRow("20 metering") << Field{20, 0, ZELT_EXP_METERING, 4, 0} << QVariant(2);
    QTest::newRow("20 compensation") << Field{20, 0, ZELT_EXP_COMPENSATION, 4, 0} << QVariant(uint(-40));
    QTest::newRow("21 red offset") << Field{21, 0, ZELT_WB_RED_OFFSET, 4, 0} << QVariant(127);
    QTest::newRow("22 contrast") << Field{22, 0, ZELT_ENH_CONTRAST, 4, 0} << QVariant(0);
    QTest::newRow("22 mirror") << Field{22, 0, ZELT_ENH_MIRROR, 4, 0} << QVariant(3);
    QTest::newRow("28 far level") << Field{28, 0, ZELT_IR_FAR_LEVEL, 4, 0} << QVariant(1000);
    QTest::newRow("31 main bit rate") << Field{31, 0, ZELT_ENC_BITRATE, 4, 0} << QVariant(16384);
    QTest::newRow("31 sub frame rate") << Field{31, 1, ZELT_ENC_FPS, 4, 0} << QVariant(10);
    QTest::newRow("31 third enabled") << Field{31, 2, ZELT_ENC_ENABLED, 4, 0} << QVariant(1);
    QTest::newRow("32 gain") << Field{32, 0, ZELT_AUDIO_GAIN, 4, 0} << QVariant(255);
}

void TestZeltConfig::roundTrip()
{
    QFETCH(Field, field);
    QFETCH(QVariant, value);
    const QByteArray userId = loginTo(QStringLiteral("ZC-5330"));
    QByteArray buf = read(userId, field.cmd, field.stream);
    QVERIFY(!buf.isEmpty());
    writeField(buf, field, value);
    QCOMPARE(ZELT_MW_SetConfig(userId.constData(), field.cmd, 0, DWORD(buf.size()), buf.constData()), DWORD(0));
    QCOMPARE(read(userId, field.cmd, field.stream), buf);
}

void TestZeltConfig::outOfRangeRefused_data()
{
    QTest::addColumn<Field>("field");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("dst month 13") << Field{2, 0, ZELT_DST_START_MONTH, 1, 0} << QVariant(13);
    QTest::newRow("dst week 0") << Field{2, 0, ZELT_DST_END_WEEK, 1, 0} << QVariant(0);
    QTest::newRow("dst weekday 7") << Field{2, 0, ZELT_DST_START_WEEKDAY, 1, 0} << QVariant(7);
    QTest::newRow("dst hour 24") << Field{2, 0, ZELT_DST_END_HOUR, 1, 0} << QVariant(24);
    QTest::newRow("dst offset 45") << Field{2, 0, ZELT_DST_OFFSET_MIN, 2, 0} << QVariant(45);
    QTest::newRow("mtu 575") << Field{12, 0, ZELT_NETIF_MTU, 4, 0} << QVariant(575);
    QTest::newRow("mtu 1501") << Field{12, 0, ZELT_NETIF_MTU, 4, 0} << QVariant(1501);
    QTest::newRow("work mode 9") << Field{12, 0, ZELT_NETIF_WORK_MODE, 4, 0} << QVariant(9);
    QTest::newRow("address mode 3") << Field{12, 0, ZELT_NETIF_MODE, 4, 0} << QVariant(3);
    QTest::newRow("mask not an address") << Field{12, 0, ZELT_NETIF_MASK, 0, ZELT_NETIF_ADDR_LEN} << QVariant("255.0.0");
    QTest::newRow("ntx enabled 2") << Field{13, 0, ZELT_NTX_ENABLED, 4, 0} << QVariant(2);
    QTest::newRow("dns text") << Field{19, 0, ZELT_DNS_PREFERRED, 0, ZELT_DNS_ADDR_LEN} << QVariant("dns.example");
    QTest::newRow("exposure mode 8") << Field{20, 0, ZELT_EXP_MODE, 4, 0} << QVariant(8);
    QTest::newRow("compensation 101") << Field{20, 0, ZELT_EXP_COMPENSATION, 4, 0} << QVariant(101);
    QTest::newRow("shutter 1/7") << Field{20, 0, ZELT_EXP_SHUTTER, 4, 0} << QVariant(7);
    QTest::newRow("wdr level 10") << Field{20, 0, ZELT_EXP_WDR_LEVEL, 4, 0} << QVariant(10);
    QTest::newRow("white mode 2") << Field{21, 0, ZELT_WB_MODE, 4, 0} << QVariant(2);
    QTest::newRow("blue offset 128") << Field{21, 0, ZELT_WB_BLUE_OFFSET, 4, 0} << QVariant(128);
    QTest::newRow("brightness 256") << Field{22, 0, ZELT_ENH_BRIGHTNESS, 4, 0} << QVariant(256);
    QTest::newRow("mirror 5") << Field{22, 0, ZELT_ENH_MIRROR, 4, 0} << QVariant(5);
    QTest::newRow("ir mode 5") << Field{28, 0, ZELT_IR_MODE, 4, 0} << QVariant(5);
    QTest::newRow("near level 1001") << Field{28, 0, ZELT_IR_NEAR_LEVEL, 4, 0} << QVariant(1001);
    QTest::newRow("bit rate 127") << Field{31, 0, ZELT_ENC_BITRATE, 4, 0} << QVariant(127);
    QTest::newRow("bit rate 16385") << Field{31, 0, ZELT_ENC_BITRATE, 4, 0} << QVariant(16385);
    QTest::newRow("i-frame 9") << Field{31, 0, ZELT_ENC_IFRAME, 4, 0} << QVariant(9);
    QTest::newRow("i-frame 251") << Field{31, 1, ZELT_ENC_IFRAME, 4, 0} << QVariant(251);
    QTest::newRow("quality 0") << Field{31, 0, ZELT_ENC_QUALITY, 4, 0} << QVariant(0);
    QTest::newRow("main disabled") << Field{31, 0, ZELT_ENC_ENABLED, 4, 0} << QVariant(0);
    QTest::newRow("format 4") << Field{31, 0, ZELT_ENC_FORMAT, 4, 0} << QVariant(4);
    QTest::newRow("resolution not offered") << Field{31, 0, ZELT_ENC_WIDTH, 4, 0} << QVariant(1000);
    QTest::newRow("sub larger than main") << Field{31, 1, ZELT_ENC_WIDTH, 4, 0} << QVariant(2592);
    QTest::newRow("frame rate above maximum") << Field{31, 0, ZELT_ENC_FPS, 4, 0} << QVariant(21);
    QTest::newRow("audio format 3") << Field{32, 0, ZELT_AUDIO_FORMAT, 4, 0} << QVariant(3);
    QTest::newRow("G.711 at 16 kHz") << Field{32, 0, ZELT_AUDIO_SAMPLE_RATE, 4, 0} << QVariant(16);
    QTest::newRow("audio gain 256") << Field{32, 0, ZELT_AUDIO_GAIN, 4, 0} << QVariant(256);
}

void TestZeltConfig::outOfRangeRefused()
{
    QFETCH(Field, field);
    QFETCH(QVariant, value);
    const QByteArray userId = loginTo(QStringLiteral("ZC-5330"));
    const QByteArray before = read(userId, field.cmd, field.stream);
    QVERIFY(!before.isEmpty());
    QByteArray buf = before;
    writeField(buf, field, value);
    QVERIFY(buf != before);
    QVERIFY(ZELT_MW_SetConfig(userId.constData(), field.cmd, 0, DWORD(buf.size()), buf.constData()) != 0);
    QCOMPARE(read(userId, field.cmd, field.stream), before);
}

void TestZeltConfig::lengthsChecked()
{
    const QByteArray userId = loginTo(QStringLiteral("ZC-2320"));
    QByteArray buf(ZELT_DST_SIZE + 8, 'x');
    DWORD len = ZELT_DST_SIZE - 1;
    QCOMPARE(ZELT_MW_GetConfig(userId.constData(), ZELT_MW_DST_CFG, 0, &len, buf.data()), DWORD(ZELT_MW_ERR_LENGTH));
    QCOMPARE(buf, QByteArray(ZELT_DST_SIZE + 8, 'x'));
    // A larger buffer is filled up to the structure's size.
    len = DWORD(buf.size());
    QCOMPARE(ZELT_MW_GetConfig(userId.constData(), ZELT_MW_DST_CFG, 0, &len, buf.data()), DWORD(0));
    QCOMPARE(len, DWORD(ZELT_DST_SIZE));
    QCOMPARE(buf.mid(ZELT_DST_SIZE), QByteArray(8, 'x'));

    QCOMPARE(ZELT_MW_SetConfig(userId.constData(), ZELT_MW_DST_CFG, 0, ZELT_DST_SIZE + 1, buf.constData()), DWORD(ZELT_MW_ERR_LENGTH));
    QCOMPARE(ZELT_MW_SetConfig(userId.constData(), 99, 0, 4, buf.constData()), DWORD(ZELT_MW_ERR_UNSUPPORTED));
    QCOMPARE(ZELT_MW_GetConfig(userId.constData(), ZELT_MW_DST_CFG, 0, nullptr, buf.data()), DWORD(ZELT_MW_ERR_PARAM));

    // The video input mode is read only.
    const QByteArray mode = read(userId, ZELT_MW_VIDEO_INPUT_MODE_CFG);
    QCOMPARE(zelt_get_u32(mode.constData(), ZELT_VIN_WIDTH), 1920u);
    QCOMPARE(zelt_get_u32(mode.constData(), ZELT_VIN_MAX_FPS), 30u);
    QCOMPARE(ZELT_MW_SetConfig(userId.constData(), ZELT_MW_VIDEO_INPUT_MODE_CFG, 0, ZELT_VIN_SIZE, mode.constData()),
             DWORD(ZELT_MW_ERR_READ_ONLY));
    // A two-stream device has no third stream.
    QVERIFY(read(userId, ZELT_MW_VIDEO_ENCODER_CFG, 1).size() == ZELT_ENC_SIZE);
    QVERIFY(read(userId, ZELT_MW_VIDEO_ENCODER_CFG, 2).isEmpty());
}

void TestZeltConfig::capabilityDocuments_data()
{
    QTest::addColumn<QString>("model");
    for (const char *model : {"ZC-5330", "ZC-2320", "ZC-2320N", "ZC-1210D", "ZC-2330F"})
        QTest::newRow(model) << QString::fromLatin1(model);
}

void TestZeltConfig::capabilityDocuments()
{
    QFETCH(QString, model);
    const QByteArray userId = loginTo(model);
    const QMap<DWORD, QStringList> expected = {
        {ZELT_MW_CAP_IMAGE, {"Enhance", "Brightness", "Contrast", "Saturation", "Sharpness", "Mirror", "Exposure", "Shutter",
                             "Gain", "Iris", "Metering", "Compensate", "SlowRange", "FastRange", "MinRange", "MaxRange",
                             "Range", "RangeNear", "Time", "WhiteBalance", "DayNight", "IrCtrl", "NearIrLedLevel",
                             "MiddleIrLedLevel", "FarIrLedLevel", "Scene", "WDR", "_2D", "_3D", "Mode"}},
        {ZELT_MW_CAP_ENCODE, {"MaxStream", "HiddenStream", "Number", "EncodeFormat", "Resolution", "NoModifyMainPicSize",
                              "ALONE", "CONV"}},
        {ZELT_MW_CAP_NETWORK, {"IPType", "Mode", "PortMode", "WorkMode"}},
        {ZELT_MW_CAP_AUDIO, {"Mode"}},
    };
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        QByteArray buf(ZELT_MW_CAP_MAX_LEN + 1, '\0');
        DWORD len = ZELT_MW_CAP_MAX_LEN;
        const DWORD result = ZELT_MW_GetDeviceCapability(userId.constData(), it.key(), &len, buf.data());
        if (it.key() == ZELT_MW_CAP_AUDIO && model == QLatin1String("ZC-2320N")) {
            QCOMPARE(result, DWORD(ZELT_MW_ERR_UNSUPPORTED));
            continue;
        }
        QCOMPARE(result, DWORD(0));
        QVERIFY(len <= ZELT_MW_CAP_MAX_LEN);
        QCOMPARE(int(len), int(qstrlen(buf.constData())));
        QDomDocument doc;
        QString error;
        QVERIFY2(doc.setContent(QByteArray(buf.constData()), &error), qPrintable(error));
        for (const QString &tag : it.value())
            QVERIFY2(!doc.elementsByTagName(tag).isEmpty(), qPrintable(tag));
    }
    QByteArray small(100, '\0');
    DWORD len = DWORD(small.size());
    QCOMPARE(ZELT_MW_GetDeviceCapability(userId.constData(), ZELT_MW_CAP_IMAGE, &len, small.data()), DWORD(ZELT_MW_ERR_LENGTH));
    len = ZELT_MW_CAP_MAX_LEN;
    QByteArray other(ZELT_MW_CAP_MAX_LEN, '\0');
    QVERIFY(ZELT_MW_GetDeviceCapability(userId.constData(), 2, &len, other.data()) != 0);
}

void TestZeltConfig::modelDifferences()
{
    auto element = [](const QByteArray &userId, DWORD kind, const QString &tag) {
        QByteArray buf(ZELT_MW_CAP_MAX_LEN + 1, '\0');
        DWORD len = ZELT_MW_CAP_MAX_LEN;
        ZELT_MW_GetDeviceCapability(userId.constData(), kind, &len, buf.data());
        QDomDocument doc;
        doc.setContent(QByteArray(buf.constData()));
        return doc.elementsByTagName(tag).item(0).toElement().text();
    };
    QCOMPARE(element(loginTo("ZC-5330"), ZELT_MW_CAP_ENCODE, "MaxStream"), QStringLiteral("3"));
    QCOMPARE(element(loginTo("ZC-2320"), ZELT_MW_CAP_ENCODE, "MaxStream"), QStringLiteral("2"));
    QCOMPARE(element(loginTo("ZC-1210D"), ZELT_MW_CAP_NETWORK, "Mode"), QStringLiteral("2"));
    QCOMPARE(element(loginTo("ZC-2330F"), ZELT_MW_CAP_ENCODE, "NoModifyMainPicSize"), QStringLiteral("1"));

    // The DHCP-only device refuses a static address; the fixed one its main resolution.
    const QByteArray dhcp = loginTo("ZC-1210D");
    QByteArray netif = read(dhcp, ZELT_MW_NETWORK_INTERFACE_CFG);
    QCOMPARE(zelt_get_u32(netif.constData(), ZELT_NETIF_MODE), 2u);
    put32(netif, ZELT_NETIF_MODE, 0);
    QVERIFY(ZELT_MW_SetConfig(dhcp.constData(), ZELT_MW_NETWORK_INTERFACE_CFG, 0, ZELT_NETIF_SIZE, netif.constData()) != 0);

    const QByteArray fixed = loginTo("ZC-2330F");
    QByteArray main = read(fixed, ZELT_MW_VIDEO_ENCODER_CFG, 0);
    put32(main, ZELT_ENC_FPS, 60);
    QCOMPARE(ZELT_MW_SetConfig(fixed.constData(), ZELT_MW_VIDEO_ENCODER_CFG, 0, ZELT_ENC_SIZE, main.constData()), DWORD(0));
    put32(main, ZELT_ENC_WIDTH, 1280);
    put32(main, ZELT_ENC_HEIGHT, 720);
    QVERIFY(ZELT_MW_SetConfig(fixed.constData(), ZELT_MW_VIDEO_ENCODER_CFG, 0, ZELT_ENC_SIZE, main.constData()) != 0);

    // Registration text: some models have one, some none.
    QByteArray reg(ZELT_QUERY_REG_SIZE, '\0');
    QCOMPARE(ZELT_MW_QueryDeviceInfo(fixed.constData(), 0, ZELT_MW_QUERY_REGISTER, reg.data()), DWORD(0));
    QCOMPARE(QByteArray(reg.constData() + ZELT_QUERY_REG_TEXT), QByteArray("F2330"));
    QCOMPARE(ZELT_MW_QueryDeviceInfo(loginTo("ZC-2320").constData(), 0, ZELT_MW_QUERY_REGISTER, reg.data()), DWORD(0));
    QCOMPARE(QByteArray(reg.constData() + ZELT_QUERY_REG_TEXT), QByteArray());
}

void TestZeltConfig::staticAddressMovesDevice()
{
    const SimFleetProcess::Device *device = nullptr;
    for (const SimFleetProcess::Device &d : m_sim.devices()) {
        if (d.model == QLatin1String("ZC-2320N"))
            device = &d;
    }
    QVERIFY(device);
    char buffer[ZELT_MW_USERID_LEN] = {};
    QCOMPARE(ZELT_MW_Login("admin", "vorpe", device->ip.toLatin1().constData(), 0, buffer), DWORD(0));
    const QByteArray userId(buffer);
    QByteArray netif = read(userId, ZELT_MW_NETWORK_INTERFACE_CFG);
    QCOMPARE(QByteArray(netif.constData() + ZELT_NETIF_IP), device->ip.toLatin1());

    // An address another device holds is refused.
    const QByteArray taken = m_sim.devices().first().ip.toLatin1();
    zelt_put_text(netif.data(), ZELT_NETIF_IP, ZELT_NETIF_ADDR_LEN, taken.constData());
    QVERIFY(ZELT_MW_SetConfig(userId.constData(), ZELT_MW_NETWORK_INTERFACE_CFG, 0, ZELT_NETIF_SIZE, netif.constData()) != 0);

    const QByteArray moved = "127.91.1.99";
    zelt_put_text(netif.data(), ZELT_NETIF_IP, ZELT_NETIF_ADDR_LEN, moved.constData());
    QCOMPARE(ZELT_MW_SetConfig(userId.constData(), ZELT_MW_NETWORK_INTERFACE_CFG, 0, ZELT_NETIF_SIZE, netif.constData()),
             DWORD(0));
    // The device now answers on its new address only.
    char again[ZELT_MW_USERID_LEN] = {};
    QTRY_COMPARE_WITH_TIMEOUT(ZELT_MW_Login("admin", "vorpe", moved.constData(), 0, again), DWORD(0), 5000);
    QCOMPARE(QByteArray(read(QByteArray(again), ZELT_MW_NETWORK_INTERFACE_CFG).constData() + ZELT_NETIF_IP), moved);
    char old[ZELT_MW_USERID_LEN] = {};
    QCOMPARE(ZELT_MW_Login("admin", "vorpe", device->ip.toLatin1().constData(), 0, old), DWORD(ZELT_MW_ERR_CONNECT));
    ZELT_MW_Logout(again);
    ZELT_MW_Logout(userId.constData());
}

QTEST_GUILESS_MAIN(TestZeltConfig)
#include "tst_zelt_config.moc"
