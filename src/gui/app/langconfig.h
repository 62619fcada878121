#ifndef LANGCONFIG_H
#define LANGCONFIG_H

#include <QFont>
#include <QString>

class QTranslator;

// The language choice kept in lang/lang.cfg (relative to the working
// directory; an installed program keeps it in the user's configuration
// folder): one token without a line break, "Lang-CN" or "Lang_EN".
class CLangConfig
{
public:
    enum ELanguage { LangUnknown, LangChinese, LangEnglish };

    static QString defaultPath();
    // "cn" or "en": the suffix of a language's translation and manual files.
    static QString fileSuffix(ELanguage lang);
    // Base name of Qt's own translation for its dialogs and context menus; empty
    // for English, which Qt speaks without one.
    static QString qtTranslationName(ELanguage lang);
    // Loads Qt's own translation of lang from Qt's translation directory.
    static bool loadQtTranslation(QTranslator &translator, ELanguage lang);
    // Application font of a language: "微软雅黑" 10 points for Chinese, "Arial" 9 otherwise.
    static QFont applicationFont(ELanguage lang);

    explicit CLangConfig(const QString &strPath = defaultPath());
    CLangConfig(const QString &strPath, int nSystemLangId);

    // The rule applied at start-up and by the help command: no file, or an empty
    // one, follows the system language (2052 Chinese, anything else English);
    // otherwise "Lang-CN" is Chinese and any other content English.
    ELanguage startupLanguage() const;

    // The title bar's rule: "Lang-CN" and "Lang_EN" are kept; a missing file or any
    // other content is replaced by the system default. LangUnknown when the system
    // language is neither US English nor simplified Chinese and the file holds no
    // valid token.
    ELanguage readOrRepair();

    // Replaces the file with the token of lang (Chinese or English only).
    bool write(ELanguage lang) const;

private:
    bool readContent(QString *pContent) const;
    ELanguage writeSystemDefault() const;

    QString m_strPath;
    int m_nSystemLangId;
};

#endif // LANGCONFIG_H
