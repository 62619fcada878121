#ifndef ONVIFSOAP_H
#define ONVIFSOAP_H

#include "onvifauth.h"
#include "onviferror.h"
#include "onvifxml.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QString>
#include <QUrl>

#include <functional>

class QNetworkReply;

// SOAP 1.2 over HTTP(S) to one device, for the thread that creates it: each
// call blocks that thread in a local event loop until the answer, a failure
// or the timeout. Signs requests with a UsernameToken in the device's clock
// (see syncClock) and answers a Digest challenge when the device sends one.
class COnvifSoap
{
public:
    static constexpr int kTimeoutMs = 5000;

    COnvifSoap(const QString &strUser, const QString &strPassword);
    ~COnvifSoap();
    COnvifSoap(const COnvifSoap &) = delete;
    COnvifSoap &operator=(const COnvifSoap &) = delete;

    // Reads the device's clock without signing in, so that later tokens
    // carry its time even when it is off.
    COnvifError syncClock(const QUrl &url);
    // One call; body is the request element (prefixes tds and tt declared).
    // On success answer is the SOAP Body element.
    COnvifError call(const QUrl &url, const QString &strBody, COnvifNode &answer, bool bSigned = true);
    // HTTP POST of a file; progress gets the percent sent.
    COnvifError upload(const QUrl &url, const QByteArray &data, const std::function<void(int)> &progress);
    // HTTP GET of a file the device offers.
    COnvifError download(const QUrl &url, QByteArray &data);

    // Certificate pins ("host:port" -> SHA-256 of the certificate), shared by
    // every client of the process.
    static void forgetPins();

private:
    struct stExchange
    {
        QByteArray answer;
        int iStatus = 0;
        COnvifError error;
    };
    // Sends once, answering one Digest challenge; the answer of 1 MiB at most.
    stExchange exchange(const QNetworkRequest &request, const QByteArray &verb, const QByteArray &payload,
                        const std::function<void(int)> &progress);
    stExchange sendOnce(QNetworkRequest request, const QByteArray &verb, const QByteArray &payload,
                        const std::function<void(int)> &progress);
    QString envelope(const QString &strBody, bool bSigned) const;
    static bool checkPin(QNetworkReply *pReply);

    QNetworkAccessManager m_nam;
    QString m_strUser;
    QString m_strPassword;
    qint64 m_llClockOffsetMs = 0;
    OnvifAuth::stDigestChallenge m_digest;
};

#endif // ONVIFSOAP_H
