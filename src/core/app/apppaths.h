#ifndef APPPATHS_H
#define APPPATHS_H

#include <QString>
#include <QStringList>

// Where the program finds its own files and keeps the ones it writes.
//
// A program run from its build folder keeps everything relative to the
// working directory (language file, library log, diagnostics folder) and
// finds its manuals next to itself. An installed program - recognised by the
// data folder beside its own folder - reads translations and manuals from
// that data folder and writes into the user's XDG configuration and data
// folders, so that it works from any working directory.
class CAppPaths
{
public:
    // The paths of the running program; decided once, from its own folder.
    static const CAppPaths &instance();
    // Replaces the running program's paths (tests).
    static void setInstance(const CAppPaths &paths);

    // strAppDir: the folder holding the program. strDataFromAppDir: where an
    // installed program's data folder lies, relative to strAppDir.
    explicit CAppPaths(const QString &strAppDir, const QString &strDataFromAppDir = defaultDataFromAppDir());

    static QString defaultDataFromAppDir();

    bool isInstalled() const { return !m_strDataDir.isEmpty(); }
    QString dataDir() const { return m_strDataDir; }

    // The language choice file.
    QString langConfigFile() const;
    // Translation files to try in turn for a language suffix ("cn", "en").
    QStringList translationFiles(const QString &strLang) const;
    // The user manual of a language suffix.
    QString manualFile(const QString &strLang) const;
    // A folder the program writes into ("log", "DiagnoseInfo"), without the
    // trailing separator; created by the caller.
    QString workFolder(const QString &strName) const;

private:
    QString m_strAppDir;
    QString m_strDataDir;     // empty when run from the build folder
};

#endif // APPPATHS_H
