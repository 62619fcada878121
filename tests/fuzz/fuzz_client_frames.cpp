// The device libraries' side of both framed protocols: a device in this
// process answers each request with the next piece of the input, and the
// libraries log in and read what a program reads after a login.
//
// The device speaks TLS with the process's default key, as the libraries
// expect, so the fuzzed bytes reach their frame parsers.
//
// Input: byte 0 picks the library (even: configuration, odd: maintenance)
// and a command; then pieces of u16 length and bytes. A piece whose length
// has the top bit set goes out as raw bytes and ends the connection; any
// other is the payload of a well-formed reply. When the pieces run out the
// device closes the connection.
#include "TolanNetSDK.h"
#include "frame.h"
#include "framesocket.h"
#include "tolan_cfg.h"
#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <asio/read.hpp>
#include <asio/write.hpp>

#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

using namespace corvane;
using asio::ip::tcp;

namespace {

struct Piece
{
    bool raw = false;
    std::vector<uint8_t> bytes;
};

class FakeDevice
{
public:
    FakeDevice() : m_acceptor(m_io, {asio::ip::make_address("127.0.0.1"), 0})
    {
        m_thread = std::thread([this] { run(); });
    }

    uint16_t port() const { return m_acceptor.local_endpoint().port(); }

    void script(std::deque<Piece> pieces)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pieces = std::move(pieces);
    }

private:
    bool next(Piece &piece)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_pieces.empty())
            return false;
        piece = std::move(m_pieces.front());
        m_pieces.pop_front();
        return true;
    }

    void run()
    {
        for (;;) {
            std::error_code ec;
            TlsSocket socket(m_io, handServerContext());
            m_acceptor.accept(socket.lowest_layer(), ec);
            if (!ec)
                socket.handshake(asio::ssl::stream_base::server, ec);
            if (!ec)
                serve(socket);
        }
    }

    void serve(TlsSocket &socket)
    {
        for (;;) {
            std::error_code ec;
            wire::FrameHeader header;
            std::vector<uint8_t> body;
            Piece piece;
            if (!readFrame(socket, header, body) || !next(piece))
                return;
            if (piece.raw) {
                asio::write(socket, asio::buffer(piece.bytes), ec);
                return;
            }
            wire::Frame reply;
            reply.type = uint16_t(header.type | wire::kReplyBit);
            reply.transaction = header.transaction;
            reply.payload = std::move(piece.bytes);
            asio::write(socket, asio::buffer(wire::encodeFrame(reply)), ec);
            if (ec)
                return;
        }
    }

    asio::io_context m_io;
    tcp::acceptor m_acceptor;
    std::mutex m_mutex;
    std::deque<Piece> m_pieces;
    std::thread m_thread;
};

FakeDevice &device()
{
    // Never destroyed: its thread blocks in accept until the process ends.
    static FakeDevice *fake = new FakeDevice;
    return *fake;
}

void configurationLibrary(uint8_t command)
{
    char userId[ZELT_MW_USERID_LEN] = {};
    if (ZELT_MW_Login("admin", "vorpe", "127.0.0.1", device().port(), userId) != ZELT_MW_OK)
        return;
    static const DWORD commands[] = {2, 12, 13, 18, 19, 20, 21, 22, 28, 30, 31, 32};
    std::vector<uint8_t> buffer(8192, 0);
    DWORD length = DWORD(zelt_cfg_size(commands[command % 12]));
    ZELT_MW_GetConfig(userId, commands[command % 12], 0, &length, buffer.data());
    length = DWORD(buffer.size());
    ZELT_MW_GetDeviceCapability(userId, command & 1 ? ZELT_MW_CAP_ENCODE : ZELT_MW_CAP_IMAGE, &length,
                                reinterpret_cast<char *>(buffer.data()));
    ZELT_MW_QueryDeviceInfo(userId, 0, ZELT_MW_QUERY_DEVICE_BASE, buffer.data());
    ZELT_MW_Logout(userId);
}

void maintenanceLibrary(uint8_t command)
{
    DWORD handle = 0;
    std::vector<uint8_t> buffer(TLSDK_NETWORK_INFO_SIZE, 0);
    if (TLSDK_Login("127.0.0.1", device().port(), "admin", "vorpe", &handle, buffer.data()) != TLSDK_OK)
        return;
    TLSDK_GetDevCfg(handle, command & 2 ? TLSDK_CFG_NETWORK : TLSDK_CFG_DEVICE_INFO, buffer.data());
    TLSDK_Logout(handle);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    setenv("CORVANE_LOOPBACK_ONLY", "1", 1);
    setenv("CORVANE_ZELT_TIMEOUT_MS", "500", 1);
    setenv("CORVANE_TLSDK_TIMEOUT_MS", "500", 1);
    ZELT_MW_Init();
    TLSDK_Init();
    device();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    std::deque<Piece> pieces;
    std::size_t pos = 1;
    while (pos + 2 <= size) {
        const unsigned word = data[pos] | (data[pos + 1] << 8);
        const std::size_t length = std::min<std::size_t>(word & 0x7FFF, size - pos - 2);
        pieces.push_back({(word & 0x8000) != 0, std::vector<uint8_t>(data + pos + 2, data + pos + 2 + length)});
        pos += 2 + length;
    }
    device().script(std::move(pieces));
    if (data[0] % 2 == 0)
        configurationLibrary(uint8_t(data[0] >> 1));
    else
        maintenanceLibrary(uint8_t(data[0] >> 1));
    return 0;
}
