#include "zeltstream.h"

#include "zeltlog.h"
#include "zeltplayer.h"
#include "zeltproto.h"

#include "zelt_mw_sdk.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <map>
#include <thread>

namespace corvane::zelt {

namespace {

class MediaStream
{
public:
    MediaStream(DWORD handle, std::string userId, DWORD streamId, uint32_t frameRate,
                std::unique_ptr<wire::FrameClient> client)
        : m_handle(handle), m_userId(std::move(userId)), m_streamId(streamId),
          m_interval(std::chrono::nanoseconds(std::chrono::seconds(1)) / std::max<uint32_t>(1, frameRate)),
          m_client(std::move(client))
    {
        m_decoder = std::thread([this] { decode(); });
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
        m_decoder.join();
    }

    const std::string &userId() const { return m_userId; }
    DWORD streamId() const { return m_streamId; }
    // 0 while frames are fetched; the code that ended the fetching otherwise.
    DWORD endResult() const { return m_endResult; }
    // Starts that share this stream; guarded by the registry's mutex.
    int users = 1;

private:
    // Frames are fetched on a fixed schedule at the stream's frame rate; a
    // fetch that ran late does not make the next ones come in a burst.
    void run()
    {
        auto next = std::chrono::steady_clock::now();
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_stop) {
            lock.unlock();
            std::vector<uint8_t> body;
            const DWORD result = exchange(*m_client, OpStreamFrame, {}, body);
            std::vector<uint8_t> jpeg;
            uint32_t sequence = 0;
            uint64_t sentNs = 0;
            wire::WireReader reader(body);
            if (result == ZELT_MW_OK && reader.u32(sequence) && reader.bytes(jpeg, kMaxPictureSize)) {
                if (!reader.u64(sentNs))
                    sentNs = 0;
                std::lock_guard<std::mutex> handOver(m_mutex);
                m_pending.swap(jpeg);
                m_pendingSentNs = sentNs;
                m_wake.notify_all();
            }
            next += m_interval;
            const auto now = std::chrono::steady_clock::now();
            if (next + m_interval < now)
                next = now;
            lock.lock();
            if (result != ZELT_MW_OK) {
                if (!m_stop) {
                    logLine(LogError, "stream " + std::to_string(m_handle) + " of " + m_userId
                                          + " ended, code " + std::to_string(result));
                    m_endResult = result;
                }
                break;
            }
            m_wake.wait_until(lock, next, [this] { return m_stop; });
        }
    }

    // Decoding runs beside the fetching, so a frame that takes long to decode
    // does not delay the next fetch; a frame not yet decoded when the next one
    // arrives is dropped.
    void decode()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (true) {
            m_wake.wait(lock, [this] { return m_stop || !m_pending.empty(); });
            if (m_stop)
                break;
            std::vector<uint8_t> jpeg;
            jpeg.swap(m_pending);
            const uint64_t sentNs = m_pendingSentNs;
            lock.unlock();
            deliverFrame(m_handle, jpeg, sentNs);
            lock.lock();
        }
    }

    const DWORD m_handle;
    const std::string m_userId;
    const DWORD m_streamId;
    const std::chrono::nanoseconds m_interval;
    std::unique_ptr<wire::FrameClient> m_client;
    std::atomic<DWORD> m_endResult {0};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::vector<uint8_t> m_pending;
    uint64_t m_pendingSentNs = 0;
    std::thread m_decoder;
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
    {
        // A second start of a running stream shares it; each start needs its own stop.
        std::lock_guard<std::mutex> lock(registry().mutex);
        for (auto &entry : registry().streams) {
            if (entry.second->userId() == session->userId() && entry.second->streamId() == streamId) {
                ++entry.second->users;
                handle = entry.first;
                return ZELT_MW_STREAM_SHARED;
            }
        }
    }
    std::unique_ptr<wire::FrameClient> client;
    DWORD result = session->openAttached(callTimeout(), client);
    std::vector<uint8_t> body;
    if (result == ZELT_MW_OK)
        result = exchange(*client, OpStreamOpen, wire::WireWriter().u32(streamId).take(), body);
    if (result != ZELT_MW_OK) {
        logLine(LogError, "stream start on " + session->userId() + " failed, code " + std::to_string(result));
        return result;
    }
    uint32_t hasAudio = 1;
    uint32_t frameRate = 25;
    wire::WireReader reader(body);
    if (!reader.u32(hasAudio) || !reader.u32(frameRate) || frameRate == 0)
        frameRate = 25;
    handle = g_nextHandle++;
    std::lock_guard<std::mutex> lock(registry().mutex);
    registry().streams[handle] =
        std::make_unique<MediaStream>(handle, session->userId(), streamId, frameRate, std::move(client));
    logLine(LogInfo, "stream " + std::to_string(handle) + " started on " + session->userId() + " at "
                         + std::to_string(frameRate) + " frames per second");
    return hasAudio ? ZELT_MW_OK : ZELT_MW_STREAM_NO_AUDIO;
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
        if (--it->second->users > 0)
            return ZELT_MW_OK;
        stream = std::move(it->second);
        registry().streams.erase(it);
    }
    stream.reset();   // joins the thread outside the lock
    logLine(LogInfo, "stream " + std::to_string(handle) + " stopped");
    return ZELT_MW_OK;
}

DWORD streamState(DWORD handle, DWORD &endResult)
{
    std::lock_guard<std::mutex> lock(registry().mutex);
    const auto it = registry().streams.find(handle);
    if (it == registry().streams.end())
        return ZELT_MW_ERR_STREAM;
    endResult = it->second->endResult();
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
