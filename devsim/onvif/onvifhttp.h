#ifndef ONVIFHTTP_H
#define ONVIFHTTP_H

// One ONVIF device's HTTP server: SOAP on /onvif/device_service and
// /onvif/media_service, firmware uploads on /onvif/firmware/TOKEN. Runs on a
// thread of its own; start() and stop() are called from the simulator's
// event loop, never from a request.
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace httplib {
class Server;
}
class OnvifDevice;

class OnvifHttpServer
{
public:
    // afterwardsReboot runs (on a worker thread) when an answer asks for a restart.
    // With https, TLS with the key of the device's TLS identity.
    OnvifHttpServer(OnvifDevice &device, bool https, std::function<void()> afterwardsReboot);
    ~OnvifHttpServer();
    OnvifHttpServer(const OnvifHttpServer &) = delete;
    OnvifHttpServer &operator=(const OnvifHttpServer &) = delete;

    bool start(const std::string &ip, std::string &error);
    void stop();

private:
    OnvifDevice &m_device;
    bool m_https;
    std::function<void()> m_reboot;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
};

#endif // ONVIFHTTP_H
