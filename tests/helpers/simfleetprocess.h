#ifndef SIMFLEETPROCESS_H
#define SIMFLEETPROCESS_H

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

// Runs corvane-devsim (the device simulator) for a test.
//
// Loopback ranges: every test file owns its own addresses so that
// simulators of different tests never share an address. Pick --first from
// the list below and add your file to it:
//   127.1.0.0 - 127.3.255.255  tst_discoverysim (port 37851)
//   127.4.0.0/16               bench_discovery (port 37852)
//   127.74.0.0/16              tst_dstcfgdlg (port 39574)
//   127.75.0.0/16              tst_batchcfgdlg (port 39575)
//   127.78.0.0/16              bench_batchcfg
//   127.40.0.0/16              tst_frame, tst_tolan_nvr
//   127.41.0.0/16              tst_tolan_upgrade
//   127.42.0.0/16              tst_discoverysecurity (port 37853)
//   127.43.0.0/16              tst_sessionsecurity
//   127.90.0.0 - 127.95.255.255  tst_zelt_* (configuration library)
//   127.96.0.0/16              bench_login
//   127.97.0.0/16              bench/run_all.sh (the program's memory, port 37853)
//   127.76.0.0/16              tst_imagecfgform
//   127.77.0.0/16              bench_liveview
//   127.20.0.0/16              tst_getcap
//   127.21.0.0/16              tst_devcfgdlg
//   127.22.0.0/16              tst_encodecfgform
//   127.23.0.0/16              tst_devcfgtab (port 39623)
//   127.24.0.0/16              bench_cfgdlg (port 39624)
//   127.73.0.0/16              tst_networkcfgform (port 37873)
//   127.31.0.0/16              scripts/screenshots-ui.sh (port 39631)
//   127.100.0.0 - 127.104.255.255  tst_encodecfgform (encoder fault simulators)
//   127.120.0.0/16             tst_cli (port 37920)
//   127.121.0.0/16             bench_cli, discovery of 1000 devices (port 37921)
//   127.122.0.0/16             bench_cli, address plan of 256 devices (port 37922)
//   127.123.0.0/16             tst_devlistexport (port 37923)
//   127.124.0.0 - 127.129.255.255  reserved for the command-line program's tests
//   127.105.0.0 - 127.109.255.255  tst_devcfgtab (streams, silent device, moved device)
//   127.110.0.0/16             tst_devtabflows (port 39710)
//   127.130.0.0/16             tst_peer_onvif_npm (ONVIF simulator, npm onvif client)
//   127.131.0.0/16             tst_peer_onvif_tools (ONVIF simulator, onvif-util)
//   127.132.0.0 - 127.139.255.255  ONVIF simulator tests, fuzzing and bench_onvifdiscovery
//   127.140.0.0 - 127.149.255.255  tst_onvif* (the program's ONVIF client); 127.142.0.0/16 tst_cli
//   127.150.0.0/16             tst_mediapages
//   127.151.0.0/16             bench_mediaview
//   127.152.0.0 - 127.153.255.255  tst_mediafaults
//   127.154.0.0 - 127.159.255.255  free for further ONVIF media tests
//   127.10.0.0/16 and above: free for the other test files, one /16 each.
// Multicast probes reach every simulator running on the machine, so a test
// that counts devices counts only those in its own range (see inRange()).
// A test may also pass "--port N" and set CORVANE_DISCOVERY_PORT=N to have
// the discovery traffic to itself.
//
// Typical use:
//   SimFleetProcess sim({"--ipc", "3", "--nvr", "1", "--first", "127.10.0.10"});
//   CORVANE_START_SIMULATOR(sim);   // skip (CI: fail) when the simulator cannot start
//   for (const SimFleetProcess::Device &d : sim.devices()) ...
class SimFleetProcess
{
public:
    // One device line of the simulator.
    struct Device
    {
        QString type;         // "IPC", "NVR", "ONVIF" or "ONVIF-NVR"
        QString ip;
        QString model;
        QString serial;
        QString mac;          // 12 hexadecimal digits
        QString securityCode; // native devices only
        bool silent = false;  // never answers probes (--silent)
        int httpPort = 0;     // ONVIF devices: the SOAP port
        QString endpoint;     // ONVIF devices: WS-Discovery endpoint reference (urn:uuid:...)
    };

    explicit SimFleetProcess(const QStringList &arguments);
    ~SimFleetProcess();
    SimFleetProcess(const SimFleetProcess &) = delete;
    SimFleetProcess &operator=(const SimFleetProcess &) = delete;

    // Starts the simulator and waits for its "ready" line. On failure the
    // reason is in errorString() and the process is gone.
    bool start(int timeoutMs = 30000);
    // SIGTERM, then waits; kills it if it does not end. Safe to call twice.
    void stop();
    bool isRunning() const;
    // For tests that freeze or kill the simulator mid-call.
    qint64 processId() const { return m_process.processId(); }

    QString errorString() const { return m_strError; }
    const QList<Device> &devices() const { return m_devices; }
    const Device *findByIp(const QString &strIp) const;
    const Device *findBySerial(const QString &strSerial) const;

    // Runs "corvane-devsim make-firmware" with these arguments and returns
    // its exit code, -1 when it could not run or did not end within timeoutMs.
    static int makeFirmware(const QStringList &arguments, int timeoutMs = 20000);
    // A firmware image for the model and version at strPath; false on failure.
    static bool makeFirmware(const QString &strModel, const QString &strVersion, const QString &strPath);

    // Dotted address <-> host-order number.
    static quint32 ipToNumber(const QString &strIp);
    static QString numberToIp(quint32 uIp);
    // Address nOffset places after strFirst.
    static QString addressAt(const QString &strFirst, int nOffset);
    // True when strIp lies in [strFirst, strFirst + nCount).
    static bool inRange(const QString &strIp, const QString &strFirst, int nCount);

private:
    bool parseLine(const QString &strLine);

    QStringList m_arguments;
    QProcess m_process;
    QList<Device> m_devices;
    QString m_strError;
};

// True where a device test must not be skipped: in CI (CI=true) and under
// scripts/test.sh (CORVANE_FAIL_SKIPS=1). A missing simulator or address
// there means the suite proved nothing.
inline bool corvaneSkipsFail()
{
    return qgetenv("CI") == "true" || qgetenv("CORVANE_FAIL_SKIPS") == "1";
}

// Skips the current device test function, or fails it where skips fail.
#define CORVANE_DEVICE_SKIP(reason)            \
    do {                                       \
        const QString strSkip_ = (reason);     \
        if (corvaneSkipsFail())                \
            QFAIL(qPrintable(strSkip_));       \
        QSKIP(qPrintable(strSkip_));           \
    } while (false)

// Starts the simulator or skips (in CI: fails) the current test function.
#define CORVANE_START_SIMULATOR(sim)                                                        \
    do {                                                                                    \
        if (!(sim).start())                                                                 \
            CORVANE_DEVICE_SKIP(QStringLiteral("simulator unavailable: ") + (sim).errorString()); \
    } while (false)

#endif // SIMFLEETPROCESS_H
