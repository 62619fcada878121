#include "corvaneshots.h"
#include "shotrunner.h"

#include "corvanemainwind.h"
#include "ipwidget.h"
#include "uidevicebean.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCursor>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>

#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

// Columns of the device table.
constexpr int kColIp = 1;
constexpr int kColModel = 2;
constexpr int kColStatus = 9;

QWidget *visibleMenu()
{
    for (QWidget *pWidget : QApplication::topLevelWidgets()) {
        if (pWidget->isVisible() && qobject_cast<QMenu *>(pWidget))
            return pWidget;
    }
    return nullptr;
}

// Commands on devices that are not logged in ask for the account first.
void acceptLogin()
{
    if (QWidget *pLogin = CShotRunner::topLevel("CDevLoginDlg")) {
        if (auto *pOk = pLogin->findChild<QAbstractButton *>(QStringLiteral("oOkBtn")))
            pOk->click();
    }
}

// The dialog itself once it shows, so that a step can take it.
std::function<QWidget *()> dialog(const char *szClassName)
{
    return [szClassName]() {
        if (qstrcmp(szClassName, "CDevLoginDlg") != 0)
            acceptLogin();
        return CShotRunner::topLevel(szClassName);
    };
}

void setCombo(QWidget *pParent, const char *szName, const QString &strText)
{
    if (auto *pCombo = pParent->findChild<QComboBox *>(QLatin1String(szName))) {
        const int nIndex = pCombo->findText(strText);
        if (nIndex >= 0)
            pCombo->setCurrentIndex(nIndex);
    }
}

} // namespace

CCorvaneShots::CCorvaneShots(CCorvaneMainWind *pMainWind, int nIpcCount, int nDeviceCount)
    : m_pMainWind(pMainWind)
    , m_nIpcCount(nIpcCount)
    , m_nDeviceCount(nDeviceCount)
{
}

QWidget *CCorvaneShots::deviceTab() const
{
    auto *pTabs = m_pMainWind->findChild<QTabWidget *>(QStringLiteral("oMainTabWidget"));
    return pTabs ? pTabs->widget(0) : nullptr;
}

QWidget *CCorvaneShots::capacityTab() const
{
    auto *pTabs = m_pMainWind->findChild<QTabWidget *>(QStringLiteral("oMainTabWidget"));
    return pTabs ? pTabs->widget(1) : nullptr;
}

QAbstractItemModel *CCorvaneShots::deviceModel() const
{
    auto *pView = m_pMainWind->findChild<QTableView *>(QStringLiteral("oDevTabView"));
    return pView ? pView->model() : nullptr;
}

int CCorvaneShots::rowCount() const
{
    QAbstractItemModel *pModel = deviceModel();
    return pModel ? pModel->rowCount() : 0;
}

QString CCorvaneShots::cell(int nRow, int nColumn) const
{
    return deviceModel()->index(nRow, nColumn).data().toString();
}

void CCorvaneShots::checkRows(const QList<int> &listRows)
{
    QAbstractItemModel *pModel = deviceModel();
    for (int nRow = 0; nRow < pModel->rowCount(); ++nRow)
        pModel->setData(pModel->index(nRow, 0), Qt::Unchecked, Qt::CheckStateRole);
    for (int nRow : listRows)
        pModel->setData(pModel->index(nRow, 0), Qt::Checked, Qt::CheckStateRole);
    auto *pView = m_pMainWind->findChild<QTableView *>(QStringLiteral("oDevTabView"));
    pView->clearSelection();
    if (!listRows.isEmpty())
        pView->setCurrentIndex(pModel->index(listRows.first(), kColIp));
}

bool CCorvaneShots::allStatus(const QList<int> &listRows, int nStatusColumn, const QString &strStatus) const
{
    for (int nRow : listRows) {
        if (cell(nRow, nStatusColumn) != strStatus)
            return false;
    }
    return !listRows.isEmpty();
}

QList<int> CCorvaneShots::sameModelPair() const
{
    for (int nFirst = 0; nFirst < m_nIpcCount; ++nFirst) {
        for (int nSecond = nFirst + 1; nSecond < m_nIpcCount; ++nSecond) {
            if (cell(nFirst, kColModel) == cell(nSecond, kColModel))
                return {nFirst, nSecond};
        }
    }
    return {0};
}

void CCorvaneShots::showTab(int nIndex)
{
    if (auto *pTabs = m_pMainWind->findChild<QTabWidget *>(QStringLiteral("oMainTabWidget")))
        pTabs->setCurrentIndex(nIndex);
}

