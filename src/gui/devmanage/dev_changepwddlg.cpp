#include "dev_changepwddlg.h"

#include "dialogframe.h"
#include "msgdlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CChangePwdDlg::CChangePwdDlg(const QString &strDevice, QWidget *parent)
    : QDialog(parent)
    , m_pNewEdit(new QLineEdit(this))
    , m_pConfirmEdit(new QLineEdit(this))
{
    setWindowTitle(tr("修改密码"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    m_pNewEdit->setObjectName(QStringLiteral("oNewPwdEdit"));
    m_pConfirmEdit->setObjectName(QStringLiteral("oConfirmPwdEdit"));
    for (QLineEdit *pEdit : {m_pNewEdit, m_pConfirmEdit})
        pEdit->setEchoMode(QLineEdit::Password);

    auto *pForm = new QFormLayout;
    pForm->addRow(tr("设备："), new QLabel(strDevice, this));
    pForm->addRow(tr("新密码："), m_pNewEdit);
    pForm->addRow(tr("确认密码："), m_pConfirmEdit);
    auto *pOkBtn = new QPushButton(tr("确定"), this);
    pOkBtn->setObjectName(QStringLiteral("oOkBtn"));
    pOkBtn->setDefault(true);
    auto *pCancelBtn = new QPushButton(tr("取消"), this);
    pCancelBtn->setObjectName(QStringLiteral("oCancelBtn"));
    connect(pOkBtn, &QPushButton::clicked, this, &CChangePwdDlg::okSlot);
    connect(pCancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    auto *pButtons = new QHBoxLayout;
    pButtons->addStretch();
    pButtons->addWidget(pOkBtn);
    pButtons->addWidget(pCancelBtn);
    auto *pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pForm);
    pLayout->addLayout(pButtons);
    CDialogFrame::decorate(this);
    m_pNewEdit->setFocus();
}

QString CChangePwdDlg::password() const
{
    return m_pNewEdit->text();
}

void CChangePwdDlg::okSlot()
{
    QString strProblem;
    if (m_pNewEdit->text().isEmpty())
        strProblem = tr("请输入新密码。");
    else if (m_pNewEdit->text() != m_pConfirmEdit->text())
        strProblem = tr("两次输入的密码不一致。");
    if (strProblem.isEmpty()) {
        accept();
        return;
    }
    CMsgDlg::showMsg(tr("信息"), strProblem, CMsgDlg::MsgWarning, this);
    m_pConfirmEdit->clear();
    m_pConfirmEdit->setFocus();
}
