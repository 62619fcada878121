#include "apppaths.h"
#include "appresources.h"
#include "appstylesheet.h"
#include "corvanemainwind.h"
#include "langconfig.h"
#include "platformutils.h"
#include "recordtypes.h"

#include <QApplication>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTranslator>

Q_LOGGING_CATEGORY(lcApp, "corvane.app")

namespace {

bool loadTranslation(QTranslator &translator, CLangConfig::ELanguage lang)
{
    for (const QString &strFile : CAppPaths::instance().translationFiles(CLangConfig::fileSuffix(lang))) {
        if (translator.load(strFile)) {
            qCDebug(lcApp) << "translation" << QFileInfo(strFile).absoluteFilePath();
            return true;
        }
    }
    qCDebug(lcApp) << "no translation for" << CLangConfig::fileSuffix(lang);
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    // Fixed sizes are logical pixels; these must be set before the application exists.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    // 150 % stays 1.5 instead of being rounded up to 2.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    CPlatformUtils::skipOpenGl();
    QApplication app(argc, argv);
    registerRecordTypes();
    initAppResources();
    CPlatformUtils::installFontSubstitutes();
    // The locale codec stays the system's (UTF-8 here): a fixed legacy codec
    // would corrupt non-ASCII file names.

    const CAppPaths &paths = CAppPaths::instance();
    qCDebug(lcApp) << (paths.isInstalled() ? "installed, data in" : "run from the build folder")
                   << paths.dataDir() << "language file" << paths.langConfigFile();
    const CLangConfig::ELanguage lang = CLangConfig().startupLanguage();
    QTranslator translator;
    loadTranslation(translator, lang);
    const QString strManual = paths.manualFile(CLangConfig::fileSuffix(lang));
    qCDebug(lcApp) << "manual" << strManual << (QFileInfo::exists(strManual) ? "found" : "missing");
    app.installTranslator(&translator);
    // Qt's file dialog and context menus follow the chosen language too.
    QTranslator qtTranslator;
    if (CLangConfig::loadQtTranslation(qtTranslator, lang))
        app.installTranslator(&qtTranslator);
    app.setFont(CLangConfig::applicationFont(lang));
    app.setStyleSheet(appStyleSheet());

    CCorvaneMainWind mainWind;
    mainWind.show();
    return app.exec();
}
