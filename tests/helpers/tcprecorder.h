#ifndef TCPRECORDER_H
#define TCPRECORDER_H

// Loopback TCP helpers for protocol tests, independent of any event loop so
// that blocking library calls can run in the test's own thread.
#include <QByteArray>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Forwards connections to a target and records every byte in both
// directions. In black-hole mode it keeps the connections but forwards
// nothing, like a peer that stopped answering.
class TcpRecorder
{
public:
    TcpRecorder() = default;
    ~TcpRecorder();
    TcpRecorder(const TcpRecorder &) = delete;
    TcpRecorder &operator=(const TcpRecorder &) = delete;

    // Listens on listenIp (an ephemeral port); false when that fails.
    bool start(const std::string &listenIp, const std::string &targetIp, uint16_t targetPort);
    uint16_t port() const { return m_port; }
    QByteArray recorded() const;
    void setBlackHole(bool on) { m_blackHole = on; }
    // Closes every forwarded connection; new ones are still accepted.
    void dropConnections() { ++m_dropGeneration; }
    void stop();

private:
    void run();

    std::string m_targetIp;
    uint16_t m_targetPort = 0;
    uint16_t m_port = 0;
    int m_listen = -1;
    std::atomic<bool> m_stop {false};
    std::atomic<bool> m_blackHole {false};
    std::atomic<int> m_dropGeneration {0};
    mutable std::mutex m_mutex;
    QByteArray m_recorded;
    std::thread m_thread;
};

// Accepts connections and answers the first request of each with fixed
// bytes, then closes (or holds the connection open when told to).
class ScriptedPeer
{
public:
    ScriptedPeer() = default;
    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer &) = delete;
    ScriptedPeer &operator=(const ScriptedPeer &) = delete;

    bool start(const std::string &listenIp, const QByteArray &answer, bool holdOpen);
    uint16_t port() const { return m_port; }
    void stop();

private:
    void run();

    QByteArray m_answer;
    bool m_holdOpen = false;
    uint16_t m_port = 0;
    int m_listen = -1;
    std::atomic<bool> m_stop {false};
    std::thread m_thread;
};

#endif // TCPRECORDER_H
