#include "searchedit.h"
#include "searcheditbox.h"

#include <QApplication>
#include <QVariantAnimation>
#include <QVBoxLayout>
#include <QtTest>

class TestSearchEdit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsWithHint();
    void typingReportsEveryChange();
    void clearingThenLeavingRestoresHint();
    void enteringHintReportsEmptyFilter();
    void whitespaceIsKeptAsFilter();

private:
    QStringList filters() const;
    void focusBox();
    void focusOther();

    QWidget *m_pWindow = nullptr;
    SearchEdit *m_pSearch = nullptr;
    SearchEditBox *m_pBox = nullptr;
    QLineEdit *m_pOther = nullptr;
    QSignalSpy *m_pSpy = nullptr;
};

static const char kHint[] = "键入关键词";

void TestSearchEdit::init()
{
    m_pWindow = new QWidget;
    auto *pLayout = new QVBoxLayout(m_pWindow);
    m_pSearch = new SearchEdit(m_pWindow);
    m_pOther = new QLineEdit(m_pWindow);
    pLayout->addWidget(m_pSearch);
    pLayout->addWidget(m_pOther);
    m_pBox = m_pSearch->findChild<SearchEditBox *>(QStringLiteral("lineEdit"));
    QVERIFY(m_pBox);
    m_pSpy = new QSignalSpy(m_pSearch, &SearchEdit::input_changed);
    m_pWindow->show();
    QApplication::setActiveWindow(m_pWindow);
    QVERIFY(QTest::qWaitForWindowActive(m_pWindow));
    focusOther();
    m_pSpy->clear();
}

void TestSearchEdit::cleanup()
{
    delete m_pSpy;
    delete m_pWindow;
    // The clear button's fade animations outlive the box until the next animation
    // tick stops them; run one tick and free them, or they are reported as leaks.
    QVariantAnimation tick;
    tick.setDuration(1);
    tick.setStartValue(0);
    tick.setEndValue(1);
    QSignalSpy finished(&tick, &QAbstractAnimation::finished);
    tick.start();
    QVERIFY(finished.wait(2000));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QStringList TestSearchEdit::filters() const
{
    QStringList listOut;
    for (const QList<QVariant> &args : *m_pSpy)
        listOut << args.at(0).toString();
    return listOut;
}

void TestSearchEdit::focusBox()
{
    m_pBox->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(m_pBox->hasFocus());
}

void TestSearchEdit::focusOther()
{
    m_pOther->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(m_pOther->hasFocus());
}

void TestSearchEdit::startsWithHint()
{
    QCOMPARE(m_pSearch->minimumHeight(), 22);
    QCOMPARE(m_pSearch->maximumHeight(), 22);
    QVERIFY(m_pBox->isShowingHint());
    QCOMPARE(m_pBox->text(), QString::fromUtf8(kHint));
    QVERIFY(m_pBox->styleSheet().contains(QStringLiteral("italic")));
    QVERIFY(!m_pBox->isClearButtonEnabled());
}

void TestSearchEdit::typingReportsEveryChange()
{
    focusBox();
    QTest::keyClicks(m_pBox, QStringLiteral("192"));
    focusOther();
    QCOMPARE(filters(), (QStringList{QString(), "1", "19", "192"}));
    QCOMPARE(m_pBox->text(), QStringLiteral("192"));
    QVERIFY(!m_pBox->isShowingHint());
    QVERIFY(!m_pBox->styleSheet().contains(QStringLiteral("italic")));

    // Coming back to a box with text keeps it.
    m_pSpy->clear();
    focusBox();
    QCOMPARE(m_pBox->text(), QStringLiteral("192"));
    QCOMPARE(m_pSpy->count(), 0);
}

void TestSearchEdit::clearingThenLeavingRestoresHint()
{
    focusBox();
    QVERIFY(m_pBox->isClearButtonEnabled());
    QTest::keyClicks(m_pBox, QStringLiteral("ab"));
    m_pSpy->clear();
    m_pBox->clear();
    QCOMPARE(filters(), QStringList{QString()});
    focusOther();
    QCOMPARE(filters(), (QStringList{QString(), QString()}));
    QVERIFY(m_pBox->isShowingHint());
    QCOMPARE(m_pBox->text(), QString::fromUtf8(kHint));
}

void TestSearchEdit::enteringHintReportsEmptyFilter()
{
    focusBox();
    QCOMPARE(m_pBox->text(), QString());
    QCOMPARE(filters(), QStringList{QString()});
    // Leaving an untouched box shows the hint again without a non-empty filter.
    focusOther();
    for (const QString &strFilter : filters())
        QVERIFY(strFilter.isEmpty());
    QVERIFY(m_pBox->isShowingHint());
}

void TestSearchEdit::whitespaceIsKeptAsFilter()
{
    focusBox();
    QTest::keyClicks(m_pBox, QStringLiteral(" "));
    focusOther();
    QVERIFY(!m_pBox->isShowingHint());
    QCOMPARE(filters().last(), QStringLiteral(" "));
}

QTEST_MAIN(TestSearchEdit)
#include "tst_searchedit.moc"
