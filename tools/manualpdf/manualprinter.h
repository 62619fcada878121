#ifndef MANUALPRINTER_H
#define MANUALPRINTER_H

#include <QString>

class CManualDocument;

// Writes a manual to a PDF file: A4 pages, a footer with the title and the
// page number on every page after the title page.
class CManualPrinter
{
public:
    static bool print(CManualDocument &manual, const QString &strTitle, const QString &strOutput,
                      QString *pError);
};

#endif // MANUALPRINTER_H
