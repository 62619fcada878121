#include "onvifhttp.h"

#include "firmware.h"
#include "onvifdevice.h"
#include "simdevice.h"
#include "simoptions.h"

#include <httplib.h>

namespace {

// SOAP requests are small; firmware goes inline in UpgradeSystemFirmware or by upload.
const std::size_t MaxBody = 96u * 1024 * 1024;
const std::size_t MaxSoapBody = 1024 * 1024;

void reply(httplib::Response &res, const OnvifDevice::HttpAnswer &answer)
{
    res.status = answer.status;
    for (const std::string &challenge : answer.challenges)
        res.set_header("WWW-Authenticate", challenge);
    res.set_content(answer.body, answer.contentType.c_str());
}

} // namespace

OnvifHttpServer::OnvifHttpServer(OnvifDevice &device, bool https, std::function<void()> afterwardsReboot)
    : m_device(device)
    , m_https(https)
    , m_reboot(std::move(afterwardsReboot))
{
}

OnvifHttpServer::~OnvifHttpServer()
{
    stop();
}

bool OnvifHttpServer::start(const std::string &ip, std::string &error)
{
    stop();
    std::unique_ptr<httplib::Server> server;
    if (m_https) {
        // The key the device's native TLS shows, so that a fleet started again keeps its pins.
        SSL_CTX *identity = m_device.device().tls->context().native_handle();
        server = std::make_unique<httplib::SSLServer>([identity](SSL_CTX &ctx) {
            return SSL_CTX_use_certificate(&ctx, SSL_CTX_get0_certificate(identity)) == 1
                   && SSL_CTX_use_PrivateKey(&ctx, SSL_CTX_get0_privatekey(identity)) == 1;
        });
        if (!server->is_valid()) {
            error = "no TLS context for " + ip;
            return false;
        }
    } else {
        server = std::make_unique<httplib::Server>();
    }
    // A few workers per device: a thousand devices must not mean eight thousand threads.
    server->new_task_queue = [] { return new httplib::ThreadPool(3); };
    server->set_keep_alive_timeout(2);
    server->set_payload_max_length(MaxBody);
    const auto soapHandler = [this](const httplib::Request &req, httplib::Response &res) {
        OnvifDevice::HttpAnswer answer;
        if (req.body.size() > MaxSoapBody
            && req.body.find("UpgradeSystemFirmware") == std::string::npos) {
            answer.status = 413;
            answer.contentType = "text/plain";
            answer.body = "request too large\n";
        } else {
            answer = m_device.handleSoap({req.method, req.target, req.body, req.get_header_value("Authorization"),
                                          req.remote_addr});
        }
        reply(res, answer);
        if (answer.afterwardsReboot)
            m_reboot();
    };
    server->Post("/onvif/device_service", soapHandler);
    server->Post("/onvif/media_service", soapHandler);
    server->Post("/onvif/media2_service", soapHandler);
    server->Post("/onvif/imaging_service", soapHandler);
    server->Get(R"(/onvif/snapshot/([0-9]+))", [this](const httplib::Request &req, httplib::Response &res) {
        reply(res, m_device.handleSnapshot({req.method, req.target, req.body, req.get_header_value("Authorization"),
                                            req.remote_addr},
                                           req.matches[1]));
    });
    server->Post(R"(/onvif/firmware/([0-9a-f]+))", [this](const httplib::Request &req, httplib::Response &res) {
        const OnvifDevice::HttpAnswer answer = m_device.handleFirmwareUpload(req.matches[1], req.body);
        reply(res, answer);
        if (answer.afterwardsReboot)
            m_reboot();
    });
    if (!server->bind_to_port(ip.c_str(), m_device.httpPort())) {
        error = "cannot bind " + ip + ":" + std::to_string(m_device.httpPort());
        return false;
    }
    m_server = std::move(server);
    m_thread = std::thread([server = m_server.get()] { server->listen_after_bind(); });
    return true;
}

void OnvifHttpServer::stop()
{
    if (!m_server)
        return;
    m_server->stop();
    if (m_thread.joinable())
        m_thread.join();
    m_server.reset();
}
