#include "onvifrtsp.h"

#include "onvifmedia.h"
#include "simdevice.h"

#include <gst/gst.h>
#include <gst/rtsp-server/rtsp-server.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <iostream>
#include <mutex>
#include <set>
#include <thread>

namespace {

const char *const Realm = "corvane-onvif";
const char *const Role = "viewer";

std::string launchLine(const OnvifEncoder &enc)
{
    const std::string raw = "( videotestsrc is-live=true pattern=smpte horizontal-speed=3 ! video/x-raw,format=I420,width="
                            + std::to_string(enc.width) + ",height=" + std::to_string(enc.height) + ",framerate="
                            + std::to_string(enc.fps) + "/1 ! videobalance name=balance ! ";
    if (enc.encoding == "JPEG")
        return raw + "jpegenc quality=" + std::to_string(std::max(10, enc.quality * 10))
               + " ! rtpjpegpay name=pay0 pt=26 )";
    // One worker thread, as x264 gets: several streams share two cores.
    if (enc.encoding == "H265")
        return raw + "x265enc tune=zerolatency speed-preset=ultrafast option-string=\"pools=1:frame-threads=1\" bitrate="
               + std::to_string(enc.bitrate) + " key-int-max=" + std::to_string(enc.gop)
               + " ! video/x-h265,profile=main ! rtph265pay name=pay0 pt=96 config-interval=-1 )";
    return raw + "x264enc tune=zerolatency speed-preset=ultrafast threads=1 bitrate=" + std::to_string(enc.bitrate)
           + " key-int-max=" + std::to_string(enc.gop)
           + " ! video/x-h264,profile=baseline ! rtph264pay name=pay0 pt=96 config-interval=-1 )";
}

// Writes the send time into the luma plane as 32 blocks.
GstPadProbeReturn stampFrame(GstPad *pad, GstPadProbeInfo *info, gpointer)
{
    GstCaps *caps = gst_pad_get_current_caps(pad);
    if (!caps)
        return GST_PAD_PROBE_OK;
    int width = 0, height = 0;
    const GstStructure *structure = gst_caps_get_structure(caps, 0);
    gst_structure_get_int(structure, "width", &width);
    gst_structure_get_int(structure, "height", &height);
    gst_caps_unref(caps);
    GstBuffer *buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    GstMapInfo map;
    if (width < 64 || height < 16 || !gst_buffer_map(buffer, &map, GST_MAP_WRITE))
        return GST_PAD_PROBE_OK;
    const int stride = (width + 3) & ~3;
    const int block = width / 34;
    const int rows = std::min(height / 8, block);
    const uint32_t ms = uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::system_clock::now().time_since_epoch())
                                     .count());
    for (int bit = 0; bit < 32; ++bit) {
        const uint8_t luma = (ms >> (31 - bit)) & 1 ? 235 : 16;
        for (int y = 0; y < rows && std::size_t(y * stride + width) <= map.size; ++y)
            std::memset(map.data + y * stride + (bit + 1) * block, luma, std::size_t(block));
    }
    gst_buffer_unmap(buffer, &map);
    return GST_PAD_PROBE_OK;
}

void applyImaging(GstElement *balance, const OnvifImaging &img)
{
    // With the IR cut filter out the sensor sees in black and white.
    const double saturation = img.irCut == "OFF" ? 0.0 : img.saturation / 50.0;
    g_object_set(balance, "brightness", (img.brightness - 50) / 100.0, "contrast", img.contrast / 50.0,
                 "saturation", saturation, nullptr);
}

} // namespace

struct OnvifRtsp::Loop
{
    GMainContext *context = nullptr;
    GMainLoop *loop = nullptr;
    std::thread thread;
};

struct OnvifRtsp::Device
{
    SimDevice *device = nullptr;
    OnvifMedia *media = nullptr;
    GstRTSPServer *server = nullptr;
    GSource *listener = nullptr; // the listening socket on the current address
    GstRTSPAuth *auth = nullptr;
    std::vector<GstRTSPMediaFactory *> factories;
    std::mutex mutex; // balances
    std::set<GstElement *> balances;
    int stopMs = 0;
};

