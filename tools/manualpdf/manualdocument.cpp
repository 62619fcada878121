#include "manualdocument.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPaintDevice>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextStream>
#include <QTextTable>

#include <cmath>
#include <cstdio>

namespace {

const QColor kHeadingColour(0x2b, 0x57, 0x97);
const QColor kRuleColour(0xb0, 0xb8, 0xc4);
const QColor kCodeBackground(0xf2, 0xf4, 0xf7);
const QColor kTableHeaderBackground(0xe4, 0xea, 0xf3);

// Point sizes of the body text and of heading levels 1 to 3.
constexpr qreal kBodySize = 10.5;
constexpr qreal kHeadingSizes[] = {20, 14, 12};

bool onlyImage(const QTextBlock &block)
{
    bool bImage = false;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.charFormat().isImageFormat())
            bImage = true;
        else if (!fragment.text().trimmed().isEmpty())
            return false;
    }
    return bImage;
}

struct Range
{
    int nStart;
    int nLength;
    QTextCharFormat format;
};

QList<Range> fragmentsOf(const QTextBlock &block)
{
    QList<Range> listRanges;
    for (auto it = block.begin(); !it.atEnd(); ++it)
        listRanges << Range{it.fragment().position(), it.fragment().length(), it.fragment().charFormat()};
    return listRanges;
}

void setRangeFormat(QTextDocument *pDoc, const Range &range, const QTextCharFormat &format)
{
    QTextCursor cursor(pDoc);
    cursor.setPosition(range.nStart);
    cursor.setPosition(range.nStart + range.nLength, QTextCursor::KeepAnchor);
    cursor.setCharFormat(format);
}

} // namespace

bool CManualDocument::readSettings(const QString &strPath, Settings *pSettings, QString *pError)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *pError = QStringLiteral("cannot read %1: %2").arg(strPath, file.errorString());
        return false;
    }
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    int nLine = 0;
    while (!stream.atEnd()) {
        const QString strLine = stream.readLine().trimmed();
        ++nLine;
        if (strLine.isEmpty() || strLine.startsWith(QLatin1Char('#')))
            continue;
        const int nEq = strLine.indexOf(QLatin1Char('='));
        if (nEq < 0) {
            *pError = QStringLiteral("%1:%2: expected key = value").arg(strPath).arg(nLine);
            return false;
        }
        const QString strKey = strLine.left(nEq).trimmed();
        const QString strValue = strLine.mid(nEq + 1).trimmed();
        if (strKey == QLatin1String("title")) {
            pSettings->strTitle = strValue;
        } else if (strKey == QLatin1String("subtitle")) {
            pSettings->strSubtitle = strValue;
        } else if (strKey == QLatin1String("version")) {
            pSettings->strVersion = strValue;
        } else if (strKey == QLatin1String("contents")) {
            pSettings->strContents = strValue;
        } else if (strKey == QLatin1String("fonts")) {
            pSettings->listFontFamilies.clear();
            for (const QString &strFamily : strValue.split(QLatin1Char(','), Qt::SkipEmptyParts))
                pSettings->listFontFamilies << strFamily.trimmed();
        } else {
            *pError = QStringLiteral("%1:%2: unknown key %3").arg(strPath).arg(nLine).arg(strKey);
            return false;
        }
    }
    return true;
}

CManualDocument::CManualDocument(const Settings &settings)
    : m_settings(settings)
    , m_pDoc(new QTextDocument)
{
}

CManualDocument::~CManualDocument() = default;

bool CManualDocument::addChapters(const QStringList &listFiles, QString *pError)
{
    for (const QString &strFile : listFiles) {
        QFile file(strFile);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            *pError = QStringLiteral("cannot read %1: %2").arg(strFile, file.errorString());
            return false;
        }
        const QString strText = QString::fromUtf8(file.readAll());
        m_strMarkdown += resolveImages(strText, QFileInfo(strFile).absolutePath());
        m_strMarkdown += QStringLiteral("\n\n");
    }
    return true;
}

QString CManualDocument::resolveImages(const QString &strMarkdown, const QString &strDir)
{
    static const QRegularExpression reImage(QStringLiteral("!\\[([^\\]]*)\\]\\(([^)\\s]+)\\)"));
    QString strResult;
    int nLast = 0;
    auto it = reImage.globalMatch(strMarkdown);
    while (it.hasNext()) {
        const QRegularExpressionMatch match = it.next();
        strResult += strMarkdown.midRef(nLast, match.capturedStart() - nLast);
        nLast = match.capturedEnd();
        const QString strPath = QDir(strDir).absoluteFilePath(match.captured(2));
        if (QFileInfo(strPath).isFile()) {
            strResult += QStringLiteral("![%1](%2)").arg(match.captured(1),
                                                        QUrl::fromLocalFile(strPath).toString());
        } else {
            m_listMissing << QDir::cleanPath(strPath);
            std::fprintf(stderr, "manual: screenshot missing, left out: %s\n",
                         qPrintable(QDir::cleanPath(strPath)));
        }
    }
    strResult += strMarkdown.midRef(nLast);
    return strResult;
}

