// What the program reads from ONVIF devices: the first part of the input
// (parts are separated by the byte 0x1E) is a WS-Discovery datagram from
// 127.0.0.1, the rest HTTP bodies of device-management answers, handed out
// one per call (clock and time zone, network, system information, an address
// change, daylight saving). Records and rules must stay within what the
// list and the dialogs can hold.
#include "onvifdevice.h"
#include "onvifdiscovery.h"

#include <QCoreApplication>
#include <QUrl>

#include <cstdlib>

namespace {

class CScriptedDevice : public COnvifDevice
{
public:
    explicit CScriptedDevice(const QList<QByteArray> &listAnswers)
        : COnvifDevice(QStringLiteral("http://127.0.0.1/onvif/device_service"), QStringLiteral("admin"),
                       QStringLiteral("x"))
        , m_listAnswers(listAnswers)
    {
    }

protected:
    COnvifError call(const QString &, COnvifNode &answer) override
    {
        if (m_iNext >= m_listAnswers.size())
            return COnvifError(COnvifError::Unreachable);
        return COnvifSoap::readAnswer(200, m_listAnswers.at(m_iNext++), QUrl(QStringLiteral("http://127.0.0.1/")),
                                      answer);
    }

private:
    QList<QByteArray> m_listAnswers;
    int m_iNext = 0;
};

void checkRule(const stOnvifDstRule &rule)
{
    if (!rule.bEnabled)
        return;
    for (int iMonth : {rule.iStartMonth, rule.iEndMonth})
        if (iMonth < 1 || iMonth > 12)
            std::abort();
    for (int iWeek : {rule.iStartWeek, rule.iEndWeek})
        if (iWeek < 1 || iWeek > 5)
            std::abort();
    for (int iDay : {rule.iStartWeekday, rule.iEndWeekday})
        if (iDay < 0 || iDay > 6)
            std::abort();
    for (int iHour : {rule.iStartHour, rule.iEndHour})
        if (iHour < 0 || iHour > 23)
            std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_onvif_client";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);

    QList<QByteArray> listParts = QByteArray(reinterpret_cast<const char *>(data), int(size)).split('\x1e');
    QString strBye;
    for (const stDiscoveryBean &bean :
         COnvifDiscovery::parseAnswer(listParts.takeFirst(), QHostAddress(QStringLiteral("127.0.0.1")), strBye)) {
        // A row needs both, and its service is where the answer came from.
        if (bean.strEndpoint.isEmpty() || bean.strIp != QLatin1String("127.0.0.1")
            || QUrl(bean.strXAddr).host() != bean.strIp)
            std::abort();
    }

    CScriptedDevice device(listParts);
    stOnvifDstRule rule;
    if (device.readDaylightSaving(rule).ok())
        checkRule(rule);
    stOnvifNetwork net;
    device.readNetwork(net);
    stOnvifSystemInfo info;
    device.readSystemInfo(info);
    device.setAddress(QStringLiteral("127.0.0.2"), QStringLiteral("255.0.0.0"), QStringLiteral("127.0.0.1"));
    device.setDaylightSaving(stOnvifDstRule{true});
    return 0;
}
