#include "uifactories.h"

#include "aboutdlg.h"
#include "addchandlg.h"
#include "cap_showonlinedevdlg.h"
#include "corvanemainwind.h"
#include "dev_batchcfgdlg.h"
#include "dev_batcheditaddrdlg.h"
#include "dev_devcfgdlg.h"
#include "dev_dstcfgdlg.h"
#include "dev_editnetaddrdlg.h"
#include "dev_logindlg.h"
#include "dev_resetpasswddlg.h"
#include "modifychandlg.h"
#include "msgdlg.h"
#include "setupdlg.h"
#include "upgradedlg.h"

#include <QCoreApplication>
#include <QLabel>

namespace UiFactories {

QVector<QPair<QString, Factory>> all()
{
    return {
        {QStringLiteral("main window"), [] { return new CCorvaneMainWind; }},
        {QStringLiteral("main window, thousands of devices listed"), [] {
             auto *pWind = new CCorvaneMainWind;
             pWind->findChild<QLabel *>(QStringLiteral("oDevNumLabel"))->setText(QStringLiteral("4000"));
             return pWind;
         }},
        {QStringLiteral("about"), [] { return new CAboutDlg; }},
        {QStringLiteral("login"), [] { return new CDevLoginDlg(0); }},
        {QStringLiteral("login after reset"), [] { return new CDevLoginDlg(1); }},
        {QStringLiteral("edit address"), [] { return new CEditNetworkAddrDlg; }},
        {QStringLiteral("batch address"), [] { return new CBatchEditAddrDlg; }},
        {QStringLiteral("reset password"), [] { return new CResetPasswdDlg; }},
        {QStringLiteral("search settings"), [] { return new CSetupDlg; }},
        {QStringLiteral("maintenance"), [] { return new CUpgradeDlg; }},
        {QStringLiteral("add channel"), [] { return new CAddChanDlg; }},
        {QStringLiteral("modify channel"), [] { return new CModifyChanDlg; }},
        {QStringLiteral("device configuration"), [] { return new CDevCfgDlg; }},
        {QStringLiteral("batch configuration"), [] { return new CBatchCfgDlg; }},
        {QStringLiteral("daylight saving"), [] { return new CDstCfgDlg; }},
        {QStringLiteral("online import"), [] { return new CShowOnlineDevDlg(nullptr); }},
        {QStringLiteral("message"), [] {
             return new CMsgDlg(QCoreApplication::translate("CDevManageForm", "信息"),
                                QCoreApplication::translate("CDevManageForm", "请选择设备。"), CMsgDlg::MsgNote);
         }},
    };
}

} // namespace UiFactories
