#include "apppaths.h"
#include "cap_calculateform.h"
#include "corvanemainwind.h"
#include "dev_manageform.h"
#include "dialoghelper.h"
#include "framestatue.h"
#include "frametitle.h"
#include "langconfig.h"
#include "msgdlg.h"
#include "platformutils.h"
#include "recordtypes.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

// Needs a real window system: maximising uses the screen's available area and
// moves the window, which the offscreen platform does not model.
class TestMainWind : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void structure();
    void tabsAreLinked();
    void maximiseThenRestore();
    void titleBarDoubleClickToggles();
    void closeAnsweredNoKeepsWindow();
    void closeAnsweredYesExits();
    void helpWithoutManualReportsError();
    void helpOpensManualOfFileLanguage_data();
    void helpOpensManualOfFileLanguage();
    void helpFallsBackToFolder();
    void helpInstalledOpensChosenLanguage_data();
    void helpInstalledOpensChosenLanguage();
    void aboutBox();
    void parentlessDialogOpensCentred();

private:
    void writeLangFile(const QByteArray &content);
    QString manualPath(const char *suffix) const;

    QScopedPointer<QTemporaryDir> m_pDir;
    QString m_strOldDir;
    QByteArray m_baConfigHome;
    QByteArray m_baDataHome;
    CCorvaneMainWind *m_pWind = nullptr;
    QList<QUrl> m_listOpened;
    bool m_bOpenerResult = true;
};

namespace {
void restoreEnv(const char *szName, const QByteArray &baValue)
{
    if (baValue.isNull())
        qunsetenv(szName);
    else
        qputenv(szName, baValue);
}
} // namespace

void TestMainWind::initTestCase()
{
    registerRecordTypes();
    // Only an explicit exit may end the loop, not the last window closing.
    QApplication::setQuitOnLastWindowClosed(false);
    CPlatformUtils::setUrlOpener([this](const QUrl &url) {
        m_listOpened << url;
        return m_bOpenerResult;
    });
    m_baConfigHome = qEnvironmentVariableIsSet("XDG_CONFIG_HOME") ? qgetenv("XDG_CONFIG_HOME") : QByteArray();
    m_baDataHome = qEnvironmentVariableIsSet("XDG_DATA_HOME") ? qgetenv("XDG_DATA_HOME") : QByteArray();
}

void TestMainWind::init()
{
    m_pDir.reset(new QTemporaryDir);
    QVERIFY(m_pDir->isValid());
    m_strOldDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_pDir->path()));
    QVERIFY(QDir().mkpath(QStringLiteral("lang")));
    // The program's folder is the test's own: the manuals the build put
    // next to the test programs stay untouched.
    CAppPaths::setInstance(CAppPaths(m_pDir->path(), QString()));
    m_listOpened.clear();
    m_bOpenerResult = true;
    m_pWind = new CCorvaneMainWind;
    m_pWind->move(50, 40);
    m_pWind->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_pWind));
}

void TestMainWind::cleanup()
{
    delete m_pWind;
    m_pWind = nullptr;
    restoreEnv("XDG_CONFIG_HOME", m_baConfigHome);
    restoreEnv("XDG_DATA_HOME", m_baDataHome);
    QDir::setCurrent(m_strOldDir);
    m_pDir.reset();
}

