#include "msgdlg.h"
#include "ui_msgdlg.h"

#include "appresources.h"

#include <QPointer>
#include <QQueue>

namespace {

QQueue<int> g_queueAnswers;
QList<CMsgDlg::stAnswered> g_listAnswered;

QString iconStyle(const char *image)
{
    return QStringLiteral("QLabel#oMsgImgLabel {background-image:url(:/images/%1);}")
        .arg(QLatin1String(image));
}

} // namespace

CMsgDlg::CMsgDlg(const QString &title, const QString &text, int kind, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CMsgDlg)
    , m_nKind(kind)
{
    initAppResources();
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    setWindowTitle(title);
    ui->oMsgLabel->setWordWrap(true);
    // Addresses and reasons in a message can be copied.
    ui->oMsgLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ui->oMsgLabel->setText(text);

    const char *image = "msg_error.png";
    switch (kind) {
    case MsgQuery: image = "msg_query.png"; break;
    case MsgNote: image = "msg_note.png"; break;
    case MsgWarning: image = "msg_warning.png"; break;
    default: break;
    }
    ui->oMsgImgLabel->setStyleSheet(iconStyle(image));

    if (kind != MsgQuery) {
        ui->oOkBtn->hide();
        ui->oCancelBtn->setText(tr("关闭"));
        ui->oCancelBtn->setDefault(true);
    }
}

CMsgDlg::~CMsgDlg() = default;

int CMsgDlg::exec()
{
    if (g_queueAnswers.isEmpty())
        return QDialog::exec();
    const int nResult = g_queueAnswers.dequeue();
    g_listAnswered.append({windowTitle(), ui->oMsgLabel->text(), m_nKind});
    setResult(nResult);
    return nResult;
}

void CMsgDlg::setNextAnswer(int nResult)
{
    g_queueAnswers.enqueue(nResult);
}

QList<CMsgDlg::stAnswered> CMsgDlg::takeAnswered()
{
    g_queueAnswers.clear();
    QList<stAnswered> listAnswered;
    listAnswered.swap(g_listAnswered);
    return listAnswered;
}

int CMsgDlg::queuedAnswers()
{
    return g_queueAnswers.size();
}

void CMsgDlg::setButtonTexts(const QString &okText, const QString &cancelText)
{
    ui->oOkBtn->setText(okText);
    ui->oCancelBtn->setText(cancelText);
}

int CMsgDlg::showMsg(const QString &title, const QString &text, int kind, QWidget *parent)
{
    QPointer<CMsgDlg> pDlg = new CMsgDlg(title, text, kind, parent);
    const int nResult = pDlg->exec();
    // The parent may have deleted the dialog while its event loop ran.
    delete pDlg.data();
    return nResult;
}

bool CMsgDlg::askQuestion(const QString &title, const QString &text, QWidget *parent)
{
    return showMsg(title, text, MsgQuery, parent) == QDialog::Accepted;
}

void CMsgDlg::on_oOkBtn_clicked()
{
    accept();
}

void CMsgDlg::on_oCancelBtn_clicked()
{
    close();
}
