// Discovery datagrams as the library and the devices receive them: the
// decoder, the answer check, the request proof and the password form.
#include "discovery_answer.h"
#include "discovery_auth.h"
#include "discovery_password.h"
#include "discovery_wire.h"

#include <cstdlib>

using namespace corvane::wire;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::optional<DiscoveryMessage> message = decodeDiscovery(data, size);
    if (message) {
        // Decoding is strict: what it accepts encodes back to the same bytes.
        const std::vector<uint8_t> again = encodeDiscovery(*message);
        if (again.size() != size || !std::equal(again.begin(), again.end(), data))
            std::abort();
        static const std::vector<LocalNetwork> networks{{0x7F000001u, 0xFF000000u}, {0xC0A80101u, 0xFFFFFF00u}};
        if (message->type == DiscoveryType::Answer)
            checkAnswer(*message, size > 12 ? 0x7F000000u | data[11] : 0x7F000001u, networks);
        if (message->type == DiscoveryType::SetAddrRequest || message->type == DiscoveryType::ResetPwdRequest)
            checkRequestProof(*message, std::vector<uint8_t>(32, 0x5A));
    }
    const std::string text(reinterpret_cast<const char *>(data), size);
    if (const std::optional<std::string> password = decodeDiscoveryPassword(text)) {
        if (encodeDiscoveryPassword(*password) != text)
            std::abort();
    }
    return 0;
}
