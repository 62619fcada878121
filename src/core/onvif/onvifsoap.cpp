#include "onvifsoap.h"
#include "onvifguard.h"

#include "devicepins.h"

#include <QDateTime>
#include <QHash>
#include <QLoggingCategory>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QRandomGenerator>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QThreadStorage>
#include <QTimer>

Q_LOGGING_CATEGORY(lcOnvifSoap, "corvane.onvif.soap")

namespace {

// Long enough to serve a refresh and its logins; a moved clock shows as a refused token.
constexpr qint64 kClockKeptMs = 5 * 60 * 1000;

COnvifError faultError(const COnvifNode &fault)
{
    QStringList listCodes;
    COnvifError::EKind eKind = COnvifError::Fault;
    const COnvifNode *pCode = fault.child(OnvifNs::kSoap, QStringLiteral("Code"));
    while (pCode) {
        const COnvifNode *pValue = pCode->child(OnvifNs::kSoap, QStringLiteral("Value"));
        if (pValue) {
            const QString strLocal = COnvifNode::qnameLocal(pValue->m_strText);
            const QString strNs = pValue->qnameNs(pValue->m_strText.trimmed());
            listCodes.append(strLocal);
            if (strLocal == QLatin1String("NotAuthorized") && strNs == OnvifNs::kError)
                eKind = COnvifError::Account;
            else if (strLocal == QLatin1String("ActionNotSupported"))
                eKind = COnvifError::Unsupported;
        }
        pCode = pCode->child(OnvifNs::kSoap, QStringLiteral("Subcode"));
    }
    QString strReason;
    if (const COnvifNode *pReason = fault.child(OnvifNs::kSoap, QStringLiteral("Reason")))
        strReason = pReason->childText(OnvifNs::kSoap, QStringLiteral("Text"));
    const QString strCode = listCodes.isEmpty() ? QString() : listCodes.last();
    return COnvifError(eKind, strReason.isEmpty() ? strCode : strCode + QStringLiteral(": ") + strReason);
}

} // namespace

COnvifSoap &COnvifSoap::ofThread()
{
    static QThreadStorage<COnvifSoap *> s_clients;
    if (!s_clients.hasLocalData()) {
        auto *pClient = new COnvifSoap;
        pClient->m_nam.setProxy(QNetworkProxy::NoProxy);
        s_clients.setLocalData(pClient);
    }
    return *s_clients.localData();
}

COnvifSoap::~COnvifSoap()
{
    // Calls still under way end with the thread; none reports into a client being destroyed.
    const QList<QNetworkReply *> listReplies = m_nam.findChildren<QNetworkReply *>();
    for (QNetworkReply *pReply : listReplies) {
        QObject::disconnect(pReply, nullptr, this, nullptr);
        pReply->abort();
    }
}

bool COnvifSoap::checkPin(QNetworkReply *pReply)
{
    // The native devices' store: a pin met in an earlier run holds in this one.
    const QByteArray der = pReply->sslConfiguration().peerCertificate().toDer();
    const std::string strPeer =
        (pReply->url().host() + QLatin1Char(':') + QString::number(pReply->url().port(443))).toStdString();
    return corvane::wire::pinAccepts(
        strPeer, corvane::wire::certificateFingerprint(reinterpret_cast<const uint8_t *>(der.constData()),
                                                       std::size_t(der.size())));
}

QString COnvifSoap::peerKey(const QUrl &url)
{
    return url.scheme() + QLatin1Char('/') + url.host() + QLatin1Char(':') + QString::number(url.port());
}

QByteArray COnvifSoap::envelope(const stOnvifTarget &target, const QString &strBody, bool bSigned) const
{
    QString strHeader;
    if (bSigned && !target.strUser.isEmpty()) {
        const qint64 llOffset = m_hashPeers.value(peerKey(target.url)).llClockOffsetMs;
        const QDateTime created = QDateTime::currentDateTimeUtc().addMSecs(llOffset);
        strHeader = QStringLiteral("<s:Header>")
            + OnvifAuth::securityHeader(target.strUser, target.strPassword, created) + QStringLiteral("</s:Header>");
    }
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                          "<s:Envelope xmlns:s=\"%1\" xmlns:tds=\"%2\" xmlns:tt=\"%3\">%4<s:Body>%5</s:Body>"
                          "</s:Envelope>")
        .arg(OnvifNs::kSoap, OnvifNs::kDevice, OnvifNs::kSchema, strHeader, strBody)
        .toUtf8();
}

