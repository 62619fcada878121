// The commands themselves: what each reads, sends and prints.
#include "cli.h"

#include "addressplan.h"
#include "clidiscover.h"
#include "cliprogress.h"
#include "clirunner.h"
#include "devfailreason.h"
#include "devsession.h"
#include "ipv4.h"

#include "Discovery.h"
#include "zelt_mw_cfg.h"
#include "zelt_mw_sdk.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cstdio>

namespace {

// As long as the device tab's search waits for answers.
constexpr int kDefaultWaitMs = 500;
// Batches longer than this show their progress; upgrades always do.
constexpr int kProgressFromDevices = 8;

void write(std::FILE *pOut, const QByteArray &baText)
{
    std::fwrite(baText.constData(), 1, std::size_t(baText.size()), pOut);
    std::fflush(pOut);
}

// "3/last/0/2" -> month, week (5 = last), weekday, hour; false when out of range.
bool parseDstTime(const QString &strText, uint8_t aTime[4])
{
    static const QRegularExpression reTime(QStringLiteral("^(\\d{1,2})/([1-4]|last)/([0-6])/(\\d{1,2})$"));
    const QRegularExpressionMatch match = reTime.match(strText);
    if (!match.hasMatch())
        return false;
    const int iMonth = match.captured(1).toInt();
    const int iHour = match.captured(4).toInt();
    if (iMonth < 1 || iMonth > 12 || iHour > 23)
        return false;
    aTime[0] = uint8_t(iMonth);
    aTime[1] = uint8_t(match.captured(2) == QLatin1String("last") ? 5 : match.captured(2).toInt());
    aTime[2] = uint8_t(match.captured(3).toInt());
    aTime[3] = uint8_t(iHour);
    return true;
}

void setBytes(QByteArray &baValues, QByteArray &baMask, int iOffset, const uint8_t *pBytes, int iCount)
{
    for (int i = 0; i < iCount; ++i) {
        baValues[iOffset + i] = char(pBytes[i]);
        baMask[iOffset + i] = char(0xFF);
    }
}

} // namespace

bool CCli::readWait(int &iWaitMs)
{
    iWaitMs = kDefaultWaitMs;
    if (!isSet(QStringLiteral("wait")))
        return true;
    bool bOk = false;
    iWaitMs = value(QStringLiteral("wait")).toInt(&bOk);
    if (bOk && iWaitMs >= 0 && iWaitMs <= 60000)
        return true;
    usageError(tr("--wait 应为 0 到 60000 的毫秒数"));
    return false;
}

bool CCli::readFleet(QList<CUIDeviceBean> &listFound)
{
    int iWaitMs = 0;
    if (!readWait(iWaitMs))
        return false;
    QString strFirst;
    QString strLast;
    if (isSet(QStringLiteral("range"))) {
        const QStringList listRange = value(QStringLiteral("range")).split(QLatin1Char('-'));
        if (listRange.size() != 2 || !Ipv4::isValid(listRange.at(0)) || !Ipv4::isValid(listRange.at(1))
            || Ipv4::sortKey(listRange.at(0)) > Ipv4::sortKey(listRange.at(1))) {
            usageError(tr("--range 应为 FIRST-LAST，起始地址不大于结束地址"));
            return false;
        }
        strFirst = Ipv4::normalized(listRange.at(0));
        strLast = Ipv4::normalized(listRange.at(1));
    }
    const bool bMulticast = !isSet(QStringLiteral("no-multicast"));
    if (!bMulticast && strFirst.isEmpty()) {
        usageError(tr("--no-multicast 需要 --range"));
        return false;
    }
    listFound = CliDiscover::fleet(bMulticast, strFirst, strLast, iWaitMs);
    return true;
}

int CCli::discover()
{
    if (!m_oParser.positionalArguments().isEmpty())
        return usageError(tr("多余的参数：%1").arg(m_oParser.positionalArguments().join(QLatin1Char(' '))));
    QList<CUIDeviceBean> listFound;
    if (!readFleet(listFound))
        return ExitUsage;
    write(stdout, Inventory::format(listFound, m_eFormat));
    return ExitOk;
}

QStringList CCli::probed(const QStringList &listIp) const
{
    QStringList listProbe;
    for (const QString &strIp : listIp) {
        if (!m_hashNamedXAddr.contains(strIp))
            listProbe << strIp;
    }
    return listProbe;
}

