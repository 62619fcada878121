#include "appresources.h"
#include "appstylesheet.h"
#include "langconfig.h"
#include "platformutils.h"
#include "recordtypes.h"
#include "uifactories.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QTranslator>
#include <QtTest>

// Walks every window, tab and dialog and reports texts that do not fit their
// widget and named siblings that overlap. ctest runs it at scale 1 and 1.5
// (QT_SCALE_FACTOR); each run covers both languages.
namespace {

QString plain(const QString &strText)
{
    QString str = strText;
    str.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return str;
}

int textWidth(const QFontMetrics &fm, const QString &strText)
{
    int nWidth = 0;
    for (const QString &strLine : plain(strText).split(QLatin1Char('\n')))
        nWidth = qMax(nWidth, fm.horizontalAdvance(strLine));
    return nWidth;
}

QString where(const QWidget *pWidget)
{
    return QStringLiteral("%1 \"%2\"").arg(QLatin1String(pWidget->metaObject()->className()),
                                           pWidget->objectName());
}

void checkLabel(const QLabel *pLabel, QStringList *pProblems)
{
    const QString strText = pLabel->text();
    if (strText.isEmpty() || pLabel->wordWrap() || Qt::mightBeRichText(strText))
        return;
    const QRect rc = pLabel->contentsRect().adjusted(pLabel->margin(), pLabel->margin(),
                                                     -pLabel->margin(), -pLabel->margin());
    const QFontMetrics fm = pLabel->fontMetrics();
    const int nLines = strText.count(QLatin1Char('\n')) + 1;
    if (textWidth(fm, strText) > rc.width() || fm.height() * nLines > rc.height() + 2)
        *pProblems << QStringLiteral("%1: \"%2\" needs %3x%4, has %5x%6")
                          .arg(where(pLabel), strText)
                          .arg(textWidth(fm, strText)).arg(fm.height() * nLines)
                          .arg(rc.width()).arg(rc.height());
}

void checkButton(const QAbstractButton *pButton, QStringList *pProblems)
{
    if (pButton->text().isEmpty())
        return;
    QStyleOptionButton opt;
    opt.initFrom(pButton);
    opt.text = pButton->text();
    QStyle::SubElement element = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox *>(pButton))
        element = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<const QRadioButton *>(pButton))
        element = QStyle::SE_RadioButtonContents;
    const int nAvail = pButton->style()->subElementRect(element, &opt, pButton).width();
    const int nNeed = textWidth(pButton->fontMetrics(), pButton->text());
    if (nNeed > nAvail)
        *pProblems << QStringLiteral("%1: \"%2\" needs %3, has %4")
                          .arg(where(pButton), pButton->text()).arg(nNeed).arg(nAvail);
}

void checkTabBar(const QTabBar *pBar, QStringList *pProblems)
{
    int nTotal = 0;
    for (int i = 0; i < pBar->count(); ++i) {
        const int nNeed = textWidth(pBar->fontMetrics(), pBar->tabText(i));
        // A tab sizes itself for one line; a title on two lines needs the room too.
        const int nLines = pBar->tabText(i).count(QLatin1Char('\n')) + 1;
        const int nNeedHeight = pBar->fontMetrics().height() * nLines;
        nTotal += pBar->tabRect(i).width();
        if (pBar->tabRect(i).width() < nNeed)
            *pProblems << QStringLiteral("%1: tab \"%2\" needs %3, has %4")
                              .arg(where(pBar), pBar->tabText(i)).arg(nNeed).arg(pBar->tabRect(i).width());
        if (pBar->tabRect(i).height() < nNeedHeight)
            *pProblems << QStringLiteral("%1: tab \"%2\" needs height %3, has %4")
                              .arg(where(pBar), pBar->tabText(i)).arg(nNeedHeight).arg(pBar->tabRect(i).height());
    }
    if (nTotal > pBar->width())
        *pProblems << QStringLiteral("%1: tabs need %2, bar has %3 (scrolls)")
                          .arg(where(pBar)).arg(nTotal).arg(pBar->width());
}

void checkHeader(const QHeaderView *pHeader, QStringList *pProblems)
{
    const QAbstractItemModel *pModel = pHeader->model();
    if (!pModel || pHeader->orientation() != Qt::Horizontal)
        return;
    const int nMargin = 2 * pHeader->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, pHeader);
    for (int i = 0; i < pHeader->count(); ++i) {
        if (pHeader->isSectionHidden(i))
            continue;
        const QString strText = pModel->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
        if (strText.isEmpty())
            continue;
        const int nNeed = textWidth(pHeader->fontMetrics(), strText) + nMargin;
        if (pHeader->sectionSize(i) < nNeed)
            *pProblems << QStringLiteral("%1: header \"%2\" needs %3, has %4")
                              .arg(where(pHeader), strText).arg(nNeed).arg(pHeader->sectionSize(i));
    }
}

