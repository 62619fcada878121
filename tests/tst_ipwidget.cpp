#include "ippartlineedit.h"
#include "ipwidget.h"

#include <QApplication>
#include <QLabel>
#include <QtTest>

class TestIpWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void layoutIsFixed();
    void textNormalises_data();
    void textNormalises();
    void setTextAcceptsOnlyCompleteAddresses_data();
    void setTextAcceptsOnlyCompleteAddresses();
    void changedCarriesRawText();
    void editedOnlyForUserInput();
    void dotMovesOnAndStopsAtLastField();
    void completeOctetAdvances_data();
    void completeOctetAdvances();
    void dotAfterAdvanceDoesNotSkipAField();
    void enteringFieldSelectsText();
    void fieldsRejectNonOctets_data();
    void fieldsRejectNonOctets();

private:
    IpPartLineEdit *part(int i) const { return m_listParts.at(i); }
    void setParts(const QStringList &listTexts);
    void focusPart(int i);
    // Types into whatever field has the focus, as a user would.
    void typeKeys(const QString &strKeys);

    QWidget *m_pWindow = nullptr;
    IpWidget *m_pIp = nullptr;
    QList<IpPartLineEdit *> m_listParts;
};

void TestIpWidget::init()
{
    m_pWindow = new QWidget;
    m_pIp = new IpWidget(m_pWindow);
    m_pIp->setFixedSize(160, 25);
    m_listParts = m_pIp->findChildren<IpPartLineEdit *>();
    m_pWindow->show();
    QApplication::setActiveWindow(m_pWindow);
    QVERIFY(QTest::qWaitForWindowActive(m_pWindow));
}

void TestIpWidget::cleanup()
{
    delete m_pWindow;
    m_pWindow = nullptr;
}

void TestIpWidget::setParts(const QStringList &listTexts)
{
    for (int i = 0; i < 4; ++i)
        part(i)->setText(listTexts.at(i));
}

void TestIpWidget::focusPart(int i)
{
    part(i)->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(part(i)->hasFocus());
}

void TestIpWidget::typeKeys(const QString &strKeys)
{
    for (const QChar ch : strKeys)
        QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
}

void TestIpWidget::layoutIsFixed()
{
    QCOMPARE(m_listParts.size(), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(part(i)->geometry(), QRect(40 * i, 0, 40, 20));
        QCOMPARE(part(i)->maxLength(), 3);
        QVERIFY(!part(i)->hasFrame());
    }
    const QList<QLabel *> listDots = m_pIp->findChildren<QLabel *>();
    QCOMPARE(listDots.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(listDots.at(i)->geometry(), QRect(37 + 40 * i, 1, 6, 18));
        QCOMPARE(listDots.at(i)->text(), QStringLiteral("."));
    }
    QCOMPARE(part(0)->nextInFocusChain(), part(1));
    QCOMPARE(part(2)->nextInFocusChain(), part(3));
}

void TestIpWidget::textNormalises_data()
{
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<QString>("text");

    QTest::newRow("leading zeros, empty last") << QStringList{"192", "168", "001", ""} << "192.168.1.0";
    QTest::newRow("complete") << QStringList{"10", "0", "0", "1"} << "10.0.0.1";
    QTest::newRow("zero octets") << QStringList{"010", "000", "00", "0"} << "10.0.0.0";
    QTest::newRow("empty first") << QStringList{"", "1", "2", "3"} << QString();
    QTest::newRow("zero first") << QStringList{"0", "1", "2", "3"} << QString();
    QTest::newRow("all empty") << QStringList{"", "", "", ""} << QString();
}

void TestIpWidget::textNormalises()
{
    QFETCH(QStringList, parts);
    QFETCH(QString, text);
    setParts(parts);
    QCOMPARE(m_pIp->text(), text);
}

void TestIpWidget::setTextAcceptsOnlyCompleteAddresses_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("parts");

    const QStringList listEmpty{"", "", "", ""};
    QTest::newRow("valid") << "10.0.0.1" << QStringList{"10", "0", "0", "1"};
    QTest::newRow("max") << "255.255.255.0" << QStringList{"255", "255", "255", "0"};
    QTest::newRow("octet too big") << "10.0.0.256" << listEmpty;
    QTest::newRow("three octets") << "10.0.0" << listEmpty;
    QTest::newRow("trailing dot") << "10.0.0.1." << listEmpty;
    QTest::newRow("five octets") << "10.0.0.1.5" << listEmpty;
    QTest::newRow("letters") << "a.b.c.d" << listEmpty;
    QTest::newRow("blank inside") << "10.0 .0.1" << listEmpty;
    QTest::newRow("empty") << "" << listEmpty;
}

void TestIpWidget::setTextAcceptsOnlyCompleteAddresses()
{
    QFETCH(QString, input);
    QFETCH(QStringList, parts);
    setParts({"1", "2", "3", "4"});
    m_pIp->setText(input);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(part(i)->text(), parts.at(i));
}

