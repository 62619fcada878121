#include "dialoghelper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace DialogHelper {

std::shared_ptr<SeenDialog> onNextModal(const std::function<void(QWidget *)> &action,
                                        int timeoutMs)
{
    auto seen = std::make_shared<SeenDialog>();
    QPointer<QWidget> pBefore = QApplication::activeModalWidget();
    auto *pTimer = new QTimer(qApp);
    auto elapsed = std::make_shared<QElapsedTimer>();
    elapsed->start();
    pTimer->setInterval(5);
    QObject::connect(pTimer, &QTimer::timeout, pTimer, [=]() {
        QWidget *pModal = QApplication::activeModalWidget();
        if (pModal && pModal != pBefore && pModal->isVisible() && !pModal->inherits("CWaitDlg")) {
            pTimer->stop();
            pTimer->deleteLater();
            seen->className = QString::fromLatin1(pModal->metaObject()->className());
            seen->title = pModal->windowTitle();
            if (auto *pLabel = pModal->findChild<QLabel *>(QStringLiteral("oMsgLabel")))
                seen->text = pLabel->text();
            action(pModal);
            seen->done = true;
            return;
        }
        if (elapsed->elapsed() > timeoutMs) {
            qWarning() << "DialogHelper: no modal dialog appeared within" << timeoutMs << "ms";
            pTimer->stop();
            pTimer->deleteLater();
        }
    });
    pTimer->start();
    return seen;
}

std::shared_ptr<SeenDialog> clickOnModal(const QString &buttonObjectName, int timeoutMs)
{
    return onNextModal([buttonObjectName](QWidget *pDialog) {
        if (!clickButton(pDialog, buttonObjectName))
            qWarning() << "DialogHelper: no button" << buttonObjectName << "in"
                       << pDialog->metaObject()->className();
    }, timeoutMs);
}

bool clickButton(QWidget *dialog, const QString &buttonObjectName)
{
    auto *pButton = dialog->findChild<QAbstractButton *>(buttonObjectName);
    if (!pButton || !pButton->isVisible() || !pButton->isEnabled())
        return false;
    pButton->click();
    return true;
}

QWidget *activeModal()
{
    return QApplication::activeModalWidget();
}

bool noModal()
{
    return QApplication::activeModalWidget() == nullptr;
}

Script::Script()
{
    m_timer.setInterval(5);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer.start();
}

void Script::expect(const char *pszClass, Action action)
{
    m_steps.push_back({QLatin1String(pszClass), std::move(action)});
    m_bHadSteps = true;
}

void Script::press(const char *pszClass, const char *pszButton)
{
    const QString strButton = QLatin1String(pszButton);
    expect(pszClass, [strButton](QWidget *pDialog) {
        if (!clickButton(pDialog, strButton)) {
            qWarning() << "DialogHelper: no button" << strButton << "in" << pDialog->metaObject()->className();
            pDialog->close();
        }
    });
}

void Script::poll()
{
    if (m_bHadSteps && m_steps.empty())
        return;
    QWidget *pModal = QApplication::activeModalWidget();
    if (!pModal || !pModal->isVisible() || pModal == m_pLast)
        return;
    const QString strClass = QString::fromLatin1(pModal->metaObject()->className());
    if (strClass == QLatin1String("CWaitDlg"))
        return;
    m_pLast = pModal;
    m_listSeen << strClass;
    if (m_steps.empty() || m_steps.front().strClass != strClass) {
        m_listUnexpected << strClass;
        pModal->close();
        return;
    }
    const Step step = m_steps.front();
    m_steps.pop_front();
    step.action(pModal);
}

} // namespace DialogHelper
