#include "upgradedlg.h"
#include "ui_upgradedlg.h"
#include "apppaths.h"
#include "dialogframe.h"
#include "layoututils.h"

#include "msgdlg.h"

#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QStringList>

#include <memory>

CUpgradeDlg::CUpgradeDlg(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CUpgradeDlg)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    CDialogFrame::decorate(this);
    // Frameless: without this button only Escape would close it.
    connect(ui->oCancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    // Diagnostics go to the program's own folder unless another is chosen.
    ui->oExportPathEdit->setText(QDir::toNativeSeparators(CAppPaths::instance().workFolder(QStringLiteral("DiagnoseInfo"))));
    // The four rows sit in separate boxes; equal label and button widths line them up.
    LayoutUtils::equalizeWidths({ui->updateFileLabel_2, ui->label_2, ui->allCfgFileLabel_2, ui->allCfgFileLabel_3});
    LayoutUtils::equalizeWidths({ui->oUpdateFileDlgBtn, ui->oDiagnoseInfoDlgBtn, ui->oImportCfgFileDlgBtn,
                                 ui->oExportCfgFileDlgBtn});
    LayoutUtils::equalizeWidths({ui->oUpdateBtn, ui->oExportDiagInfoBtn, ui->oImportCfgBtn, ui->oExportCfgBtn});
}

CUpgradeDlg::~CUpgradeDlg() = default;

void CUpgradeDlg::getDevListInfoSlot(QList<CUIDeviceBean> &oDevList)
{
    m_listDev = oDevList;
}

int CUpgradeDlg::showMessage(const QString &strText, int iKind)
{
    std::unique_ptr<CMsgDlg> pDlg(new CMsgDlg(tr("信息"), strText, iKind, this));
    return pDlg->exec();
}

QString CUpgradeDlg::deviceNames() const
{
    // A long list is cut: the question must stay readable.
    constexpr int kShown = 4;
    QStringList listNames;
    for (int i = 0; i < m_listDev.size() && i < kShown; ++i)
        listNames << QStringLiteral("%1 %2").arg(m_listDev.at(i).m_strIp, m_listDev.at(i).m_strModel).trimmed();
    QString strNames = listNames.join(QLatin1Char('\n'));
    if (m_listDev.size() > kShown)
        strNames += QLatin1Char('\n') + tr("等%1台设备").arg(m_listDev.size());
    return tr("设备：") + strNames;
}

void CUpgradeDlg::startOperation(const QString &strPath, ULONG ulCmd, long lBusyStatus)
{
    // The libraries expect the platform's own separators.
    const QString strNativePath = QDir::toNativeSeparators(strPath);
    for (int i = 0; i < m_listDev.size(); ++i) {
        CUIDeviceBean oBean = m_listDev.at(i);
        oBean.m_lStatus = lBusyStatus;
        emit sendResultSignal(oBean);
        emit sendOperateSignal(strNativePath, ulCmd, oBean);
    }
    hide();
}

// A cancelled file dialog answers an empty path; what the user typed stays.
void CUpgradeDlg::setPathUnlessCancelled(QLineEdit *pEdit, const QString &strPath)
{
    if (!strPath.isEmpty())
        pEdit->setText(strPath);
}

void CUpgradeDlg::on_oUpdateFileDlgBtn_clicked()
{
    const QString strFile = QFileDialog::getOpenFileName(
        this, tr("打开升级包"), QDir::homePath(),
        tr("升级文件 (*.zip *.patch *.bin);;所有文件 (*)"));
    setPathUnlessCancelled(ui->oUpdateEdit, strFile);
}

void CUpgradeDlg::on_oUpdateBtn_clicked()
{
    const QString strFile = ui->oUpdateEdit->text();
    if (strFile.isEmpty()) {
        showMessage(tr("请选择升级文件。"), MsgNote);
        return;
    }
    // A substring test on purpose: names such as "fw.zip.1" are accepted.
    if (!strFile.contains(QLatin1String(".zip")) && !strFile.contains(QLatin1String(".patch"))
        && !strFile.contains(QLatin1String(".bin"))) {
        showMessage(tr("升级文件格式不正确，请重新尝试。"), MsgNote);
        return;
    }
    if (showMessage(tr("您确定要执行软件升级操作吗？") + QLatin1Char('\n') + deviceNames(), MsgQuery)
        != QDialog::Accepted)
        return;
    startOperation(strFile, CmdUpgrade, DevStatusUpgrading);
}

void CUpgradeDlg::on_oDiagnoseInfoDlgBtn_clicked()
{
    const QString strDir = QFileDialog::getExistingDirectory(this, tr("导出诊断信息"), QDir::homePath(),
                                                             QFileDialog::ShowDirsOnly);
    setPathUnlessCancelled(ui->oExportPathEdit, strDir);
}

void CUpgradeDlg::on_oExportDiagInfoBtn_clicked()
{
    const QString strDir = ui->oExportPathEdit->text();
    if (strDir.isEmpty()) {
        showMessage(tr("请选择导出的目录。"), MsgNote);
        return;
    }
    startOperation(strDir, CmdExportDiag, DevStatusExporting);
}

void CUpgradeDlg::on_oImportCfgFileDlgBtn_clicked()
{
    const QString strFile = QFileDialog::getOpenFileName(this, tr("选择参数文件"), QDir::homePath(),
                                                         QStringLiteral("tgz Files (*.tgz);;cfg Files (*.cfg)"));
    setPathUnlessCancelled(ui->oImportCfgEdit, strFile);
}

void CUpgradeDlg::on_oImportCfgBtn_clicked()
{
    const QString strFile = ui->oImportCfgEdit->text();
    if (strFile.isEmpty()) {
        showMessage(tr("请选择参数文件。"), MsgNote);
        return;
    }
    if (!strFile.contains(QLatin1String(".tgz")) && !strFile.contains(QLatin1String(".cfg"))) {
        showMessage(tr("文件格式(tgz)不正确，请重新尝试。"), MsgNote);
        return;
    }
    if (showMessage(tr("导入本地配置文件后设备会自动重启,确定导入配置?"), MsgQuery) != QDialog::Accepted)
        return;
    startOperation(strFile, CmdImportCfg, DevStatusImporting);
}

void CUpgradeDlg::on_oExportCfgFileDlgBtn_clicked()
{
    const QString strDir = QFileDialog::getExistingDirectory(this, tr("导出系统配置"), QDir::homePath(),
                                                             QFileDialog::ShowDirsOnly);
    setPathUnlessCancelled(ui->oExportCfgEdit, strDir);
}

void CUpgradeDlg::on_oExportCfgBtn_clicked()
{
    if (m_listDev.size() >= 2) {
        showMessage(tr("不能同时导出多台设备的系统配置。"), MsgNote);
        return;
    }
    const QString strDir = ui->oExportCfgEdit->text();
    if (strDir.isEmpty()) {
        showMessage(tr("请选择导出的目录。"), MsgNote);
        return;
    }
    startOperation(strDir, CmdExportCfg, DevStatusExporting);
}
