#include "onvifsoap.h"
#include "onvifguard.h"

#include <QDateTime>
#include <QEventLoop>
#include <QHash>
#include <QLoggingCategory>
#include <QMutex>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QRandomGenerator>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTimer>

Q_LOGGING_CATEGORY(lcOnvifSoap, "corvane.onvif.soap")

namespace {

QMutex g_pinMutex;
QHash<QString, QByteArray> g_hashPins;

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

COnvifSoap::COnvifSoap(const QString &strUser, const QString &strPassword)
    : m_strUser(strUser)
    , m_strPassword(strPassword)
{
    m_nam.setProxy(QNetworkProxy::NoProxy);
}

COnvifSoap::~COnvifSoap() = default;

void COnvifSoap::forgetPins()
{
    QMutexLocker lock(&g_pinMutex);
    g_hashPins.clear();
}

bool COnvifSoap::checkPin(QNetworkReply *pReply)
{
    const QSslCertificate cert = pReply->sslConfiguration().peerCertificate();
    const QByteArray digest = cert.digest(QCryptographicHash::Sha256);
    const QString strKey = pReply->url().host() + QLatin1Char(':') + QString::number(pReply->url().port(443));
    QMutexLocker lock(&g_pinMutex);
    auto it = g_hashPins.constFind(strKey);
    if (it == g_hashPins.constEnd()) {
        g_hashPins.insert(strKey, digest);
        return true;
    }
    return it.value() == digest;
}

QString COnvifSoap::envelope(const QString &strBody, bool bSigned) const
{
    QString strHeader;
    if (bSigned && !m_strUser.isEmpty()) {
        const QDateTime created = QDateTime::currentDateTimeUtc().addMSecs(m_llClockOffsetMs);
        strHeader = QStringLiteral("<s:Header>") + OnvifAuth::securityHeader(m_strUser, m_strPassword, created)
            + QStringLiteral("</s:Header>");
    }
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                          "<s:Envelope xmlns:s=\"%1\" xmlns:tds=\"%2\" xmlns:tt=\"%3\">%4<s:Body>%5</s:Body>"
                          "</s:Envelope>")
        .arg(OnvifNs::kSoap, OnvifNs::kDevice, OnvifNs::kSchema, strHeader, strBody);
}

COnvifSoap::stExchange COnvifSoap::sendOnce(QNetworkRequest request, const QByteArray &verb,
                                            const QByteArray &payload, const std::function<void(int)> &progress)
{
    stExchange result;
    if (m_digest.isValid()) {
        const QByteArray cnonce = QByteArray::number(QRandomGenerator::system()->generate64(), 16);
        const QByteArray uri = request.url().path(QUrl::FullyEncoded).toLatin1()
            + (request.url().hasQuery() ? '?' + request.url().query(QUrl::FullyEncoded).toLatin1() : QByteArray());
        request.setRawHeader("Authorization", OnvifAuth::digestAuthorization(m_digest, m_strUser, m_strPassword,
                                                                              verb, uri.isEmpty() ? "/" : uri,
                                                                              cnonce));
    }
    QNetworkReply *pReply = verb == "GET" ? m_nam.get(request) : m_nam.post(request, payload);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    bool bTimedOut = false;
    bool bTooLarge = false;
    bool bPinBroken = false;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        bTimedOut = true;
        pReply->abort();
    });
    auto checkSize = [&] {
        timer.start(kTimeoutMs);
        const qint64 llDeclared = pReply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (llDeclared > OnvifXml::kMaxAnswerBytes || pReply->bytesAvailable() > OnvifXml::kMaxAnswerBytes) {
            bTooLarge = true;
            pReply->abort();
        }
    };
    QObject::connect(pReply, &QNetworkReply::metaDataChanged, &loop, checkSize);
    QObject::connect(pReply, &QNetworkReply::readyRead, &loop, checkSize);
    QObject::connect(pReply, &QNetworkReply::uploadProgress, &loop, [&](qint64 llSent, qint64 llTotal) {
        timer.start(kTimeoutMs);
        if (progress && llTotal > 0)
            progress(int(llSent * 100 / llTotal));
    });
    auto pinCheck = [&] {
        if (checkPin(pReply)) {
            pReply->ignoreSslErrors();
        } else if (!bPinBroken) {
            bPinBroken = true;
            pReply->abort();
        }
    };
    QObject::connect(pReply, &QNetworkReply::sslErrors, &loop, pinCheck);
    QObject::connect(pReply, &QNetworkReply::encrypted, &loop, pinCheck);
    QObject::connect(pReply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(kTimeoutMs);
    if (!pReply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    result.iStatus = pReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (bTimedOut) {
        result.error = COnvifError(COnvifError::Timeout);
    } else if (bTooLarge) {
        result.error = COnvifError(COnvifError::TooLarge);
    } else if (bPinBroken) {
        result.error = COnvifError(COnvifError::CertChanged, request.url().host());
        qCWarning(lcOnvifSoap) << "certificate of" << request.url().host() << "changed since it was pinned";
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
                m_digest = challenge;
            else if (bBasicOnly)
                result.error = COnvifError(COnvifError::UnsafeAuth);
        }
    }
    pReply->deleteLater();
    return result;
}

