#include "appresources.h"
#include "appstylesheet.h"
#include "corvanemainwind.h"
#include "langconfig.h"
#include "platformutils.h"
#include "recordtypes.h"

#include <QApplication>
#include <QDir>
#include <QTranslator>

namespace {

// The translations are looked up relative to the working directory first, then
// next to the program, so that starting it from elsewhere still finds them.
bool loadTranslation(QTranslator &translator, CLangConfig::ELanguage lang)
{
    const QString strFile = CLangConfig::translationFile(lang);
    return translator.load(strFile)
        || translator.load(QDir(QCoreApplication::applicationDirPath()).filePath(strFile));
}

} // namespace

int main(int argc, char *argv[])
{
    // Fixed sizes are logical pixels; these must be set before the application exists.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication app(argc, argv);
    registerRecordTypes();
    initAppResources();
    CPlatformUtils::installFontSubstitutes();
    // The locale codec stays the system's (UTF-8 here): a fixed legacy codec
    // would corrupt non-ASCII file names.

    const CLangConfig::ELanguage lang = CLangConfig().startupLanguage();
    QTranslator translator;
    loadTranslation(translator, lang);
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
