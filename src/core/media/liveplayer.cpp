#include "liveplayer.h"

#include "mediabackend.h"
#include "onvifguard.h"
#include "onvifsoap.h"

#include <QDateTime>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcLivePlayer, "corvane.media.live")

namespace {

constexpr int kSnapshotIntervalMs = 1000;

} // namespace

bool CFrameSlot::put(stVideoFrame frame)
{
    QMutexLocker locker(&m_mutex);
    m_frame = std::move(frame);
    m_bFull = true;
    const bool bTell = !m_bTold;
    m_bTold = true;
    return bTell;
}

bool CFrameSlot::take(stVideoFrame &frame)
{
    QMutexLocker locker(&m_mutex);
    m_bTold = false;
    if (!m_bFull)
        return false;
    frame = std::move(m_frame);
    m_frame = stVideoFrame();
    m_bFull = false;
    return true;
}

CLivePlayer::CLivePlayer(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<stLiveSource>();
    m_thread.setObjectName(QStringLiteral("live player"));
}

CLivePlayer::~CLivePlayer()
{
    stop();
}

void CLivePlayer::start(const stLiveSource &source)
{
    stop();
    m_pWorker = new CLivePlayerWorker(m_slot);
    m_pWorker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_pWorker, &QObject::deleteLater);
    connect(m_pWorker, &CLivePlayerWorker::sendFrameReadySignal, this, &CLivePlayer::sendFrameReadySignal);
    connect(m_pWorker, &CLivePlayerWorker::sendStateSignal, this, &CLivePlayer::sendStateSignal);
    m_thread.start();
    QMetaObject::invokeMethod(m_pWorker, "playSlot", Qt::QueuedConnection, Q_ARG(stLiveSource, source));
}

void CLivePlayer::stop()
{
    if (!m_pWorker)
        return;
    m_pWorker->requestStop();
    m_thread.quit();
    m_thread.wait();
    m_pWorker = nullptr;
    stVideoFrame dropped;
    m_slot.take(dropped);
}

CLivePlayerWorker::CLivePlayerWorker(CFrameSlot &slot)
    : m_slot(slot)
{
}

void CLivePlayerWorker::requestStop()
{
    m_bStop = true;
    QMutexLocker locker(&m_waitMutex);
    m_wait.wakeAll();
}

void CLivePlayerWorker::deliver(stVideoFrame frame)
{
    frame.llDecodedMs = QDateTime::currentMSecsSinceEpoch();
    if (m_slot.put(std::move(frame)))
        emit sendFrameReadySignal();
}

void CLivePlayerWorker::playSlot(const stLiveSource &source)
{
    emit sendStateSignal(CLivePlayer::Connecting, tr("正在连接实时视频"));
    QString strReason;
    IMediaBackend *pBackend = MediaBackend::instance(strReason);
    if (!pBackend) {
        emit sendStateSignal(CLivePlayer::Failed, tr("无法播放实时视频：%1").arg(strReason));
        return;
    }
    if (playStream(*pBackend, source, strReason) || m_bStop)
        return;
    qCDebug(lcLivePlayer) << "stream not played:" << strReason;
    if (source.urlSnapshot.isEmpty()) {
        emit sendStateSignal(CLivePlayer::Failed, tr("无法播放实时视频：%1").arg(strReason));
        return;
    }
    emit sendStateSignal(CLivePlayer::Snapshots, tr("无法播放实时视频（%1），改为每秒显示一张快照").arg(strReason));
    pollSnapshots(*pBackend, source);
}

bool CLivePlayerWorker::playStream(IMediaBackend &backend, const stLiveSource &source, QString &strReason)
{
    if (!OnvifGuard::destinationAllowed(source.urlStream)) {
        strReason = tr("只允许本机回环地址");
        return false;
    }
    QUrl url = source.urlStream;
    url.setUserName(source.strUser);
    url.setPassword(source.strPassword);
    bool bPlaying = false;
    const IMediaBackend::EStreamEnd eEnd = backend.playStream(
        url.toString(QUrl::FullyEncoded).toUtf8(), source.bUdp, m_bStop,
        [this, &bPlaying](stVideoFrame frame) {
            if (!bPlaying) {
                bPlaying = true;
                emit sendStateSignal(CLivePlayer::Playing, QString());
            }
            deliver(std::move(frame));
        },
        strReason);
    if (eEnd == IMediaBackend::Lost)
        emit sendStateSignal(CLivePlayer::Lost, tr("实时视频已中断：%1").arg(strReason));
    return eEnd != IMediaBackend::NotPlayed;
}

void CLivePlayerWorker::pollSnapshots(IMediaBackend &backend, const stLiveSource &source)
{
    COnvifSoap &http = COnvifSoap::ofThread();
    while (!m_bStop) {
        QByteArray jpeg;
        const COnvifError error = http.download({source.urlSnapshot, source.strUser, source.strPassword}, jpeg);
        if (!error.ok()) {
            emit sendStateSignal(CLivePlayer::Failed, tr("无法读取快照：%1").arg(error.reason()));
            return;
        }
        backend.decodeJpeg(jpeg, [this](stVideoFrame frame) { deliver(std::move(frame)); });
        QMutexLocker locker(&m_waitMutex);
        if (!m_bStop)
            m_wait.wait(&m_waitMutex, kSnapshotIntervalMs);
    }
}