void COnvifSoap::exchange(const std::shared_ptr<stSend> &pSend)
{
    QNetworkRequest request = pSend->request;
    const QString strPeer = peerKey(request.url());
    if (!OnvifGuard::destinationAllowed(request.url())) {
        stExchange refused;
        refused.error = COnvifError(COnvifError::Refused, request.url().host());
        QTimer::singleShot(0, this, [pSend, refused] { pSend->done(refused); });
        return;
    }
    stPeer &peer = m_hashPeers[strPeer];
    const QString strNonceSent = peer.digest.strNonce;
    if (peer.digest.isValid()) {
        const QByteArray cnonce = QByteArray::number(QRandomGenerator::system()->generate64(), 16);
        const QUrl &url = request.url();
        const QByteArray uri = url.path(QUrl::FullyEncoded).toLatin1()
            + (url.hasQuery() ? '?' + url.query(QUrl::FullyEncoded).toLatin1() : QByteArray());
        request.setRawHeader("Authorization",
                             OnvifAuth::digestAuthorization(peer.digest, pSend->target.strUser,
                                                            pSend->target.strPassword, pSend->verb,
                                                            uri.isEmpty() ? "/" : uri, cnonce));
    }
    const QByteArray payload = pSend->payload ? pSend->payload() : QByteArray();
    QNetworkReply *pReply = pSend->verb == "GET" ? m_nam.get(request) : m_nam.post(request, payload);
    auto *pTimer = new QTimer(pReply);
    pTimer->setSingleShot(true);
    struct stFlags
    {
        bool bTimedOut = false;
        bool bTooLarge = false;
        bool bPinBroken = false;
    };
    auto pFlags = std::make_shared<stFlags>();
    connect(pTimer, &QTimer::timeout, pReply, [pReply, pFlags] {
        pFlags->bTimedOut = true;
        pReply->abort();
    });
    auto checkSize = [pReply, pTimer, pFlags] {
        pTimer->start(kTimeoutMs);
        const qint64 llDeclared = pReply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (llDeclared > OnvifXml::kMaxAnswerBytes || pReply->bytesAvailable() > OnvifXml::kMaxAnswerBytes) {
            pFlags->bTooLarge = true;
            pReply->abort();
        }
    };
    connect(pReply, &QNetworkReply::metaDataChanged, pReply, checkSize);
    connect(pReply, &QNetworkReply::readyRead, pReply, checkSize);
    connect(pReply, &QNetworkReply::uploadProgress, pReply, [pSend, pTimer](qint64 llSent, qint64 llTotal) {
        pTimer->start(kTimeoutMs);
        if (pSend->progress && llTotal > 0)
            pSend->progress(int(llSent * 100 / llTotal));
    });
    auto pinCheck = [pReply, pFlags] {
        if (checkPin(pReply)) {
            pReply->ignoreSslErrors();
        } else if (!pFlags->bPinBroken) {
            pFlags->bPinBroken = true;
            pReply->abort();
        }
    };
    connect(pReply, &QNetworkReply::sslErrors, pReply, pinCheck);
    connect(pReply, &QNetworkReply::encrypted, pReply, pinCheck);
    connect(pReply, &QNetworkReply::finished, this, [this, pReply, pSend, pFlags, strPeer, strNonceSent] {
        pReply->deleteLater();
        const stExchange result = finish(pReply, strPeer, pFlags->bTimedOut, pFlags->bTooLarge, pFlags->bPinBroken);
        // A 401 with a fresh challenge is answered once; a second 401 is the account.
        const OnvifAuth::stDigestChallenge &digest = m_hashPeers.value(strPeer).digest;
        if (result.error.ok() && result.iStatus == 401 && !pSend->bChallenged && digest.isValid()
            && digest.strNonce != strNonceSent && !pSend->target.strUser.isEmpty()) {
            pSend->bChallenged = true;
            exchange(pSend);
            return;
        }
        pSend->done(result);
    });
    pTimer->start(kTimeoutMs);
}

