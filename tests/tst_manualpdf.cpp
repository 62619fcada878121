#include "manualdocument.h"
#include "manualprinter.h"

#include <QImage>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

// The manual renderer: chapters each on pages of their own, a table of
// contents with the right page numbers, pictures that fit the page, and a
// manual that still builds when pictures are missing.
class TestManualPdf : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void chaptersStartOnNewPagesAndContentsAgree();
    void missingPictureIsLeftOut();
    void widePictureFitsThePage();
    void settingsFile_data();
    void settingsFile();
    void unreadableChapterFails();
    void printWritesPdfAndReplacesOldFile();

private:
    QString writeFile(const QString &strName, const QByteArray &content);
    CManualDocument::Settings settings() const;

    QScopedPointer<QTemporaryDir> m_pDir;
};

void TestManualPdf::init()
{
    m_pDir.reset(new QTemporaryDir);
    QVERIFY(m_pDir->isValid());
    QVERIFY(QDir(m_pDir->path()).mkpath(QStringLiteral("images")));
}

QString TestManualPdf::writeFile(const QString &strName, const QByteArray &content)
{
    const QString strPath = m_pDir->filePath(strName);
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qWarning() << "cannot write" << strPath;
    return strPath;
}

CManualDocument::Settings TestManualPdf::settings() const
{
    CManualDocument::Settings settings;
    settings.strTitle = QStringLiteral("Handbuch");
    settings.strContents = QStringLiteral("Inhalt");
    settings.listFontFamilies = QStringList({QStringLiteral("DejaVu Sans"), QStringLiteral("WenQuanYi Micro Hei")});
    return settings;
}

void TestManualPdf::chaptersStartOnNewPagesAndContentsAgree()
{
    QByteArray longChapter = "# Long\n\n";
    for (int i = 0; i < 120; ++i)
        longChapter += "A paragraph that takes a line of its own, number " + QByteArray::number(i) + ".\n\n";
    longChapter += "## Late section\n\nEnd.\n";
    const QStringList listChapters = {writeFile(QStringLiteral("01.md"), "# First\n\nText.\n\n## Part\n\nMore.\n"),
                                      writeFile(QStringLiteral("02.md"), longChapter),
                                      writeFile(QStringLiteral("03.md"), "# 第三章\n\n中文。\n")};
    CManualDocument manual(settings());
    QString strError;
    QVERIFY2(manual.addChapters(listChapters, &strError), qPrintable(strError));
    QPdfWriter writer(m_pDir->filePath(QStringLiteral("layout.pdf")));
    writer.setResolution(300);
    manual.build(&writer, QSizeF(2000, 3000));

    const QList<CManualDocument::Heading> &listHeadings = manual.headings();
    QCOMPARE(listHeadings.size(), 5);
    QCOMPARE(listHeadings.at(0).strText, QStringLiteral("First"));
    // Title page, contents, then the chapters.
    QCOMPARE(listHeadings.at(0).nPage, 3);
    QCOMPARE(listHeadings.at(1).strText, QStringLiteral("Part"));
    QCOMPARE(listHeadings.at(1).nPage, 3);
    QCOMPARE(listHeadings.at(2).strText, QStringLiteral("Long"));
    QCOMPARE(listHeadings.at(2).nPage, 4);
    QCOMPARE(listHeadings.at(3).strText, QStringLiteral("Late section"));
    QVERIFY(listHeadings.at(3).nPage > 4);
    QCOMPARE(listHeadings.at(4).strText, QStringLiteral("第三章"));
    QCOMPARE(listHeadings.at(4).nPage, listHeadings.at(3).nPage + 1);
    QCOMPARE(manual.pageCount(), listHeadings.at(4).nPage);

    // The contents show the same numbers, and the numbers match where each
    // heading's line really lies.
    // The contents list every heading with its page, in order.
    QString strContents;
    for (const CManualDocument::Heading &heading : listHeadings)
        strContents += heading.strText + QLatin1Char('\n') + QString::number(heading.nPage) + QLatin1Char('\n');
    QVERIFY2(manual.document()->toPlainText().contains(QStringLiteral("Inhalt\n\n") + strContents),
             qPrintable(manual.document()->toPlainText().left(300)));
}

void TestManualPdf::missingPictureIsLeftOut()
{
    QImage(40, 20, QImage::Format_RGB32).save(m_pDir->filePath(QStringLiteral("images/there.png")));
    const QString strChapter = writeFile(QStringLiteral("01.md"),
                                         "# Pictures\n\n![shown](images/there.png)\n\n![absent](images/gone.png)\n\nText after.\n");
    CManualDocument manual(settings());
    QString strError;
    QVERIFY(manual.addChapters({strChapter}, &strError));
    QCOMPARE(manual.missingImages(), QStringList(m_pDir->filePath(QStringLiteral("images/gone.png"))));

    QPdfWriter writer(m_pDir->filePath(QStringLiteral("pictures.pdf")));
    manual.build(&writer, QSizeF(2000, 3000));
    int nImages = 0;
    for (QTextBlock block = manual.document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat()) {
                ++nImages;
                QVERIFY(it.fragment().charFormat().toImageFormat().name().endsWith(QLatin1String("there.png")));
            }
        }
    }
    QCOMPARE(nImages, 1);
    QVERIFY(manual.document()->toPlainText().contains(QLatin1String("Text after.")));
}

