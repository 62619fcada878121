#ifndef ONVIFXML_H
#define ONVIFXML_H

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QVector>

// The namespaces the client reads and writes.
namespace OnvifNs {
extern const QString kSoap;       // SOAP 1.2 envelope
extern const QString kDevice;     // device management service
extern const QString kSchema;     // common types
extern const QString kError;      // fault subcodes
extern const QString kDiscovery;  // WS-Discovery
extern const QString kAddressing; // WS-Addressing of WS-Discovery
extern const QString kNetwork;    // device types of WS-Discovery
} // namespace OnvifNs

// One element of a parsed answer: its namespace URI and local name, its own
// text, its attributes by local name and the prefixes in scope (to resolve
// qualified names written as text, such as fault subcodes).
class COnvifNode
{
public:
    QString m_strNs;
    QString m_strName;
    QString m_strText;
    QHash<QString, QString> m_hashAttrs;
    QHash<QString, QString> m_hashScope;
    QVector<COnvifNode> m_vecChildren;

    bool is(const QString &strNs, const QString &strName) const
    {
        return m_strName == strName && m_strNs == strNs;
    }
    // First direct child with this namespace and name, or nullptr.
    const COnvifNode *child(const QString &strNs, const QString &strName) const;
    QList<const COnvifNode *> children(const QString &strNs, const QString &strName) const;
    // First element with this namespace and name at any depth, this one included.
    const COnvifNode *find(const QString &strNs, const QString &strName) const;
    // Trimmed text of the first direct child, empty when there is none.
    QString childText(const QString &strNs, const QString &strName) const;
    // Follows a path of children in one namespace.
    const COnvifNode *path(const QString &strNs, const QStringList &listNames) const;
    // The namespace a "prefix:name" text stands for; empty when unknown.
    QString qnameNs(const QString &strQName) const;
    static QString qnameLocal(const QString &strQName);
};

namespace OnvifXml {

// Largest answer read; anything longer is refused unread.
constexpr qint64 kMaxAnswerBytes = 1024 * 1024;

// Parses a document into its root element. Documents with a DTD or an
// entity reference, deeper than a sane limit or not well formed are refused:
// false, and strError says why.
bool parse(const QByteArray &data, COnvifNode &root, QString &strError);

// Text escaped for an element's content or a double-quoted attribute.
QString esc(const QString &strText);

// A number of an answer (decimals allowed) rounded to an int within int's
// range; 0 when the text is no number.
int number(const QString &strText);

} // namespace OnvifXml

#endif // ONVIFXML_H
