#include "shotrunner.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include <cstdio>

namespace {

constexpr int kPollMs = 50;
// A window is taken once it has stayed ready this long, so that it has
// painted its data (tables, live video) and any animation has settled.
constexpr qint64 kSettleMs = 600;

QList<QWidget *> visiblePopups()
{
    QList<QWidget *> listPopups;
    for (QWidget *pWidget : QApplication::topLevelWidgets()) {
        if (pWidget->isVisible() && pWidget->windowType() == Qt::Popup)
            listPopups << pWidget;
    }
    return listPopups;
}

} // namespace

CShotRunner::CShotRunner(const QString &strOutDir, QObject *parent)
    : QObject(parent)
    , m_strOutDir(strOutDir)
{
    m_pollTimer.setInterval(kPollMs);
    connect(&m_pollTimer, &QTimer::timeout, this, &CShotRunner::poll);
}

void CShotRunner::add(const Step &step)
{
    m_listSteps << step;
}

void CShotRunner::start()
{
    QDir().mkpath(m_strOutDir);
    m_nCurrent = -1;
    QTimer::singleShot(0, this, &CShotRunner::next);
}

QWidget *CShotRunner::topLevel(const char *szClassName)
{
    for (QWidget *pWidget : QApplication::topLevelWidgets()) {
        if (pWidget->isVisible() && pWidget->inherits(szClassName))
            return pWidget;
    }
    return nullptr;
}

void CShotRunner::closeStrays()
{
    for (QWidget *pPopup : visiblePopups())
        pPopup->close();
    for (int nGuard = 0; nGuard < 10; ++nGuard) {
        QWidget *pModal = QApplication::activeModalWidget();
        if (!pModal)
            break;
        if (auto *pDlg = qobject_cast<QDialog *>(pModal))
            pDlg->reject();
        else
            pModal->close();
        QCoreApplication::processEvents();
    }
}

void CShotRunner::queueNext()
{
    if (m_bNextQueued)
        return;
    m_bNextQueued = true;
    QTimer::singleShot(0, this, &CShotRunner::next);
}

void CShotRunner::next()
{
    m_bNextQueued = false;
    if (m_nCurrent >= m_listSteps.size())
        return;
    if (++m_nCurrent == m_listSteps.size()) {
        emit finished();
        return;
    }
    runStep();
}

void CShotRunner::runStep()
{
    const Step &step = m_listSteps.at(m_nCurrent);
    m_bStepDone = false;
    m_pCandidate = nullptr;
    m_elapsed.start();
    m_pollTimer.start();
    // Steps may run inside the dialog an earlier step left open.
    const bool bWasInOpen = m_bInOpen;
    m_bInOpen = true;
    if (step.open)
        step.open();
    m_bInOpen = bWasInOpen;
    // A step that ended inside open() (or inside a dialog left open for it)
    // goes on only after the code that ran the dialog has finished.
    if (m_bStepDone && !m_bInOpen)
        queueNext();
}

void CShotRunner::poll()
{
    const Step &step = m_listSteps.at(m_nCurrent);
    if (!step.ready) {
        endStep();
        return;
    }
    QWidget *pWidget = step.ready();
    if (!pWidget || pWidget != m_pCandidate) {
        m_pCandidate = pWidget;
        m_nReadySince = m_elapsed.elapsed();
    }
    if (pWidget && m_elapsed.elapsed() - m_nReadySince >= kSettleMs) {
        m_pCandidate = nullptr;
        take(pWidget);
        if (step.close) {
            step.close(pWidget);
        } else if (auto *pDlg = qobject_cast<QDialog *>(pWidget)) {
            pDlg->reject();
        } else if (pWidget->windowType() == Qt::Popup) {
            pWidget->close();
        }
        endStep();
        return;
    }
    if (m_elapsed.elapsed() > step.nTimeoutMs) {
        m_pCandidate = nullptr;
        const QString strNote = QStringLiteral("skipped %1: the window did not appear within %2 s")
                                    .arg(step.strName.isEmpty() ? QStringLiteral("a step") : step.strName)
                                    .arg(step.nTimeoutMs / 1000);
        m_listNotes << strNote;
        std::fprintf(stderr, "screenshots: %s\n", qPrintable(strNote));
        closeStrays();
        endStep();
    }
}

void CShotRunner::skip(const QString &strReason)
{
    const Step &step = m_listSteps.at(m_nCurrent);
    const QString strNote = QStringLiteral("skipped %1: %2").arg(step.strName, strReason);
    m_listNotes << strNote;
    std::fprintf(stderr, "screenshots: %s\n", qPrintable(strNote));
    endStep();
}

void CShotRunner::take(QWidget *pWidget)
{
    const Step &step = m_listSteps.at(m_nCurrent);
    if (step.strName.isEmpty())
        return;
    QPixmap pixmap = pWidget->window()->grab();
    // Menus are windows of their own: paint the open ones over the window.
    if (pWidget->windowType() != Qt::Popup) {
        QPainter painter(&pixmap);
        const QPoint origin = pWidget->window()->mapToGlobal(QPoint(0, 0));
        for (QWidget *pPopup : visiblePopups())
            painter.drawPixmap(pPopup->mapToGlobal(QPoint(0, 0)) - origin, pPopup->grab());
    }
    const QString strFile = QDir(m_strOutDir).filePath(step.strName + QStringLiteral(".png"));
    if (pixmap.save(strFile)) {
        m_listSaved << strFile;
        std::fprintf(stderr, "screenshots: saved %s\n", qPrintable(strFile));
    } else {
        m_listNotes << QStringLiteral("could not write %1").arg(strFile);
    }
}

void CShotRunner::endStep()
{
    m_pollTimer.stop();
    m_bStepDone = true;
    if (!m_bInOpen || m_listSteps.at(m_nCurrent).bLeavesOpen)
        queueNext();
}
