#include "thread_getcap.h"

#include "devcapability.h"
#include "devsession.h"
#include "zelt_mw_sdk.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcGetCap, "corvane.getcap")

CGetCapThread::CGetCapThread()
    : QObject(nullptr)
{
}

void CGetCapThread::getDevCap_slot(QString userId, ulong capType, quint32 ulOpening)
{
    if (ulOpening != 0 && ulOpening == m_ulFailedOpening)
        return;
    QList<stDevCapacityInfo> listCap;
    const uint32_t ulResult = DevCapability::fetch(userId, uint32_t(capType), listCap);
    if (ulResult == DevCapability::ParseFailed) {
        qCDebug(lcGetCap) << "capability kind" << capType << "does not parse; its page stays hidden";
        listCap.clear();
    } else if (ulResult != 0) {
        m_ulFailedOpening = ulOpening;
        emit sendGetCapFailed_sig(ulResult, ulOpening);
        return;
    }
    emit sendGetCapReslut_sig(listCap, capType, ulOpening);
}

void CGetCapThread::startLivePlay(QString userId, quint32 ulOpening)
{
    if (ulOpening != 0 && ulOpening == m_ulFailedOpening)
        return;
    DWORD ulStreamHd = 0;
    const DWORD ulResult = DevSession::startLiveStream(userId.toLatin1(), ulStreamHd);
    if (!DevSession::isStreamRunning(ulResult)) {
        qCDebug(lcGetCap) << "live stream start failed:" << ulResult;
        ulStreamHd = 0;
    }
    emit sendStartLiveResult(ulStreamHd, ulResult, ulOpening, userId);
}

void CGetCapThread::stopLivePlay(QString userId, ulong streamHd)
{
    const QByteArray id = userId.toLatin1();
    const DWORD ulResult = ZELT_MW_StopMediaStream(id.constData(), DWORD(streamHd));
    qCDebug(lcGetCap) << "unused live stream" << streamHd << "stopped:" << ulResult;
}
