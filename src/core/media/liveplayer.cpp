#include "liveplayer.h"

#include "framedecoder.h"
#include "onvifguard.h"
#include "onvifsoap.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QLoggingCategory>

extern "C" {
#include <libavformat/avformat.h>
}

Q_LOGGING_CATEGORY(lcLivePlayer, "corvane.media.live")

namespace {

constexpr int kOpenTimeoutMs = 5000;
constexpr int kStallTimeoutMs = 5000;
constexpr int kSnapshotIntervalMs = 1000;

qint64 monotonicMs()
{
    static QElapsedTimer timer;
    static const bool bStarted = (timer.start(), true);
    Q_UNUSED(bStarted)
    return timer.elapsed();
}

int interrupted(void *pOpaque)
{
    const auto *pWorker = static_cast<const CLivePlayerWorker *>(pOpaque);
    return pWorker->stopRequested() || monotonicMs() > pWorker->deadline();
}

QString avText(int iCode)
{
    char szText[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(iCode, szText, sizeof szText);
    return QString::fromUtf8(szText);
}

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

void CLivePlayerWorker::armDeadline(int iMs)
{
    m_llDeadline = monotonicMs() + iMs;
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
    if (playStream(source, strReason) || m_bStop)
        return;
    qCDebug(lcLivePlayer) << "stream not played:" << strReason;
    if (source.urlSnapshot.isEmpty()) {
        emit sendStateSignal(CLivePlayer::Failed, tr("无法播放实时视频：%1").arg(strReason));
        return;
    }
    emit sendStateSignal(CLivePlayer::Snapshots, tr("无法播放实时视频（%1），改为每秒显示一张快照").arg(strReason));
    pollSnapshots(source);
}

bool CLivePlayerWorker::playStream(const stLiveSource &source, QString &strReason)
{
    if (!OnvifGuard::destinationAllowed(source.urlStream)) {
        strReason = tr("只允许本机回环地址");
        return false;
    }
    QUrl url = source.urlStream;
    url.setUserName(source.strUser);
    url.setPassword(source.strPassword);
    AVFormatContext *pFormat = avformat_alloc_context();
    pFormat->interrupt_callback.callback = &interrupted;
    pFormat->interrupt_callback.opaque = this;
    AVDictionary *pOptions = nullptr;
    av_dict_set(&pOptions, "rtsp_transport", source.bUdp ? "udp" : "tcp", 0);
    av_dict_set(&pOptions, "timeout", "5000000", 0);
    av_dict_set(&pOptions, "fflags", "nobuffer", 0);
    armDeadline(kOpenTimeoutMs);
    int iResult = avformat_open_input(&pFormat, url.toString(QUrl::FullyEncoded).toUtf8().constData(), nullptr,
                                      &pOptions);
    av_dict_free(&pOptions);
    if (iResult < 0) {
        strReason = avText(iResult);
        return false; // avformat_open_input freed the context
    }
    const int iStream = av_find_best_stream(pFormat, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    CFrameDecoder decoder;
    if (iStream < 0 || !decoder.open(pFormat->streams[iStream]->codecpar)) {
        strReason = tr("不支持的视频编码");
        avformat_close_input(&pFormat);
        return false;
    }
    AVPacket *pPacket = av_packet_alloc();
    bool bPlaying = false;
    while (!m_bStop) {
        armDeadline(kStallTimeoutMs);
        iResult = av_read_frame(pFormat, pPacket);
        if (iResult < 0)
            break;
        if (pPacket->stream_index == iStream) {
            decoder.decode(pPacket, [this, &bPlaying](stVideoFrame frame) {
                if (!bPlaying) {
                    bPlaying = true;
                    emit sendStateSignal(CLivePlayer::Playing, QString());
                }
                deliver(std::move(frame));
            });
        }
        av_packet_unref(pPacket);
    }
    av_packet_free(&pPacket);
    avformat_close_input(&pFormat);
    if (m_bStop)
        return true;
    strReason = iResult == AVERROR_EXIT ? tr("超时未收到数据") : avText(iResult);
    if (!bPlaying)
        return false;
    emit sendStateSignal(CLivePlayer::Lost, tr("实时视频已中断：%1").arg(strReason));
    return true;
}

void CLivePlayerWorker::pollSnapshots(const stLiveSource &source)
{
    COnvifSoap &http = COnvifSoap::ofThread();
    CFrameDecoder decoder;
    if (!decoder.openJpeg())
        return;
    while (!m_bStop) {
        QByteArray jpeg;
        const COnvifError error = http.download({source.urlSnapshot, source.strUser, source.strPassword}, jpeg);
        if (!error.ok()) {
            emit sendStateSignal(CLivePlayer::Failed, tr("无法读取快照：%1").arg(error.reason()));
            return;
        }
        decoder.decodeImage(jpeg, [this](stVideoFrame frame) { deliver(std::move(frame)); });
        QMutexLocker locker(&m_waitMutex);
        if (!m_bStop)
            m_wait.wait(&m_waitMutex, kSnapshotIntervalMs);
    }
}
