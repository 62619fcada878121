#include "onvifauth.h"
#include "onvifxml.h"

#include <QCryptographicHash>
#include <QHash>
#include <QRandomGenerator>

namespace OnvifAuth {

namespace {

const char *const kPasswordDigestType =
    "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-username-token-profile-1.0#PasswordDigest";
const char *const kBase64Type =
    "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-soap-message-security-1.0#Base64Binary";

// "Digest a=1, b="x, y"" -> scheme "digest" and its parameters.
QHash<QString, QString> parseChallenge(const QByteArray &value, QString &strScheme)
{
    const QString strValue = QString::fromLatin1(value).trimmed();
    const int iSpace = strValue.indexOf(QLatin1Char(' '));
    strScheme = (iSpace < 0 ? strValue : strValue.left(iSpace)).toLower();
    QHash<QString, QString> hashParams;
    int i = iSpace < 0 ? strValue.size() : iSpace + 1;
    while (i < strValue.size()) {
        while (i < strValue.size() && (strValue[i] == QLatin1Char(',') || strValue[i].isSpace()))
            ++i;
        const int iEq = strValue.indexOf(QLatin1Char('='), i);
        if (iEq < 0)
            break;
        const QString strKey = strValue.mid(i, iEq - i).trimmed().toLower();
        i = iEq + 1;
        QString strVal;
        if (i < strValue.size() && strValue[i] == QLatin1Char('"')) {
            for (++i; i < strValue.size() && strValue[i] != QLatin1Char('"'); ++i) {
                if (strValue[i] == QLatin1Char('\\') && i + 1 < strValue.size())
                    ++i;
                strVal += strValue[i];
            }
            ++i;
        } else {
            const int iEnd = strValue.indexOf(QLatin1Char(','), i);
            strVal = strValue.mid(i, iEnd < 0 ? -1 : iEnd - i).trimmed();
            i = iEnd < 0 ? strValue.size() : iEnd;
        }
        hashParams.insert(strKey, strVal);
    }
    return hashParams;
}

QByteArray hashHex(const QString &strAlgorithm, const QByteArray &data)
{
    const auto eAlg = strAlgorithm == QLatin1String("SHA-256") ? QCryptographicHash::Sha256
                                                               : QCryptographicHash::Md5;
    return QCryptographicHash::hash(data, eAlg).toHex();
}

} // namespace

QByteArray passwordDigest(const QByteArray &nonce, const QByteArray &created, const QString &strPassword)
{
    return QCryptographicHash::hash(nonce + created + strPassword.toUtf8(), QCryptographicHash::Sha1).toBase64();
}

QString securityHeader(const QString &strUser, const QString &strPassword, const QDateTime &created)
{
    QByteArray nonce(16, Qt::Uninitialized);
    for (char &c : nonce)
        c = char(QRandomGenerator::system()->bounded(256));
    const QByteArray createdText = created.toUTC().toString(Qt::ISODate).toLatin1();
    return QStringLiteral(
               "<wsse:Security s:mustUnderstand=\"1\" "
               "xmlns:wsse=\"http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-secext-1.0.xsd\" "
               "xmlns:wsu=\"http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-utility-1.0.xsd\">"
               "<wsse:UsernameToken><wsse:Username>%1</wsse:Username>"
               "<wsse:Password Type=\"%2\">%3</wsse:Password>"
               "<wsse:Nonce EncodingType=\"%4\">%5</wsse:Nonce>"
               "<wsu:Created>%6</wsu:Created></wsse:UsernameToken></wsse:Security>")
        .arg(OnvifXml::esc(strUser), QLatin1String(kPasswordDigestType),
             QString::fromLatin1(passwordDigest(nonce, createdText, strPassword)), QLatin1String(kBase64Type),
             QString::fromLatin1(nonce.toBase64()), QString::fromLatin1(createdText));
}

stDigestChallenge pickChallenge(const QList<QPair<QByteArray, QByteArray>> &listHeaders, bool &bBasicOnly)
{
    stDigestChallenge best;
    bool bBasic = false;
    for (const auto &header : listHeaders) {
        if (header.first.toLower() != "www-authenticate")
            continue;
        QString strScheme;
        const QHash<QString, QString> params = parseChallenge(header.second, strScheme);
        if (strScheme == QLatin1String("basic")) {
            bBasic = true;
            continue;
        }
        if (strScheme != QLatin1String("digest"))
            continue;
        const QString strAlg = params.value(QStringLiteral("algorithm"), QStringLiteral("MD5")).toUpper();
        bool bQopAuth = false;
        for (const QString &strQop : params.value(QStringLiteral("qop")).split(QLatin1Char(',')))
            bQopAuth = bQopAuth || strQop.trimmed() == QLatin1String("auth");
        if (!bQopAuth || (strAlg != QLatin1String("MD5") && strAlg != QLatin1String("SHA-256")))
            continue;
        if (best.isValid() && best.strAlgorithm == QLatin1String("SHA-256"))
            continue;
        best.strRealm = params.value(QStringLiteral("realm"));
        best.strNonce = params.value(QStringLiteral("nonce"));
        best.strOpaque = params.value(QStringLiteral("opaque"));
        best.strAlgorithm = strAlg;
        best.ulCount = 0;
    }
    bBasicOnly = bBasic && !best.isValid();
    return best;
}

QByteArray digestAuthorization(stDigestChallenge &challenge, const QString &strUser, const QString &strPassword,
                               const QByteArray &method, const QByteArray &uri, const QByteArray &cnonce)
{
    const QByteArray nc = QByteArray::number(++challenge.ulCount, 16).rightJustified(8, '0');
    const QByteArray ha1 = hashHex(challenge.strAlgorithm, strUser.toUtf8() + ':' + challenge.strRealm.toUtf8()
                                                               + ':' + strPassword.toUtf8());
    const QByteArray ha2 = hashHex(challenge.strAlgorithm, method + ':' + uri);
    const QByteArray response = hashHex(challenge.strAlgorithm, ha1 + ':' + challenge.strNonce.toUtf8() + ':' + nc
                                                                    + ':' + cnonce + ":auth:" + ha2);
    auto quoted = [](const QString &s) {
        QString t = s;
        return '"' + t.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\"")).toUtf8() + '"';
    };
    QByteArray header = "Digest username=" + quoted(strUser) + ", realm=" + quoted(challenge.strRealm)
        + ", nonce=" + quoted(challenge.strNonce) + ", uri=" + quoted(QString::fromLatin1(uri))
        + ", algorithm=" + challenge.strAlgorithm.toLatin1() + ", response=\"" + response
        + "\", qop=auth, nc=" + nc + ", cnonce=\"" + cnonce + '"';
    if (!challenge.strOpaque.isEmpty())
        header += ", opaque=" + quoted(challenge.strOpaque);
    return header;
}

} // namespace OnvifAuth
