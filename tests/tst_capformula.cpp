#include "capformula.h"
#include "chanparam.h"

#include <QtTest>

class TestCapFormula : public QObject
{
    Q_OBJECT

private slots:
    void recordDays_data();
    void recordDays();
    void recordDaysWithoutBitRate();
    void diskSpace_data();
    void diskSpace();
    void recommendation_data();
    void recommendation();
    void bitRateRange();
    void labelsForDeviceSizes_data();
    void labelsForDeviceSizes();
    void frameRatesUpTo();
};

void TestCapFormula::recordDays_data()
{
    QTest::addColumn<qint64>("diskGB");
    QTest::addColumn<double>("hours");
    QTest::addColumn<QList<qint32>>("totals");
    QTest::addColumn<qint64>("days");

    // 4096 kbit/s is exactly 1800 MB an hour.
    QTest::newRow("1TB, 24 h, 4096") << qint64(1000) << 24.0 << QList<qint32>{4096} << qint64(21);
    // 4000 kbit/s is 1757.8125 MB an hour, counted as 1758: 192 days unrounded.
    QTest::newRow("rounded up per channel") << qint64(361) << 1.0 << QList<qint32>{4000} << qint64(191);
    // Each channel rounds on its own: 2 x ceil(0.439...) = 2 MB, not 1.
    QTest::newRow("two tiny channels") << qint64(1) << 1.0 << QList<qint32>{1, 1} << qint64(467);
    QTest::newRow("largest row") << qint64(24000) << 24.0 << QList<qint32>{1024 * 16384} << qint64(0);
    QTest::newRow("custom 1 GB") << qint64(1) << 24.0 << QList<qint32>{4096} << qint64(0);
    QTest::newRow("largest custom disk")
        << qint64(999999999) << 1.0 << QList<qint32>{128} << qint64(16403508755);
}

void TestCapFormula::recordDays()
{
    QFETCH(qint64, diskGB);
    QFETCH(double, hours);
    QFETCH(QList<qint32>, totals);
    QFETCH(qint64, days);

    qint64 lDays = -1;
    QVERIFY(CCapFormula::recordDays(diskGB, hours, totals, lDays));
    QCOMPARE(lDays, days);
}

void TestCapFormula::recordDaysWithoutBitRate()
{
    qint64 lDays = 7;
    QVERIFY(!CCapFormula::recordDays(1000, 24, {0}, lDays));
    QVERIFY(!CCapFormula::recordDays(1000, 24, {0, 0}, lDays));
    QVERIFY(!CCapFormula::recordDays(1000, 24, {}, lDays));
    QCOMPARE(lDays, qint64(7));
    // One channel with a bit rate is enough.
    QVERIFY(CCapFormula::recordDays(1000, 24, {0, 4096}, lDays));
    QCOMPARE(lDays, qint64(21));
}

void TestCapFormula::diskSpace_data()
{
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("hours");
    QTest::addColumn<QList<qint32>>("totals");
    QTest::addColumn<qint64>("gb");
    QTest::addColumn<qint64>("tb");

    QTest::newRow("30 days of 4096") << 30 << 24 << QList<qint32>{4096} << qint64(1296) << qint64(2);
    // Unrounded 1757.8125 MB an hour: 15398.4 GB; rounded per channel it would be 15401.
    QTest::newRow("not rounded per channel") << 365 << 24 << QList<qint32>{4000} << qint64(15399)
                                             << qint64(17);
    QTest::newRow("one terabyte") << 1 << 1 << QList<qint32>{2127644} << qint64(935) << qint64(1);
    QTest::newRow("just over") << 1 << 1 << QList<qint32>{2129920} << qint64(936) << qint64(2);
    // 1024 channels at 16384 kbit/s: an hour of it no longer fits a 32-bit product.
    QTest::newRow("largest row") << 365 << 24 << QList<qint32>{1024 * 16384} << qint64(64585728)
                                 << qint64(69076);
    QTest::newRow("no bit rate") << 30 << 24 << QList<qint32>{0} << qint64(0) << qint64(0);
    QTest::newRow("sum of rows") << 1 << 24 << QList<qint32>{4096, 4096} << qint64(87) << qint64(1);
}

