#ifndef ONVIFSOAP_H
#define ONVIFSOAP_H

#include "onvifauth.h"
#include "onviferror.h"
#include "onvifxml.h"

#include <QByteArray>
#include <QDateTime>
#include <QEventLoop>
#include <QHash>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>

class QNetworkReply;

// Where a call goes and the account it signs with.
struct stOnvifTarget
{
    QUrl url;
    QString strUser;
    QString strPassword;
};

// SOAP 1.2 over HTTP(S), one client per thread (ofThread): one network
// manager whose connections stay open between calls, and per device the
// clock offset the UsernameToken is created in and the last Digest
// challenge, so that a device is asked for neither more than needed.
// The asynchronous calls report on the client's thread from its event loop,
// never from inside the call; the blocking ones wait for them in a local
// event loop.
class COnvifSoap : public QObject
{
    Q_OBJECT

public:
    static constexpr int kTimeoutMs = 5000;

    using Done = std::function<void(const COnvifError &error)>;
    // On success answer is the SOAP Body's first element.
    using CallDone = std::function<void(const COnvifError &error, const COnvifNode &answer)>;

    // The calling thread's client, made on first use and deleted with the thread.
    static COnvifSoap &ofThread();
    ~COnvifSoap() override;

    // Makes sure the device's clock is known (read without signing in, kept
    // for a while), so that tokens carry its time even when it is off.
    void clockAsync(const stOnvifTarget &target, Done done);
    // One call; body is the request element (prefixes tds and tt declared).
    void callAsync(const stOnvifTarget &target, const QString &strBody, CallDone done, bool bSigned = true);

    COnvifError syncClock(const stOnvifTarget &target);
    COnvifError call(const stOnvifTarget &target, const QString &strBody, COnvifNode &answer, bool bSigned = true);
    // HTTP POST of a file; progress gets the percent sent.
    COnvifError upload(const stOnvifTarget &target, const QByteArray &data, const std::function<void(int)> &progress);
    // HTTP GET of a file, such as a snapshot.
    COnvifError download(const stOnvifTarget &target, QByteArray &data);

    // An HTTP answer (status and body) read as a call's result: a SOAP
    // fault's reason, the status, or the Body's first element in answer.
    static COnvifError readAnswer(int iStatus, const QByteArray &baBody, const QUrl &url, COnvifNode &answer);

    // Starts asynchronous work that hands its result to the function it is
    // given, and waits for it; orElse when the thread is told to stop first.
    template <typename T>
    static T await(const std::function<void(std::function<void(T)>)> &start, T orElse);

private:
    struct stExchange
    {
        QByteArray answer;
        int iStatus = 0;
        COnvifError error;
    };
    using ExchangeDone = std::function<void(const stExchange &result)>;
    struct stSend
    {
        stOnvifTarget target;
        QNetworkRequest request;
        QByteArray verb;
        std::function<QByteArray()> payload; // made per send: a token's nonce is used once
        std::function<void(int)> progress;
        bool bChallenged = false;
        ExchangeDone done;
    };
    struct stPeer
    {
        qint64 llClockOffsetMs = 0;
        QDateTime clockRead;
        OnvifAuth::stDigestChallenge digest;
    };

    COnvifSoap() = default;
    // Sends, answering one fresh Digest challenge; the answer of 1 MiB at most.
    void exchange(const std::shared_ptr<stSend> &pSend);
    stExchange finish(QNetworkReply *pReply, const QString &strPeer, bool bTimedOut, bool bTooLarge, bool bPinBroken);
    QByteArray envelope(const stOnvifTarget &target, const QString &strBody, bool bSigned) const;
    COnvifError transfer(const stOnvifTarget &target, const QByteArray &verb, const QByteArray &data,
                         const std::function<void(int)> &progress, QByteArray &answer);
    static QString peerKey(const QUrl &url);
    static bool checkPin(QNetworkReply *pReply);
    static COnvifError bodyOf(const stExchange &result, const QUrl &url, COnvifNode &answer);

    QNetworkAccessManager m_nam;
    QHash<QString, stPeer> m_hashPeers;
};

template <typename T>
T COnvifSoap::await(const std::function<void(std::function<void(T)>)> &start, T orElse)
{
    QEventLoop loop;
    QPointer<QEventLoop> pLoop(&loop);
    // Shared: the work may end after a stopped thread gave up waiting.
    auto pResult = std::make_shared<std::optional<T>>();
    start([pResult, pLoop](T value) {
        *pResult = std::move(value);
        if (pLoop)
            pLoop->quit();
    });
    if (!*pResult)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return *pResult ? std::move(**pResult) : orElse;
}

#endif // ONVIFSOAP_H
