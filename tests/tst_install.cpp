#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// Installs the build into a temporary root (DESTDIR) the way a package does
// and checks what a user gets: the tree, the run paths, the menu entry, and
// the installed program starting from a foreign working directory.
class TestInstall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void treeHoldsEverything();
    void programsFindTheirLibraries();
    void desktopEntryIsValid();
    void startsFromForeignDirectoryInChosenLanguage();
    void debianPackageHoldsTheTree();

private:
    QString installed(const QString &strRelative) const;
    static QString run(const QString &strProgram, const QStringList &listArgs, int *pExitCode,
                       const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());

    QTemporaryDir m_root;
    QString m_strPrefix = QStringLiteral("/usr");
};

QString TestInstall::installed(const QString &strRelative) const
{
    return m_root.path() + m_strPrefix + QLatin1Char('/') + strRelative;
}

QString TestInstall::run(const QString &strProgram, const QStringList &listArgs, int *pExitCode,
                         const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(strProgram, listArgs);
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        *pExitCode = -1;
    } else {
        *pExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    return QString::fromLocal8Bit(process.readAll());
}

void TestInstall::initTestCase()
{
    QVERIFY(m_root.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DESTDIR"), m_root.path());
    int nExit = 0;
    const QString strOutput = run(QStringLiteral(CORVANE_CMAKE),
                                  {QStringLiteral("--install"), QStringLiteral(CORVANE_BINARY_DIR),
                                   QStringLiteral("--prefix"), m_strPrefix},
                                  &nExit, env);
    QVERIFY2(nExit == 0, qPrintable(strOutput));
}

void TestInstall::treeHoldsEverything()
{
    const QString strLib = QStringLiteral(CORVANE_INSTALL_LIBDIR);
    const QString strData = QStringLiteral(CORVANE_INSTALL_DATADIR);
    for (const QString &strProgram : {QStringLiteral("bin/corvane"), QStringLiteral("bin/corvane-devsim"),
                                       QStringLiteral("bin/corvane-cli")}) {
        QVERIFY2(QFileInfo(installed(strProgram)).isExecutable(), qPrintable(strProgram));
    }
    for (const char *szLib : {"libDiscovery.so", "libTolanNetSDK.so", "libzelt_mw_sdk.so", "libcorvane_ffmpeg.so"}) {
        const QString strFile = strLib + QLatin1Char('/') + QLatin1String(szLib);
        QVERIFY2(QFileInfo(installed(strFile)).isFile(), qPrintable(strFile));
    }
    for (const char *szLang : {"cn", "en"}) {
        const QString strQm = strData + QStringLiteral("/lang/corvane_%1.qm").arg(QLatin1String(szLang));
        QVERIFY2(QFileInfo(installed(strQm)).size() > 0, qPrintable(strQm));
        QFile manual(installed(strData + QStringLiteral("/manual/Corvane_User_Manual_%1.pdf").arg(QLatin1String(szLang))));
        QVERIFY2(manual.open(QIODevice::ReadOnly), qPrintable(manual.fileName()));
        QVERIFY(manual.read(5) == "%PDF-");
        QVERIFY(manual.size() > 20000);
    }
    QVERIFY(QFileInfo(installed(QStringLiteral("share/applications/corvane.desktop"))).isFile());
    for (const char *szSize : {"16x16", "32x32", "48x48", "256x256"}) {
        const QString strIcon = QStringLiteral("share/icons/hicolor/%1/apps/corvane.png").arg(QLatin1String(szSize));
        QVERIFY2(QFileInfo(installed(strIcon)).isFile(), qPrintable(strIcon));
    }
    // Nothing from the build tree or the developer tools.
    QVERIFY(!QFileInfo::exists(installed(QStringLiteral("bin/corvane-screenshots"))));
    QVERIFY(!QFileInfo::exists(installed(QStringLiteral("bin/corvane-manualpdf"))));
}

void TestInstall::programsFindTheirLibraries()
{
    for (const QString &strProgram : {QStringLiteral("bin/corvane"), QStringLiteral("bin/corvane-devsim"),
                                       QStringLiteral("bin/corvane-cli")}) {
        int nExit = 0;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("LD_LIBRARY_PATH"));
        const QString strLdd = run(QStringLiteral("ldd"), {installed(strProgram)}, &nExit, env);
        QVERIFY2(nExit == 0, qPrintable(strLdd));
        QVERIFY2(!strLdd.contains(QLatin1String("not found")), qPrintable(strLdd));
        // The run path is the installed one, not the build folder's.
        QVERIFY2(!strLdd.contains(QLatin1String(CORVANE_BINARY_DIR)), qPrintable(strLdd));
    }
    int nExit = 0;
    const QString strLdd = run(QStringLiteral("ldd"), {installed(QStringLiteral("bin/corvane"))}, &nExit);
    // Each device library resolves to the installed copy.
    for (const char *szLib : {"libDiscovery.so", "libTolanNetSDK.so", "libzelt_mw_sdk.so"}) {
        const QRegularExpression reLine(QStringLiteral("%1 => (\\S+)").arg(QRegularExpression::escape(QLatin1String(szLib))));
        const QRegularExpressionMatch match = reLine.match(strLdd);
        QVERIFY2(match.hasMatch(), qPrintable(strLdd));
        QCOMPARE(QDir::cleanPath(match.captured(1)),
                 QDir::cleanPath(installed(QStringLiteral(CORVANE_INSTALL_LIBDIR)) + QLatin1Char('/') + QLatin1String(szLib)));
    }
    const QString strHelp = run(installed(QStringLiteral("bin/corvane-devsim")), {QStringLiteral("--help")}, &nExit);
    QCOMPARE(nExit, 0);
    QVERIFY(strHelp.contains(QLatin1String("--ipc")));
}

