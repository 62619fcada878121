#ifndef ONVIFRTSP_H
#define ONVIFRTSP_H

// The RTSP streams of the simulated ONVIF devices, served by GStreamer's RTSP
// server on a main loop thread of its own: per device one server on its
// address, one mount per profile (/stream1, ...) encoding a moving test
// picture with the device's image settings applied, RTSP Digest with the
// device's account. Each frame carries the wall-clock millisecond it left
// the simulator as a row of 32 black and white blocks along its top edge.
#include <memory>
#include <string>
#include <vector>

class OnvifMedia;
struct SimDevice;

class OnvifRtsp
{
public:
    OnvifRtsp();
    ~OnvifRtsp();
    OnvifRtsp(const OnvifRtsp &) = delete;
    OnvifRtsp &operator=(const OnvifRtsp &) = delete;

    // The encodings this machine's GStreamer can stream (H264, JPEG, and H265 where it has an encoder).
    static std::vector<std::string> encodings();
    // Serves one device; called before start().
    void add(SimDevice &device, OnvifMedia &media);
    // stopMs above 0: each stream stops sending that long after it started.
    bool start(uint16_t port, int stopMs, std::string &error);
    void stop();
    // New sessions of the profile stream what was written.
    void encoderChanged(const OnvifMedia &media, int profile);
    // Running streams follow the image settings at once.
    void imagingChanged(const OnvifMedia &media);
    // Closes every RTSP connection of the device, as a restart does.
    void cut(const OnvifMedia &media);
    // Serves the device's streams on its current address only.
    void moved(const OnvifMedia &media);

    struct Device;

private:
    Device *find(const OnvifMedia &media) const;

    struct Loop;
    std::unique_ptr<Loop> m_loop;
    std::vector<std::unique_ptr<Device>> m_devices;
};

#endif // ONVIFRTSP_H
