#include "uidevicebean.h"

#include <QtTest>

class TestUIDeviceBean : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void copiesKeepEveryMember();
    void travelsThroughQVariant();
    void statusTexts_data();
    void statusTexts();
    void busyCodes();
    void macFormatting_data();
    void macFormatting();
};

void TestUIDeviceBean::defaults()
{
    const CUIDeviceBean bean;
    QCOMPARE(bean.m_strIp, QStringLiteral("0.0.0.0"));
    QCOMPARE(bean.m_lDevId, -1);
    QCOMPARE(bean.m_lReserved1, -1);
    QCOMPARE(bean.m_lStatus, -1);
    QCOMPARE(bean.m_lReserved2, 0);
    QCOMPARE(int(bean.m_cFlagA), 0);
    QCOMPARE(int(bean.m_cFlagB), 0);
    QVERIFY(bean.m_strDevType.isEmpty());
    QVERIFY(bean.m_strLoginKey.isEmpty());
    QVERIFY(bean.m_strMask.isEmpty());
    QVERIFY(CUIDeviceBean::statusText(bean.m_lStatus).isEmpty());
}

void TestUIDeviceBean::copiesKeepEveryMember()
{
    CUIDeviceBean bean;
    bean.m_cFlagA = 1;
    bean.m_cFlagB = 2;
    bean.m_lDevId = 42;
    bean.m_lStatus = DevStatusLogged;
    bean.m_strIp = QStringLiteral("127.0.0.5");
    bean.m_strDevType = QStringLiteral("NVR");
    bean.m_strLoginKey = QStringLiteral("7");
    bean.m_strMac = QStringLiteral("001122aabbcc");
    bean.m_strExtSerial = QStringLiteral("SN-ext");

    const CUIDeviceBean copy(bean);
    CUIDeviceBean assigned;
    assigned = bean;
    for (const CUIDeviceBean *p : {&copy, const_cast<const CUIDeviceBean *>(&assigned)}) {
        QCOMPARE(p->m_lDevId, 42);
        QCOMPARE(int(p->m_cFlagA), 1);
        QCOMPARE(int(p->m_cFlagB), 2);
        QCOMPARE(p->m_lStatus, int(DevStatusLogged));
        QCOMPARE(p->m_strIp, bean.m_strIp);
        QCOMPARE(p->m_strDevType, bean.m_strDevType);
        QCOMPARE(p->m_strLoginKey, bean.m_strLoginKey);
        QCOMPARE(p->m_strExtSerial, bean.m_strExtSerial);
    }
    // Copies are independent values.
    assigned.m_strIp = QStringLiteral("127.0.0.6");
    QCOMPARE(bean.m_strIp, QStringLiteral("127.0.0.5"));
}

void TestUIDeviceBean::travelsThroughQVariant()
{
    CUIDeviceBean bean;
    bean.m_lDevId = 3;
    QList<CUIDeviceBean> listBeans{bean, bean};
    const QVariant v = QVariant::fromValue(listBeans);
    QCOMPARE(v.value<QList<CUIDeviceBean>>().size(), 2);
    QCOMPARE(v.value<QList<CUIDeviceBean>>().at(1).m_lDevId, 3);
}

void TestUIDeviceBean::statusTexts_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");

    QTest::newRow("0") << 0 << QStringLiteral("未登录");
    QTest::newRow("3") << 3 << QStringLiteral("未登录(正在重启或用户名、密码错误)");
    QTest::newRow("15") << 15 << QStringLiteral("正在导入...");
    QTest::newRow("18") << 18 << QStringLiteral("正在修改...");
    QTest::newRow("22") << 22 << QStringLiteral("修改失败(IP地址无效)");
    QTest::newRow("16 unused") << 16 << QString();
    QTest::newRow("17 not in device table") << 17 << QString();
    QTest::newRow("23") << 23 << QStringLiteral("正在重启...");
    QTest::newRow("24") << 24 << QStringLiteral("未登录(账户已锁定)");
    QTest::newRow("25") << 25 << QString();
    QTest::newRow("-1") << -1 << QString();
}

void TestUIDeviceBean::statusTexts()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(CUIDeviceBean::statusText(code), text);
}

void TestUIDeviceBean::busyCodes()
{
    QList<int> listBusy;
    for (int code = -1; code <= 23; ++code) {
        if (CUIDeviceBean::isBusyStatus(code))
            listBusy << code;
    }
    QCOMPARE(listBusy, (QList<int>{6, 9, 12, 15, 18}));
}

void TestUIDeviceBean::macFormatting_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("shown");

    QTest::newRow("twelve digits") << "001122aabbcc" << "00:11:22:aa:bb:cc";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("two digits") << "0a" << "0a";
    QTest::newRow("odd length") << "00112" << "00112";
    QTest::newRow("ten digits") << "0011223344" << "0011223344";
    QTest::newRow("already formatted") << "00:11:22:aa:bb:cc" << "00:11:22:aa:bb:cc";
    QTest::newRow("not hexadecimal") << "00112233445g" << "00112233445g";
    QTest::newRow("upper case") << "A1B2C3D4E5F6" << "A1:B2:C3:D4:E5:F6";
}

void TestUIDeviceBean::macFormatting()
{
    QFETCH(QString, raw);
    QFETCH(QString, shown);
    QCOMPARE(CUIDeviceBean::formatMac(raw), shown);
}

QTEST_MAIN(TestUIDeviceBean)
#include "tst_uidevicebean.moc"
