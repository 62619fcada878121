#ifndef LIVEPLAYER_H
#define LIVEPLAYER_H

#include "mediaaccess.h"
#include "videoframe.h"

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QThread>
#include <QWaitCondition>

#include <atomic>

// The newest frame between the decoding thread and its reader; older
// frames are dropped, so nothing piles up while the reader is busy.
class CFrameSlot
{
public:
    // True when the reader is to be told (it took the frame before).
    bool put(stVideoFrame frame);
    bool take(stVideoFrame &frame);

private:
    QMutex m_mutex;
    stVideoFrame m_frame;
    bool m_bFull = false;
    bool m_bTold = false;
};

class CLivePlayerWorker;
class IMediaBackend;

// Plays one live source on a thread of its own: the RTSP stream (TCP
// interleaved, or UDP), or, when it cannot be played, the snapshot address
// once a second. Owned and driven from one thread (the interface thread).
class CLivePlayer : public QObject
{
    Q_OBJECT

public:
    enum EState { Connecting, Playing, Snapshots, Lost, Failed };

    explicit CLivePlayer(QObject *parent = nullptr);
    ~CLivePlayer() override;

    void start(const stLiveSource &source);
    // Ends the stream; returns once the thread let go of it.
    void stop();
    bool isRunning() const { return m_thread.isRunning(); }
    // The newest frame, once after each sendFrameReadySignal.
    bool takeFrame(stVideoFrame &frame) { return m_slot.take(frame); }

signals:
    void sendFrameReadySignal();
    void sendStateSignal(int iState, const QString &strText);

private:
    QThread m_thread;
    CFrameSlot m_slot;
    CLivePlayerWorker *m_pWorker = nullptr;
};

// Runs on the player's thread; its one slot returns when the stream ends or stop() is called.
class CLivePlayerWorker : public QObject
{
    Q_OBJECT

public:
    explicit CLivePlayerWorker(CFrameSlot &slot);
    void requestStop();

public slots:
    void playSlot(const stLiveSource &source);

signals:
    void sendFrameReadySignal();
    void sendStateSignal(int iState, const QString &strText);

private:
    // Plays until the stream ends; false with the reason when it never started.
    bool playStream(IMediaBackend &backend, const stLiveSource &source, QString &strReason);
    void pollSnapshots(IMediaBackend &backend, const stLiveSource &source);
    void deliver(stVideoFrame frame);

    CFrameSlot &m_slot;
    std::atomic<bool> m_bStop{false};
    QMutex m_waitMutex;
    QWaitCondition m_wait;
};

Q_DECLARE_METATYPE(stLiveSource)

#endif // LIVEPLAYER_H
