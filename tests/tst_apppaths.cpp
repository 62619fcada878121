#include "apppaths.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

// A program run from its build folder keeps today's relative files; one with
// the data folder beside its own folder is installed and uses the data folder
// and the user's XDG folders.
class TestAppPaths : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void buildFolderKeepsWorkingDirectoryFiles();
    void installedLayoutUsesDataAndUserFolders();
    void dataFolderMustBeAFolder();
    void instanceCanBeReplaced();

private:
    QScopedPointer<QTemporaryDir> m_pDir;
};

void TestAppPaths::init()
{
    m_pDir.reset(new QTemporaryDir);
    QVERIFY(m_pDir->isValid());
    qputenv("XDG_CONFIG_HOME", m_pDir->filePath(QStringLiteral("home/config")).toUtf8());
    qputenv("XDG_DATA_HOME", m_pDir->filePath(QStringLiteral("home/data")).toUtf8());
}

void TestAppPaths::cleanup()
{
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DATA_HOME");
    m_pDir.reset();
}

void TestAppPaths::buildFolderKeepsWorkingDirectoryFiles()
{
    const QString strBin = m_pDir->filePath(QStringLiteral("build/bin"));
    QVERIFY(QDir().mkpath(strBin));
    const CAppPaths paths(strBin, QStringLiteral("../share/corvane"));
    QVERIFY(!paths.isInstalled());
    QCOMPARE(paths.langConfigFile(), QStringLiteral("lang/lang.cfg"));
    QCOMPARE(paths.translationFiles(QStringLiteral("en")),
             QStringList({QStringLiteral("lang/corvane_en.qm"), strBin + QStringLiteral("/lang/corvane_en.qm")}));
    QCOMPARE(paths.manualFile(QStringLiteral("cn")), strBin + QStringLiteral("/Corvane_User_Manual_cn.pdf"));
    QCOMPARE(paths.workFolder(QStringLiteral("log")), QStringLiteral("log"));
    QCOMPARE(paths.workFolder(QStringLiteral("DiagnoseInfo")), QStringLiteral("DiagnoseInfo"));
}

void TestAppPaths::installedLayoutUsesDataAndUserFolders()
{
    const QDir root(m_pDir->path());
    QVERIFY(root.mkpath(QStringLiteral("usr/bin")));
    QVERIFY(root.mkpath(QStringLiteral("usr/share/corvane/lang")));
    const CAppPaths paths(root.filePath(QStringLiteral("usr/bin")), QStringLiteral("../share/corvane"));
    QVERIFY(paths.isInstalled());
    const QString strData = root.filePath(QStringLiteral("usr/share/corvane"));
    QCOMPARE(paths.dataDir(), strData);
    QCOMPARE(paths.translationFiles(QStringLiteral("cn")),
             QStringList(strData + QStringLiteral("/lang/corvane_cn.qm")));
    QCOMPARE(paths.manualFile(QStringLiteral("en")), strData + QStringLiteral("/manual/Corvane_User_Manual_en.pdf"));
    // Writable files never go next to the program or into the working directory.
    QCOMPARE(paths.langConfigFile(), root.filePath(QStringLiteral("home/config/corvane/lang.cfg")));
    QCOMPARE(paths.workFolder(QStringLiteral("log")), root.filePath(QStringLiteral("home/data/corvane/log")));
    QCOMPARE(paths.workFolder(QStringLiteral("DiagnoseInfo")),
             root.filePath(QStringLiteral("home/data/corvane/DiagnoseInfo")));
}

void TestAppPaths::dataFolderMustBeAFolder()
{
    const QDir root(m_pDir->path());
    QVERIFY(root.mkpath(QStringLiteral("usr/bin")));
    QVERIFY(root.mkpath(QStringLiteral("usr/share")));
    QFile file(root.filePath(QStringLiteral("usr/share/corvane")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(!CAppPaths(root.filePath(QStringLiteral("usr/bin")), QStringLiteral("../share/corvane")).isInstalled());
    QVERIFY(!CAppPaths(root.filePath(QStringLiteral("usr/bin")), QString()).isInstalled());
}

void TestAppPaths::instanceCanBeReplaced()
{
    // The test program itself runs from the build folder.
    QVERIFY(!CAppPaths::instance().isInstalled());
    const QDir root(m_pDir->path());
    QVERIFY(root.mkpath(QStringLiteral("usr/bin")));
    QVERIFY(root.mkpath(QStringLiteral("usr/share/corvane")));
    CAppPaths::setInstance(CAppPaths(root.filePath(QStringLiteral("usr/bin")), QStringLiteral("../share/corvane")));
    QVERIFY(CAppPaths::instance().isInstalled());
    CAppPaths::setInstance(CAppPaths(QCoreApplication::applicationDirPath()));
    QVERIFY(!CAppPaths::instance().isInstalled());
}

QTEST_GUILESS_MAIN(TestAppPaths)
#include "tst_apppaths.moc"