bool CCorvaneShots::invoke(QWidget *pTarget, const char *szSlot)
{
    if (pTarget && pTarget->metaObject()->indexOfMethod(QMetaObject::normalizedSignature(
                       (QByteArray(szSlot) + "()").constData())) >= 0) {
        QMetaObject::invokeMethod(pTarget, szSlot, Qt::DirectConnection);
        return true;
    }
    m_pRunner->skip(QStringLiteral("the program has no %1 yet").arg(QLatin1String(szSlot)));
    return false;
}

void CCorvaneShots::click(QWidget *pParent, const char *szButton)
{
    if (auto *pButton = pParent->findChild<QAbstractButton *>(QLatin1String(szButton)))
        pButton->click();
}

void CCorvaneShots::addSteps(CShotRunner &runner)
{
    m_pRunner = &runner;
    const QList<int> listLogin = {0, 1, 2, 3, m_nIpcCount};
    const QString strLogged = CUIDeviceBean::statusText(DevStatusLogged);

    // Finding devices: the list after the first search.
    runner.add({QStringLiteral("main-window"), {}, [this]() -> QWidget * {
                    return rowCount() >= m_nDeviceCount ? m_pMainWind : nullptr;
                }, [](QWidget *) {}, 60000});
    runner.add({QStringLiteral("help-menu"), [this]() {
                    auto *pButton = m_pMainWind->findChild<QPushButton *>(QStringLiteral("oHelpBtn"));
                    if (QMenu *pMenu = pButton ? pButton->menu() : nullptr)
                        // Right-aligned under the button, so it stays inside the window's picture.
                        pMenu->popup(pButton->mapToGlobal(
                            QPoint(pButton->width() - pMenu->sizeHint().width(), pButton->height())));
                }, [this]() -> QWidget * { return visibleMenu() ? m_pMainWind : nullptr; },
                [](QWidget *) { CShotRunner::closeStrays(); }, 5000});
    runner.add({QStringLiteral("search-settings"), [this]() { invoke(deviceTab(), "on_oSetupBtn_clicked"); },
                [] {
                    QWidget *pDlg = CShotRunner::topLevel("CSetupDlg");
                    if (pDlg) {
                        if (auto *pCheck = pDlg->findChild<QAbstractButton *>(QStringLiteral("oCondSearchCheck")))
                            if (!pCheck->isChecked())
                                pCheck->click();
                        if (auto *pBegin = pDlg->findChild<IpWidget *>(QStringLiteral("oBeginIPWidget")))
                            pBegin->setText(QStringLiteral("127.0.0.10"));
                        if (auto *pEnd = pDlg->findChild<IpWidget *>(QStringLiteral("oEndIPWidget")))
                            pEnd->setText(QStringLiteral("127.0.0.40"));
                    }
                    return pDlg;
                }, {}, 5000});

    // Logging in: four IPC and one NVR.
    runner.add({QStringLiteral("login-dialog"), [this, listLogin]() {
                    checkRows(listLogin);
                    invoke(deviceTab(), "on_oLoginBtn_clicked");
                }, dialog("CDevLoginDlg"), [](QWidget *pDlg) { click(pDlg, "oOkBtn"); }, 5000});
    runner.add({QStringLiteral("logged-in"), {}, [this, listLogin, strLogged]() -> QWidget * {
                    return allStatus(listLogin, kColStatus, strLogged) && !QApplication::activeModalWidget()
                        ? m_pMainWind : nullptr;
                }, [](QWidget *) {}, 60000});

    runner.add({QStringLiteral("context-menu"), [this]() {
                    checkRows({1});
                    auto *pView = m_pMainWind->findChild<QTableView *>(QStringLiteral("oDevTabView"));
                    const QRect rect = pView->visualRect(deviceModel()->index(1, kColModel));
                    const QPoint local = rect.center() + QPoint(0, 0);
                    QCursor::setPos(pView->viewport()->mapToGlobal(local));
                    QContextMenuEvent event(QContextMenuEvent::Mouse, local,
                                            pView->viewport()->mapToGlobal(local));
                    QApplication::sendEvent(pView->viewport(), &event);
                }, [this]() -> QWidget * { return visibleMenu() ? m_pMainWind : nullptr; },
                [](QWidget *) { CShotRunner::closeStrays(); }, 5000});

    // Addresses and passwords.
    runner.add({QStringLiteral("edit-address"), [this]() {
                    checkRows({m_nIpcCount + 1});
                    invoke(deviceTab(), "doEditNetworkAddress");
                }, dialog("CEditNetworkAddrDlg"), {}, 5000});
    runner.add({QStringLiteral("reset-password"), [this]() {
                    checkRows({5});
                    invoke(deviceTab(), "doRestoreDevPwd");
                }, dialog("CResetPasswdDlg"), {}, 5000});
    runner.add({QStringLiteral("restart-question"), [this]() {
                    checkRows({0});
                    invoke(deviceTab(), "doRestartDev");
                }, dialog("CMsgDlg"), [](QWidget *pDlg) { click(pDlg, "oCancelBtn"); }, 30000});

    // Upgrade and maintenance.
    runner.add({QStringLiteral("maintenance"), [this]() {
                    checkRows({0, 1});
                    invoke(deviceTab(), "on_oUpgradeBtn_clicked");
                }, [] {
                    QWidget *pDlg = CShotRunner::topLevel("CUpgradeDlg");
                    if (pDlg) {
                        if (auto *pEdit = pDlg->findChild<QLineEdit *>(QStringLiteral("oUpdateEdit")))
                            pEdit->setText(QStringLiteral("/home/operator/firmware/IPC_V5.2.1.zip"));
                    }
                    return pDlg;
                }, {}, 30000});

    // Remote configuration: one picture per page.
    struct Page
    {
        const char *szClass;
        QString strName;
    };
    const QList<Page> listPages = {{"CImageCfgForm", QStringLiteral("config-image")},
                                   {"CNetworkCfgForm", QStringLiteral("config-network")},
                                   {"CEncodeCfgForm", QStringLiteral("config-encoding")},
                                   {"CSystemInfoForm", QStringLiteral("config-system")}};
    for (int nPage = 0; nPage < listPages.size(); ++nPage) {
        const Page page = listPages.at(nPage);
        const bool bLast = nPage == listPages.size() - 1;
        runner.add({page.strName, [this, nPage]() {
                        if (nPage == 0) {
                            checkRows({0});
                            invoke(deviceTab(), "openConfigDlg_slot");
                        }
                    }, [page]() -> QWidget * {
                        acceptLogin();
                        QWidget *pDlg = CShotRunner::topLevel("CDevCfgDlg");
                        auto *pTabs = pDlg ? pDlg->findChild<QTabWidget *>() : nullptr;
                        if (!pTabs)
                            return nullptr;
                        for (int nTab = 0; nTab < pTabs->count(); ++nTab) {
                            if (pTabs->widget(nTab)->inherits(page.szClass)) {
                                pTabs->setCurrentIndex(nTab);
                                return pDlg;
                            }
                        }
                        return nullptr;
                    }, [bLast](QWidget *pDlg) {
                        if (bLast)
                            CShotRunner::closeStrays();
                        Q_UNUSED(pDlg);
                    }, nPage == 0 ? 30000 : 3000});
    }
    runner.add({QString(), [] { CShotRunner::closeStrays(); }, {}, {}, 1000});

    // Daylight saving goes to IPCs of one model only.
    runner.add({QStringLiteral("dst"), [this]() {
                    checkRows(sameModelPair());
                    invoke(deviceTab(), "on_oDSTBtn_clicked");
                }, [] {
                    acceptLogin();
                    return CShotRunner::topLevel("CDstCfgDlg");
                }, [](QWidget *) { CShotRunner::closeStrays(); }, 30000});

    // Batch configuration: both tabs.
    runner.add({QStringLiteral("batch-encoding"), [this]() {
                    checkRows(sameModelPair());
                    invoke(deviceTab(), "on_oBatchCfgBtn_clicked");
                }, [] {
                    acceptLogin();
                    QWidget *pDlg = CShotRunner::topLevel("CBatchCfgDlg");
                    auto *pTabs = pDlg ? pDlg->findChild<QTabWidget *>() : nullptr;
                    if (pTabs)
                        pTabs->setCurrentIndex(0);
                    return pTabs ? pDlg : nullptr;
                }, [](QWidget *) {}, 30000, true});
    runner.add({QStringLiteral("batch-audio"), {}, [] {
                    QWidget *pDlg = CShotRunner::topLevel("CBatchCfgDlg");
                    auto *pTabs = pDlg ? pDlg->findChild<QTabWidget *>() : nullptr;
                    if (!pTabs || pTabs->count() < 2)
                        return static_cast<QWidget *>(nullptr);
                    pTabs->setCurrentIndex(1);
                    return pDlg;
                }, [](QWidget *) { CShotRunner::closeStrays(); }, 3000});
    runner.add({QString(), [] { CShotRunner::closeStrays(); }, {}, {}, 1000});

    // Batch address change last: it moves three devices to new addresses.
    runner.add({QStringLiteral("batch-address"), [this]() {
                    checkRows({6, 7, 8});
                    invoke(deviceTab(), "doEditNetworkAddress");
                }, [this]() -> QWidget * {
                    QWidget *pDlg = CShotRunner::topLevel("CBatchEditAddrDlg");
                    if (!pDlg)
                        return nullptr;
                    auto *pFirst = pDlg->findChild<IpWidget *>(QStringLiteral("firstIpWidget"));
                    if (pFirst && pFirst->text().isEmpty()) {
                        const QString strFirst = cell(6, kColIp);
                        const QString strBase = strFirst.left(strFirst.lastIndexOf(QLatin1Char('.')));
                        pFirst->setText(strBase + QStringLiteral(".110"));
                        click(pDlg, "oOkBtn");
                    }
                    auto *pView = pDlg->findChild<QTableView *>();
                    const QString strDone = CUIDeviceBean::statusText(DevStatusModifyOk);
                    for (int nRow = 0; pView && nRow < pView->model()->rowCount(); ++nRow) {
                        if (pView->model()->index(nRow, 7).data().toString() != strDone)
                            return nullptr;
                    }
                    return pDlg;
                }, {}, 15000});

    // Capacity calculation.
    runner.add({QStringLiteral("add-channel"), [this]() {
                    showTab(1);
                    invoke(capacityTab(), "on_oAddChanBtn_clicked");
                }, dialog("CAddChanDlg"), [](QWidget *pDlg) { click(pDlg, "oOkBtn"); }, 5000});
    runner.add({QString(), [this]() {
                    QTimer::singleShot(0, [] {
                        QWidget *pDlg = CShotRunner::topLevel("CAddChanDlg");
                        if (!pDlg)
                            return;
                        if (auto *pCount = pDlg->findChild<QSpinBox *>(QStringLiteral("oChanNumEdit")))
                            pCount->setValue(8);
                        setCombo(pDlg, "oResolutionCombo", QStringLiteral("720P"));
                        setCombo(pDlg, "oFrameRateCombo", QStringLiteral("15"));
                        click(pDlg, "oOkBtn");
                    });
                    invoke(capacityTab(), "on_oAddChanBtn_clicked");
                }, {}, {}, 5000});
    runner.add({QStringLiteral("capacity"), [this]() {
                    // A press on the select-all header ticks every row.
                    QMetaObject::invokeMethod(capacityTab(), "onEncTableViewHeaderClicked", Qt::DirectConnection,
                                              Q_ARG(int, 0));
                    if (auto *pDisk = capacityTab()->findChild<QComboBox *>(QStringLiteral("oDiskCombo")))
                        pDisk->setCurrentIndex(4);
                }, [this]() -> QWidget * { return m_pMainWind; }, [](QWidget *) {}, 5000});
    // The online import of the devices logged in on the device tab (the first four rows).
    auto pImportStarted = std::make_shared<QElapsedTimer>();
    runner.add({QStringLiteral("online-import"), [this, pImportStarted]() {
                    pImportStarted->invalidate();
                    invoke(capacityTab(), "on_oShowOnlineBtn_clicked");
                }, [pImportStarted]() -> QWidget * {
                    QWidget *pDlg = CShotRunner::topLevel("CShowOnlineDevDlg");
                    auto *pView = pDlg ? pDlg->findChild<QTableView *>() : nullptr;
                    if (!pView || pView->model()->rowCount() < 4)
                        return nullptr;
                    if (!pImportStarted->isValid()) {
                        QAbstractItemModel *pModel = pView->model();
                        for (int nRow = 0; nRow < 4; ++nRow)
                            pModel->setData(pModel->index(nRow, 0), Qt::Checked, Qt::CheckStateRole);
                        click(pDlg, "oAddBtn");
                        pImportStarted->start();
                    }
                    // The import reads each device on the user-interface thread; give the rows time to show it.
                    return pImportStarted->elapsed() > 1500 ? pDlg : nullptr;
                }, {}, 10000});
    runner.add({QStringLiteral("about"), [this]() { invoke(m_pMainWind, "showAboutSlot"); }, dialog("CAboutDlg"),
                {}, 5000});
}
