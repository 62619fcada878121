#include "onvifxml.h"

#include <QStringList>
#include <QXmlStreamReader>

#include <cmath>
#include <limits>

namespace OnvifNs {
const QString kSoap = QStringLiteral("http://www.w3.org/2003/05/soap-envelope");
const QString kDevice = QStringLiteral("http://www.onvif.org/ver10/device/wsdl");
const QString kSchema = QStringLiteral("http://www.onvif.org/ver10/schema");
const QString kError = QStringLiteral("http://www.onvif.org/ver10/error");
const QString kDiscovery = QStringLiteral("http://schemas.xmlsoap.org/ws/2005/04/discovery");
const QString kAddressing = QStringLiteral("http://schemas.xmlsoap.org/ws/2004/08/addressing");
const QString kNetwork = QStringLiteral("http://www.onvif.org/ver10/network/wsdl");
} // namespace OnvifNs

const COnvifNode *COnvifNode::child(const QString &strNs, const QString &strName) const
{
    for (const COnvifNode &node : m_vecChildren) {
        if (node.is(strNs, strName))
            return &node;
    }
    return nullptr;
}

QList<const COnvifNode *> COnvifNode::children(const QString &strNs, const QString &strName) const
{
    QList<const COnvifNode *> list;
    for (const COnvifNode &node : m_vecChildren) {
        if (node.is(strNs, strName))
            list.append(&node);
    }
    return list;
}

const COnvifNode *COnvifNode::find(const QString &strNs, const QString &strName) const
{
    if (is(strNs, strName))
        return this;
    for (const COnvifNode &node : m_vecChildren) {
        if (const COnvifNode *pFound = node.find(strNs, strName))
            return pFound;
    }
    return nullptr;
}

QString COnvifNode::childText(const QString &strNs, const QString &strName) const
{
    const COnvifNode *pNode = child(strNs, strName);
    return pNode ? pNode->m_strText.trimmed() : QString();
}

const COnvifNode *COnvifNode::path(const QString &strNs, const QStringList &listNames) const
{
    const COnvifNode *pNode = this;
    for (const QString &strName : listNames) {
        pNode = pNode->child(strNs, strName);
        if (!pNode)
            return nullptr;
    }
    return pNode;
}

QString COnvifNode::qnameNs(const QString &strQName) const
{
    const int iColon = strQName.indexOf(QLatin1Char(':'));
    return m_hashScope.value(iColon < 0 ? QString() : strQName.left(iColon).trimmed());
}

QString COnvifNode::qnameLocal(const QString &strQName)
{
    return strQName.mid(strQName.indexOf(QLatin1Char(':')) + 1).trimmed();
}

namespace OnvifXml {

namespace {

constexpr int kMaxDepth = 48;

bool readElement(QXmlStreamReader &reader, COnvifNode &node, const QHash<QString, QString> &scope, int iDepth,
                 QString &strError)
{
    if (iDepth > kMaxDepth) {
        strError = QStringLiteral("nested too deeply");
        return false;
    }
    node.m_strNs = reader.namespaceUri().toString();
    node.m_strName = reader.name().toString();
    node.m_hashScope = scope;
    for (const QXmlStreamNamespaceDeclaration &decl : reader.namespaceDeclarations())
        node.m_hashScope.insert(decl.prefix().toString(), decl.namespaceUri().toString());
    for (const QXmlStreamAttribute &attr : reader.attributes())
        node.m_hashAttrs.insert(attr.name().toString(), attr.value().toString());
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            node.m_vecChildren.append(COnvifNode());
            if (!readElement(reader, node.m_vecChildren.last(), node.m_hashScope, iDepth + 1, strError))
                return false;
            break;
        case QXmlStreamReader::Characters: node.m_strText += reader.text(); break;
        case QXmlStreamReader::EndElement: return true;
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            strError = QStringLiteral("DTD or entity refused");
            return false;
        default: break;
        }
    }
    strError = reader.errorString();
    return false;
}

} // namespace

bool parse(const QByteArray &data, COnvifNode &root, QString &strError)
{
    if (data.size() > kMaxAnswerBytes) {
        strError = QStringLiteral("too large");
        return false;
    }
    QXmlStreamReader reader(data);
    bool bRoot = false;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference:
            strError = QStringLiteral("DTD or entity refused");
            return false;
        case QXmlStreamReader::StartElement:
            if (bRoot || !readElement(reader, root, {}, 0, strError)) {
                if (bRoot)
                    strError = QStringLiteral("second root element");
                return false;
            }
            bRoot = true;
            break;
        default: break;
        }
    }
    if (reader.hasError()) {
        strError = reader.errorString();
        return false;
    }
    if (!bRoot)
        strError = QStringLiteral("empty document");
    return bRoot;
}

QString esc(const QString &strText)
{
    return strText.toHtmlEscaped();
}

int number(const QString &strText)
{
    bool bOk = false;
    const double dValue = strText.trimmed().toDouble(&bOk);
    if (!bOk || std::isnan(dValue))
        return 0;
    // A camera may write 1e300: clamp before the conversion, which would be undefined.
    return int(std::lround(qBound(double(std::numeric_limits<int>::min()), dValue,
                                  double(std::numeric_limits<int>::max()))));
}

} // namespace OnvifXml
