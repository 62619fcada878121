#include "devcapability.h"

#include "zelt_mw_sdk.h"

#include <QDomDocument>
#include <QLoggingCategory>

#include <array>

Q_LOGGING_CATEGORY(lcCapability, "corvane.capability")

namespace DevCapability {

namespace {

void visit(const QDomNode &node, QList<stDevCapacityInfo> &list)
{
    const QDomElement element = node.toElement();
    if (element.isNull())
        return;
    list.append({node.parentNode().nodeName(), element.tagName(), element.text()});
    for (QDomNode child = node.firstChild(); !child.isNull(); child = child.nextSibling())
        visit(child, list);
}

} // namespace

bool flatten(const QByteArray &xml, QList<stDevCapacityInfo> &list)
{
    QDomDocument doc;
    QString strError;
    int lLine = 0;
    if (!doc.setContent(xml, &strError, &lLine)) {
        qCDebug(lcCapability) << "capability document does not parse:" << strError << "line" << lLine;
        return false;
    }
    list.clear();
    visit(doc.documentElement(), list);
    return true;
}

uint32_t fetch(const QString &strUserId, uint32_t ulKind, QList<stDevCapacityInfo> &list)
{
    // One byte beyond the document's room, so a full-length document is still terminated.
    std::array<char, ZELT_MW_CAP_MAX_LEN + 1> buffer{};
    DWORD ulLen = ZELT_MW_CAP_MAX_LEN;
    const QByteArray userId = strUserId.toLatin1();
    const DWORD ulResult = ZELT_MW_GetDeviceCapability(userId.constData(), ulKind, &ulLen, buffer.data());
    if (ulResult != 0) {
        qCDebug(lcCapability) << "capability kind" << ulKind << "failed:" << ulResult;
        return ulResult;
    }
    buffer[ZELT_MW_CAP_MAX_LEN] = '\0';
    const QByteArray xml(buffer.data(), static_cast<int>(qstrnlen(buffer.data(), ZELT_MW_CAP_MAX_LEN)));
    return flatten(xml, list) ? 0 : ParseFailed;
}

bool find(const QList<stDevCapacityInfo> &list, const QString &strTag, QString *pText,
          const QString &strParent)
{
    for (const stDevCapacityInfo &info : list) {
        if (info.strTagName != strTag || (!strParent.isEmpty() && info.strParentName != strParent))
            continue;
        if (pText)
            *pText = info.strText;
        return true;
    }
    return false;
}

QList<int> intList(const QString &strText)
{
    QList<int> list;
    for (const QString &strItem : strText.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool bOk = false;
        const int lValue = strItem.trimmed().toInt(&bOk);
        if (bOk)
            list.append(lValue);
    }
    return list;
}

QList<QSize> sizeList(const QString &strText)
{
    QList<QSize> list;
    for (const QString &strItem : strText.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList parts = strItem.trimmed().split(QLatin1Char('*'));
        if (parts.size() != 2)
            continue;
        bool bOkW = false;
        bool bOkH = false;
        const int lWidth = parts[0].toInt(&bOkW);
        const int lHeight = parts[1].toInt(&bOkH);
        if (bOkW && bOkH && lWidth > 0 && lHeight > 0)
            list.append(QSize(lWidth, lHeight));
    }
    return list;
}

bool ratio(const QString &strText, int &lNum, int &lDen)
{
    const QStringList parts = strText.trimmed().split(QLatin1Char(':'));
    if (parts.size() != 2)
        return false;
    bool bOkN = false;
    bool bOkD = false;
    const int lN = parts[0].toInt(&bOkN);
    const int lD = parts[1].toInt(&bOkD);
    if (!bOkN || !bOkD)
        return false;
    lNum = lN;
    lDen = lD;
    return true;
}

} // namespace DevCapability