QFont CManualDocument::font(qreal dPointSize, bool bBold) const
{
    QFont font;
    if (!m_settings.listFontFamilies.isEmpty()) {
        font.setFamily(m_settings.listFontFamilies.first());
        font.setFamilies(m_settings.listFontFamilies);
    }
    font.setPointSizeF(dPointSize);
    font.setBold(bBold);
    return font;
}

void CManualDocument::build(QPaintDevice *pDevice, const QSizeF &bodySize)
{
    // The layout works in 1/64 units; pages of exactly such a height keep the
    // page of a block an exact division.
    m_dPageHeight = std::floor(bodySize.height() * 64) / 64;
    // Margins and images are given in pixels of a 96 dpi screen and scaled to the device.
    m_dScreenScale = 96.0 / pDevice->logicalDpiY();
    const qreal dMaxImageWidth = bodySize.width() * m_dScreenScale;

    QTextDocument body;
    body.setDefaultFont(font(kBodySize));
    body.setMarkdown(m_strMarkdown, QTextDocument::MarkdownDialectGitHub);
    styleBody(&body, dMaxImageWidth);

    m_pDoc.reset(new QTextDocument);
    m_pDoc->setDefaultFont(font(kBodySize));
    m_pDoc->setDocumentMargin(0);
    m_pDoc->documentLayout()->setPaintDevice(pDevice);
    m_pDoc->setPageSize(QSizeF(bodySize.width(), m_dPageHeight));

    m_listHeadings.clear();
    for (QTextBlock block = body.begin(); block.isValid(); block = block.next()) {
        const int nLevel = block.blockFormat().headingLevel();
        if (nLevel == 1 || nLevel == 2)
            m_listHeadings << Heading{nLevel, block.text().trimmed(), 0};
    }

    QTextCursor cursor(m_pDoc.get());
    buildFrontMatter(cursor);
    // The fragment's first block merges into the cursor's block and would
    // take its format: give it the chapter heading's format back.
    const int nBodyStart = cursor.position();
    cursor.insertFragment(QTextDocumentFragment(&body));
    QTextCursor(m_pDoc->findBlock(nBodyStart)).setBlockFormat(body.begin().blockFormat());
    collectHeadings();
    fillContents();
}

void CManualDocument::styleBody(QTextDocument *pBody, qreal dMaxImageWidth) const
{
    for (QTextBlock block = pBody->begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat blockFormat = block.blockFormat();
        const int nLevel = blockFormat.headingLevel();
        QTextCursor cursor(block);
        if (nLevel >= 1 && nLevel <= 3) {
            // Every chapter starts on a page of its own.
            if (nLevel == 1)
                blockFormat.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            blockFormat.setTopMargin(nLevel == 1 ? 0 : 14);
            blockFormat.setBottomMargin(nLevel == 1 ? 18 : 6);
            cursor.setBlockFormat(blockFormat);
            for (const Range &range : fragmentsOf(block)) {
                QTextCharFormat format = range.format;
                format.clearProperty(QTextFormat::FontSizeAdjustment);
                format.setFont(font(kHeadingSizes[nLevel - 1], true), QTextCharFormat::FontPropertiesSpecifiedOnly);
                format.setForeground(kHeadingColour);
                setRangeFormat(pBody, range, format);
            }
            continue;
        }
        if (blockFormat.hasProperty(QTextFormat::BlockCodeFence) || blockFormat.nonBreakableLines()) {
            blockFormat.setBackground(kCodeBackground);
            blockFormat.setLeftMargin(12);
            cursor.setBlockFormat(blockFormat);
            continue;
        }
        if (onlyImage(block)) {
            blockFormat.setAlignment(Qt::AlignHCenter);
            blockFormat.setTopMargin(6);
            blockFormat.setBottomMargin(10);
            cursor.setBlockFormat(blockFormat);
        }
        for (const Range &range : fragmentsOf(block)) {
            if (!range.format.isImageFormat())
                continue;
            QTextImageFormat image = range.format.toImageFormat();
            const QSize size = QImageReader(QUrl(image.name()).toLocalFile()).size();
            if (!size.isValid() || size.width() <= dMaxImageWidth)
                continue;
            image.setWidth(dMaxImageWidth);
            image.setHeight(dMaxImageWidth * size.height() / size.width());
            setRangeFormat(pBody, range, image);
        }
    }

    for (QTextFrame *pFrame : pBody->rootFrame()->childFrames()) {
        auto *pTable = qobject_cast<QTextTable *>(pFrame);
        if (!pTable)
            continue;
        QTextTableFormat format = pTable->format();
        format.setBorder(0.5);
        format.setBorderBrush(kRuleColour);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setCellSpacing(0);
        format.setCellPadding(4);
        format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
        pTable->setFormat(format);
        for (int nCol = 0; nCol < pTable->columns(); ++nCol) {
            QTextTableCell cell = pTable->cellAt(0, nCol);
            QTextCharFormat cellFormat = cell.format();
            cellFormat.setBackground(kTableHeaderBackground);
            cell.setFormat(cellFormat);
        }
    }
}