CUIDeviceBean CCli::deviceRecord(const QString &strIp, const QList<CUIDeviceBean> &listFound) const
{
    const QString strNamedXAddr = m_hashNamedXAddr.value(strIp);
    CUIDeviceBean oDev;
    for (const CUIDeviceBean &oFound : listFound) {
        if (oFound.m_strIp == strIp && (strNamedXAddr.isEmpty() || oFound.isOnvif()))
            oDev = oFound;
    }
    if (!strNamedXAddr.isEmpty()) {
        oDev.m_strProtocol = QStringLiteral("onvif");
        oDev.m_strXAddr = strNamedXAddr;
    }
    oDev.m_strIp = strIp;
    oDev.m_lStatus = DevStatusNotLogged;
    oDev.m_strUserName = m_strUser;
    oDev.m_strPassword = m_strPassword;
    return oDev;
}

int CCli::setAddress()
{
    for (const char *pszName : {"ip", "mask", "gateway", "user"}) {
        if (!isSet(QLatin1String(pszName)))
            return usageError(tr("缺少 --%1").arg(QLatin1String(pszName)));
    }
    QStringList listIp;
    if (!readAddresses(listIp))
        return ExitUsage;
    if (listIp.size() != 1)
        return usageError(tr("只能指定一个设备地址"));
    int iWaitMs = 0;
    if (!readWait(iWaitMs) || !readCommon(true, true))
        return ExitUsage;

    CAddressPlan::stEntry oEntry;
    oEntry.strIp = value(QStringLiteral("ip"));
    oEntry.strMask = value(QStringLiteral("mask"));
    oEntry.strGateway = value(QStringLiteral("gateway"));
    // The new address is probed too: a device answering there is a clash.
    QStringList listProbe = probed(listIp);
    if (Ipv4::isValid(oEntry.strIp) && Ipv4::normalized(oEntry.strIp) != listIp.first())
        listProbe << Ipv4::normalized(oEntry.strIp);
    const QList<CUIDeviceBean> listFound = CliDiscover::atAddresses(listProbe, iWaitMs);
    const CUIDeviceBean oDev = deviceRecord(listIp.first(), listFound);
    oEntry.strMac = oDev.m_strMac;
    oEntry.strSerial = oDev.m_strSerial;
    // Discovery tells an ONVIF device's service address, not its MAC.
    if (oDev.isOnvif())
        oEntry.strXAddr = oDev.m_strXAddr;
    if (oDev.m_strMac.isEmpty() && oDev.m_strSerial.isEmpty() && !oDev.isOnvif()) {
        stCliResult oResult;
        oResult.oDev = oDev;
        oResult.strError = tr("未找到设备");
        return printResults({oResult});
    }
    QList<CUIDeviceBean> listKnown = listFound;
    if (CAddressPlan::findDevice(oEntry, listKnown) < 0)
        listKnown << oDev;
    const QList<CAddressPlan::stProblem> listProblems =
        CAddressPlan::check({oEntry}, listKnown, CAddressPlan::UnmatchedIsProblem);
    if (!listProblems.isEmpty())
        return usageError(listProblems.first().strReason);

    stCliTask oTask;
    oTask.oDev = oDev;
    oTask.oAddr.m_strOldIp = oDev.m_strIp;
    oTask.oAddr.m_strNewIp = Ipv4::normalized(oEntry.strIp);
    oTask.oAddr.m_strMask = Ipv4::normalized(oEntry.strMask);
    oTask.oAddr.m_strGateway = Ipv4::normalized(oEntry.strGateway);
    oTask.oAddr.m_strUserName = m_strUser;
    oTask.oAddr.m_strInputPassword = m_strPassword;
    oTask.oAddr.m_strMac = oDev.m_strMac;
    oTask.oAddr.m_strSerial = oDev.m_strSerial;
    DevSession::describeForAddressChange(oDev, oTask.oAddr);
    stCliJob oJob;
    oJob.eOp = stCliJob::SetAddress;
    return printResults(runTasks(oJob, {oTask}, QString()));
}

