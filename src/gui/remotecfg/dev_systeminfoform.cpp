#include "dev_systeminfoform.h"
#include "ui_dev_systeminfoform.h"

#include "devsession.h"

#include <QGridLayout>

namespace {

void showRow(QLabel *pCaption, QLabel *pValue, const QString &strText)
{
    pValue->setText(strText);
    pCaption->setVisible(!strText.isEmpty());
    pValue->setVisible(!strText.isEmpty());
}

} // namespace

CSystemInfoForm::CSystemInfoForm(const CUIDeviceBean &oBean, QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::CSystemInfoForm)
    , m_devBean(oBean)
{
    ui->setupUi(this);
    ui->oDevKindLabel->setText(m_devBean.m_strDevType);
    showRow(ui->oDevTypeNameLabel, ui->oDevTypeLabel, m_devBean.m_strModel);
    showRow(ui->oVersionNameLabel, ui->oVersionLabel, m_devBean.m_strVersion);
    showRow(ui->oMacNameLabel, ui->oMacLabel, CUIDeviceBean::formatMac(m_devBean.m_strMac));
    // The registration code belongs to an IPC's serial number: no serial, no code.
    const bool bSerial = !m_devBean.m_strSerial.isEmpty();
    showRow(ui->oSerialNameLabel, ui->oSerialLabel, m_devBean.m_strSerial);
    const bool bCode = bSerial && DevSession::isIpc(m_devBean);
    showRow(ui->oVapornaNameLabel, ui->oVapornaSerialLabel, bCode ? m_devBean.m_strExtSerial : QString());
    addExtraRows();
}

void CSystemInfoForm::addExtraRows()
{
    QString strReason;
    QList<QPair<QString, QString>> listRows = DevSession::extraSystemInfo(m_devBean, strReason);
    if (!strReason.isEmpty())
        listRows.append({tr("读取失败"), strReason});
    if (listRows.isEmpty())
        return;
    auto *pGrid = qobject_cast<QGridLayout *>(layout());
    pGrid->removeItem(ui->verticalSpacer);
    int iRow = pGrid->rowCount();
    for (const auto &row : qAsConst(listRows)) {
        if (row.second.isEmpty())
            continue;
        auto *pValue = new QLabel(row.second, this);
        pValue->setTextInteractionFlags(Qt::TextSelectableByMouse);
        pGrid->addWidget(new QLabel(row.first, this), iRow, 0, Qt::AlignTop);
        pGrid->addWidget(pValue, iRow++, 1);
    }
    pGrid->addItem(ui->verticalSpacer, iRow, 0, 1, 3);
}

CSystemInfoForm::~CSystemInfoForm() = default;
