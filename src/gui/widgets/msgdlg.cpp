#include "msgdlg.h"
#include "ui_msgdlg.h"

#include "appresources.h"

#include <QPointer>

namespace {

QString iconStyle(const char *image)
{
    return QStringLiteral("QLabel#oMsgImgLabel {background-image:url(:/images/%1);}")
        .arg(QLatin1String(image));
}

} // namespace

CMsgDlg::CMsgDlg(const QString &title, const QString &text, int kind, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CMsgDlg)
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