COnvifSoap::stExchange COnvifSoap::exchange(const QNetworkRequest &request, const QByteArray &verb,
                                            const QByteArray &payload, const std::function<void(int)> &progress)
{
    if (!OnvifGuard::destinationAllowed(request.url())) {
        stExchange refused;
        refused.error = COnvifError(COnvifError::Refused, request.url().host());
        return refused;
    }
    const QString strOldNonce = m_digest.strNonce;
    stExchange result = sendOnce(request, verb, payload, progress);
    // A 401 with a fresh challenge is answered once; a second 401 is the account.
    if (result.error.ok() && result.iStatus == 401 && m_digest.isValid() && m_digest.strNonce != strOldNonce
        && !m_strUser.isEmpty())
        result = sendOnce(request, verb, payload, progress);
    return result;
}

COnvifError COnvifSoap::call(const QUrl &url, const QString &strBody, COnvifNode &answer, bool bSigned)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/soap+xml; charset=utf-8"));
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    const stExchange result = exchange(request, "POST", envelope(strBody, bSigned).toUtf8(), {});
    if (!result.error.ok())
        return result.error;
    COnvifNode root;
    QString strError;
    const bool bParsed = OnvifXml::parse(result.answer, root, strError);
    const COnvifNode *pBody = bParsed && root.is(OnvifNs::kSoap, QStringLiteral("Envelope"))
        ? root.child(OnvifNs::kSoap, QStringLiteral("Body"))
        : nullptr;
    if (pBody) {
        if (const COnvifNode *pFault = pBody->child(OnvifNs::kSoap, QStringLiteral("Fault")))
            return faultError(*pFault);
    }
    if (result.iStatus == 401)
        return COnvifError(COnvifError::Account);
    if (result.iStatus < 200 || result.iStatus >= 300)
        return COnvifError(COnvifError::Http, QString::number(result.iStatus));
    if (!pBody || pBody->m_vecChildren.isEmpty()) {
        qCDebug(lcOnvifSoap) << "malformed answer from" << url.host() << strError;
        return COnvifError(COnvifError::Malformed);
    }
    answer = pBody->m_vecChildren.first();
    return COnvifError();
}

COnvifError COnvifSoap::syncClock(const QUrl &url)
{
    COnvifNode answer;
    const COnvifError error = call(url, QStringLiteral("<tds:GetSystemDateAndTime/>"), answer, false);
    if (!error.ok())
        return error;
    const COnvifNode *pUtc = answer.find(OnvifNs::kSchema, QStringLiteral("UTCDateTime"));
    const COnvifNode *pDate = pUtc ? pUtc->child(OnvifNs::kSchema, QStringLiteral("Date")) : nullptr;
    const COnvifNode *pTime = pUtc ? pUtc->child(OnvifNs::kSchema, QStringLiteral("Time")) : nullptr;
    if (!pDate || !pTime)
        return COnvifError(); // a device without a UTC clock is taken as right
    auto num = [](const COnvifNode *pNode, const char *pszName) {
        return pNode->childText(OnvifNs::kSchema, QLatin1String(pszName)).toInt();
    };
    const QDateTime device(QDate(num(pDate, "Year"), num(pDate, "Month"), num(pDate, "Day")),
                           QTime(num(pTime, "Hour"), num(pTime, "Minute"), num(pTime, "Second")), Qt::UTC);
    if (device.isValid())
        m_llClockOffsetMs = QDateTime::currentDateTimeUtc().msecsTo(device);
    return COnvifError();
}

COnvifError COnvifSoap::upload(const QUrl &url, const QByteArray &data, const std::function<void(int)> &progress)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/octet-stream"));
    const stExchange result = exchange(request, "POST", data, progress);
    if (!result.error.ok())
        return result.error;
    if (result.iStatus == 401)
        return COnvifError(COnvifError::Account);
    if (result.iStatus < 200 || result.iStatus >= 300)
        return COnvifError(COnvifError::Http, QString::number(result.iStatus));
    return COnvifError();
}

COnvifError COnvifSoap::download(const QUrl &url, QByteArray &data)
{
    const stExchange result = exchange(QNetworkRequest(url), "GET", QByteArray(), {});
    if (!result.error.ok())
        return result.error;
    if (result.iStatus == 401)
        return COnvifError(COnvifError::Account);
    if (result.iStatus < 200 || result.iStatus >= 300)
        return COnvifError(COnvifError::Http, QString::number(result.iStatus));
    data = result.answer;
    return COnvifError();
}