COnvifSoap::stExchange COnvifSoap::finish(QNetworkReply *pReply, const QString &strPeer, bool bTimedOut,
                                          bool bTooLarge, bool bPinBroken)
{
    stExchange result;
    result.iStatus = pReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (bTimedOut) {
        result.error = COnvifError(COnvifError::Timeout);
    } else if (bTooLarge) {
        result.error = COnvifError(COnvifError::TooLarge);
    } else if (bPinBroken) {
        result.error = COnvifError(COnvifError::CertChanged, pReply->url().host());
        qCWarning(lcOnvifSoap) << "certificate of" << pReply->url().host() << "changed since it was pinned";
    } else if (result.iStatus == 0) {
        result.error = COnvifError(COnvifError::Unreachable, pReply->errorString());
    } else {
        result.answer = pReply->read(OnvifXml::kMaxAnswerBytes + 1);
        if (result.answer.size() > OnvifXml::kMaxAnswerBytes)
            result.error = COnvifError(COnvifError::TooLarge);
        if (result.iStatus == 401) {
            bool bBasicOnly = false;
            const OnvifAuth::stDigestChallenge challenge = OnvifAuth::pickChallenge(pReply->rawHeaderPairs(),
                                                                                     bBasicOnly);
            if (challenge.isValid())
                m_hashPeers[strPeer].digest = challenge;
            else if (bBasicOnly)
                result.error = COnvifError(COnvifError::UnsafeAuth);
        }
    }
    return result;
}

COnvifError COnvifSoap::bodyOf(const stExchange &result, const QUrl &url, COnvifNode &answer)
{
    if (!result.error.ok())
        return result.error;
    return readAnswer(result.iStatus, result.answer, url, answer);
}

COnvifError COnvifSoap::readAnswer(int iStatus, const QByteArray &baBody, const QUrl &url, COnvifNode &answer)
{
    COnvifNode root;
    QString strError;
    const bool bParsed = OnvifXml::parse(baBody, root, strError);
    const COnvifNode *pBody = bParsed && root.is(OnvifNs::kSoap, QStringLiteral("Envelope"))
        ? root.child(OnvifNs::kSoap, QStringLiteral("Body"))
        : nullptr;
    if (pBody) {
        if (const COnvifNode *pFault = pBody->child(OnvifNs::kSoap, QStringLiteral("Fault")))
            return faultError(*pFault);
    }
    if (iStatus == 401)
        return COnvifError(COnvifError::Account);
    if (iStatus < 200 || iStatus >= 300)
        return COnvifError(COnvifError::Http, QString::number(iStatus));
    if (!pBody || pBody->m_vecChildren.isEmpty()) {
        qCDebug(lcOnvifSoap) << "malformed answer from" << url.host() << strError;
        return COnvifError(COnvifError::Malformed);
    }
    answer = pBody->m_vecChildren.first();
    return COnvifError();
}

void COnvifSoap::callAsync(const stOnvifTarget &target, const QString &strBody, CallDone done, bool bSigned)
{
    auto pSend = std::make_shared<stSend>();
    pSend->target = target;
    pSend->request = QNetworkRequest(target.url);
    pSend->request.setHeader(QNetworkRequest::ContentTypeHeader,
                             QByteArrayLiteral("application/soap+xml; charset=utf-8"));
    pSend->request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    pSend->verb = "POST";
    pSend->payload = [this, target, strBody, bSigned] { return envelope(target, strBody, bSigned); };
    const QString strPeer = peerKey(target.url);
    pSend->done = [this, target, strPeer, bSigned, done = std::move(done)](const stExchange &result) {
        COnvifNode answer;
        const COnvifError error = bodyOf(result, target.url, answer);
        // The clock may have moved: read it again before the next token.
        if (bSigned && error.kind() == COnvifError::Account)
            m_hashPeers[strPeer].clockRead = QDateTime();
        done(error, answer);
    };
    exchange(pSend);
}