bool isNamed(const QWidget *pWidget)
{
    return !pWidget->objectName().isEmpty() && !pWidget->objectName().startsWith(QLatin1String("qt_"));
}

// Named siblings are the widgets the forms place; Qt's own parts are left alone.
void checkOverlaps(const QWidget *pParent, const QWidget *pRoot, QStringList *pProblems)
{
    QList<const QWidget *> listKids;
    for (const QObject *pObj : pParent->children()) {
        const auto *pKid = qobject_cast<const QWidget *>(pObj);
        if (pKid && !pKid->isWindow() && pKid->isVisibleTo(pRoot) && isNamed(pKid))
            listKids << pKid;
    }
    for (int i = 0; i < listKids.size(); ++i)
        for (int j = i + 1; j < listKids.size(); ++j)
            if (listKids[i]->geometry().intersects(listKids[j]->geometry()))
                *pProblems << QStringLiteral("%1 overlaps %2").arg(where(listKids[i]), where(listKids[j]));
}

QStringList problemsOf(QWidget *pRoot)
{
    QStringList listProblems;
    QList<QWidget *> listAll = pRoot->findChildren<QWidget *>();
    listAll.prepend(pRoot);
    for (QWidget *pWidget : listAll) {
        if (pWidget->isWindow() && pWidget != pRoot)
            continue;
        if (!pWidget->isVisibleTo(pRoot) && pWidget != pRoot)
            continue;
        if (auto *pLabel = qobject_cast<QLabel *>(pWidget))
            checkLabel(pLabel, &listProblems);
        else if (auto *pButton = qobject_cast<QAbstractButton *>(pWidget))
            checkButton(pButton, &listProblems);
        else if (auto *pBar = qobject_cast<QTabBar *>(pWidget))
            checkTabBar(pBar, &listProblems);
        else if (auto *pHeader = qobject_cast<QHeaderView *>(pWidget))
            checkHeader(pHeader, &listProblems);
        checkOverlaps(pWidget, pRoot, &listProblems);
    }
    return listProblems;
}

// Every page of every tab widget, each shown in turn.
QStringList walk(QWidget *pRoot)
{
    QStringList listProblems = problemsOf(pRoot);
    for (QTabWidget *pTabs : pRoot->findChildren<QTabWidget *>()) {
        for (int i = 0; i < pTabs->count(); ++i) {
            pTabs->setCurrentIndex(i);
            QCoreApplication::processEvents();
            for (const QString &str : problemsOf(pRoot))
                if (!listProblems.contains(str))
                    listProblems << QStringLiteral("[%1] %2").arg(pTabs->tabText(i), str);
        }
    }
    return listProblems;
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void walkAll_data();
    void walkAll();

private:
    QTranslator m_translator;
};

void TestLayout::initTestCase()
{
    registerRecordTypes();
    QApplication::setQuitOnLastWindowClosed(false);
    CPlatformUtils::installFontSubstitutes();
    initAppResources();
    qApp->setStyleSheet(appStyleSheet());
    QVERIFY2(m_translator.load(QStringLiteral("lang/corvane_en.qm")),
             "lang/corvane_en.qm is missing next to the tests");
}

void TestLayout::walkAll_data()
{
    QTest::addColumn<int>("lang");
    QTest::addColumn<int>("index");
    const auto list = UiFactories::all();
    for (int lang : {int(CLangConfig::LangChinese), int(CLangConfig::LangEnglish)})
        for (int i = 0; i < list.size(); ++i)
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(
                lang == CLangConfig::LangChinese ? QStringLiteral("zh") : QStringLiteral("en"),
                list[i].first)))
                << lang << i;
}

void TestLayout::walkAll()
{
    QFETCH(int, lang);
    QFETCH(int, index);
    const bool bEnglish = lang == CLangConfig::LangEnglish;
    if (bEnglish)
        QCoreApplication::installTranslator(&m_translator);
    QApplication::setFont(CLangConfig::applicationFont(CLangConfig::ELanguage(lang)));

    QScopedPointer<QWidget> pWidget(UiFactories::all()[index].second());
    pWidget->show();
    QVERIFY(QTest::qWaitForWindowExposed(pWidget.data()));
    const QStringList listProblems = walk(pWidget.data());
    pWidget.reset();
    if (bEnglish)
        QCoreApplication::removeTranslator(&m_translator);
    QVERIFY2(listProblems.isEmpty(), qPrintable(listProblems.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestLayout)
#include "tst_layout.moc"
