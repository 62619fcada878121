#include "langconfig.h"
#include "apppaths.h"
#include "platformutils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTextStream>
#include <QTranslator>

namespace {
const QString kChineseToken = QStringLiteral("Lang-CN");
const QString kEnglishToken = QStringLiteral("Lang_EN");
}

QString CLangConfig::defaultPath()
{
    return CAppPaths::instance().langConfigFile();
}

QString CLangConfig::fileSuffix(ELanguage lang)
{
    return lang == LangChinese ? QStringLiteral("cn") : QStringLiteral("en");
}

QString CLangConfig::qtTranslationName(ELanguage lang)
{
    return lang == LangChinese ? QStringLiteral("qtbase_zh_CN") : QString();
}

bool CLangConfig::loadQtTranslation(QTranslator &translator, ELanguage lang)
{
    const QString strName = qtTranslationName(lang);
    return !strName.isEmpty()
        && translator.load(strName, QLibraryInfo::location(QLibraryInfo::TranslationsPath));
}

QFont CLangConfig::applicationFont(ELanguage lang)
{
    return lang == LangChinese ? QFont(QStringLiteral("微软雅黑"), 10)
                               : QFont(QStringLiteral("Arial"), 9);
}

CLangConfig::CLangConfig(const QString &strPath)
    : CLangConfig(strPath, CPlatformUtils::systemLanguageId())
{
}

CLangConfig::CLangConfig(const QString &strPath, int nSystemLangId)
    : m_strPath(strPath)
    , m_nSystemLangId(nSystemLangId)
{
}

CLangConfig::ELanguage CLangConfig::startupLanguage() const
{
    QString strContent;
    if (!readContent(&strContent) || strContent.isEmpty())
        return m_nSystemLangId == CPlatformUtils::LangIdChineseSimplified ? LangChinese : LangEnglish;
    return strContent == kChineseToken ? LangChinese : LangEnglish;
}

CLangConfig::ELanguage CLangConfig::readOrRepair()
{
    if (!QFileInfo::exists(m_strPath))
        return writeSystemDefault();
    QString strContent;
    if (!readContent(&strContent))
        return LangUnknown;
    if (strContent == kEnglishToken)
        return LangEnglish;
    if (strContent == kChineseToken)
        return LangChinese;
    return writeSystemDefault();
}

bool CLangConfig::write(ELanguage lang) const
{
    if (lang == LangUnknown)
        return false;
    QDir().mkpath(QFileInfo(m_strPath).absolutePath());
    QFile::remove(m_strPath);
    QFile file(m_strPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    const QByteArray token = (lang == LangEnglish ? kEnglishToken : kChineseToken).toUtf8();
    return file.write(token) == token.size();
}

bool CLangConfig::readContent(QString *pContent) const
{
    QFile file(m_strPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    *pContent = stream.readAll();
    return true;
}

CLangConfig::ELanguage CLangConfig::writeSystemDefault() const
{
    ELanguage lang;
    if (m_nSystemLangId == CPlatformUtils::LangIdEnglishUS)
        lang = LangEnglish;
    else if (m_nSystemLangId == CPlatformUtils::LangIdChineseSimplified)
        lang = LangChinese;
    else
        return LangUnknown;
    write(lang);
    return lang;
}