void COnvifSoap::clockAsync(const stOnvifTarget &target, Done done)
{
    const QString strPeer = peerKey(target.url);
    const QDateTime read = m_hashPeers.value(strPeer).clockRead;
    if (read.isValid() && read.msecsTo(QDateTime::currentDateTimeUtc()) < kClockKeptMs) {
        QTimer::singleShot(0, this, [done = std::move(done)] { done(COnvifError()); });
        return;
    }
    callAsync(target, QStringLiteral("<tds:GetSystemDateAndTime/>"),
              [this, strPeer, done = std::move(done)](const COnvifError &error, const COnvifNode &answer) {
                  if (!error.ok()) {
                      done(error);
                      return;
                  }
                  stPeer &peer = m_hashPeers[strPeer];
                  peer.clockRead = QDateTime::currentDateTimeUtc();
                  const COnvifNode *pUtc = answer.find(OnvifNs::kSchema, QStringLiteral("UTCDateTime"));
                  const COnvifNode *pDate = pUtc ? pUtc->child(OnvifNs::kSchema, QStringLiteral("Date")) : nullptr;
                  const COnvifNode *pTime = pUtc ? pUtc->child(OnvifNs::kSchema, QStringLiteral("Time")) : nullptr;
                  // A device without a UTC clock is taken as right.
                  if (pDate && pTime) {
                      auto num = [](const COnvifNode *pNode, const char *pszName) {
                          return pNode->childText(OnvifNs::kSchema, QLatin1String(pszName)).toInt();
                      };
                      const QDateTime device(QDate(num(pDate, "Year"), num(pDate, "Month"), num(pDate, "Day")),
                                             QTime(num(pTime, "Hour"), num(pTime, "Minute"), num(pTime, "Second")),
                                             Qt::UTC);
                      if (device.isValid())
                          peer.llClockOffsetMs = peer.clockRead.msecsTo(device);
                  }
                  done(COnvifError());
              },
              false);
}

COnvifError COnvifSoap::syncClock(const stOnvifTarget &target)
{
    return await<COnvifError>([&](std::function<void(COnvifError)> done) { clockAsync(target, std::move(done)); },
                              COnvifError(COnvifError::Timeout));
}

COnvifError COnvifSoap::call(const stOnvifTarget &target, const QString &strBody, COnvifNode &answer, bool bSigned)
{
    using Result = std::pair<COnvifError, COnvifNode>;
    Result result = await<Result>(
        [&](std::function<void(Result)> done) {
            callAsync(target, strBody,
                      [done = std::move(done)](const COnvifError &error, const COnvifNode &node) {
                          done(Result(error, node));
                      },
                      bSigned);
        },
        Result(COnvifError(COnvifError::Timeout), COnvifNode()));
    answer = std::move(result.second);
    return result.first;
}

COnvifError COnvifSoap::upload(const stOnvifTarget &target, const QByteArray &data,
                               const std::function<void(int)> &progress)
{
    QByteArray answer;
    return transfer(target, "POST", data, progress, answer);
}

COnvifError COnvifSoap::download(const stOnvifTarget &target, QByteArray &data)
{
    return transfer(target, "GET", QByteArray(), {}, data);
}

COnvifError COnvifSoap::transfer(const stOnvifTarget &target, const QByteArray &verb, const QByteArray &data,
                                 const std::function<void(int)> &progress, QByteArray &answer)
{
    auto pSend = std::make_shared<stSend>();
    pSend->target = target;
    pSend->request = QNetworkRequest(target.url);
    if (!data.isEmpty())
        pSend->request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/octet-stream"));
    pSend->verb = verb;
    pSend->payload = [data] { return data; };
    pSend->progress = progress;
    const stExchange result = await<stExchange>(
        [&](std::function<void(stExchange)> done) {
            pSend->done = std::move(done);
            exchange(pSend);
        },
        stExchange{QByteArray(), 0, COnvifError(COnvifError::Timeout)});
    if (!result.error.ok())
        return result.error;
    if (result.iStatus == 401)
        return COnvifError(COnvifError::Account);
    if (result.iStatus < 200 || result.iStatus >= 300)
        return COnvifError(COnvifError::Http, QString::number(result.iStatus));
    answer = result.answer;
    return COnvifError();
}
