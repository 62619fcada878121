#include "zeltupgrade.h"

#include "filebytes.h"
#include "zeltlog.h"
#include "zeltproto.h"

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <list>
#include <memory>
#include <thread>

namespace corvane::zelt {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(200);
constexpr int kMaxPollFailures = 3;

std::atomic<ZELT_MW_EVENT_CALLBACK> g_callback {nullptr};

std::chrono::milliseconds upgradeTimeout()
{
    const char *text = std::getenv("CORVANE_ZELT_UPGRADE_TIMEOUT_MS");
    const long value = text ? std::strtol(text, nullptr, 10) : 0;
    return std::chrono::milliseconds(value > 0 ? value : 300000);
}

// Watcher threads; joined when the library unloads so that none outlives it.
class Watchers
{
public:
    ~Watchers()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        for (Watcher &watcher : m_threads)
            watcher.thread.join();
    }

    void start(std::function<void()> work)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // Finished watchers are joined here, so the list stays short.
        for (auto it = m_threads.begin(); it != m_threads.end();) {
            if (*it->done) {
                it->thread.join();
                it = m_threads.erase(it);
            } else {
                ++it;
            }
        }
        auto done = std::make_shared<std::atomic<bool>>(false);
        m_threads.push_back({std::thread([work = std::move(work), done] {
                                 work();
                                 *done = true;
                             }),
                             done});
    }

    // Sleeps for the interval; false when the library is shutting down.
    bool pause(std::chrono::milliseconds interval)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return !m_wake.wait_for(lock, interval, [this] { return m_stop; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    struct Watcher
    {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::list<Watcher> m_threads;
};

Watchers &watchers()
{
    static Watchers w;
    return w;
}

void notify(const std::string &userId, DWORD eventType, DWORD value)
{
    if (ZELT_MW_EVENT_CALLBACK callback = g_callback.load())
        callback(userId.c_str(), eventType, &value);
}

void report(const std::string &userId, DWORD value)
{
    logLine(value == 0 ? LogInfo : LogError,
            "upgrade of " + userId + (value == 0 ? " succeeded" : " failed, code " + std::to_string(value)));
    notify(userId, ZELT_MW_EVENT_UPGRADE, value);
}

void follow(const std::shared_ptr<Session> &session, std::shared_ptr<wire::FrameClient> client)
{
    const auto deadline = std::chrono::steady_clock::now() + upgradeTimeout();
    int failures = 0;
    uint32_t reported = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!watchers().pause(kPollInterval))
            return;
        if (!client) {
            std::unique_ptr<wire::FrameClient> fresh;
            if (session->openAttached(callTimeout(), fresh) != ZELT_MW_OK) {
                if (++failures >= kMaxPollFailures)
                    break;
                continue;
            }
            client = std::move(fresh);
        }
        std::vector<uint8_t> body;
        const DWORD result = exchange(*client, OpUpgradeState, {}, body);
        uint32_t state = 0, progress = 0, failure = 0;
        wire::WireReader reader(body);
        if (result != ZELT_MW_OK || !reader.u32(state) || !reader.u32(progress) || !reader.u32(failure)) {
            client.reset();
            if (++failures >= kMaxPollFailures)
                break;
            continue;
        }
        failures = 0;
        if (state == UpgradeDone) {
            report(session->userId(), 0);
            return;
        }
        if (state == UpgradeFailed || state == UpgradeIdle) {
            report(session->userId(), failure ? failure : DWORD(UpgradeFailInterrupted));
            return;
        }
        logLine(LogDebug, "upgrade of " + session->userId() + " at " + std::to_string(progress) + "%");
        if (progress != reported && progress <= 100) {
            reported = progress;
            notify(session->userId(), ZELT_MW_EVENT_UPGRADE_PROGRESS, progress);
        }
    }
    report(session->userId(), UpgradeFailInterrupted);
}

} // namespace

void setEventCallback(ZELT_MW_EVENT_CALLBACK callback)
{
    g_callback.store(callback);
}

DWORD startUpgrade(const std::shared_ptr<Session> &session, const std::string &path)
{
    std::vector<uint8_t> image;
    if (wire::readFileBytes(path, image, kMaxFirmwareSize) != wire::FileReadResult::Ok || image.empty()) {
        logLine(LogError, "upgrade of " + session->userId() + ": cannot read " + path);
        return ZELT_MW_ERR_FILE;
    }
    std::unique_ptr<wire::FrameClient> client;
    DWORD result = session->openAttached(callTimeout(), client);
    std::vector<uint8_t> body;
    if (result == ZELT_MW_OK)
        result = exchange(*client, OpUpgradeBegin, wire::WireWriter().u32(uint32_t(image.size())).take(), body);
    DWORD sentPercent = 0;
    for (std::size_t offset = 0; result == ZELT_MW_OK && offset < image.size(); offset += kUpgradeChunk) {
        const std::size_t size = std::min<std::size_t>(kUpgradeChunk, image.size() - offset);
        std::vector<uint8_t> chunk(image.begin() + long(offset), image.begin() + long(offset + size));
        result = exchange(*client, OpUpgradeData, wire::WireWriter().u32(uint32_t(offset)).bytes(chunk).take(), body);
        const DWORD percent = DWORD((offset + size) * 100 / image.size());
        if (result == ZELT_MW_OK && percent != sentPercent) {
            sentPercent = percent;
            notify(session->userId(), ZELT_MW_EVENT_UPGRADE_UPLOAD, percent);
        }
    }
    if (result == ZELT_MW_OK)
        result = exchange(*client, OpUpgradeEnd, {}, body);
    if (result != ZELT_MW_OK) {
        logLine(LogError, "upgrade upload to " + session->userId() + " failed, code " + std::to_string(result));
        return result;
    }
    logLine(LogInfo, "upgrade of " + session->userId() + " accepted (" + std::to_string(image.size()) + " bytes)");
    std::shared_ptr<wire::FrameClient> shared(std::move(client));
    watchers().start([session, shared] { follow(session, shared); });
    return ZELT_MW_OK;
}

} // namespace corvane::zelt
