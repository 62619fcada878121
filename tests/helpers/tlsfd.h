#ifndef TLSFD_H
#define TLSFD_H

// The device's end of TLS on an accepted, blocking descriptor, for
// hand-played devices in tests. It presents the process's default key.
#include "tlschannel.h"

#include <openssl/ssl.h>

#include <cstddef>

class TlsFd
{
public:
    explicit TlsFd(int fd) : m_ssl(SSL_new(corvane::wire::TlsIdentity::processDefault()->context().native_handle()))
    {
        m_ok = m_ssl && SSL_set_fd(m_ssl, fd) == 1 && SSL_accept(m_ssl) == 1;
    }
    ~TlsFd() { SSL_free(m_ssl); }
    TlsFd(const TlsFd &) = delete;
    TlsFd &operator=(const TlsFd &) = delete;

    bool ok() const { return m_ok; }
    // Up to size bytes; 0 when the connection ended or failed.
    std::size_t readSome(void *data, std::size_t size)
    {
        std::size_t got = 0;
        return m_ok && SSL_read_ex(m_ssl, data, size, &got) == 1 ? got : 0;
    }
    bool readAll(void *data, std::size_t size)
    {
        for (std::size_t done = 0; done < size;) {
            const std::size_t got = readSome(static_cast<char *>(data) + done, size - done);
            if (got == 0)
                return false;
            done += got;
        }
        return true;
    }
    bool writeAll(const void *data, std::size_t size)
    {
        std::size_t written = 0;
        return m_ok && (size == 0 || SSL_write_ex(m_ssl, data, size, &written) == 1);
    }

private:
    SSL *m_ssl;
    bool m_ok = false;
};

#endif // TLSFD_H
