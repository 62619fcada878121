#include "devcapability.h"

#include <QtTest>

class TestDevCapability : public QObject
{
    Q_OBJECT

private slots:
    void flattensInDocumentOrder();
    void fullLengthDocumentParses();
    void malformedDocumentLeavesListAlone();
    void readsLists_data();
    void readsLists();
    void findsByTagAndParent();
};

void TestDevCapability::flattensInDocumentOrder()
{
    QList<stDevCapacityInfo> list;
    QVERIFY(DevCapability::flatten("<a><b>1</b></a>", list));
    QCOMPARE(list.size(), 2);
    QCOMPARE(list[0].strParentName, QStringLiteral("#document"));
    QCOMPARE(list[0].strTagName, QStringLiteral("a"));
    QCOMPARE(list[0].strText, QStringLiteral("1"));
    QCOMPARE(list[1].strParentName, QStringLiteral("a"));
    QCOMPARE(list[1].strTagName, QStringLiteral("b"));
    QCOMPARE(list[1].strText, QStringLiteral("1"));

    // Pre-order, text of a container is its whole subtree, comments add nothing.
    QVERIFY(DevCapability::flatten("<r><x>1<!--c--><y>2</y></x><z>3</z></r>", list));
    QStringList tags;
    for (const stDevCapacityInfo &info : list)
        tags << info.strParentName + QLatin1Char('/') + info.strTagName + QLatin1Char('=') + info.strText;
    QCOMPARE(tags, QStringList({"#document/r=123", "r/x=12", "x/y=2", "r/z=3"}));
}

void TestDevCapability::fullLengthDocumentParses()
{
    // A document filling the whole 5120-byte room still parses.
    QByteArray xml("<Cap><Pad>");
    const QByteArray tail("</Pad></Cap>");
    xml.append(QByteArray(5120 - xml.size() - tail.size(), 'x'));
    xml.append(tail);
    QCOMPARE(xml.size(), 5120);
    QList<stDevCapacityInfo> list;
    QVERIFY(DevCapability::flatten(xml, list));
    QCOMPARE(list.size(), 2);
    QCOMPARE(list[1].strText.size(), 5120 - 22);
}

void TestDevCapability::malformedDocumentLeavesListAlone()
{
    QList<stDevCapacityInfo> list{{"#document", "keep", "1"}};
    QVERIFY(!DevCapability::flatten("<a><b>1</a>", list));
    QVERIFY(!DevCapability::flatten("", list));
    QCOMPARE(list.size(), 1);
    QCOMPARE(list[0].strTagName, QStringLiteral("keep"));
}

void TestDevCapability::readsLists_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("ints");
    QTest::addColumn<QList<QSize>>("sizes");
    QTest::newRow("codes") << "3,6,12" << QList<int>{3, 6, 12} << QList<QSize>{};
    QTest::newRow("sizes") << "1920*1080,1280*720" << QList<int>{}
                           << QList<QSize>{{1920, 1080}, {1280, 720}};
    QTest::newRow("junk skipped") << "1,x,,2*,*3,0*5,7" << QList<int>{1, 7} << QList<QSize>{};
    QTest::newRow("blanks") << " 2 , 4 " << QList<int>{2, 4} << QList<QSize>{};
    QTest::newRow("empty") << "" << QList<int>{} << QList<QSize>{};
}

void TestDevCapability::readsLists()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, ints);
    QFETCH(QList<QSize>, sizes);
    QCOMPARE(DevCapability::intList(text), ints);
    QCOMPARE(DevCapability::sizeList(text), sizes);
}

void TestDevCapability::findsByTagAndParent()
{
    QList<stDevCapacityInfo> list;
    QVERIFY(DevCapability::flatten(
        "<Net><Mode>9</Mode><IPType><Mode>0,2</Mode></IPType><CONV>4:1</CONV></Net>", list));
    QString text;
    QVERIFY(DevCapability::find(list, "Mode", &text));
    QCOMPARE(text, QStringLiteral("9"));
    QVERIFY(DevCapability::find(list, "Mode", &text, "IPType"));
    QCOMPARE(text, QStringLiteral("0,2"));
    QVERIFY(!DevCapability::find(list, "WorkMode"));

    int num = 0;
    int den = 0;
    QVERIFY(DevCapability::find(list, "CONV", &text));
    QVERIFY(DevCapability::ratio(text, num, den));
    QCOMPARE(num, 4);
    QCOMPARE(den, 1);
    QVERIFY(!DevCapability::ratio("4", num, den));
    QVERIFY(!DevCapability::ratio("a:1", num, den));
}

QTEST_GUILESS_MAIN(TestDevCapability)
#include "tst_devcapability.moc"
