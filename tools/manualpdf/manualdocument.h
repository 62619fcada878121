#ifndef MANUALDOCUMENT_H
#define MANUALDOCUMENT_H

#include <QFont>
#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QTextDocument>

#include <memory>

class QPaintDevice;
class QTextCursor;
class QTextTable;

// A user manual as one paged text document: a title page, a table of contents
// and the chapters, each chapter a Markdown file starting with a level-1
// heading. Screenshots that do not exist are left out with a warning, so the
// manual builds before they are taken.
class CManualDocument
{
public:
    struct Settings
    {
        QString strTitle;
        QString strSubtitle;
        QString strVersion;    // title-page line; "%1" stands for the version number
        QString strContents;   // heading of the table of contents
        QStringList listFontFamilies;
    };

    struct Heading
    {
        int nLevel = 0;
        QString strText;
        int nPage = 0;         // 1-based, the title page being page 1
    };

    // Reads a settings file of "key = value" lines (UTF-8): title, subtitle,
    // version, contents, fonts (comma-separated families).
    static bool readSettings(const QString &strPath, Settings *pSettings, QString *pError);

    explicit CManualDocument(const Settings &settings);
    ~CManualDocument();

    // Appends the chapters in the order given. False when a file cannot be read.
    bool addChapters(const QStringList &listFiles, QString *pError);

    // Builds the document for pages whose text area is bodySize in device
    // units of pDevice, lays it out and fills in the page numbers of the
    // table of contents.
    void build(QPaintDevice *pDevice, const QSizeF &bodySize);

    QTextDocument *document() { return m_pDoc.get(); }
    const QList<Heading> &headings() const { return m_listHeadings; }
    // Images referred to by the chapters but not found.
    const QStringList &missingImages() const { return m_listMissing; }
    int pageCount() const;
    // Height of a page's text area after build(), in device units.
    qreal pageHeight() const { return m_dPageHeight; }

private:
    QString resolveImages(const QString &strMarkdown, const QString &strDir);
    void styleBody(QTextDocument *pBody, qreal dMaxImageWidth) const;
    void buildFrontMatter(QTextCursor &cursor);
    void collectHeadings();
    void fillContents();
    QFont font(qreal dPointSize, bool bBold = false) const;

    Settings m_settings;
    std::unique_ptr<QTextDocument> m_pDoc;
    QString m_strMarkdown;
    QStringList m_listMissing;
    QList<Heading> m_listHeadings;
    QTextTable *m_pToc = nullptr;
    qreal m_dPageHeight = 0;       // device units
    qreal m_dScreenScale = 1;      // 96 dpi pixels per device unit
};

#endif // MANUALDOCUMENT_H
