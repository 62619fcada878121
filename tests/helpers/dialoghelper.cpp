#include "dialoghelper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
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
        if (pModal && pModal != pBefore && pModal->isVisible()) {
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

} // namespace DialogHelper
