#include "langconfig.h"
#include "platformutils.h"

#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

namespace {
constexpr int kCn = CPlatformUtils::LangIdChineseSimplified;
constexpr int kEn = CPlatformUtils::LangIdEnglishUS;
constexpr int kOther = 1031;  // German: neither default
}

class TestLangConfig : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void startupLanguage_data();
    void startupLanguage();
    void readOrRepair_data();
    void readOrRepair();
    void writeReplacesWholeFile();
    void unreadableFileIsNotTouched();
    void qtTranslationFollowsLanguage();

private:
    QString path() const { return m_pDir->filePath(QStringLiteral("lang/lang.cfg")); }
    void writeRaw(const QByteArray &content);
    QByteArray readRaw() const;

    QScopedPointer<QTemporaryDir> m_pDir;
};

Q_DECLARE_METATYPE(CLangConfig::ELanguage)

void TestLangConfig::init()
{
    m_pDir.reset(new QTemporaryDir);
    QVERIFY(m_pDir->isValid());
}

void TestLangConfig::writeRaw(const QByteArray &content)
{
    QVERIFY(QDir(m_pDir->path()).mkpath(QStringLiteral("lang")));
    QFile file(path());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray TestLangConfig::readRaw() const
{
    QFile file(path());
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return file.readAll();
}

void TestLangConfig::startupLanguage_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("systemId");
    QTest::addColumn<CLangConfig::ELanguage>("lang");

    QTest::newRow("missing, system Chinese") << false << QByteArray() << kCn << CLangConfig::LangChinese;
    QTest::newRow("missing, system English") << false << QByteArray() << kEn << CLangConfig::LangEnglish;
    QTest::newRow("missing, other system") << false << QByteArray() << kOther << CLangConfig::LangEnglish;
    QTest::newRow("Chinese token") << true << QByteArray("Lang-CN") << kEn << CLangConfig::LangChinese;
    QTest::newRow("English token") << true << QByteArray("Lang_EN") << kCn << CLangConfig::LangEnglish;
    QTest::newRow("Chinese token, line break") << true << QByteArray("Lang-CN\n") << kCn << CLangConfig::LangEnglish;
    QTest::newRow("Chinese token, CRLF") << true << QByteArray("Lang-CN\r\n") << kCn << CLangConfig::LangEnglish;
    QTest::newRow("wrong case") << true << QByteArray("lang-cn") << kCn << CLangConfig::LangEnglish;
    QTest::newRow("garbage") << true << QByteArray("\xff\xfe??") << kCn << CLangConfig::LangEnglish;
    QTest::newRow("empty, system Chinese") << true << QByteArray() << kCn << CLangConfig::LangChinese;
    QTest::newRow("empty, system English") << true << QByteArray() << kEn << CLangConfig::LangEnglish;
}

void TestLangConfig::startupLanguage()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, content);
    QFETCH(int, systemId);
    QFETCH(CLangConfig::ELanguage, lang);
    if (exists)
        writeRaw(content);
    QCOMPARE(CLangConfig(path(), systemId).startupLanguage(), lang);
    // Start-up only reads: the file is never created or repaired here.
    QCOMPARE(readRaw(), exists ? content : QByteArray("<missing>"));
}

void TestLangConfig::readOrRepair_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("systemId");
    QTest::addColumn<CLangConfig::ELanguage>("lang");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("missing, system English") << false << QByteArray() << kEn << CLangConfig::LangEnglish << QByteArray("Lang_EN");
    QTest::newRow("missing, system Chinese") << false << QByteArray() << kCn << CLangConfig::LangChinese << QByteArray("Lang-CN");
    QTest::newRow("missing, other system") << false << QByteArray() << kOther << CLangConfig::LangUnknown << QByteArray("<missing>");
    QTest::newRow("English kept") << true << QByteArray("Lang_EN") << kCn << CLangConfig::LangEnglish << QByteArray("Lang_EN");
    QTest::newRow("Chinese kept") << true << QByteArray("Lang-CN") << kEn << CLangConfig::LangChinese << QByteArray("Lang-CN");
    QTest::newRow("English with line break rewritten") << true << QByteArray("Lang_EN\n") << kCn << CLangConfig::LangChinese << QByteArray("Lang-CN");
    QTest::newRow("unknown rewritten") << true << QByteArray("French") << kEn << CLangConfig::LangEnglish << QByteArray("Lang_EN");
    QTest::newRow("empty rewritten") << true << QByteArray() << kCn << CLangConfig::LangChinese << QByteArray("Lang-CN");
}

void TestLangConfig::readOrRepair()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, content);
    QFETCH(int, systemId);
    QFETCH(CLangConfig::ELanguage, lang);
    QFETCH(QByteArray, after);
    if (exists)
        writeRaw(content);
    else
        QVERIFY(QDir(m_pDir->path()).mkpath(QStringLiteral("lang")));
    CLangConfig config(path(), systemId);
    QCOMPARE(config.readOrRepair(), lang);
    QCOMPARE(readRaw(), after);
}

void TestLangConfig::writeReplacesWholeFile()
{
    // The folder is created when missing.
    CLangConfig config(path(), kOther);
    QVERIFY(config.write(CLangConfig::LangEnglish));
    QCOMPARE(readRaw(), QByteArray("Lang_EN"));
    writeRaw("Lang_EN and a much longer tail\n");
    QVERIFY(config.write(CLangConfig::LangChinese));
    QCOMPARE(readRaw(), QByteArray("Lang-CN"));
    QVERIFY(!config.write(CLangConfig::LangUnknown));
    QCOMPARE(readRaw(), QByteArray("Lang-CN"));
}

void TestLangConfig::unreadableFileIsNotTouched()
{
    // A directory where the file should be cannot be read as text.
    QVERIFY(QDir(m_pDir->path()).mkpath(QStringLiteral("lang/lang.cfg")));
    CLangConfig config(path(), kCn);
    QCOMPARE(config.startupLanguage(), CLangConfig::LangChinese);
    QCOMPARE(config.readOrRepair(), CLangConfig::LangUnknown);
    QVERIFY(QFileInfo(path()).isDir());
}

void TestLangConfig::qtTranslationFollowsLanguage()
{
    QTranslator english;
    QVERIFY(!CLangConfig::loadQtTranslation(english, CLangConfig::LangEnglish));

    // The text fields' context menu comes from Qt's own catalogue.
    QTranslator chinese;
    QVERIFY2(CLangConfig::loadQtTranslation(chinese, CLangConfig::LangChinese),
             "qttranslations5-l10n is missing");
    QVERIFY(QCoreApplication::installTranslator(&chinese));
    const QString strUndo = QCoreApplication::translate("QLineEdit", "&Undo");
    QCoreApplication::removeTranslator(&chinese);
    QVERIFY(strUndo != QLatin1String("&Undo"));
    QVERIFY(strUndo.contains(QChar(0x64a4)));  // 撤
}

QTEST_MAIN(TestLangConfig)
#include "tst_langconfig.moc"
