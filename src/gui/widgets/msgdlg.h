#ifndef MSGDLG_H
#define MSGDLG_H

#include <QDialog>
#include <QList>
#include <QScopedPointer>
#include <QString>

namespace Ui {
class CMsgDlg;
}

// The program's only message box: a question with OK and Cancel, or a note,
// warning or error with a single Close button.
class CMsgDlg : public QDialog
{
    Q_OBJECT

public:
    enum EMsgKind { MsgQuery = 0, MsgNote = 1, MsgWarning = 2, MsgError = 3 };

    // Any kind other than MsgQuery, MsgNote and MsgWarning is shown as an error.
    CMsgDlg(const QString &title, const QString &text, int kind, QWidget *parent = nullptr);
    ~CMsgDlg() override;

    void setButtonTexts(const QString &okText, const QString &cancelText);

    // Shown modally unless an answer is queued (setNextAnswer).
    int exec() override;

    // Test seam: the next message is not shown but answered at once with
    // nResult (QDialog::Accepted for OK); answers queue up in order. Every
    // message answered this way is recorded for takeAnswered().
    struct stAnswered
    {
        QString title;
        QString text;
        int kind;
    };
    static void setNextAnswer(int nResult);
    // Forgets the queued answers and returns the messages answered so far.
    static QList<stAnswered> takeAnswered();
    static int queuedAnswers();

    // Runs a message modally and returns the exec() result: 1 only when OK was
    // pressed. Safe when the parent dies while the message is up.
    static int showMsg(const QString &title, const QString &text, int kind,
                       QWidget *parent = nullptr);
    // A question (MsgQuery): true when the user confirmed.
    static bool askQuestion(const QString &title, const QString &text, QWidget *parent = nullptr);

private slots:
    void on_oOkBtn_clicked();
    void on_oCancelBtn_clicked();

private:
    QScopedPointer<Ui::CMsgDlg> ui;
    int m_nKind;
};

// The kinds are also usable unqualified, as callers pass them around as plain ints.
constexpr int MsgQuery = CMsgDlg::MsgQuery;
constexpr int MsgNote = CMsgDlg::MsgNote;
constexpr int MsgWarning = CMsgDlg::MsgWarning;
constexpr int MsgError = CMsgDlg::MsgError;

#endif // MSGDLG_H