int CCli::setAddressByPlan()
{
    for (const char *pszName : {"ip", "mask", "gateway"}) {
        if (isSet(QLatin1String(pszName)))
            return usageError(tr("--plan 不能与地址、--ip、--mask、--gateway 同时使用"));
    }
    if (!m_oParser.positionalArguments().isEmpty())
        return usageError(tr("--plan 不能与地址、--ip、--mask、--gateway 同时使用"));
    const QString strPlan = value(QStringLiteral("plan"));
    CAddressPlan oPlan;
    CAddressPlan::stProblem oProblem;
    if (!oPlan.load(strPlan, oProblem))
        return usageError(strPlan + QStringLiteral(": ") + CAddressPlan::describe({oProblem}));
    if (!readCommon(false, true))
        return ExitUsage;
    QList<CUIDeviceBean> listFound;
    if (!readFleet(listFound))
        return ExitUsage;

    QList<CAddressPlan::stProblem> listProblems =
        CAddressPlan::check(oPlan.entries(), listFound, CAddressPlan::UnmatchedIsProblem);
    for (const CAddressPlan::stEntry &oEntry : oPlan.entries()) {
        if (oEntry.strUser.isEmpty() && m_strUser.isEmpty())
            listProblems << CAddressPlan::stProblem{oEntry.iLine, tr("没有用户名（user 列或 --user）")};
    }
    if (!listProblems.isEmpty()) {
        for (const QString &strLine : CAddressPlan::describe(listProblems).split(QLatin1Char('\n')))
            print(stderr, strPlan + QStringLiteral(": ") + strLine);
        print(stderr, tr("计划有误，未发送任何请求"));
        return ExitUsage;
    }

    QList<stCliTask> listTasks;
    for (const CAddressPlan::stEntry &oEntry : oPlan.entries()) {
        stCliTask oTask;
        oTask.oDev = listFound.at(CAddressPlan::findDevice(oEntry, listFound));
        const CUIDeviceBean &oDev = oTask.oDev;
        oTask.oAddr.m_strOldIp = oDev.m_strIp;
        oTask.oAddr.m_strNewIp = Ipv4::normalized(oEntry.strIp);
        oTask.oAddr.m_strMask = Ipv4::normalized(oEntry.strMask);
        oTask.oAddr.m_strGateway = Ipv4::normalized(oEntry.strGateway);
        oTask.oAddr.m_strUserName = oEntry.strUser.isEmpty() ? m_strUser : oEntry.strUser;
        oTask.oAddr.m_strInputPassword = m_strPassword;
        oTask.oAddr.m_strMac = oDev.m_strMac;
        oTask.oAddr.m_strSerial = oDev.m_strSerial;
        DevSession::describeForAddressChange(oDev, oTask.oAddr);
        listTasks << oTask;
    }
    stCliJob oJob;
    oJob.eOp = stCliJob::SetAddress;
    return printResults(runTasks(oJob, listTasks, listTasks.size() > kProgressFromDevices ? tr("修改地址") : QString()));
}

bool CCli::readDst(stCliJob &oJob)
{
    oJob.ulCfgCmd = ZELT_MW_DST_CFG;
    oJob.baCfgValues = QByteArray(ZELT_DST_SIZE, '\0');
    oJob.baCfgMask = QByteArray(ZELT_DST_SIZE, '\0');
    const bool bOff = isSet(QStringLiteral("off"));
    const bool bRule = isSet(QStringLiteral("start")) || isSet(QStringLiteral("end"))
        || isSet(QStringLiteral("offset"));
    if (bOff && bRule) {
        usageError(tr("--off 不能与 --start、--end、--offset 同时使用"));
        return false;
    }
    uint8_t aEnabled[4] = {};
    zelt_put_u32(aEnabled, 0, bOff ? 0 : 1);
    setBytes(oJob.baCfgValues, oJob.baCfgMask, ZELT_DST_ENABLED, aEnabled, 4);
    if (bOff)
        return true;
    for (const char *pszName : {"start", "end", "offset"}) {
        if (!isSet(QLatin1String(pszName))) {
            usageError(tr("缺少 --%1").arg(QLatin1String(pszName)));
            return false;
        }
    }
    uint8_t aStart[4];
    uint8_t aEnd[4];
    for (auto oTime : {std::make_pair("start", aStart), std::make_pair("end", aEnd)}) {
        if (!parseDstTime(value(QLatin1String(oTime.first)), oTime.second)) {
            usageError(tr("--%1 应为 月/周/星期/时，例如 3/last/0/2").arg(QLatin1String(oTime.first)));
            return false;
        }
    }
    const int iOffset = value(QStringLiteral("offset")).toInt();
    if (iOffset != 30 && iOffset != 60 && iOffset != 90 && iOffset != 120) {
        usageError(tr("--offset 应为 30、60、90 或 120"));
        return false;
    }
    uint8_t aOffset[2] = {};
    zelt_put_u16(aOffset, 0, uint16_t(iOffset));
    setBytes(oJob.baCfgValues, oJob.baCfgMask, ZELT_DST_START_MONTH, aStart, 4);
    setBytes(oJob.baCfgValues, oJob.baCfgMask, ZELT_DST_END_MONTH, aEnd, 4);
    setBytes(oJob.baCfgValues, oJob.baCfgMask, ZELT_DST_OFFSET_MIN, aOffset, 2);
    return true;
}

