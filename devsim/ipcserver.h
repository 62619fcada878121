#ifndef IPCSERVER_H
#define IPCSERVER_H

// The configuration and media service of one simulated IPC: a frame server
// on the device's address that follows it when the address changes.
#include "frame.h"
#include "ipcdevice.h"

#include <memory>
#include <string>

class IpcServer
{
public:
    IpcServer(std::shared_ptr<IpcDevice> device, asio::io_context &io, uint16_t port);
    ~IpcServer();

    // Listens on the device's current address, closing the previous listener.
    bool listen(std::string &error);
    IpcDevice &device() { return *m_device; }

private:
    std::shared_ptr<IpcDevice> m_device;
    asio::io_context &m_io;
    uint16_t m_port;
    std::shared_ptr<corvane::wire::FrameServer> m_server;
};

// Largest request a device accepts: an upgrade chunk and its framing.
constexpr uint32_t kIpcMaxRequest = 512u * 1024u;

#endif // IPCSERVER_H
