#ifndef SIMDEVICE_H
#define SIMDEVICE_H

// One simulated device. Identity fields are fixed once the fleet exists and
// may be read freely; the fields marked "guarded" change at run time and are
// read and written with `mutex` held. The address changes only through
// SimFleet::moveDevice, which keeps the fleet's address index and tells the
// services to rebind.
#include "auth.h"
#include "tlschannel.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

struct SimDevice
{
    static constexpr const char *FactoryUser = "admin";
    static constexpr const char *FactoryPassword = "vorpe";

    int index = 0;             // position in the fleet, from 0
    std::string type;          // "IPC", "NVR", "ONVIF" or "ONVIF-NVR"
    std::string model;
    std::string serial;
    std::string mac;           // 12 lower-case hexadecimal digits
    std::string version;
    std::string reserved;      // the sixth identity text of a discovery answer
    std::string securityCode;  // restores the factory password
    bool silent = false;       // never answers probes (fault option)

    // Guarded by mutex.
    std::string ip;
    std::string mask = "255.0.0.0";
    std::string gateway = "127.0.0.1";
    std::string userName = FactoryUser;
    std::string password = FactoryPassword;
    // Counts password changes: sessions of an earlier epoch have ended.
    uint64_t accountEpoch = 0;

    // Failed passwords and security codes of every service (logins, discovery
    // requests) count here, per account and per source. Set up by the fleet.
    std::unique_ptr<corvane::wire::LoginLockout> lockout;
    // The key its TCP services present. Set up by the fleet.
    std::shared_ptr<corvane::wire::TlsIdentity> tls;

    // False while the device restarts: it answers nothing.
    std::atomic<bool> online{true};
    mutable std::mutex mutex;

    struct Account
    {
        std::string user;
        std::string password;
        uint64_t epoch = 0;
    };

    // Speaks ONVIF instead of the native protocols.
    bool onvif() const { return type.rfind("ONVIF", 0) == 0; }
    std::string currentIp() const;
    // The account as it stands now (read under mutex).
    Account account() const;
    // Serial exact, MAC without regard to case.
    bool matchesIdentity(const std::string &serialText, const std::string &macText) const;
    bool checkAccount(const std::string &user, const std::string &plainPassword) const;
    // "<type> <ip> <model> <serial> <mac> <security code>[ silent]"
    std::string describe() const;
};

// Text for the device's event log on one line: control characters and the
// backslash come out as \xNN, so a name cannot forge or split log lines.
std::string logSafe(const std::string &text);

#endif // SIMDEVICE_H