void CManualDocument::buildFrontMatter(QTextCursor &cursor)
{
    // The layout ignores the top margin of a document's first block, so the
    // title is pushed down from a second one.
    QTextBlockFormat title;
    title.setAlignment(Qt::AlignHCenter);
    title.setTopMargin(m_dPageHeight * m_dScreenScale * 0.3);
    QTextCharFormat titleChars;
    titleChars.setFont(font(28, true));
    titleChars.setForeground(kHeadingColour);
    cursor.insertBlock(title, titleChars);
    cursor.insertText(m_settings.strTitle);

    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    centred.setTopMargin(12);
    QTextCharFormat subtitleChars;
    subtitleChars.setFont(font(14));
    if (!m_settings.strSubtitle.isEmpty()) {
        cursor.insertBlock(centred, subtitleChars);
        cursor.insertText(m_settings.strSubtitle);
    }
    if (!m_settings.strVersion.isEmpty()) {
        cursor.insertBlock(centred, subtitleChars);
        cursor.insertText(m_settings.strVersion);
    }

    QTextBlockFormat contents;
    contents.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    contents.setBottomMargin(18);
    QTextCharFormat contentsChars;
    contentsChars.setFont(font(kHeadingSizes[0], true));
    contentsChars.setForeground(kHeadingColour);
    cursor.insertBlock(contents, contentsChars);
    cursor.insertText(m_settings.strContents);

    QTextTableFormat toc;
    toc.setBorder(0);
    toc.setCellPadding(2);
    toc.setCellSpacing(0);
    toc.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    toc.setColumnWidthConstraints({QTextLength(QTextLength::PercentageLength, 90),
                                   QTextLength(QTextLength::PercentageLength, 10)});
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    m_pToc = cursor.insertTable(std::max(1, int(m_listHeadings.size())), 2, toc);
    for (int nRow = 0; nRow < m_listHeadings.size(); ++nRow) {
        const Heading &heading = m_listHeadings.at(nRow);
        QTextCursor cell = m_pToc->cellAt(nRow, 0).firstCursorPosition();
        QTextBlockFormat indent;
        indent.setLeftMargin(heading.nLevel == 1 ? 0 : 18);
        indent.setTopMargin(heading.nLevel == 1 ? 6 : 0);
        cell.setBlockFormat(indent);
        cell.insertText(heading.strText, QTextCharFormat());
        if (heading.nLevel == 1) {
            QTextCharFormat bold;
            bold.setFontWeight(QFont::Bold);
            cell.select(QTextCursor::BlockUnderCursor);
            cell.mergeCharFormat(bold);
        }
        QTextCursor number = m_pToc->cellAt(nRow, 1).firstCursorPosition();
        QTextBlockFormat right;
        right.setAlignment(Qt::AlignRight);
        right.setTopMargin(indent.topMargin());
        number.setBlockFormat(right);
    }
    cursor = m_pToc->lastCursorPosition();
    cursor.movePosition(QTextCursor::NextBlock);
}

void CManualDocument::collectHeadings()
{
    int nIndex = 0;
    for (QTextBlock block = m_pDoc->begin(); block.isValid() && nIndex < m_listHeadings.size();
         block = block.next()) {
        const int nLevel = block.blockFormat().headingLevel();
        if (nLevel != 1 && nLevel != 2)
            continue;
        // A page break moves the block's first line, not the block's own top.
        qreal dTop = m_pDoc->documentLayout()->blockBoundingRect(block).top();
        if (block.layout() && block.layout()->lineCount() > 0)
            dTop = block.layout()->position().y() + block.layout()->lineAt(0).y();
        m_listHeadings[nIndex++].nPage = int(dTop / m_dPageHeight) + 1;
    }
}

void CManualDocument::fillContents()
{
    if (!m_pToc)
        return;
    for (int nRow = 0; nRow < m_listHeadings.size(); ++nRow) {
        QTextCursor number = m_pToc->cellAt(nRow, 1).firstCursorPosition();
        number.insertText(QString::number(m_listHeadings.at(nRow).nPage));
    }
}

int CManualDocument::pageCount() const
{
    return m_pDoc->pageCount();
}
