#ifndef CSVTABLE_H
#define CSVTABLE_H

#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated tables as spreadsheets write them: fields may be quoted,
// a quote inside a quoted field is doubled, and a quoted field may span lines.
namespace CsvTable {

struct stRecord
{
    int iLine = 0;          // line the record starts on, from 1
    QStringList listFields;
};

// Splits the text into records; blank lines are skipped. False, with the line
// of the fault in iErrorLine, when a quoted field is never closed.
bool parse(const QString &strText, QList<stRecord> &listRecords, int &iErrorLine);

// One record as a line (without the line end); fields are quoted when needed,
// and a field a spreadsheet would take for a formula starts with a quote mark.
QString line(const QStringList &listFields);

} // namespace CsvTable

#endif // CSVTABLE_H
