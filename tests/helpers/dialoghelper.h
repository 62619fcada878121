#ifndef DIALOGHELPER_H
#define DIALOGHELPER_H

#include <QString>
#include <QWidget>

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
// when this is called is skipped, so nested dialogs work). Gives up with a warning
// after timeoutMs.
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

} // namespace DialogHelper

#endif // DIALOGHELPER_H
