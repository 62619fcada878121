#include "apppaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <memory>

namespace {

const QString kAppFolder = QStringLiteral("corvane");

std::unique_ptr<CAppPaths> &current()
{
    static std::unique_ptr<CAppPaths> s_pPaths;
    return s_pPaths;
}

QString userFolder(QStandardPaths::StandardLocation location)
{
    return QStandardPaths::writableLocation(location) + QLatin1Char('/') + kAppFolder;
}

} // namespace

const CAppPaths &CAppPaths::instance()
{
    std::unique_ptr<CAppPaths> &pPaths = current();
    if (!pPaths)
        pPaths.reset(new CAppPaths(QCoreApplication::applicationDirPath()));
    return *pPaths;
}

void CAppPaths::setInstance(const CAppPaths &paths)
{
    current().reset(new CAppPaths(paths));
}

QString CAppPaths::defaultDataFromAppDir()
{
    return QStringLiteral(CORVANE_DATADIR_FROM_BIN);
}

CAppPaths::CAppPaths(const QString &strAppDir, const QString &strDataFromAppDir)
    : m_strAppDir(strAppDir)
{
    const QString strData = QDir::cleanPath(QDir(strAppDir).filePath(strDataFromAppDir));
    if (!strDataFromAppDir.isEmpty() && QFileInfo(strData).isDir())
        m_strDataDir = strData;
}

QString CAppPaths::langConfigFile() const
{
    if (isInstalled())
        return userFolder(QStandardPaths::GenericConfigLocation) + QStringLiteral("/lang.cfg");
    return QStringLiteral("lang/lang.cfg");
}

QStringList CAppPaths::translationFiles(const QString &strLang) const
{
    const QString strFile = QStringLiteral("lang/corvane_%1.qm").arg(strLang);
    if (isInstalled())
        return {QDir(m_strDataDir).filePath(strFile)};
    // From the build folder: the working directory first, then the program's folder.
    return {strFile, QDir(m_strAppDir).filePath(strFile)};
}

QString CAppPaths::manualFile(const QString &strLang) const
{
    const QString strFile = QStringLiteral("Corvane_User_Manual_%1.pdf").arg(strLang);
    return QDir(isInstalled() ? m_strDataDir + QStringLiteral("/manual") : m_strAppDir).filePath(strFile);
}

QString CAppPaths::workFolder(const QString &strName) const
{
    if (isInstalled())
        return userFolder(QStandardPaths::GenericDataLocation) + QLatin1Char('/') + strName;
    return strName;
}
