// Renders a user manual from its Markdown chapters into a PDF file.
//   corvane-manualpdf --settings manual.conf --output Manual.pdf [--version 1.0.0] chapter.md...
#include "manualdocument.h"
#include "manualprinter.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Renders a user manual into a PDF file."));
    parser.addHelpOption();
    const QCommandLineOption settingsOption(QStringLiteral("settings"),
                                            QStringLiteral("Title, fonts and headings of the manual."),
                                            QStringLiteral("file"));
    const QCommandLineOption outputOption(QStringLiteral("output"), QStringLiteral("PDF file to write."),
                                          QStringLiteral("file"));
    const QCommandLineOption versionOption(QStringLiteral("version"),
                                           QStringLiteral("Version number for the title page."),
                                           QStringLiteral("number"));
    const QCommandLineOption strictOption(QStringLiteral("require-images"),
                                          QStringLiteral("Fail when a screenshot is missing."));
    parser.addOptions({settingsOption, outputOption, versionOption, strictOption});
    parser.addPositionalArgument(QStringLiteral("chapters"), QStringLiteral("Markdown chapters, in order."));
    parser.process(app);

    const QStringList listChapters = parser.positionalArguments();
    if (!parser.isSet(settingsOption) || !parser.isSet(outputOption) || listChapters.isEmpty()) {
        std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
        return 2;
    }

    QString strError;
    CManualDocument::Settings settings;
    if (!CManualDocument::readSettings(parser.value(settingsOption), &settings, &strError)) {
        std::fprintf(stderr, "manual: %s\n", qPrintable(strError));
        return 1;
    }
    settings.strVersion = parser.isSet(versionOption) ? settings.strVersion.arg(parser.value(versionOption))
                                                      : QString();

    CManualDocument manual(settings);
    if (!manual.addChapters(listChapters, &strError)) {
        std::fprintf(stderr, "manual: %s\n", qPrintable(strError));
        return 1;
    }
    if (parser.isSet(strictOption) && !manual.missingImages().isEmpty())
        return 1;
    if (!CManualPrinter::print(manual, settings.strTitle, parser.value(outputOption), &strError)) {
        std::fprintf(stderr, "manual: %s\n", qPrintable(strError));
        return 1;
    }
    return 0;
}