bool CCli::readJob(const stCommand &oCmd, stCliJob &oJob)
{
    oJob.eOp = oCmd.eOp;
    auto required = [this](const char *pszName, QString &strValue) {
        strValue = value(QLatin1String(pszName));
        if (strValue.isEmpty())
            usageError(tr("缺少 --%1").arg(QLatin1String(pszName)));
        return !strValue.isEmpty();
    };
    auto readableFile = [this](const QString &strPath) {
        const QFileInfo info(strPath);
        if (info.isFile() && info.isReadable())
            return true;
        usageError(tr("文件 %1 无法读取").arg(strPath));
        return false;
    };
    switch (oCmd.eOp) {
    case stCliJob::ResetPassword:
        return required("code", oJob.strCode);
    case stCliJob::Upgrade:
        return required("firmware", oJob.strPath) && readableFile(oJob.strPath);
    case stCliJob::ImportConfig:
        return required("file", oJob.strPath) && readableFile(oJob.strPath);
    case stCliJob::ExportConfig:
    case stCliJob::Diagnostics:
        if (!required("out", oJob.strPath))
            return false;
        if (!QDir().mkpath(oJob.strPath)) {
            usageError(tr("无法创建文件夹 %1").arg(oJob.strPath));
            return false;
        }
        oJob.strPath = QDir(oJob.strPath).absolutePath();
        return true;
    case stCliJob::Dst:
        return readDst(oJob);
    case stCliJob::Snapshot:
        if (!required("out", oJob.strPath))
            return false;
        oJob.strPath = QFileInfo(oJob.strPath).absoluteFilePath();
        return true;
    default:
        return true;
    }
}

int CCli::deviceCommand(const stCommand &oCmd)
{
    QStringList listIp;
    if (!readAddresses(listIp))
        return ExitUsage;
    if (listIp.size() < oCmd.iMinAddresses)
        return usageError(tr("缺少设备地址"));
    if (oCmd.iMaxAddresses >= 0 && listIp.size() > oCmd.iMaxAddresses)
        return usageError(tr("只能指定一个设备地址"));
    if (oCmd.eOp == stCliJob::Encoding && m_eFormat == Inventory::FormatCsv)
        return usageError(tr("--format 应为 table 或 json"));
    stCliJob oJob;
    int iWaitMs = 0;
    if (!readJob(oCmd, oJob) || !readWait(iWaitMs) || !readCommon(oCmd.bNeedUser, oCmd.bNeedPassword))
        return ExitUsage;

    // Discovery tells what a login does not: the MAC and serial number of a camera.
    const QList<CUIDeviceBean> listFound = CliDiscover::atAddresses(probed(listIp), iWaitMs);
    QList<stCliTask> listTasks;
    for (const QString &strIp : listIp) {
        stCliTask oTask;
        oTask.oDev = deviceRecord(strIp, listFound);
        listTasks << oTask;
    }
    if (oJob.eOp == stCliJob::ResetPassword && listTasks.first().oDev.m_strMac.isEmpty()) {
        stCliResult oResult;
        oResult.oDev = listTasks.first().oDev;
        oResult.strError = tr("未找到设备");
        return printResults({oResult});
    }
    const bool bProgress = oJob.eOp == stCliJob::Upgrade || listTasks.size() > kProgressFromDevices;
    const QList<stCliResult> listResults =
        runTasks(oJob, listTasks, bProgress ? oCmd.strName : QString());
    if (oJob.eOp == stCliJob::Encoding)
        return printStreams(listResults.first());
    if (oJob.eOp != stCliJob::Info)
        return printResults(listResults);

    QList<CUIDeviceBean> listRead;
    QList<stCliResult> listFailed;
    for (const stCliResult &oResult : listResults) {
        if (oResult.bOk)
            listRead << oResult.oDev;
        else
            listFailed << oResult;
    }
    write(stdout, Inventory::format(listRead, m_eFormat));
    for (const stCliResult &oResult : qAsConst(listFailed))
        print(stderr, QStringLiteral("%1 failed: %2").arg(oResult.oDev.m_strIp, oResult.strError));
    return listFailed.isEmpty() ? ExitOk : ExitFailed;
}