void TestMainWind::writeLangFile(const QByteArray &content)
{
    QFile file(CLangConfig::defaultPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QString TestMainWind::manualPath(const char *suffix) const
{
    return m_pDir->filePath(QStringLiteral("Corvane_User_Manual_%1.pdf").arg(QLatin1String(suffix)));
}

void TestMainWind::structure()
{
    QCOMPARE(m_pWind->objectName(), QStringLiteral("CCorvaneMainWind"));
    QCOMPARE(m_pWind->minimumSize(), QSize(800, 600));
    QCOMPARE(m_pWind->size(), QSize(800, 600));
    QVERIFY(m_pWind->windowFlags() & Qt::CustomizeWindowHint);
    QVERIFY(!(m_pWind->windowFlags() & (Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                                        | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)));
    QVERIFY(!m_pWind->windowIcon().isNull());

    auto *pTabs = m_pWind->findChild<QTabWidget *>(QStringLiteral("oMainTabWidget"));
    QVERIFY(pTabs);
    QCOMPARE(pTabs->count(), 2);
    QCOMPARE(pTabs->tabText(0), QStringLiteral("设备管理"));
    QCOMPARE(pTabs->tabText(1), QStringLiteral("容量计算"));
    QVERIFY(qobject_cast<CDevManageForm *>(pTabs->widget(0)));
    QVERIFY(qobject_cast<CCapCalculateForm *>(pTabs->widget(1)));

    auto *pLayout = m_pWind->findChild<QVBoxLayout *>(QStringLiteral("verticalLayout"));
    QCOMPARE(pLayout->spacing(), 1);
    QCOMPARE(pLayout->contentsMargins(), QMargins());
    QVERIFY(qobject_cast<CFrameTitle *>(pLayout->itemAt(0)->widget()));
    QCOMPARE(pLayout->itemAt(1)->widget(), pTabs);
    auto *pStatus = qobject_cast<CFrameStatue *>(pLayout->itemAt(2)->widget());
    QVERIFY(pStatus);
    QCOMPARE(pStatus->height(), 30);
    QVERIFY(pStatus->autoFillBackground());
    QCOMPARE(pStatus->palette().color(QPalette::Inactive, QPalette::Window), QColor(219, 223, 227));
}

void TestMainWind::tabsAreLinked()
{
    auto *pDev = m_pWind->findChild<CDevManageForm *>();
    auto *pCap = m_pWind->findChild<CCapCalculateForm *>();
    QSignalSpy answer(pDev, &CDevManageForm::sendDev2CapSignal);
    emit pCap->getDevListSignal();
    QCOMPARE(answer.count(), 1);
}

void TestMainWind::maximiseThenRestore()
{
    m_pWind->resize(1000, 700);
    QTRY_COMPARE(m_pWind->size(), QSize(1000, 700));
    const QPoint oldPos = m_pWind->pos();
    QSignalSpy maxState(m_pWind, &CCorvaneMainWind::sendIsMaxWindow);
    auto *pMaxBtn = m_pWind->findChild<QPushButton *>(QStringLiteral("oMaxBtn"));

    m_pWind->showMaxSlot();
    QTRY_COMPARE(m_pWind->geometry(), m_pWind->screen()->availableGeometry());
    QVERIFY(!m_pWind->isMaximized());
    QVERIFY(m_pWind->isMaximizedByTitle());
    QCOMPARE(maxState.count(), 1);
    QCOMPARE(maxState.last().at(0).toBool(), true);
    QVERIFY(pMaxBtn->styleSheet().contains(QStringLiteral("frame_restore")));

    m_pWind->showMaxSlot();
    QTRY_COMPARE(m_pWind->size(), QSize(800, 600));
    QTRY_COMPARE(m_pWind->pos(), oldPos);
    QCOMPARE(maxState.count(), 2);
    QCOMPARE(maxState.last().at(0).toBool(), false);
    QVERIFY(pMaxBtn->styleSheet().contains(QStringLiteral("frame_max")));
}

void TestMainWind::titleBarDoubleClickToggles()
{
    auto *pTitle = m_pWind->findChild<CFrameTitle *>();
    QTest::mouseDClick(pTitle, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTRY_VERIFY(m_pWind->isMaximizedByTitle());
    QTest::mouseDClick(pTitle, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTRY_VERIFY(!m_pWind->isMaximizedByTitle());
    QTRY_COMPARE(m_pWind->size(), QSize(800, 600));
}

void TestMainWind::closeAnsweredNoKeepsWindow()
{
    auto seen = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
    QVERIFY(!m_pWind->close());
    QVERIFY(seen->done);
    QCOMPARE(seen->title, QStringLiteral("信息"));
    QCOMPARE(seen->text, QStringLiteral("真的需要退出吗?"));
    QVERIFY(m_pWind->isVisible());
}

void TestMainWind::closeAnsweredYesExits()
{
    auto seen = DialogHelper::clickOnModal(QStringLiteral("oOkBtn"));
    QTimer::singleShot(0, m_pWind, &QWidget::close);
    QTimer fallback;
    fallback.setSingleShot(true);
    connect(&fallback, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    fallback.start(10000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(seen->done);
}

void TestMainWind::helpWithoutManualReportsError()
{
    writeLangFile("Lang_EN");
    auto seen = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
    QCOMPARE(m_pWind->showHelpSlot(), 1ul);
    QVERIFY(seen->done);
    QCOMPARE(seen->title, QStringLiteral("信息"));
    QCOMPARE(seen->text, QStringLiteral("打开用户手册失败，请检查文件路径。"));
    QVERIFY(m_listOpened.isEmpty());
}

void TestMainWind::helpOpensManualOfFileLanguage_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("suffix");

    QTest::newRow("English") << QByteArray("Lang_EN") << "en";
    QTest::newRow("Chinese") << QByteArray("Lang-CN") << "cn";
    QTest::newRow("Chinese with line break reads English") << QByteArray("Lang-CN\n") << "en";
}

void TestMainWind::helpOpensManualOfFileLanguage()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, suffix);
    writeLangFile(content);
    for (const char *s : {"cn", "en"}) {
        QFile file(manualPath(s));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(m_pWind->showHelpSlot(), 0ul);
    QCOMPARE(m_listOpened.size(), 1);
    QCOMPARE(m_listOpened.first(), QUrl::fromLocalFile(manualPath(suffix.toLatin1().constData())));
}

void TestMainWind::helpFallsBackToFolder()
{
    writeLangFile("Lang_EN");
    QFile file(manualPath("en"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    m_bOpenerResult = false;
    CMsgDlg::setNextAnswer(QDialog::Accepted);
    QCOMPARE(m_pWind->showHelpSlot(), 0ul);
    QCOMPARE(m_listOpened.size(), 2);
    QCOMPARE(m_listOpened.at(1), QUrl::fromLocalFile(m_pDir->path()));
    // The user learns why nothing opened and where the manual is.
    const QList<CMsgDlg::stAnswered> listAnswered = CMsgDlg::takeAnswered();
    QCOMPARE(listAnswered.size(), 1);
    QVERIFY(listAnswered.first().text.contains(QDir::toNativeSeparators(manualPath("en"))));
}

void TestMainWind::helpInstalledOpensChosenLanguage_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("suffix");

    QTest::newRow("English") << true << "en";
    QTest::newRow("Chinese") << false << "cn";
}

// An installed program keeps the language choice in the user's configuration
// folder and opens the manual of that language from its data folder, whatever
// the working directory holds.
void TestMainWind::helpInstalledOpensChosenLanguage()
{
    QFETCH(bool, english);
    QFETCH(QString, suffix);
    QTemporaryDir prefix;
    QVERIFY(prefix.isValid());
    const QDir root(prefix.path());
    QVERIFY(root.mkpath(QStringLiteral("usr/bin")));
    QVERIFY(root.mkpath(QStringLiteral("usr/share/corvane/manual")));
    for (const char *s : {"cn", "en"}) {
        QFile manual(root.filePath(QStringLiteral("usr/share/corvane/manual/Corvane_User_Manual_%1.pdf")
                                       .arg(QLatin1String(s))));
        QVERIFY(manual.open(QIODevice::WriteOnly));
    }
    qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_DATA_HOME", root.filePath(QStringLiteral("data")).toUtf8());
    CAppPaths::setInstance(CAppPaths(root.filePath(QStringLiteral("usr/bin")), QStringLiteral("../share/corvane")));
    QVERIFY(CAppPaths::instance().isInstalled());
    // The working directory says the opposite; it must not count.
    const QByteArray baWorkingDirLang = english ? "Lang-CN" : "Lang_EN";
    {
        QFile workingDirLang(QStringLiteral("lang/lang.cfg"));
        QVERIFY(workingDirLang.open(QIODevice::WriteOnly));
        workingDirLang.write(baWorkingDirLang);
    }

    auto *pTitle = m_pWind->findChild<CFrameTitle *>();
    QVERIFY(pTitle);
    // The note about the next start has its one button under this name.
    auto seen = DialogHelper::clickOnModal(QStringLiteral("oCancelBtn"));
    if (english)
        pTitle->onEnglish();
    else
        pTitle->onChinese();
    QVERIFY(seen->done);
    QFile chosen(root.filePath(QStringLiteral("config/corvane/lang.cfg")));
    QVERIFY(chosen.open(QIODevice::ReadOnly));
    QCOMPARE(chosen.readAll(), QByteArray(english ? "Lang_EN" : "Lang-CN"));

    QCOMPARE(m_pWind->showHelpSlot(), 0ul);
    QCOMPARE(m_listOpened.size(), 1);
    QCOMPARE(m_listOpened.first(),
             QUrl::fromLocalFile(root.filePath(QStringLiteral("usr/share/corvane/manual/Corvane_User_Manual_%1.pdf")
                                                   .arg(suffix))));
    QFile workingDirLang(m_pDir->filePath(QStringLiteral("lang/lang.cfg")));
    QVERIFY(workingDirLang.open(QIODevice::ReadOnly));
    QCOMPARE(workingDirLang.readAll(), baWorkingDirLang);
}

void TestMainWind::aboutBox()
{
    auto seen = DialogHelper::onNextModal([](QWidget *pDlg) {
        QCOMPARE(pDlg->size(), QSize(500, 180));
        QCOMPARE(pDlg->findChild<QLabel *>(QStringLiteral("oAppNameLabel"))->text(), QStringLiteral("Corvane"));
        QCOMPARE(pDlg->findChild<QLabel *>(QStringLiteral("oAppVersionLabel"))->text(),
                 QStringLiteral(CORVANE_TEST_VERSION));
        QVERIFY(pDlg->findChild<QLabel *>(QStringLiteral("oLogoLabel")));
        pDlg->close();
    });
    m_pWind->showAboutSlot();
    QVERIFY(seen->done);
    QCOMPARE(seen->className, QStringLiteral("CAboutDlg"));
    QCOMPARE(seen->title, QStringLiteral("关于"));
    QVERIFY(DialogHelper::noModal());
}

void TestMainWind::parentlessDialogOpensCentred()
{
    QDialog dlg;
    dlg.resize(200, 120);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    const QPoint ptOffset = dlg.frameGeometry().center() - m_pWind->frameGeometry().center();
    QVERIFY2(ptOffset.manhattanLength() <= 2,
             qPrintable(QStringLiteral("off centre by %1,%2").arg(ptOffset.x()).arg(ptOffset.y())));
}

QTEST_MAIN(TestMainWind)
#include "tst_xcb_mainwind.moc"
