#ifndef ONVIFERROR_H
#define ONVIFERROR_H

#include <QCoreApplication>
#include <QString>

// How an ONVIF exchange ended, and the reason shown for it.
class COnvifError
{
    Q_DECLARE_TR_FUNCTIONS(COnvifError)

public:
    enum EKind {
        None = 0,
        Refused,      // destination outside loopback under CORVANE_LOOPBACK_ONLY=1
        Unreachable,  // no connection
        Timeout,
        Http,         // an HTTP status other than success, without a SOAP fault
        Malformed,    // not a SOAP answer, DTD or entity, not well formed
        TooLarge,
        Account,      // wrong user name or password
        Unsupported,  // the device does not offer the operation
        Fault,        // any other SOAP fault
        UnsafeAuth,   // the device asks only for a sign-in we never use
        CertChanged,  // the HTTPS certificate differs from the one pinned
        File          // a local file could not be read or written
    };

    COnvifError() = default;
    COnvifError(EKind eKind, const QString &strDetail = QString())
        : m_eKind(eKind)
        , m_strDetail(strDetail)
    {
    }

    bool ok() const { return m_eKind == None; }
    EKind kind() const { return m_eKind; }
    // The translated reason; empty when ok.
    QString reason() const;
    // Why a password reset is not offered for these devices.
    static QString resetByDevice();

private:
    EKind m_eKind = None;
    QString m_strDetail;
};

#endif // ONVIFERROR_H
