// Takes the pictures of the user manual from the running program, against a
// simulated fleet. scripts/screenshots.sh starts the fleet and runs this in
// each language; see there.
//   corvane-screenshots --lang cn|en --out DIR --ipc N --nvr M
#include "corvaneshots.h"
#include "shotrunner.h"

#include "apppaths.h"
#include "appresources.h"
#include "appstylesheet.h"
#include "corvanemainwind.h"
#include "langconfig.h"
#include "platformutils.h"
#include "recordtypes.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTranslator>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption langOption(QStringLiteral("lang"), QStringLiteral("cn or en"), QStringLiteral("lang"));
    const QCommandLineOption outOption(QStringLiteral("out"), QStringLiteral("Folder for the pictures."),
                                       QStringLiteral("dir"));
    const QCommandLineOption ipcOption(QStringLiteral("ipc"), QStringLiteral("IPC devices of the fleet."),
                                       QStringLiteral("n"));
    const QCommandLineOption nvrOption(QStringLiteral("nvr"), QStringLiteral("NVR devices of the fleet."),
                                       QStringLiteral("n"));
    parser.addOptions({langOption, outOption, ipcOption, nvrOption});
    parser.process(app);
    if (!parser.isSet(outOption) || !parser.isSet(ipcOption) || !parser.isSet(nvrOption)) {
        std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
        return 2;
    }
    if (qgetenv("CORVANE_LOOPBACK_ONLY") != "1") {
        std::fprintf(stderr, "screenshots: set CORVANE_LOOPBACK_ONLY=1\n");
        return 2;
    }

    registerRecordTypes();
    initAppResources();
    CPlatformUtils::installFontSubstitutes();
    // Nothing may leave the program while the pictures are taken.
    CPlatformUtils::setUrlOpener([](const QUrl &) { return true; });

    const CLangConfig::ELanguage lang = parser.value(langOption) == QLatin1String("en")
        ? CLangConfig::LangEnglish : CLangConfig::LangChinese;
    CLangConfig().write(lang);
    QTranslator translator;
    bool bLoaded = false;
    for (const QString &strQm : CAppPaths::instance().translationFiles(CLangConfig::fileSuffix(lang)))
        bLoaded = bLoaded || translator.load(strQm);
    if (!bLoaded)
        std::fprintf(stderr, "screenshots: no translation for %s\n", qPrintable(CLangConfig::fileSuffix(lang)));
    app.installTranslator(&translator);
    app.setFont(CLangConfig::applicationFont(lang));
    app.setStyleSheet(appStyleSheet());
    QApplication::setQuitOnLastWindowClosed(false);

    CCorvaneMainWind mainWind;
    mainWind.move(40, 40);
    mainWind.show();

    const int nIpc = parser.value(ipcOption).toInt();
    const int nNvr = parser.value(nvrOption).toInt();
    CShotRunner runner(parser.value(outOption));
    CCorvaneShots shots(&mainWind, nIpc, nIpc + nNvr);
    shots.addSteps(runner);
    QObject::connect(&runner, &CShotRunner::finished, &app, [&]() {
        for (const QString &strNote : runner.notes())
            std::printf("note: %s\n", qPrintable(strNote));
        std::printf("%d pictures taken\n", int(runner.saved().size()));
        QCoreApplication::exit(runner.saved().isEmpty() ? 1 : 0);
    });
    runner.start();
    return app.exec();
}