void TestInstall::desktopEntryIsValid()
{
    const QString strValidate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (strValidate.isEmpty())
        QSKIP("desktop-file-validate is missing (package desktop-file-utils, scripts/install-deps.sh)");
    const QString strEntry = installed(QStringLiteral("share/applications/corvane.desktop"));
    int nExit = 0;
    const QString strOutput = run(strValidate, {strEntry}, &nExit);
    QVERIFY2(nExit == 0 && strOutput.trimmed().isEmpty(), qPrintable(strOutput));
    QFile entry(strEntry);
    QVERIFY(entry.open(QIODevice::ReadOnly | QIODevice::Text));
    const QByteArray content = entry.readAll();
    // The menu starts the installed program by name and shows the installed icon.
    QVERIFY(content.contains("\nExec=corvane\n"));
    QVERIFY(content.contains("\nIcon=corvane\n"));
}

void TestInstall::startsFromForeignDirectoryInChosenLanguage()
{
    QTemporaryDir foreign;
    QTemporaryDir home;
    QVERIFY(foreign.isValid() && home.isValid());
    const QDir homeDir(home.path());
    QVERIFY(homeDir.mkpath(QStringLiteral("config/corvane")));
    {
        QFile lang(homeDir.filePath(QStringLiteral("config/corvane/lang.cfg")));
        QVERIFY(lang.open(QIODevice::WriteOnly));
        lang.write("Lang_EN");
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("CORVANE_LOOPBACK_ONLY"), QStringLiteral("1"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), homeDir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), homeDir.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("corvane.app.debug=true"));
    env.remove(QStringLiteral("LD_LIBRARY_PATH"));

    QProcess program;
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(foreign.path());
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(installed(QStringLiteral("bin/corvane")), {});
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
    QByteArray output;
    const QString strData = QDir::cleanPath(installed(QStringLiteral(CORVANE_INSTALL_DATADIR)));
    const QByteArray baManual = (strData + QStringLiteral("/manual/Corvane_User_Manual_en.pdf\" found")).toUtf8();
    QTRY_VERIFY_WITH_TIMEOUT((output += program.readAll()).contains(baManual)
                                 && QFileInfo::exists(homeDir.filePath(QStringLiteral("data/corvane/DiagnoseInfo"))),
                             30000);
    output += program.readAll();
    const bool bRunning = program.state() == QProcess::Running;
    program.kill();
    program.waitForFinished();
    QVERIFY2(bRunning, output.constData());

    QVERIFY2(output.contains("installed, data in \"" + strData.toUtf8() + '"'), output.constData());
    QVERIFY2(output.contains("translation \"" + strData.toUtf8() + "/lang/corvane_en.qm\""), output.constData());
    // Writable files went to the user's folders; the working directory stays empty.
    QVERIFY(QFileInfo(homeDir.filePath(QStringLiteral("data/corvane/log"))).isDir());
    QCOMPARE(QDir(foreign.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void TestInstall::debianPackageHoldsTheTree()
{
    const QString strCpack = QStringLiteral(CORVANE_CPACK);
    const QString strDpkgDeb = QStandardPaths::findExecutable(QStringLiteral("dpkg-deb"));
    if (strCpack.isEmpty() || strDpkgDeb.isEmpty())
        QSKIP("cpack or dpkg-deb is missing");
    QTemporaryDir out;
    QVERIFY(out.isValid());
    int nExit = 0;
    const QString strOutput = run(strCpack, {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                                             QStringLiteral(CORVANE_BINARY_DIR "/CPackConfig.cmake"),
                                             QStringLiteral("-B"), out.path()},
                                  &nExit);
    QVERIFY2(nExit == 0, qPrintable(strOutput));
    const QStringList listDebs = QDir(out.path()).entryList({QStringLiteral("corvane_*.deb")}, QDir::Files);
    QCOMPARE(listDebs.size(), 1);
    const QString strDeb = QDir(out.path()).filePath(listDebs.first());

    const QString strFiles = run(strDpkgDeb, {QStringLiteral("--contents"), strDeb}, &nExit);
    QCOMPARE(nExit, 0);
    for (const char *szFile : {"./usr/bin/corvane\n", "./usr/bin/corvane-devsim\n", "/corvane/libzelt_mw_sdk.so\n",
                               "/corvane/libDiscovery.so\n", "/corvane/libTolanNetSDK.so\n",
                               "/corvane/libcorvane_ffmpeg.so\n",
                               "./usr/share/corvane/lang/corvane_en.qm\n",
                               "./usr/share/corvane/manual/Corvane_User_Manual_cn.pdf\n",
                               "./usr/share/applications/corvane.desktop\n",
                               "./usr/share/icons/hicolor/48x48/apps/corvane.png\n", "./usr/bin/corvane-cli\n",
                               "./usr/share/man/man1/corvane-cli.1",
                               "./usr/share/bash-completion/completions/corvane-cli\n"}) {
        QVERIFY2(strFiles.contains(QLatin1String(szFile)), szFile);
    }
    const QString strDepends = run(strDpkgDeb, {QStringLiteral("--field"), strDeb, QStringLiteral("Depends")}, &nExit);
    QCOMPARE(nExit, 0);
    QVERIFY2(strDepends.contains(QLatin1String("libqt5widgets5")), qPrintable(strDepends));
    QVERIFY2(strDepends.contains(QLatin1String("fonts-wqy-microhei")), qPrintable(strDepends));
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