namespace {

struct Prepared
{
    OnvifRtsp::Device *device;
    GstElement *balance;
};

// Fault: the stream's frames are dropped from stopAt on; the session stays open.
GstPadProbeReturn dropAfter(GstPad *, GstPadProbeInfo *, gpointer data)
{
    const auto *stopAt = static_cast<const std::chrono::steady_clock::time_point *>(data);
    return std::chrono::steady_clock::now() >= *stopAt ? GST_PAD_PROBE_DROP : GST_PAD_PROBE_OK;
}

void mediaUnprepared(GstRTSPMedia *, gpointer data)
{
    auto *prepared = static_cast<Prepared *>(data);
    std::lock_guard<std::mutex> lock(prepared->device->mutex);
    if (prepared->device->balances.erase(prepared->balance))
        gst_object_unref(prepared->balance);
}

void mediaConfigure(GstRTSPMediaFactory *, GstRTSPMedia *media, gpointer data)
{
    auto *device = static_cast<OnvifRtsp::Device *>(data);
    GstElement *element = gst_rtsp_media_get_element(media);
    GstElement *balance = gst_bin_get_by_name(GST_BIN(element), "balance");
    gst_object_unref(element);
    if (!balance)
        return;
    applyImaging(balance, device->media->imaging());
    GstPad *pad = gst_element_get_static_pad(balance, "src");
    gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, stampFrame, nullptr, nullptr);
    if (device->stopMs > 0) {
        auto *stopAt = new std::chrono::steady_clock::time_point(std::chrono::steady_clock::now()
                                                                 + std::chrono::milliseconds(device->stopMs));
        gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, dropAfter, stopAt, [](gpointer p) {
            delete static_cast<std::chrono::steady_clock::time_point *>(p);
        });
    }
    gst_object_unref(pad);
    {
        std::lock_guard<std::mutex> lock(device->mutex);
        device->balances.insert(balance);
    }
    g_signal_connect_data(media, "unprepared", G_CALLBACK(mediaUnprepared), new Prepared{device, balance},
                          [](gpointer p, GClosure *) { delete static_cast<Prepared *>(p); }, GConnectFlags(0));
}

// The account may have changed since the last session: RTSP checks the current one.
void clientConnected(GstRTSPServer *, GstRTSPClient *, gpointer data)
{
    auto *device = static_cast<OnvifRtsp::Device *>(data);
    const SimDevice::Account account = device->device->account();
    GstRTSPToken *token = gst_rtsp_token_new(GST_RTSP_TOKEN_MEDIA_FACTORY_ROLE, G_TYPE_STRING, Role, nullptr);
    gst_rtsp_auth_remove_digest(device->auth, account.user.c_str());
    gst_rtsp_auth_add_digest(device->auth, account.user.c_str(), account.password.c_str(), token);
    gst_rtsp_token_unref(token);
}

void closeClients(GstRTSPServer *server)
{
    GList *clients = gst_rtsp_server_client_filter(
        server, [](GstRTSPServer *, GstRTSPClient *, gpointer) { return GST_RTSP_FILTER_REF; }, nullptr);
    for (GList *item = clients; item; item = item->next)
        gst_rtsp_client_close(GST_RTSP_CLIENT(item->data));
    g_list_free_full(clients, g_object_unref);
}

// Opens the server's socket on ip and serves it on context; the source owns the socket.
GSource *listen(GstRTSPServer *server, const std::string &ip, GMainContext *context, std::string &error)
{
    gst_rtsp_server_set_address(server, ip.c_str());
    GError *gerror = nullptr;
    GSource *source = gst_rtsp_server_create_source(server, nullptr, &gerror);
    if (!source) {
        gchar *service = gst_rtsp_server_get_service(server);
        error = "cannot serve RTSP on " + ip + ":" + service + (gerror ? std::string(": ") + gerror->message : "");
        g_free(service);
        g_clear_error(&gerror);
        return nullptr;
    }
    g_source_attach(source, context);
    return source;
}

void unlisten(OnvifRtsp::Device &unit)
{
    if (!unit.listener)
        return;
    g_source_destroy(unit.listener);
    g_source_unref(unit.listener);
    unit.listener = nullptr;
}

} // namespace

OnvifRtsp::OnvifRtsp() = default;

std::vector<std::string> OnvifRtsp::encodings()
{
    gst_init(nullptr, nullptr);
    std::vector<std::string> offered = {"H264", "JPEG"};
    GstElementFactory *h265 = gst_element_factory_find("x265enc");
    GstElementFactory *pay = gst_element_factory_find("rtph265pay");
    if (h265 && pay)
        offered.push_back("H265");
    if (h265)
        gst_object_unref(h265);
    if (pay)
        gst_object_unref(pay);
    return offered;
}

OnvifRtsp::~OnvifRtsp()
{
    stop();
}

void OnvifRtsp::add(SimDevice &device, OnvifMedia &media)
{
    auto unit = std::make_unique<Device>();
    unit->device = &device;
    unit->media = &media;
    m_devices.push_back(std::move(unit));
}