void TestIpWidget::changedCarriesRawText()
{
    QSignalSpy changed(m_pIp, &IpWidget::textChanged);
    QSignalSpy edited(m_pIp, &IpWidget::textEdited);
    m_pIp->setText(QStringLiteral("10.0.0.1"));
    QCOMPARE(changed.count(), 4);
    QCOMPARE(changed.at(2).at(0).toString(), QStringLiteral("10.0.0."));
    QCOMPARE(changed.last().at(0).toString(), QStringLiteral("10.0.0.1"));
    QCOMPARE(edited.count(), 0);

    m_pIp->setPartsText(QString());
    changed.clear();
    setParts({"010", "", "", ""});
    QCOMPARE(changed.first().at(0).toString(), QStringLiteral("010..."));

    changed.clear();
    m_pIp->setPartsText(QString());
    QCOMPARE(changed.last().at(0).toString(), QStringLiteral("..."));
    QCOMPARE(m_pIp->text(), QString());
}

void TestIpWidget::editedOnlyForUserInput()
{
    QSignalSpy edited(m_pIp, &IpWidget::textEdited);
    focusPart(0);
    typeKeys(QStringLiteral("19"));
    QCOMPARE(edited.count(), 2);
    QCOMPARE(edited.last().at(0).toString(), QStringLiteral("19..."));
}

void TestIpWidget::dotMovesOnAndStopsAtLastField()
{
    focusPart(0);
    typeKeys(QStringLiteral("1"));
    part(1)->setText(QStringLiteral("168"));
    QTest::keyClick(part(0), Qt::Key_Period);
    QTRY_VERIFY(part(1)->hasFocus());
    QCOMPARE(part(0)->text(), QStringLiteral("1"));
    QCOMPARE(part(1)->selectedText(), QStringLiteral("168"));

    focusPart(3);
    typeKeys(QStringLiteral("7"));
    QTest::keyClick(part(3), Qt::Key_Period);
    QVERIFY(part(3)->hasFocus());
    QCOMPARE(part(3)->text(), QStringLiteral("7"));
}

void TestIpWidget::completeOctetAdvances_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("advances");

    QTest::newRow("three digits") << "192" << true;
    QTest::newRow("two digits, no third possible") << "26" << true;
    QTest::newRow("two digits, 25 may grow") << "25" << false;
    QTest::newRow("two zeros") << "00" << false;
    QTest::newRow("one digit") << "9" << false;
    QTest::newRow("three zeros") << "000" << true;
}

void TestIpWidget::completeOctetAdvances()
{
    QFETCH(QString, typed);
    QFETCH(bool, advances);
    part(1)->setText(QStringLiteral("5"));
    focusPart(0);
    typeKeys(typed);
    QCOMPARE(part(0)->text(), typed);
    QCOMPARE(part(1)->hasFocus(), advances);
    if (advances)
        QCOMPARE(part(1)->selectedText(), QStringLiteral("5"));

    // The last field has nowhere to go.
    focusPart(3);
    typeKeys(typed);
    QVERIFY(part(3)->hasFocus());
}

void TestIpWidget::dotAfterAdvanceDoesNotSkipAField()
{
    focusPart(0);
    typeKeys(QStringLiteral("192.168.1.20"));
    QCOMPARE(m_pIp->text(), QStringLiteral("192.168.1.20"));
    QVERIFY(part(3)->hasFocus());

    // A dot typed later in a field that was entered by the advance moves on as usual.
    m_pIp->setPartsText(QString());
    focusPart(0);
    typeKeys(QStringLiteral("172"));
    typeKeys(QStringLiteral("1.2"));
    QCOMPARE(part(1)->text(), QStringLiteral("1"));
    QCOMPARE(part(2)->text(), QStringLiteral("2"));
}

void TestIpWidget::enteringFieldSelectsText()
{
    part(1)->setText(QStringLiteral("168"));
    focusPart(0);
    QTest::keyClick(part(0), Qt::Key_Tab);
    QTRY_VERIFY(part(1)->hasFocus());
    QCOMPARE(part(1)->selectedText(), QStringLiteral("168"));
    // Typing replaces the selected octet.
    typeKeys(QStringLiteral("17"));
    QCOMPARE(part(1)->text(), QStringLiteral("17"));

    // A click keeps the selection too, although it places the cursor after the focus arrives.
    part(3)->setText(QStringLiteral("254"));
    QTest::mouseClick(part(3), Qt::LeftButton, Qt::NoModifier, QPoint(5, 10));
    QTRY_VERIFY(part(3)->hasFocus());
    QTRY_COMPARE(part(3)->selectedText(), QStringLiteral("254"));
}

void TestIpWidget::fieldsRejectNonOctets_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");

    QTest::newRow("letters") << "ab" << "";
    QTest::newRow("256") << "256" << "25";
    QTest::newRow("25 then 5") << "255" << "255";
    QTest::newRow("999") << "999" << "99";
    QTest::newRow("minus") << "-1" << "1";
    QTest::newRow("four digits") << "1234" << "123";
}

void TestIpWidget::fieldsRejectNonOctets()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    focusPart(3);
    typeKeys(typed);
    QCOMPARE(part(3)->text(), kept);
}

QTEST_MAIN(TestIpWidget)
#include "tst_ipwidget.moc"
