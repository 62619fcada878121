#include "devicepins.h"

#include "auth.h"

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

namespace corvane::wire {

namespace {

struct PinStore
{
    std::mutex mutex;
    std::map<std::string, std::string> pins;
    std::string path;            // the file read so far
    std::streamoff readUpTo = 0; // where its lines not yet read begin
};

PinStore &pinStore()
{
    static PinStore *store = new PinStore;
    return *store;
}

// Reads the lines added to the file since the last read: meeting a fleet
// for the first time must not read the whole file again per device. The
// file only grows by appends; a shorter one was replaced and is read anew.
void readNewPins(PinStore &store, const std::string &path)
{
    if (store.path != path) {
        store.path = path;
        store.readUpTo = 0;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return;
    in.seekg(0, std::ios::end);
    if (in.tellg() < store.readUpTo)
        store.readUpTo = 0;
    in.seekg(store.readUpTo);
    std::string line;
    // A last line without its newline is still being written: it is read next time.
    while (std::getline(in, line) && !in.eof()) {
        store.readUpTo += std::streamoff(line.size()) + 1;
        std::istringstream fields(line);
        std::string peer, hex;
        if (fields >> peer >> hex)
            store.pins.emplace(peer, hex);
    }
}

void appendPin(const std::string &path, const std::string &peer, const std::string &hex)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    const std::string line = peer + ' ' + hex + '\n';
    // One write of a short line: appends of two processes do not interleave.
    const ssize_t written = ::write(fd, line.data(), line.size());
    (void)written;
    ::close(fd);
}

} // namespace

std::vector<uint8_t> keyFingerprint(EVP_PKEY *key)
{
    unsigned char *der = nullptr;
    const int size = key ? i2d_PUBKEY(key, &der) : 0;
    if (size <= 0)
        return {};
    std::vector<uint8_t> digest = sha256(der, std::size_t(size));
    OPENSSL_free(der);
    return digest;
}

std::vector<uint8_t> certificateFingerprint(const uint8_t *der, std::size_t size)
{
    const unsigned char *cursor = der;
    X509 *cert = der && size > 0 ? d2i_X509(nullptr, &cursor, long(size)) : nullptr;
    if (!cert)
        return {};
    std::vector<uint8_t> digest = keyFingerprint(X509_get0_pubkey(cert));
    X509_free(cert);
    return digest;
}

bool pinAccepts(const std::string &peer, const std::vector<uint8_t> &fingerprint)
{
    if (fingerprint.empty())
        return false;
    const std::string hex = toHex(fingerprint);
    PinStore &store = pinStore();
    std::lock_guard<std::mutex> lock(store.mutex);
    auto it = store.pins.find(peer);
    const char *path = std::getenv("CORVANE_DEVICE_PINS");
    if (it == store.pins.end() && path && *path) {
        // Another library of this process, or an earlier run, may have met it.
        readNewPins(store, path);
        it = store.pins.find(peer);
    }
    if (it != store.pins.end())
        return it->second == hex;
    store.pins.emplace(peer, hex);
    if (path && *path)
        appendPin(path, peer, hex);
    return true;
}

} // namespace corvane::wire
