// JPEG snapshots over HTTP, behind the same HTTP Digest as the SOAP services.
#include "onvifdevice.h"

#include "onvifmedia.h"

#include <cstdlib>

OnvifDevice::HttpAnswer OnvifDevice::handleSnapshot(const HttpRequest &request, const std::string &profile)
{
    HttpAnswer answer;
    answer.contentType = "text/plain";
    const OnvifAuth::Outcome outcome =
        m_auth.check(m_device, {pugi::xml_node(), request.method, request.target, request.authorization,
                                request.source, now()});
    if (outcome.result != OnvifAuth::Result::Ok) {
        answer.status = 401;
        answer.body = outcome.reason + '\n';
        if (outcome.result != OnvifAuth::Result::Locked)
            answer.challenges = m_auth.challenges(outcome.reason == "the HTTP Digest nonce expired");
        return answer;
    }
    const std::vector<unsigned char> jpeg = m_media ? m_media->snapshot(std::atoi(profile.c_str()) - 1)
                                                    : std::vector<unsigned char>();
    if (jpeg.empty()) {
        answer.status = 404;
        answer.body = "no such profile\n";
        return answer;
    }
    answer.contentType = "image/jpeg";
    answer.body.assign(jpeg.begin(), jpeg.end());
    return answer;
}
