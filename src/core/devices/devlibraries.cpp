#include "devlibraries.h"

#include "apppaths.h"

#include "TolanNetSDK.h"
#include "zelt_mw_sdk.h"

#include <QDir>
#include <QFile>

#include <mutex>

namespace {

constexpr DWORD kZeltLogLevel = 2;
constexpr DWORD kZeltLogSize = 2097152;

// Held while an event is handed over, so that the receiver cannot go away
// in the middle of it.
std::mutex g_receiverMutex;
CDevLibraries *g_pReceiver = nullptr;

} // namespace

CDevLibraries::CDevLibraries(const QString &strLogFolder, QObject *parent)
    : QObject(parent)
{
    // The keys of devices met before, kept by the libraries across runs; a
    // program run from its build folder keeps them for the run only.
    const CAppPaths &oPaths = CAppPaths::instance();
    if (oPaths.isInstalled() && qEnvironmentVariableIsEmpty("CORVANE_DEVICE_PINS")) {
        const QString strFolder = oPaths.workFolder(QStringLiteral("keys"));
        QDir().mkpath(strFolder);
        qputenv("CORVANE_DEVICE_PINS", QFile::encodeName(strFolder + QStringLiteral("/device-pins")));
    }
    ZELT_MW_Init();
    TLSDK_Init();
    ZELT_MW_SetLog(kZeltLogLevel, strLogFolder.toLocal8Bit().constData(), kZeltLogSize);
    {
        std::lock_guard<std::mutex> lock(g_receiverMutex);
        g_pReceiver = this;
    }
    ZELT_MW_SetEventCallback(&CDevLibraries::eventCallback);
}

CDevLibraries::~CDevLibraries()
{
    std::lock_guard<std::mutex> lock(g_receiverMutex);
    if (g_pReceiver == this)
        g_pReceiver = nullptr;
}

void DEV_API CDevLibraries::eventCallback(const char *szUserID, DWORD ulEventType, DWORD *pulValue)
{
    if (!szUserID || !*szUserID)
        return;
    if (!pulValue)
        return;
    const QString strUserId = QString::fromLatin1(szUserID);
    const qint64 lValue = *pulValue;
    std::lock_guard<std::mutex> lock(g_receiverMutex);
    if (!g_pReceiver)
        return;
    // Only the upgrade event carries an outcome; the two progress events say how far it is.
    if (ulEventType == ZELT_MW_EVENT_UPGRADE)
        emit g_pReceiver->sendUpgradeEventSignal(strUserId, lValue);
    else if (ulEventType == ZELT_MW_EVENT_UPGRADE_UPLOAD || ulEventType == ZELT_MW_EVENT_UPGRADE_PROGRESS)
        emit g_pReceiver->sendUpgradeProgressSignal(strUserId, ulEventType == ZELT_MW_EVENT_UPGRADE_UPLOAD,
                                                    int(lValue));
}
