#include "zeltstream.h"

#include "zeltlog.h"
#include "zeltplayer.h"
#include "zeltproto.h"

#include "zelt_mw_sdk.h"

#include <atomic>
#include <condition_variable>
#include <map>
#include <thread>

namespace corvane::zelt {

namespace {

constexpr auto kFrameInterval = std::chrono::milliseconds(80);

class MediaStream
{
public:
    MediaStream(DWORD handle, std::string userId, std::unique_ptr<wire::FrameClient> client)
        : m_handle(handle), m_userId(std::move(userId)), m_client(std::move(client))
    {
        m_thread = std::thread([this] { run(); });
    }

    ~MediaStream()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        // A frame request to a frozen device must not hold the stop up for its timeout.
        m_client->interrupt();
        m_client->close();
        m_thread.join();
    }

    const std::string &userId() const { return m_userId; }

private:
    void run()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_stop) {
            lock.unlock();
            std::vector<uint8_t> body;
            const DWORD result = exchange(*m_client, OpStreamFrame, {}, body);
            std::vector<uint8_t> jpeg;
            uint32_t sequence = 0;
            wire::WireReader reader(body);
            if (result == ZELT_MW_OK && reader.u32(sequence) && reader.bytes(jpeg, kMaxPictureSize))
                deliverFrame(m_handle, jpeg);
            lock.lock();
            if (result != ZELT_MW_OK) {
                if (!m_stop)
                    logLine(LogError, "stream " + std::to_string(m_handle) + " of " + m_userId
                                          + " ended, code " + std::to_string(result));
                break;
            }
            m_wake.wait_for(lock, kFrameInterval, [this] { return m_stop; });
        }
    }

    const DWORD m_handle;
    const std::string m_userId;
    std::unique_ptr<wire::FrameClient> m_client;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};

struct StreamRegistry
{
    std::mutex mutex;
    std::map<DWORD, std::unique_ptr<MediaStream>> streams;
};

// Never destroyed: stream threads may still run while the process exits.
StreamRegistry &registry()
{
    static StreamRegistry *r = new StreamRegistry;
    return *r;
}
// Handles only grow, so a stopped stream's handle is never valid again.
std::atomic<DWORD> g_nextHandle {1};

} // namespace

DWORD startStream(const std::shared_ptr<Session> &session, DWORD streamId, DWORD &handle)
{
    if (streamId > 2)
        return ZELT_MW_ERR_PARAM;
    std::unique_ptr<wire::FrameClient> client;
    DWORD result = session->openAttached(callTimeout(), client);
    std::vector<uint8_t> body;
    if (result == ZELT_MW_OK)
        result = exchange(*client, OpStreamOpen, wire::WireWriter().u32(streamId).take(), body);
    if (result != ZELT_MW_OK) {
        logLine(LogError, "stream start on " + session->userId() + " failed, code " + std::to_string(result));
        return result;
    }
    handle = g_nextHandle++;
    std::lock_guard<std::mutex> lock(registry().mutex);
    registry().streams[handle] = std::make_unique<MediaStream>(handle, session->userId(), std::move(client));
    logLine(LogInfo, "stream " + std::to_string(handle) + " started on " + session->userId());
    return ZELT_MW_OK;
}

DWORD stopStream(const char *userId, DWORD handle)
{
    std::unique_ptr<MediaStream> stream;
    {
        std::lock_guard<std::mutex> lock(registry().mutex);
        const auto it = registry().streams.find(handle);
        if (it == registry().streams.end())
            return ZELT_MW_ERR_STREAM;
        if (!userId || it->second->userId() != userId)
            return ZELT_MW_ERR_USERID;
        stream = std::move(it->second);
        registry().streams.erase(it);
    }
    stream.reset();   // joins the thread outside the lock
    logLine(LogInfo, "stream " + std::to_string(handle) + " stopped");
    return ZELT_MW_OK;
}

bool streamExists(DWORD handle)
{
    std::lock_guard<std::mutex> lock(registry().mutex);
    return registry().streams.count(handle) != 0;
}

void stopSessionStreams(const std::string &userId)
{
    std::vector<std::unique_ptr<MediaStream>> ended;
    {
        std::lock_guard<std::mutex> lock(registry().mutex);
        for (auto it = registry().streams.begin(); it != registry().streams.end();) {
            if (it->second->userId() == userId) {
                ended.push_back(std::move(it->second));
                it = registry().streams.erase(it);
            } else {
                ++it;
            }
        }
    }
}

} // namespace corvane::zelt
