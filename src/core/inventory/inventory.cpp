#include "inventory.h"

#include "csvtable.h"
#include "devfailreason.h"
#include "ipv4.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <algorithm>

namespace Inventory {

namespace {

QByteArray table(const QList<QStringList> &listRows)
{
    QVector<int> vecWidth(fieldKeys().size(), 1);
    for (const QStringList &listRow : listRows) {
        for (int i = 0; i < listRow.size(); ++i)
            vecWidth[i] = std::max(vecWidth[i], listRow.at(i).size());
    }
    QString strOut;
    for (const QStringList &listRow : listRows) {
        QStringList listCells;
        for (int i = 0; i < listRow.size(); ++i) {
            // "-" keeps the columns countable for scripts that split on blanks.
            const QString strCell = listRow.at(i).isEmpty() ? QStringLiteral("-") : listRow.at(i);
            listCells << (i + 1 < listRow.size() ? strCell.leftJustified(vecWidth[i]) : strCell);
        }
        strOut += listCells.join(QLatin1Char(' ')) + QLatin1Char('\n');
    }
    return strOut.toUtf8();
}

QByteArray csv(const QList<QStringList> &listRows, const QString &strNoteHeader)
{
    QStringList listHeader = fieldKeys();
    if (!strNoteHeader.isEmpty())
        listHeader[listHeader.indexOf(QStringLiteral("note"))] = strNoteHeader;
    QString strOut = CsvTable::line(listHeader) + QLatin1Char('\n');
    for (const QStringList &listRow : listRows)
        strOut += CsvTable::line(listRow) + QLatin1Char('\n');
    return strOut.toUtf8();
}

QByteArray json(const QList<QStringList> &listRows)
{
    QJsonArray array;
    for (const QStringList &listRow : listRows) {
        QJsonObject object;
        for (int i = 0; i < listRow.size(); ++i)
            object.insert(fieldKeys().at(i), listRow.at(i));
        array.append(object);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

} // namespace

const QStringList &fieldKeys()
{
    static const QStringList listKeys{
        QStringLiteral("protocol"), QStringLiteral("type"),         QStringLiteral("ip"),
        QStringLiteral("mask"),     QStringLiteral("gateway"),      QStringLiteral("mac"),
        QStringLiteral("manufacturer"), QStringLiteral("model"),    QStringLiteral("serial"),
        QStringLiteral("firmware"), QStringLiteral("port"),         QStringLiteral("xaddr"),
        QStringLiteral("note")};
    return listKeys;
}

QString protocolOf(const CUIDeviceBean &oDev)
{
    return oDev.m_strProtocol.isEmpty() ? QStringLiteral("native") : oDev.m_strProtocol;
}

QStringList row(const CUIDeviceBean &oDev)
{
    // Our libraries tell neither maker nor service address; an ONVIF device
    // tells its maker at login, or in its discovery scopes.
    const QUrl xaddr(oDev.m_strXAddr);
    const QString strPort = oDev.m_strXAddr.isEmpty()
        ? QString()
        : QString::number(xaddr.port(xaddr.scheme() == QLatin1String("https") ? 443 : 80));
    return QStringList{protocolOf(oDev),
                       oDev.m_strDevType,
                       oDev.m_strIp,
                       oDev.m_strMask,
                       oDev.m_strGateway,
                       CUIDeviceBean::formatMac(oDev.m_strMac).toLower(),
                       oDev.m_strManufacturer,
                       oDev.m_strModel,
                       oDev.m_strSerial,
                       oDev.m_strVersion,
                       strPort,
                       oDev.m_strXAddr,
                       note(oDev)};
}

QString note(const CUIDeviceBean &oDev)
{
    QStringList listNotes;
    if (oDev.m_strFailReason == CDevFailReason::addressConflict())
        listNotes << oDev.m_strFailReason;
    if (!oDev.m_strRelay.isEmpty())
        listNotes << CDevFailReason::relayed(oDev.m_strRelay, oDev.m_strIp);
    return listNotes.join(QStringLiteral("; "));
}

QList<CUIDeviceBean> sortedByAddress(QList<CUIDeviceBean> listDev)
{
    std::stable_sort(listDev.begin(), listDev.end(), [](const CUIDeviceBean &a, const CUIDeviceBean &b) {
        return Ipv4::sortKey(a.m_strIp) < Ipv4::sortKey(b.m_strIp);
    });
    return listDev;
}

QByteArray format(const QList<CUIDeviceBean> &listDev, EFormat eFormat, const QString &strNoteHeader)
{
    QList<QStringList> listRows;
    for (const CUIDeviceBean &oDev : listDev)
        listRows << row(oDev);
    switch (eFormat) {
    case FormatTable: return table(listRows);
    case FormatCsv: return csv(listRows, strNoteHeader);
    case FormatJson: return json(listRows);
    }
    return QByteArray();
}

bool parseFormat(const QString &strName, EFormat &eFormat)
{
    if (strName == QLatin1String("table"))
        eFormat = FormatTable;
    else if (strName == QLatin1String("csv"))
        eFormat = FormatCsv;
    else if (strName == QLatin1String("json"))
        eFormat = FormatJson;
    else
        return false;
    return true;
}

} // namespace Inventory