void TestManualPdf::widePictureFitsThePage()
{
    QImage(3000, 600, QImage::Format_RGB32).save(m_pDir->filePath(QStringLiteral("images/wide.png")));
    QImage(200, 100, QImage::Format_RGB32).save(m_pDir->filePath(QStringLiteral("images/small.png")));
    const QString strChapter = writeFile(QStringLiteral("01.md"),
                                         "# Pictures\n\n![wide](images/wide.png)\n\n![small](images/small.png)\n");
    CManualDocument manual(settings());
    QString strError;
    QVERIFY(manual.addChapters({strChapter}, &strError));
    QPdfWriter writer(m_pDir->filePath(QStringLiteral("wide.pdf")));
    writer.setResolution(300);
    const QSizeF body(1800, 2600);
    manual.build(&writer, body);

    // Image sizes are in 96 dpi pixels of the 300 dpi page.
    const qreal dMaxWidth = body.width() * 96.0 / writer.logicalDpiX();
    QMap<QString, QTextImageFormat> mapImages;
    for (QTextBlock block = manual.document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat()) {
                const QTextImageFormat image = it.fragment().charFormat().toImageFormat();
                mapImages.insert(QFileInfo(QUrl(image.name()).toLocalFile()).fileName(), image);
                QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
            }
        }
    }
    QCOMPARE(mapImages.size(), 2);
    QCOMPARE(mapImages.value(QStringLiteral("wide.png")).width(), dMaxWidth);
    QCOMPARE(mapImages.value(QStringLiteral("wide.png")).height(), dMaxWidth / 5);
    QVERIFY(!mapImages.value(QStringLiteral("small.png")).hasProperty(QTextFormat::ImageWidth));
}

void TestManualPdf::settingsFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("fonts");

    QTest::newRow("complete") << QByteArray("# comment\ntitle = Corvane 用户手册\nsubtitle = x\nversion = 版本 %1\n"
                                            "contents = 目录\nfonts = WenQuanYi Micro Hei, DejaVu Sans\n")
                              << true << QStringLiteral("Corvane 用户手册")
                              << QStringList({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("DejaVu Sans")});
    QTest::newRow("unknown key") << QByteArray("title = A\ncolour = red\n") << false << QString() << QStringList();
    QTest::newRow("no equals sign") << QByteArray("title A\n") << false << QString() << QStringList();
}

void TestManualPdf::settingsFile()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, ok);
    QFETCH(QString, title);
    QFETCH(QStringList, fonts);
    CManualDocument::Settings read;
    QString strError;
    QCOMPARE(CManualDocument::readSettings(writeFile(QStringLiteral("manual.conf"), content), &read, &strError), ok);
    if (!ok) {
        QVERIFY(strError.contains(QLatin1String("manual.conf:")));
        return;
    }
    QCOMPARE(read.strTitle, title);
    QCOMPARE(read.listFontFamilies, fonts);
    QCOMPARE(read.strVersion.arg(QStringLiteral("1.0.0")), QStringLiteral("版本 1.0.0"));
}

void TestManualPdf::unreadableChapterFails()
{
    CManualDocument manual(settings());
    QString strError;
    QVERIFY(!manual.addChapters({m_pDir->filePath(QStringLiteral("absent.md"))}, &strError));
    QVERIFY(strError.contains(QLatin1String("absent.md")));
}

void TestManualPdf::printWritesPdfAndReplacesOldFile()
{
    const QString strOutput = writeFile(QStringLiteral("Manual.pdf"), "stale");
    CManualDocument manual(settings());
    QString strError;
    QVERIFY(manual.addChapters({writeFile(QStringLiteral("01.md"), "# One\n\nText.\n"),
                                writeFile(QStringLiteral("02.md"), "# Two\n\nText.\n")},
                               &strError));
    QVERIFY2(CManualPrinter::print(manual, QStringLiteral("Handbuch"), strOutput, &strError), qPrintable(strError));
    QFile pdf(strOutput);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray content = pdf.readAll();
    QVERIFY(content.startsWith("%PDF-"));
    // Title page, contents and two chapters.
    QCOMPARE(content.count("/Type /Page\n") + content.count("/Type /Page\r") + content.count("/Type /Page "), 4);
    QVERIFY(!QFile::exists(strOutput + QStringLiteral(".part")));
}

QTEST_MAIN(TestManualPdf)
#include "tst_manualpdf.moc"
