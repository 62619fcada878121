#include "apppaths.h"
#include "cli.h"
#include "recordtypes.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvane-cli"));
    registerRecordTypes();
    // Standard error carries progress and reasons; the libraries' debug output
    // only when asked for through QT_LOGGING_RULES.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    // The texts are Chinese at the source; English unless CORVANE_LANG=cn.
    QTranslator translator;
    if (qEnvironmentVariable("CORVANE_LANG") != QLatin1String("cn")) {
        for (const QString &strFile : CAppPaths::instance().translationFiles(QStringLiteral("en"))) {
            if (translator.load(strFile))
                break;
        }
        app.installTranslator(&translator);
    }
    CCli oCli;
    return oCli.run(app.arguments());
}
