#include "manualprinter.h"
#include "manualdocument.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

namespace {
constexpr int kResolution = 300;
constexpr qreal kFooterMm = 10;
}

bool CManualPrinter::print(CManualDocument &manual, const QString &strTitle, const QString &strOutput,
                           QString *pError)
{
    // Written beside the target and renamed, so a failed run never leaves a
    // truncated manual that a later build would take for finished.
    const QString strTemp = strOutput + QStringLiteral(".part");
    {
        QPdfWriter writer(strTemp);
        writer.setResolution(kResolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(20, 18, 20, 12), QPageLayout::Millimeter));
        writer.setTitle(strTitle);
        writer.setCreator(QStringLiteral("Corvane"));

        const QRectF paintRect = writer.pageLayout().paintRectPixels(kResolution);
        const qreal dFooter = kFooterMm / 25.4 * kResolution;
        const QSizeF bodySize(paintRect.width(), paintRect.height() - dFooter);
        manual.build(&writer, bodySize);
        const qreal dPageHeight = manual.pageHeight();

        QPainter painter;
        if (!painter.begin(&writer)) {
            *pError = QStringLiteral("cannot write %1").arg(strTemp);
            return false;
        }
        QTextDocument *pDoc = manual.document();
        QFont footerFont = pDoc->defaultFont();
        footerFont.setPointSizeF(8.5);
        const int nPages = manual.pageCount();
        for (int nPage = 0; nPage < nPages; ++nPage) {
            if (nPage > 0)
                writer.newPage();
            painter.save();
            // A line that starts exactly where the next page begins belongs there.
            const QRectF clip(0, nPage * dPageHeight, bodySize.width(), dPageHeight - 1);
            painter.translate(0, -clip.top());
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = clip;
            painter.setClipRect(clip);
            pDoc->documentLayout()->draw(&painter, context);
            painter.restore();

            if (nPage == 0)
                continue;
            const QRectF footer(0, dPageHeight, bodySize.width(), dFooter);
            painter.setPen(QColor(0xb0, 0xb8, 0xc4));
            painter.drawLine(QPointF(footer.left(), footer.top() + dFooter * 0.3),
                             QPointF(footer.right(), footer.top() + dFooter * 0.3));
            painter.setPen(QColor(0x55, 0x5f, 0x6b));
            painter.setFont(footerFont);
            const QRectF text = footer.adjusted(0, dFooter * 0.35, 0, 0);
            painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, strTitle);
            painter.drawText(text, Qt::AlignRight | Qt::AlignVCenter, QString::number(nPage + 1));
        }
        if (!painter.end()) {
            *pError = QStringLiteral("cannot finish %1").arg(strTemp);
            return false;
        }
    }
    QFile::remove(strOutput);
    if (!QFile::rename(strTemp, strOutput)) {
        *pError = QStringLiteral("cannot rename %1 to %2").arg(strTemp, strOutput);
        return false;
    }
    return true;
}
