#ifndef DIALOGHELPER_H
#define DIALOGHELPER_H

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>
#include <memory>

// Drives modal dialogs from tests. Schedule the interaction before the code under
// test calls exec(), then wait until the dialog is gone:
//
//     auto seen = DialogHelper::clickOnModal("oOkBtn");
//     form.doSomethingThatAsks();                       // runs exec()
//     QTRY_VERIFY(seen->done);
//     QCOMPARE(seen->text, QString("..."));
//     QTRY_VERIFY(DialogHelper::noModal());
//
// Message dialogs need none of this: queue their answers with
// CMsgDlg::setNextAnswer before the code under test runs.
namespace DialogHelper {

// What the helper saw of the dialog it handled.
struct SeenDialog
{
    bool done = false;          // the action ran
    QString className;          // e.g. "CMsgDlg"
    QString title;              // window title
    QString text;               // text of an "oMsgLabel" child, if any
};

// Runs `action` on the next modal widget that becomes active (one already active
// when this is called is skipped, so nested dialogs work; so is the wait
// overlay, which comes and goes on its own). Gives up with a warning after
// timeoutMs.
std::shared_ptr<SeenDialog> onNextModal(const std::function<void(QWidget *)> &action,
                                        int timeoutMs = 5000);

// Clicks the push button named `buttonObjectName` in the next modal dialog.
std::shared_ptr<SeenDialog> clickOnModal(const QString &buttonObjectName, int timeoutMs = 5000);

// Clicks a push button of `dialog` by object name; false when there is none.
bool clickButton(QWidget *dialog, const QString &buttonObjectName);

// The widget at the top of the modal stack, or null.
QWidget *activeModal();

// True when no modal widget is open (use with QTRY_VERIFY).
bool noModal();

// Answers the modal dialogs that come up, in the order expected, by class
// name. The wait overlay is modal too and is left alone. A dialog of another
// class than the next step names is recorded and closed, so that a wrong
// dialog fails the test instead of hanging it. A script stops watching once
// its steps are done; one without any step closes every dialog (a guard).
class Script
{
public:
    using Action = std::function<void(QWidget *)>;

    Script();
    void expect(const char *pszClass, Action action);
    // Presses a button of the next dialog of that class.
    void press(const char *pszClass, const char *pszButton);
    bool done() const { return m_steps.empty(); }
    // Classes of the dialogs seen, in order, expected or not.
    QStringList seen() const { return m_listSeen; }
    // Dialogs that came up without being expected.
    QStringList unexpected() const { return m_listUnexpected; }

private:
    void poll();

    struct Step
    {
        QString strClass;
        Action action;
    };
    std::deque<Step> m_steps;
    QTimer m_timer;
    QPointer<QWidget> m_pLast;
    QStringList m_listSeen;
    QStringList m_listUnexpected;
    bool m_bHadSteps = false;
};

} // namespace DialogHelper

#endif // DIALOGHELPER_H
