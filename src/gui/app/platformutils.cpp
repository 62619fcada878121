#include "platformutils.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QFont>
#include <QHostAddress>
#include <QLocale>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPlatform, "corvane.platform")

namespace {

CPlatformUtils::UrlOpener &urlOpener()
{
    static CPlatformUtils::UrlOpener s_opener = [](const QUrl &url) {
        return QDesktopServices::openUrl(url);
    };
    return s_opener;
}

bool loopbackOnly()
{
    return qgetenv("CORVANE_LOOPBACK_ONLY") == "1";
}

} // namespace

int CPlatformUtils::systemLanguageId()
{
    const QLocale locale = QLocale::system();
    switch (locale.language()) {
    case QLocale::C:
        return LangIdEnglishUS;
    case QLocale::English:
        return locale.country() == QLocale::UnitedStates ? LangIdEnglishUS : 0;
    case QLocale::Chinese:
        return locale.script() == QLocale::SimplifiedHanScript ? LangIdChineseSimplified : 0;
    default:
        return 0;
    }
}

bool CPlatformUtils::openFile(const QString &strPath)
{
    return openUrl(QUrl::fromLocalFile(strPath));
}

bool CPlatformUtils::showInFolder(const QString &strPath)
{
    return openUrl(QUrl::fromLocalFile(QFileInfo(strPath).absolutePath()));
}

bool CPlatformUtils::openWebPage(const QString &strUrl)
{
    const QUrl url = QUrl::fromUserInput(strUrl);
    if (!url.isValid())
        return false;
    if (loopbackOnly() && !QHostAddress(url.host()).isLoopback()) {
        qCWarning(lcPlatform) << "not opening" << url.toString()
                              << "outside loopback (CORVANE_LOOPBACK_ONLY=1)";
        return false;
    }
    return openUrl(url);
}

void CPlatformUtils::skipOpenGl()
{
    // Every window is painted by the raster engine, but Qt's X11 backend
    // loads the GL driver to learn whether windows could mix in OpenGL; a
    // software driver alone then takes about 48 MB of memory.
    if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
}

void CPlatformUtils::installFontSubstitutes()
{
    QFont::insertSubstitutions(QStringLiteral("微软雅黑"),
                               {QStringLiteral("Microsoft YaHei"), QStringLiteral("WenQuanYi Micro Hei"),
                                QStringLiteral("Noto Sans CJK SC")});
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

void CPlatformUtils::setUrlOpener(UrlOpener opener)
{
    urlOpener() = std::move(opener);
}

bool CPlatformUtils::openUrl(const QUrl &url)
{
    qCDebug(lcPlatform) << "opening" << url.toString();
    return urlOpener()(url);
}
