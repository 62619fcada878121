#include "mediabackend.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QLoggingCategory>
#include <QStringList>

Q_LOGGING_CATEGORY(lcMediaBackend, "corvane.media.backend")

namespace {

struct stLoaded
{
    QLibrary *pLibrary = nullptr; // never unloaded: player threads may use it until the process ends
    IMediaBackend *pBackend = nullptr;
    QString strError;
};

// Next to the program (the build folder), else in the installed program's
// library folder.
stLoaded load()
{
    const QString strAppDir = QCoreApplication::applicationDirPath();
    QStringList listErrors;
    for (const QString &strDir : {strAppDir, strAppDir + QStringLiteral("/" CORVANE_LIBDIR_FROM_BIN)}) {
        auto *pLibrary = new QLibrary(strDir + QStringLiteral("/corvane_ffmpeg"));
        const auto create = reinterpret_cast<CorvaneMediaBackendFn>(pLibrary->resolve(CORVANE_MEDIA_BACKEND_SYMBOL));
        if (create) {
            qCDebug(lcMediaBackend) << "loaded" << pLibrary->fileName();
            return {pLibrary, create(), QString()};
        }
        listErrors << pLibrary->errorString();
        delete pLibrary;
    }
    qCWarning(lcMediaBackend) << "no media module:" << listErrors;
    return {nullptr, nullptr, QCoreApplication::translate("MediaBackend", "缺少视频解码模块（%1）").arg(listErrors.constFirst())};
}

} // namespace

IMediaBackend *MediaBackend::instance(QString &strError)
{
    static const stLoaded loaded = load();
    strError = loaded.strError;
    return loaded.pBackend;
}