QList<stCliResult> CCli::runTasks(const stCliJob &oJob, const QList<stCliTask> &listTasks, const QString &strTitle)
{
    std::unique_ptr<CCliProgress> pProgress;
    if (!strTitle.isEmpty())
        pProgress.reset(new CCliProgress(strTitle));
    CCliRunner oRunner(oJob, m_iJobs, m_pLibraries.get(), pProgress.get());
    return oRunner.run(listTasks);
}

int CCli::printStreams(const stCliResult &oResult) const
{
    if (!oResult.bOk)
        return printResults({oResult});
    if (m_eFormat == Inventory::FormatJson) {
        QJsonArray array;
        for (const stStreamEncoding &stream : oResult.vecStreams) {
            array.append(QJsonObject{{QStringLiteral("stream"), stream.strStream},
                                     {QStringLiteral("encoding"), stream.strEncoding},
                                     {QStringLiteral("width"), stream.iWidth},
                                     {QStringLiteral("height"), stream.iHeight},
                                     {QStringLiteral("fps"), stream.iFps},
                                     {QStringLiteral("bitrate"), stream.iBitrate},
                                     {QStringLiteral("gop"), stream.iGop}});
        }
        write(stdout, QJsonDocument(array).toJson(QJsonDocument::Indented));
        return ExitOk;
    }
    QString strTable = QStringLiteral("%1 %2 %3 %4 %5 %6\n")
                           .arg(QStringLiteral("STREAM"), -7)
                           .arg(QStringLiteral("ENCODING"), -9)
                           .arg(QStringLiteral("SIZE"), -10)
                           .arg(QStringLiteral("FPS"), -4)
                           .arg(QStringLiteral("KBIT/S"), -7)
                           .arg(QStringLiteral("GOP"));
    for (const stStreamEncoding &stream : oResult.vecStreams) {
        strTable += QStringLiteral("%1 %2 %3 %4 %5 %6\n")
                        .arg(stream.strStream, -7)
                        .arg(stream.strEncoding, -9)
                        .arg(QStringLiteral("%1x%2").arg(stream.iWidth).arg(stream.iHeight), -10)
                        .arg(stream.iFps, -4)
                        .arg(stream.iBitrate, -7)
                        .arg(stream.iGop);
    }
    write(stdout, strTable.toUtf8());
    return ExitOk;
}

int CCli::printResults(const QList<stCliResult> &listResults) const
{
    bool bAllOk = true;
    if (m_eFormat == Inventory::FormatJson) {
        QJsonArray array;
        for (const stCliResult &oResult : listResults) {
            array.append(QJsonObject{{QStringLiteral("ip"), oResult.oDev.m_strIp},
                                     {QStringLiteral("ok"), oResult.bOk},
                                     {QStringLiteral("error"), oResult.strError}});
            bAllOk = bAllOk && oResult.bOk;
        }
        write(stdout, QJsonDocument(array).toJson(QJsonDocument::Indented));
    } else {
        // "ok" and "failed:" stay untranslated: scripts look for them.
        for (const stCliResult &oResult : listResults) {
            print(stdout, oResult.bOk ? oResult.oDev.m_strIp + QStringLiteral(" ok")
                                      : QStringLiteral("%1 failed: %2").arg(oResult.oDev.m_strIp, oResult.strError));
            bAllOk = bAllOk && oResult.bOk;
        }
    }
    return bAllOk ? ExitOk : ExitFailed;
}
