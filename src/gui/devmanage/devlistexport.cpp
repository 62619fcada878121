#include "devlistexport.h"

#include "dev_manageform.h"
#include "encodedevmodelex.h"
#include "inventory.h"
#include "msgdlg.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QAction>
#include <QSaveFile>

CDevListExport::CDevListExport(CDevManageForm *pForm)
    : QObject(pForm)
    , m_pForm(pForm)
    , m_strFolder(QDir::homePath())
{
    auto *pAll = new QAction(tr("导出全部设备..."), pForm);
    pAll->setObjectName(QStringLiteral("oExportAllAction"));
    auto *pChecked = new QAction(tr("导出勾选的设备..."), pForm);
    pChecked->setObjectName(QStringLiteral("oExportCheckedAction"));
    connect(pAll, &QAction::triggered, this, &CDevListExport::exportAllSlot);
    connect(pChecked, &QAction::triggered, this, &CDevListExport::exportCheckedSlot);
    m_listActions = {pAll, pChecked};
}

void CDevListExport::exportAllSlot()
{
    exportDevices(m_pForm->deviceList());
}

void CDevListExport::exportCheckedSlot()
{
    QList<CUIDeviceBean> listChecked;
    for (int iDevId : m_pForm->devModel()->checkedList()) {
        for (const CUIDeviceBean &oDev : m_pForm->deviceList()) {
            if (oDev.m_lDevId == iDevId)
                listChecked << oDev;
        }
    }
    if (listChecked.isEmpty()) {
        CMsgDlg::showMsg(tr("信息"), tr("请选择设备。"), MsgNote, m_pForm);
        return;
    }
    exportDevices(listChecked);
}

void CDevListExport::exportDevices(const QList<CUIDeviceBean> &listDev)
{
    const QString strCsv = tr("CSV 文件 (*.csv)");
    const QString strJson = tr("JSON 文件 (*.json)");
    // Qt's own dialog: the same on every platform, and reachable by tests.
    QFileDialog oDialog(m_pForm, tr("导出设备列表"), m_strFolder);
    oDialog.setObjectName(QStringLiteral("oExportFileDlg"));
    oDialog.setOption(QFileDialog::DontUseNativeDialog);
    oDialog.setAcceptMode(QFileDialog::AcceptSave);
    oDialog.setNameFilters({strCsv, strJson});
    oDialog.selectFile(QStringLiteral("devices.csv"));
    connect(&oDialog, &QFileDialog::filterSelected, &oDialog, [&oDialog, strJson](const QString &strFilter) {
        oDialog.setDefaultSuffix(strFilter == strJson ? QStringLiteral("json") : QStringLiteral("csv"));
    });
    oDialog.setDefaultSuffix(QStringLiteral("csv"));
    if (oDialog.exec() != QDialog::Accepted || oDialog.selectedFiles().isEmpty())
        return;
    const QString strPath = oDialog.selectedFiles().first();
    m_strFolder = QFileInfo(strPath).absolutePath();
    QString strError;
    if (!write(Inventory::sortedByAddress(listDev), strPath, strError))
        CMsgDlg::showMsg(tr("错误"), tr("导出失败：%1").arg(strError), MsgError, m_pForm);
}

bool CDevListExport::write(const QList<CUIDeviceBean> &listDev, const QString &strPath, QString &strError)
{
    const Inventory::EFormat eFormat = QFileInfo(strPath).suffix().compare(QLatin1String("json"), Qt::CaseInsensitive) == 0
        ? Inventory::FormatJson
        : Inventory::FormatCsv;
    QSaveFile file(strPath);
    if (!file.open(QIODevice::WriteOnly)) {
        strError = file.errorString();
        return false;
    }
    // Only the note's header is translated: the others are keys that plans and scripts read.
    file.write(Inventory::format(listDev, eFormat, tr("备注")));
    if (!file.commit()) {
        strError = file.errorString();
        return false;
    }
    return true;
}
