#ifndef LIVEPLAYER_H
#define LIVEPLAYER_H

#include "mediaaccess.h"

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QThread>
#include <QWaitCondition>

#include <atomic>

// A decoded picture: rows of 32-bit pixels, 0xffRRGGBB in host order.
struct stVideoFrame
{
    QByteArray data;
    int iWidth = 0;
    int iHeight = 0;
    int iStride = 0;
    qint64 llDecodedMs = 0; // wall clock when it was decoded
};

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
    bool stopRequested() const { return m_bStop.load(); }
    // The deadline the interrupt callback enforces (monotonic ms).
    qint64 deadline() const { return m_llDeadline.load(); }

public slots:
    void playSlot(const stLiveSource &source);

signals:
    void sendFrameReadySignal();
    void sendStateSignal(int iState, const QString &strText);

private:
    // Plays until the stream ends; false with the reason when it never started.
    bool playStream(const stLiveSource &source, QString &strReason);
    void pollSnapshots(const stLiveSource &source);
    void armDeadline(int iMs);
    void deliver(stVideoFrame frame);

    CFrameSlot &m_slot;
    std::atomic<bool> m_bStop{false};
    std::atomic<qint64> m_llDeadline{0};
    QMutex m_waitMutex;
    QWaitCondition m_wait;
};

Q_DECLARE_METATYPE(stLiveSource)

#endif // LIVEPLAYER_H
