#include "dialoghelper.h"
#include "frametitle.h"
#include "langconfig.h"
#include "msgdlg.h"
#include "platformutils.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

// The title bar reads and repairs lang/lang.cfg relative to the working
// directory, so every case runs in a fresh directory of its own.
class TestFrameTitle : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void languageFileRepairedAtConstruction();
    void checkMarkFollowsFile_data();
    void checkMarkFollowsFile();
    void helpMenuLayout();
    void menuActionsEmitSignals();
    void choosingLanguageWritesFileAndNotes();
    void maxButtonImageFollowsState();
    void doubleClickOutsideButtonZoneOnly();
    void dragMovesWindowUnlessMaximised();
    void closeAnsweredNoKeepsRunning();
    void closeAnsweredYesQuits();

private:
    void writeLangFile(const QByteArray &content);
    QByteArray langFile() const;
    QAction *action(CFrameTitle &title, const QString &text) const;

    QScopedPointer<QTemporaryDir> m_pDir;
    QString m_strOldDir;
};

void TestFrameTitle::initTestCase()
{
    // Only an explicit quit may end the loop, not the question's window closing.
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestFrameTitle::init()
{
    m_pDir.reset(new QTemporaryDir);
    QVERIFY(m_pDir->isValid());
    m_strOldDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_pDir->path()));
    QVERIFY(QDir().mkpath(QStringLiteral("lang")));
}

void TestFrameTitle::cleanup()
{
    QDir::setCurrent(m_strOldDir);
    m_pDir.reset();
}

