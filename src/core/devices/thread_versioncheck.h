#ifndef THREAD_VERSIONCHECK_H
#define THREAD_VERSIONCHECK_H

#include "uidevicebean.h"

#include <QElapsedTimer>
#include <QObject>

#include <atomic>

// Reads a device's firmware version again after an upgrade or a restart
// (a record with the restarting status). The device
// restarts to run the new firmware, so the worker logs in (and out again)
// until the device answers after having been away, or answers with another
// version, for a bounded time; a device that does neither is only logged. Lives on a thread of its own; the waits between attempts are
// timers, so several devices are followed at once.
class CVersionCheckThread : public QObject
{
    Q_OBJECT

public:
    // First attempt after kFirstTryMs, then every kRetryMs, none after kGiveUpMs.
    static constexpr int kFirstTryMs = 15000;
    static constexpr int kRetryMs = 10000;
    static constexpr int kGiveUpMs = 300000;

    CVersionCheckThread() = default;
    // Shorter waits for tests; safe to call from any thread.
    void setTiming(int iFirstTryMs, int iRetryMs, int iGiveUpMs);

signals:
    // The record as sent, with the version the device reports now.
    void sendVersionSignal(CUIDeviceBean &oBean);

public slots:
    void readVersionSlot(CUIDeviceBean &oBean);

private:
    void attempt(const CUIDeviceBean &oBean, const QElapsedTimer &oSince, bool bWasAway);

    std::atomic<int> m_iFirstTryMs{kFirstTryMs};
    std::atomic<int> m_iRetryMs{kRetryMs};
    std::atomic<int> m_iGiveUpMs{kGiveUpMs};
};

#endif // THREAD_VERSIONCHECK_H