void TestCapFormula::diskSpace()
{
    QFETCH(int, days);
    QFETCH(int, hours);
    QFETCH(QList<qint32>, totals);
    QFETCH(qint64, gb);
    QFETCH(qint64, tb);

    const qint64 lGB = CCapFormula::diskSpaceGB(days, hours, totals);
    QCOMPARE(lGB, gb);
    QCOMPARE(CCapFormula::diskSpaceTB(lGB), tb);
}

void TestCapFormula::recommendation_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<int>("frameRate");
    QTest::addColumn<quint32>("bitRate");

    QTest::newRow("1080P 25") << "1920*1080" << 25 << 4096u;
    QTest::newRow("1080P 15") << "1920*1080" << 15 << 2048u;
    QTest::newRow("1080P 50") << "1920*1080" << 50 << 6144u;
    QTest::newRow("D1 25") << "720*576" << 25 << 1024u;
    QTest::newRow("CIF 8") << "352*288" << 8 << 256u;
    QTest::newRow("12MP 60") << "4000*3000" << 60 << 13824u;
    QTest::newRow("12MP 30") << "4000*3000" << 30 << 9216u;
    QTest::newRow("20 is slow") << "1280*720" << 20 << 1024u;
    QTest::newRow("704*576 not listed") << "704*576" << 25 << 1024u;
    QTest::newRow("unknown size") << "2560*1440" << 25 << 0u;
}

void TestCapFormula::recommendation()
{
    QFETCH(QString, size);
    QFETCH(int, frameRate);
    QFETCH(quint32, bitRate);

    QCOMPARE(CChanParam::frameRateAdjusted(CChanParam::baseBitRate(size), frameRate), bitRate);
}

void TestCapFormula::bitRateRange()
{
    QVERIFY(!CChanParam::isBitRateInRange(0));
    QVERIFY(!CChanParam::isBitRateInRange(127));
    QVERIFY(CChanParam::isBitRateInRange(128));
    QVERIFY(CChanParam::isBitRateInRange(16384));
    QVERIFY(!CChanParam::isBitRateInRange(16385));
}

void TestCapFormula::labelsForDeviceSizes_data()
{
    QTest::addColumn<quint32>("width");
    QTest::addColumn<quint32>("height");
    QTest::addColumn<QString>("label");
    QTest::addColumn<quint32>("rate");
    QTest::newRow("1080P") << 1920u << 1080u << "1080P" << 4096u;
    QTest::newRow("3MP table") << 2048u << 1560u << "3MP" << 5120u;
    QTest::newRow("2048*1536 not listed") << 2048u << 1536u << "" << 0u;
    QTest::newRow("D1 704") << 704u << 576u << "D1" << 1024u;
    QTest::newRow("D1 NTSC") << 720u << 480u << "D1" << 1024u;
    QTest::newRow("CIF") << 352u << 288u << "CIF" << 512u;
    QTest::newRow("outside") << 2560u << 1440u << "" << 0u;
    QTest::newRow("zero") << 0u << 1080u << "" << 0u;
}

void TestCapFormula::labelsForDeviceSizes()
{
    QFETCH(quint32, width);
    QFETCH(quint32, height);
    QFETCH(QString, label);
    QFETCH(quint32, rate);
    QString strLabel;
    quint32 ulRate = 0;
    QCOMPARE(CChanParam::labelForSize(width, height, strLabel, ulRate), !label.isEmpty());
    QCOMPARE(strLabel, label);
    QCOMPARE(ulRate, rate);
}

void TestCapFormula::frameRatesUpTo()
{
    QCOMPARE(CChanParam::frameRates(60), QList<int>({1, 3, 5, 8, 10, 15, 20, 25, 30, 50, 60}));
    QCOMPARE(CChanParam::frameRates(5), QList<int>({1, 3, 5}));

    const auto listRes = CChanParam::resolutions();
    QCOMPARE(listRes.size(), 12);
    QCOMPARE(listRes.first(), qMakePair(QStringLiteral("12MP"), QStringLiteral("4000*3000")));
    QCOMPARE(listRes.last(), qMakePair(QStringLiteral("CIF"), QStringLiteral("352*288")));
}

QTEST_GUILESS_MAIN(TestCapFormula)
#include "tst_capformula.moc"
