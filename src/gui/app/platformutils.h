#ifndef PLATFORMUTILS_H
#define PLATFORMUTILS_H

#include <QString>
#include <QUrl>

#include <functional>

// Everything that depends on the desktop the program runs on: opening files,
// folders and web pages, the system language, font names.
class CPlatformUtils
{
public:
    // Language ids as the language file's defaults use them.
    static constexpr int LangIdEnglishUS = 1033;
    static constexpr int LangIdChineseSimplified = 2052;

    // 2052 for simplified Chinese, 1033 for US English (and the plain C locale),
    // 0 for every other system language.
    static int systemLanguageId();

    // Opens a local file with the desktop's viewer for its type.
    static bool openFile(const QString &strPath);
    // Opens the folder that holds strPath in the file manager.
    static bool showInFolder(const QString &strPath);
    // Opens a web page in the system browser. With CORVANE_LOOPBACK_ONLY=1 in
    // the environment only loopback hosts are opened.
    static bool openWebPage(const QString &strUrl);

    // Maps the Windows font names the forms use onto fonts a Linux desktop has.
    static void installFontSubstitutes();

    // Before the application exists: keeps X11 from loading an OpenGL
    // driver the program never draws with, unless the user chose one.
    static void skipOpenGl();

    // Replaces the desktop opener (tests use this to see what would be opened).
    using UrlOpener = std::function<bool(const QUrl &)>;
    static void setUrlOpener(UrlOpener opener);

private:
    static bool openUrl(const QUrl &url);
};

#endif // PLATFORMUTILS_H
