#include "simfleetprocess.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QHostAddress>

SimFleetProcess::SimFleetProcess(const QStringList &arguments)
    : m_arguments(arguments)
{
    m_process.setProgram(QStringLiteral(CORVANE_DEVSIM));
    // The fleet ends with our standard-input pipe, even if this test crashes.
    m_process.setArguments(m_arguments + QStringList{QStringLiteral("--exit-on-eof")});
    // Our stderr goes to the test log; only the device lines are read.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

SimFleetProcess::~SimFleetProcess()
{
    stop();
}

bool SimFleetProcess::start(int timeoutMs)
{
    m_devices.clear();
    m_strError.clear();
    if (!QFileInfo(m_process.program()).isExecutable()) {
        m_strError = QStringLiteral("no simulator at ") + m_process.program();
        return false;
    }
    // The simulator may only talk to loopback, whatever the caller's environment.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CORVANE_LOOPBACK_ONLY"), QStringLiteral("1"));
    m_process.setProcessEnvironment(env);
    m_process.start();
    if (!m_process.waitForStarted(timeoutMs)) {
        m_strError = m_process.errorString();
        return false;
    }

    QDeadlineTimer deadline(timeoutMs);
    QByteArray pending;
    while (!deadline.hasExpired()) {
        if (m_process.state() != QProcess::Running && m_process.bytesAvailable() == 0) {
            m_strError = QStringLiteral("simulator ended before it was ready (exit code %1)")
                             .arg(m_process.exitCode());
            return false;
        }
        if (!m_process.canReadLine()) {
            m_process.waitForReadyRead(int(qMin<qint64>(deadline.remainingTime(), 200)));
            continue;
        }
        const QString strLine = QString::fromUtf8(m_process.readLine()).trimmed();
        if (strLine == QLatin1String("ready"))
            return true;
        if (!strLine.isEmpty() && !parseLine(strLine)) {
            m_strError = QStringLiteral("unexpected simulator line: ") + strLine;
            stop();
            return false;
        }
    }
    m_strError = QStringLiteral("simulator not ready within %1 ms").arg(timeoutMs);
    stop();
    return false;
}

void SimFleetProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool SimFleetProcess::isRunning() const
{
    return m_process.state() == QProcess::Running;
}

const SimFleetProcess::Device *SimFleetProcess::findByIp(const QString &strIp) const
{
    for (const Device &device : m_devices) {
        if (device.ip == strIp)
            return &device;
    }
    return nullptr;
}

const SimFleetProcess::Device *SimFleetProcess::findBySerial(const QString &strSerial) const
{
    for (const Device &device : m_devices) {
        if (device.serial == strSerial)
            return &device;
    }
    return nullptr;
}

int SimFleetProcess::makeFirmware(const QStringList &arguments, int timeoutMs)
{
    QProcess tool;
    tool.start(QStringLiteral(CORVANE_DEVSIM), QStringList{QStringLiteral("make-firmware")} + arguments);
    if (!tool.waitForFinished(timeoutMs) || tool.exitStatus() != QProcess::NormalExit)
        return -1;
    return tool.exitCode();
}

bool SimFleetProcess::makeFirmware(const QString &strModel, const QString &strVersion, const QString &strPath)
{
    return makeFirmware({QStringLiteral("--model"), strModel, QStringLiteral("--version"), strVersion, strPath}) == 0;
}

quint32 SimFleetProcess::ipToNumber(const QString &strIp)
{
    return QHostAddress(strIp).toIPv4Address();
}

QString SimFleetProcess::numberToIp(quint32 uIp)
{
    return QHostAddress(uIp).toString();
}

QString SimFleetProcess::addressAt(const QString &strFirst, int nOffset)
{
    return numberToIp(ipToNumber(strFirst) + quint32(nOffset));
}

bool SimFleetProcess::inRange(const QString &strIp, const QString &strFirst, int nCount)
{
    QHostAddress address;
    if (!address.setAddress(strIp) || address.protocol() != QAbstractSocket::IPv4Protocol)
        return false;
    const quint32 uFirst = ipToNumber(strFirst);
    const quint32 uIp = address.toIPv4Address();
    return uIp >= uFirst && uIp - uFirst < quint32(nCount);
}

// "<type> <ip> <model> <serial> <mac> <security code> [silent]" for native devices,
// "ONVIF|ONVIF-NVR <ip> <http port> <model> <serial> <mac> <endpoint>" for ONVIF ones.
bool SimFleetProcess::parseLine(const QString &strLine)
{
    const QStringList fields = strLine.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (fields.size() < 6 || fields.size() > 7)
        return false;
    Device device;
    device.type = fields.at(0);
    device.ip = fields.at(1);
    if (device.type == QLatin1String("ONVIF") || device.type == QLatin1String("ONVIF-NVR")) {
        bool bPort = false;
        device.httpPort = fields.at(2).toInt(&bPort);
        if (!bPort || fields.size() != 7)
            return false;
        device.model = fields.at(3);
        device.serial = fields.at(4);
        device.mac = fields.at(5);
        device.endpoint = fields.at(6);
    } else if (device.type == QLatin1String("IPC") || device.type == QLatin1String("NVR")) {
        device.model = fields.at(2);
        device.serial = fields.at(3);
        device.mac = fields.at(4);
        device.securityCode = fields.at(5);
        device.silent = fields.size() == 7 && fields.at(6) == QLatin1String("silent");
    } else {
        return false;
    }
    m_devices.append(device);
    return true;
}
