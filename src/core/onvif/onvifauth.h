#ifndef ONVIFAUTH_H
#define ONVIFAUTH_H

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

// The two ways the client proves its account: a WS-Security UsernameToken
// with a password digest in the SOAP header, and HTTP Digest (MD5 or
// SHA-256, qop=auth) when the device asks for it with a 401.
namespace OnvifAuth {

// The SOAP header block; created is the time in the device's clock.
QString securityHeader(const QString &strUser, const QString &strPassword, const QDateTime &created);
// base64(SHA-1(nonce + created + password)) of the token.
QByteArray passwordDigest(const QByteArray &nonce, const QByteArray &created, const QString &strPassword);

struct stDigestChallenge
{
    QString strRealm;
    QString strNonce;
    QString strOpaque;
    QString strAlgorithm; // "MD5" or "SHA-256"
    quint32 ulCount = 0;
    bool isValid() const { return !strNonce.isEmpty(); }
};

// The strongest Digest challenge with qop=auth among a reply's
// WWW-Authenticate headers; invalid when there is none. bBasicOnly tells
// that the device offered Basic and no usable Digest.
stDigestChallenge pickChallenge(const QList<QPair<QByteArray, QByteArray>> &listHeaders, bool &bBasicOnly);
// The Authorization header for one request; counts the nonce's uses.
QByteArray digestAuthorization(stDigestChallenge &challenge, const QString &strUser, const QString &strPassword,
                               const QByteArray &method, const QByteArray &uri, const QByteArray &cnonce);

} // namespace OnvifAuth

#endif // ONVIFAUTH_H