bool OnvifRtsp::start(uint16_t port, int stopMs, std::string &error)
{
    if (m_devices.empty() || port == 0)
        return true;
    gst_init(nullptr, nullptr);
    m_loop = std::make_unique<Loop>();
    m_loop->context = g_main_context_new();
    m_loop->loop = g_main_loop_new(m_loop->context, FALSE);
    const std::string service = std::to_string(port);
    for (const auto &unit : m_devices) {
        unit->stopMs = stopMs;
        unit->server = gst_rtsp_server_new();
        gst_rtsp_server_set_service(unit->server, service.c_str());
        unit->auth = gst_rtsp_auth_new();
        gst_rtsp_auth_set_supported_methods(unit->auth, GST_RTSP_AUTH_DIGEST);
        gst_rtsp_auth_set_realm(unit->auth, Realm);
        gst_rtsp_server_set_auth(unit->server, unit->auth);
        clientConnected(unit->server, nullptr, unit.get());
        g_signal_connect(unit->server, "client-connected", G_CALLBACK(clientConnected), unit.get());
        GstRTSPMountPoints *mounts = gst_rtsp_server_get_mount_points(unit->server);
        for (int i = 0; i < unit->media->profiles(); ++i) {
            GstRTSPMediaFactory *factory = gst_rtsp_media_factory_new();
            gst_rtsp_media_factory_set_launch(factory, launchLine(unit->media->encoder(i)).c_str());
            // Every session builds its own pipeline, so a new one streams the current encoder settings.
            gst_rtsp_media_factory_set_shared(factory, FALSE);
            gst_rtsp_media_factory_add_role(factory, Role, GST_RTSP_PERM_MEDIA_FACTORY_ACCESS, G_TYPE_BOOLEAN, TRUE,
                                            GST_RTSP_PERM_MEDIA_FACTORY_CONSTRUCT, G_TYPE_BOOLEAN, TRUE, nullptr);
            g_signal_connect(factory, "media-configure", G_CALLBACK(mediaConfigure), unit.get());
            unit->factories.push_back(factory);
            g_object_ref(factory);
            gst_rtsp_mount_points_add_factory(mounts, ("/stream" + std::to_string(i + 1)).c_str(), factory);
        }
        g_object_unref(mounts);
        unit->listener = listen(unit->server, unit->device->currentIp(), m_loop->context, error);
        if (!unit->listener)
            return false;
    }
    m_loop->thread = std::thread([loop = m_loop.get()] {
        g_main_context_push_thread_default(loop->context);
        g_main_loop_run(loop->loop);
        g_main_context_pop_thread_default(loop->context);
    });
    return true;
}

void OnvifRtsp::stop()
{
    if (!m_loop)
        return;
    g_main_loop_quit(m_loop->loop);
    if (m_loop->thread.joinable())
        m_loop->thread.join();
    for (const auto &unit : m_devices) {
        for (GstElement *balance : unit->balances)
            gst_object_unref(balance);
        unit->balances.clear();
        unlisten(*unit);
        for (GstRTSPMediaFactory *factory : unit->factories)
            g_object_unref(factory);
        unit->factories.clear();
        if (unit->auth)
            g_object_unref(unit->auth);
        if (unit->server)
            g_object_unref(unit->server);
        unit->auth = nullptr;
        unit->server = nullptr;
    }
    g_main_loop_unref(m_loop->loop);
    g_main_context_unref(m_loop->context);
    m_loop.reset();
}

OnvifRtsp::Device *OnvifRtsp::find(const OnvifMedia &media) const
{
    for (const auto &unit : m_devices) {
        if (unit->media == &media)
            return unit.get();
    }
    return nullptr;
}

void OnvifRtsp::encoderChanged(const OnvifMedia &media, int profile)
{
    Device *unit = find(media);
    if (!unit || std::size_t(profile) >= unit->factories.size())
        return;
    gst_rtsp_media_factory_set_launch(unit->factories[std::size_t(profile)],
                                      launchLine(media.encoder(profile)).c_str());
}

void OnvifRtsp::imagingChanged(const OnvifMedia &media)
{
    Device *unit = find(media);
    if (!unit)
        return;
    const OnvifImaging img = media.imaging();
    std::lock_guard<std::mutex> lock(unit->mutex);
    for (GstElement *balance : unit->balances)
        applyImaging(balance, img);
}

void OnvifRtsp::cut(const OnvifMedia &media)
{
    Device *unit = find(media);
    if (!unit || !unit->server || !m_loop)
        return;
    // On the server's own thread, where its clients live.
    g_main_context_invoke(
        m_loop->context,
        [](gpointer data) -> gboolean {
            closeClients(static_cast<GstRTSPServer *>(data));
            return G_SOURCE_REMOVE;
        },
        unit->server);
}

namespace {

struct Move
{
    OnvifRtsp::Device *unit;
    GMainContext *context;
    std::string ip;
};

} // namespace

void OnvifRtsp::moved(const OnvifMedia &media)
{
    Device *unit = find(media);
    if (!unit || !unit->server || !m_loop)
        return;
    // The old address is gone with its sessions; the server listens on the new one.
    g_main_context_invoke_full(
        m_loop->context, G_PRIORITY_DEFAULT,
        [](gpointer data) -> gboolean {
            auto *move = static_cast<Move *>(data);
            unlisten(*move->unit);
            closeClients(move->unit->server);
            std::string error;
            move->unit->listener = listen(move->unit->server, move->ip, move->context, error);
            if (!move->unit->listener)
                std::cerr << "corvane-devsim: " << error << '\n';
            return G_SOURCE_REMOVE;
        },
        new Move{unit, m_loop->context, unit->device->currentIp()},
        [](gpointer data) { delete static_cast<Move *>(data); });
}
