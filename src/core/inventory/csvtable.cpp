#include "csvtable.h"

namespace CsvTable {

namespace {

bool isBlank(const QStringList &listFields)
{
    return listFields.size() == 1 && listFields.first().trimmed().isEmpty();
}

QString quoted(const QString &strText)
{
    // Texts come from devices: one that a spreadsheet would take for a
    // formula is written as plain text.
    static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
    const QString strField =
        !strText.isEmpty() && kFormulaStarts.contains(strText.at(0)) ? QLatin1Char('\'') + strText : strText;
    const bool bQuote = strField.contains(QLatin1Char(',')) || strField.contains(QLatin1Char('"'))
        || strField.contains(QLatin1Char('\n')) || strField.contains(QLatin1Char('\r'))
        || strField != strField.trimmed();
    if (!bQuote)
        return strField;
    QString strOut = strField;
    strOut.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + strOut + QLatin1Char('"');
}

} // namespace

bool parse(const QString &strText, QList<stRecord> &listRecords, int &iErrorLine)
{
    listRecords.clear();
    iErrorLine = 0;
    int iLine = 1;
    stRecord oRecord;
    oRecord.iLine = 1;
    QString strField;
    bool bInQuotes = false;
    int iQuoteLine = 0;
    const int iSize = strText.size();
    auto endRecord = [&]() {
        oRecord.listFields << strField;
        strField.clear();
        if (!isBlank(oRecord.listFields))
            listRecords << oRecord;
        oRecord = stRecord();
    };
    for (int i = 0; i < iSize; ++i) {
        const QChar c = strText.at(i);
        if (bInQuotes) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < iSize && strText.at(i + 1) == QLatin1Char('"')) {
                    strField += c;
                    ++i;
                } else {
                    bInQuotes = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++iLine;
                strField += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && strField.trimmed().isEmpty()) {
            strField.clear();
            bInQuotes = true;
            iQuoteLine = iLine;
        } else if (c == QLatin1Char(',')) {
            oRecord.listFields << strField;
            strField.clear();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            // "\r\n" is one line end.
            if (c == QLatin1Char('\r') && i + 1 < iSize && strText.at(i + 1) == QLatin1Char('\n'))
                ++i;
            endRecord();
            oRecord.iLine = ++iLine;
        } else {
            strField += c;
        }
    }
    if (bInQuotes) {
        iErrorLine = iQuoteLine;
        listRecords.clear();
        return false;
    }
    if (!strField.isEmpty() || !oRecord.listFields.isEmpty())
        endRecord();
    return true;
}

QString line(const QStringList &listFields)
{
    QStringList listOut;
    for (const QString &strField : listFields)
        listOut << quoted(strField);
    return listOut.join(QLatin1Char(','));
}

} // namespace CsvTable
