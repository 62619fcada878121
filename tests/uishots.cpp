#include "appresources.h"
#include "appstylesheet.h"
#include "dev_manageform.h"
#include "langconfig.h"
#include "platformutils.h"
#include "recordtypes.h"
#include "uifactories.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QTabWidget>
#include <QTranslator>

#include <cstdio>

// Saves a picture of the main window and of every dialog:
//   corvane_uishots OUTDIR zh|en DEVICES
// The main window is pictured once it lists DEVICES devices (a simulator is
// expected to answer on CORVANE_DISCOVERY_PORT).
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s OUTDIR zh|en DEVICES\n", argv[0]);
        return 2;
    }
    const QString strOut = QString::fromLocal8Bit(argv[1]);
    const bool bEnglish = qstrcmp(argv[2], "en") == 0;
    const int nDevices = QByteArray(argv[3]).toInt();
    registerRecordTypes();
    initAppResources();
    CPlatformUtils::installFontSubstitutes();
    const CLangConfig::ELanguage lang = bEnglish ? CLangConfig::LangEnglish : CLangConfig::LangChinese;
    QTranslator translator;
    QTranslator qtTranslator;
    if (bEnglish && !translator.load(QStringLiteral("lang/corvane_en.qm"))) {
        std::fprintf(stderr, "lang/corvane_en.qm not found\n");
        return 1;
    }
    app.installTranslator(&translator);
    if (CLangConfig::loadQtTranslation(qtTranslator, lang))
        app.installTranslator(&qtTranslator);
    app.setFont(CLangConfig::applicationFont(lang));
    app.setStyleSheet(appStyleSheet());
    QDir().mkpath(strOut);

    int nFailed = 0;
    for (const auto &factory : UiFactories::all()) {
        QScopedPointer<QWidget> pWidget(factory.second());
        pWidget->show();
        if (auto *pForm = pWidget->findChild<CDevManageForm *>()) {
            QDeadlineTimer deadline(20000);
            while (pForm->deviceList().size() < nDevices && !deadline.hasExpired())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            if (pForm->deviceList().size() < nDevices) {
                std::fprintf(stderr, "only %d of %d devices found\n", int(pForm->deviceList().size()), nDevices);
                ++nFailed;
            }
        }
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        QString strName = factory.first;
        strName.replace(QLatin1Char(' '), QLatin1Char('-'));
        const QString strFile = QDir(strOut).filePath(strName + QStringLiteral(".png"));
        if (!pWidget->grab().save(strFile)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(strFile));
            ++nFailed;
        }
        // The main window's other tab: the capacity calculator.
        if (auto *pTabs = pWidget->findChild<QTabWidget *>(QStringLiteral("oMainTabWidget"))) {
            for (int i = 1; i < pTabs->count(); ++i) {
                pTabs->setCurrentIndex(i);
                for (int j = 0; j < 5; ++j)
                    QCoreApplication::processEvents();
                const QString strTab = QDir(strOut).filePath(QStringLiteral("%1-tab%2.png").arg(strName).arg(i + 1));
                if (!pWidget->grab().save(strTab)) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(strTab));
                    ++nFailed;
                }
            }
        }
    }
    return nFailed == 0 ? 0 : 1;
}