void TestFrameTitle::writeLangFile(const QByteArray &content)
{
    QFile file(CLangConfig::defaultPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray TestFrameTitle::langFile() const
{
    QFile file(CLangConfig::defaultPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QAction *TestFrameTitle::action(CFrameTitle &title, const QString &text) const
{
    for (QAction *pAction : title.findChildren<QAction *>()) {
        if (pAction->text() == text)
            return pAction;
    }
    return nullptr;
}

void TestFrameTitle::languageFileRepairedAtConstruction()
{
    writeLangFile("Lang_EN\n");
    CFrameTitle title;
    const int nSystem = CPlatformUtils::systemLanguageId();
    if (nSystem == CPlatformUtils::LangIdChineseSimplified)
        QCOMPARE(langFile(), QByteArray("Lang-CN"));
    else if (nSystem == CPlatformUtils::LangIdEnglishUS)
        QCOMPARE(langFile(), QByteArray("Lang_EN"));
    else
        QCOMPARE(langFile(), QByteArray("Lang_EN\n"));
}

void TestFrameTitle::checkMarkFollowsFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("english");

    QTest::newRow("English") << QByteArray("Lang_EN") << true;
    QTest::newRow("Chinese") << QByteArray("Lang-CN") << false;
}

void TestFrameTitle::checkMarkFollowsFile()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, english);
    writeLangFile(content);
    CFrameTitle title;
    QAction *pEnglish = action(title, QStringLiteral("English(US)"));
    QAction *pChinese = action(title, QStringLiteral("中文(简体)"));
    QVERIFY(pEnglish && pChinese);
    QCOMPARE(pEnglish->isChecked(), english);
    QCOMPARE(pChinese->isChecked(), !english);
    QCOMPARE(pEnglish->isCheckable(), english);
    QCOMPARE(pChinese->isCheckable(), !english);
}

void TestFrameTitle::helpMenuLayout()
{
    writeLangFile("Lang-CN");
    CFrameTitle title;
    auto *pHelpBtn = title.findChild<QPushButton *>(QStringLiteral("oHelpBtn"));
    QVERIFY(pHelpBtn && pHelpBtn->menu());
    const QList<QAction *> listActions = pHelpBtn->menu()->actions();
    QCOMPARE(listActions.size(), 3);
    QCOMPARE(listActions.at(0)->text(), QStringLiteral("用户手册"));
    QCOMPARE(listActions.at(0)->shortcut(), QKeySequence(Qt::Key_F1));
    QCOMPARE(listActions.at(1)->text(), QStringLiteral("关于Corvane"));
    QCOMPARE(listActions.at(2)->text(), QStringLiteral("语言"));
    const QList<QAction *> listLang = listActions.at(2)->menu()->actions();
    QCOMPARE(listLang.size(), 2);
    QCOMPARE(listLang.at(0)->text(), QStringLiteral("English(US)"));
    QCOMPARE(listLang.at(1)->text(), QStringLiteral("中文(简体)"));
    QVERIFY(pHelpBtn->styleSheet().contains(QStringLiteral("menu-indicator")));
}

void TestFrameTitle::menuActionsEmitSignals()
{
    writeLangFile("Lang-CN");
    CFrameTitle title;
    QSignalSpy about(&title, &CFrameTitle::showAboutSignal);
    QSignalSpy help(&title, &CFrameTitle::showHelpSignal);
    QSignalSpy max(&title, &CFrameTitle::showMaxSignal);
    QSignalSpy min(&title, &CFrameTitle::showMinSignal);
    action(title, QStringLiteral("关于Corvane"))->trigger();
    action(title, QStringLiteral("用户手册"))->trigger();
    title.findChild<QPushButton *>(QStringLiteral("oMaxBtn"))->click();
    title.findChild<QPushButton *>(QStringLiteral("oMinBtn"))->click();
    QCOMPARE(about.count(), 1);
    QCOMPARE(help.count(), 1);
    QCOMPARE(max.count(), 1);
    QCOMPARE(min.count(), 1);
}

void TestFrameTitle::choosingLanguageWritesFileAndNotes()
{
    writeLangFile("Lang-CN");
    CFrameTitle title;
    QAction *pEnglish = action(title, QStringLiteral("English(US)"));
    for (int i = 0; i < 2; ++i) {
        CMsgDlg::setNextAnswer(QDialog::Rejected);
        pEnglish->trigger();
        const QList<CMsgDlg::stAnswered> listNotes = CMsgDlg::takeAnswered();
        QCOMPARE(listNotes.size(), 1);
        QCOMPARE(listNotes.at(0).title, QStringLiteral("信息"));
        QCOMPARE(listNotes.at(0).text, QStringLiteral("您修改了系统语言，将在下一次启动后生效."));
        QCOMPARE(listNotes.at(0).kind, int(MsgNote));
        QCOMPARE(langFile(), QByteArray("Lang_EN"));
    }
    // The running interface keeps its check marks until the next start.
    QVERIFY(!pEnglish->isChecked());
    QVERIFY(action(title, QStringLiteral("中文(简体)"))->isChecked());

    CMsgDlg::setNextAnswer(QDialog::Rejected);
    title.onChinese();
    QCOMPARE(CMsgDlg::takeAnswered().size(), 1);
    QCOMPARE(langFile(), QByteArray("Lang-CN"));
}

void TestFrameTitle::maxButtonImageFollowsState()
{
    CFrameTitle title;
    auto *pMaxBtn = title.findChild<QPushButton *>(QStringLiteral("oMaxBtn"));
    title.isMaxWindow(true);
    QVERIFY(pMaxBtn->styleSheet().contains(QStringLiteral(":/images/frame_restore_inactive.png")));
    QVERIFY(pMaxBtn->styleSheet().contains(QStringLiteral(":/images/frame_restore_active.png")));
    title.isMaxWindow(false);
    QVERIFY(pMaxBtn->styleSheet().contains(QStringLiteral(":/images/frame_max_inactive.png")));
    QVERIFY(!pMaxBtn->styleSheet().contains(QStringLiteral("restore")));
}

void TestFrameTitle::doubleClickOutsideButtonZoneOnly()
{
    QWidget window;
    auto *pLayout = new QVBoxLayout(&window);
    auto *pTitle = new CFrameTitle(&window);
    pLayout->addWidget(pTitle);
    pLayout->addStretch();
    window.resize(900, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy max(pTitle, &CFrameTitle::showMaxSignal);

    auto *pLogo = pTitle->findChild<QPushButton *>(QStringLiteral("oLogoBtn"));
    QTest::mouseDClick(pTitle, Qt::LeftButton, Qt::NoModifier, pLogo->geometry().center());
    QCOMPARE(max.count(), 1);
    QTest::mouseDClick(pTitle, Qt::LeftButton, Qt::NoModifier, QPoint(pTitle->width() - 180, 10));
    QCOMPARE(max.count(), 2);
    // Inside the rightmost 170 pixels, even where no button is.
    QTest::mouseDClick(pTitle, Qt::LeftButton, Qt::NoModifier, QPoint(pTitle->width() - 170, 10));
    QCOMPARE(max.count(), 2);
    auto *pMinBtn = pTitle->findChild<QPushButton *>(QStringLiteral("oMinBtn"));
    QTest::mouseDClick(pMinBtn, Qt::LeftButton);
    QCOMPARE(max.count(), 2);
}

void TestFrameTitle::dragMovesWindowUnlessMaximised()
{
    QWidget window;
    auto *pLayout = new QVBoxLayout(&window);
    auto *pTitle = new CFrameTitle(&window);
    pLayout->addWidget(pTitle);
    window.resize(900, 200);
    window.move(100, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint start = window.pos();

    QTest::mousePress(pTitle, Qt::LeftButton, Qt::NoModifier, QPoint(200, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(230, 25), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pTitle, &move);
    QTest::mouseRelease(pTitle, Qt::LeftButton, Qt::NoModifier, QPoint(230, 25));
    QCOMPARE(window.pos(), start + QPoint(30, 15));

    // Moving without the button held does nothing.
    QMouseEvent hover(QEvent::MouseMove, QPointF(260, 25), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(pTitle, &hover);
    QCOMPARE(window.pos(), start + QPoint(30, 15));

    pTitle->isMaxWindow(true);
    const QPoint maxPos = window.pos();
    QTest::mousePress(pTitle, Qt::LeftButton, Qt::NoModifier, QPoint(200, 10));
    QApplication::sendEvent(pTitle, &move);
    QCOMPARE(window.pos(), maxPos);

    // A press in the button zone does not start a drag either.
    pTitle->isMaxWindow(false);
    QTest::mousePress(pTitle, Qt::LeftButton, Qt::NoModifier, QPoint(pTitle->width() - 100, 10));
    QApplication::sendEvent(pTitle, &move);
    QCOMPARE(window.pos(), maxPos);
}

void TestFrameTitle::closeAnsweredNoKeepsRunning()
{
    CFrameTitle title;
    auto seen = DialogHelper::onNextModal([](QWidget *pDlg) {
        QCOMPARE(pDlg->findChild<QPushButton *>(QStringLiteral("oOkBtn"))->text(), QStringLiteral("是"));
        QCOMPARE(pDlg->findChild<QPushButton *>(QStringLiteral("oCancelBtn"))->text(), QStringLiteral("否"));
        DialogHelper::clickButton(pDlg, QStringLiteral("oCancelBtn"));
    });
    QTimer::singleShot(0, &title, &CFrameTitle::closeWnd);
    // The application loop survives the answer: only the fallback ends it.
    QTimer::singleShot(0, [&]() {
        QTimer *pPoll = new QTimer(qApp);
        connect(pPoll, &QTimer::timeout, [pPoll, seen]() {
            if (seen->done && DialogHelper::noModal()) {
                pPoll->deleteLater();
                QCoreApplication::exit(7);
            }
        });
        pPoll->start(5);
    });
    QTimer::singleShot(10000, [] { QCoreApplication::exit(99); });
    QCOMPARE(QCoreApplication::exec(), 7);
    QCOMPARE(seen->text, QStringLiteral("真的需要退出吗?"));
}

void TestFrameTitle::closeAnsweredYesQuits()
{
    CFrameTitle title;
    auto seen = DialogHelper::clickOnModal(QStringLiteral("oOkBtn"));
    QTimer::singleShot(0, &title, &CFrameTitle::closeWnd);
    QTimer fallback;
    fallback.setSingleShot(true);
    connect(&fallback, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    fallback.start(10000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(seen->done);
}

QTEST_MAIN(TestFrameTitle)
#include "tst_frametitle.moc"
