#include "cli.h"

#include "clipassword.h"
#include "devlibraries.h"
#include "ipv4.h"
#include "onvifdevice.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cstdio>

namespace {

struct stOption
{
    const char *pszName;
    const char *pszValue;       // nullptr for a switch
    const char *pszDescription;
};

// Every option of every command; a command names the ones it takes.
const stOption kOptions[] = {
    {"format", "FORMAT", QT_TRANSLATE_NOOP("CCli", "输出格式：table、csv 或 json")},
    {"jobs", "N", QT_TRANSLATE_NOOP("CCli", "同时处理的设备数（默认 8）")},
    {"user", "NAME", QT_TRANSLATE_NOOP("CCli", "登录用户名")},
    {"password-file", "FILE", QT_TRANSLATE_NOOP("CCli", "从文件第一行读取密码")},
    {"wait", "MS", QT_TRANSLATE_NOOP("CCli", "等待设备应答的毫秒数（默认 500）")},
    {"range", "FIRST-LAST", QT_TRANSLATE_NOOP("CCli", "同时探测的地址段")},
    {"no-multicast", nullptr, QT_TRANSLATE_NOOP("CCli", "不发送组播探测")},
    {"ip", "A", QT_TRANSLATE_NOOP("CCli", "新IP地址")},
    {"mask", "M", QT_TRANSLATE_NOOP("CCli", "新子网掩码")},
    {"gateway", "G", QT_TRANSLATE_NOOP("CCli", "新网关")},
    {"plan", "FILE.csv", QT_TRANSLATE_NOOP("CCli", "地址计划（CSV：mac、serial、endpoint 或 xaddr，ip、mask、gateway，可选 user）")},
    {"code", "CODE", QT_TRANSLATE_NOOP("CCli", "安全码")},
    {"firmware", "FILE", QT_TRANSLATE_NOOP("CCli", "固件文件")},
    {"out", "PATH", QT_TRANSLATE_NOOP("CCli", "输出位置：文件夹（不存在时创建）；snapshot 为 JPEG 文件")},
    {"file", "FILE", QT_TRANSLATE_NOOP("CCli", "配置文件")},
    {"start", "M/W/D/H", QT_TRANSLATE_NOOP("CCli", "开始时间：月/周/星期/时")},
    {"end", "M/W/D/H", QT_TRANSLATE_NOOP("CCli", "结束时间：月/周/星期/时")},
    {"offset", "MINUTES", QT_TRANSLATE_NOOP("CCli", "偏移分钟数：30、60、90 或 120")},
    {"off", nullptr, QT_TRANSLATE_NOOP("CCli", "关闭夏令时")},
    {"help", nullptr, QT_TRANSLATE_NOOP("CCli", "显示帮助")},
};

const stOption *findOption(const QString &strName)
{
    for (const stOption &oOption : kOptions) {
        if (strName == QLatin1String(oOption.pszName))
            return &oOption;
    }
    return nullptr;
}

QStringList names(const char *pszList)
{
    return QString::fromLatin1(pszList).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

} // namespace

const QList<CCli::stCommand> &CCli::commands()
{
    using J = stCliJob;
    const char *pszDevice = "format jobs user password-file wait help";
    static const QList<stCommand> listCommands{
        {QStringLiteral("discover"), QStringLiteral("discover [--range FIRST-LAST] [--no-multicast] [--wait MS] [--format table|csv|json]"),
         QT_TRANSLATE_NOOP("CCli", "查找设备并列出：每行一台（table）、带表头的 CSV 或 JSON 数组，按地址排序。"),
         names("range no-multicast wait format help"), J::Info, false, false, 0, 0},
        {QStringLiteral("info"), QStringLiteral("info --user NAME ADDRESS..."),
         QT_TRANSLATE_NOOP("CCli", "登录设备并列出从设备读取的字段。"), names(pszDevice), J::Info, true, true, 1, -1},
        {QStringLiteral("set-address"),
         QStringLiteral("set-address --user NAME ADDRESS --ip A --mask M --gateway G | set-address --plan FILE.csv"),
         QT_TRANSLATE_NOOP("CCli", "修改一台设备的网络地址，或按计划文件（CSV）修改多台设备的地址；发送前检查计划的每一行。"),
         names("format jobs user password-file wait help ip mask gateway plan range no-multicast"), J::SetAddress,
         false, true, 0, 1},
        {QStringLiteral("reset-password"), QStringLiteral("reset-password --code CODE ADDRESS"),
         QT_TRANSLATE_NOOP("CCli", "用安全码重置设备密码。"), names("format wait help code"), J::ResetPassword, false,
         false, 1, 1},
        {QStringLiteral("reboot"), QStringLiteral("reboot --user NAME ADDRESS..."),
         QT_TRANSLATE_NOOP("CCli", "重启设备。"), names(pszDevice), J::Reboot, true, true, 1, -1},
        {QStringLiteral("upgrade"), QStringLiteral("upgrade --user NAME --firmware FILE ADDRESS..."),
         QT_TRANSLATE_NOOP("CCli", "升级设备固件。"), names(pszDevice) << QStringLiteral("firmware"), J::Upgrade, true,
         true, 1, -1},
        {QStringLiteral("export-config"), QStringLiteral("export-config --user NAME --out DIR ADDRESS..."),
         QT_TRANSLATE_NOOP("CCli", "导出设备配置到文件夹。"), names(pszDevice) << QStringLiteral("out"), J::ExportConfig,
         true, true, 1, -1},
        {QStringLiteral("import-config"), QStringLiteral("import-config --user NAME --file FILE ADDRESS"),
         QT_TRANSLATE_NOOP("CCli", "把配置文件导入设备。"), names(pszDevice) << QStringLiteral("file"), J::ImportConfig,
         true, true, 1, 1},
        {QStringLiteral("diagnostics"), QStringLiteral("diagnostics --user NAME --out DIR ADDRESS..."),
         QT_TRANSLATE_NOOP("CCli", "导出设备诊断信息到文件夹。"), names(pszDevice) << QStringLiteral("out"),
         J::Diagnostics, true, true, 1, -1},
        {QStringLiteral("dst"),
         QStringLiteral("dst --user NAME --start M/W/D/H --end M/W/D/H --offset MINUTES ADDRESS... | dst --user NAME --off ADDRESS..."),
         QT_TRANSLATE_NOOP("CCli", "设置夏令时规则：月 1-12，第 1-4 周或 last，星期 0-6（0 为星期日），时 0-23；--off 关闭夏令时。"),
         names(pszDevice) << names("start end offset off"), J::Dst, true, true, 1, -1},
        {QStringLiteral("encoding"), QStringLiteral("encoding --user NAME [--format table|json] ADDRESS"),
         QT_TRANSLATE_NOOP("CCli", "列出摄像机的各码流：编码、分辨率、帧率、码率（kbit/s）和 I 帧间隔。"),
         names("format user password-file wait help"), J::Encoding, true, true, 1, 1},
        {QStringLiteral("snapshot"), QStringLiteral("snapshot --user NAME --out FILE ADDRESS"),
         QT_TRANSLATE_NOOP("CCli", "把摄像机当前画面保存为 JPEG 文件。"), names("format user password-file wait help out"),
         J::Snapshot, true, true, 1, 1},
    };
    return listCommands;
}

CCli::CCli() = default;

CCli::~CCli() = default;

void CCli::addOptions(QCommandLineParser &oParser, const stCommand &oCmd)
{
    for (const QString &strName : oCmd.listOptions) {
        const stOption *pOption = findOption(strName);
        if (pOption->pszValue)
            oParser.addOption(QCommandLineOption(strName, QString(), QLatin1String(pOption->pszValue)));
        else
            oParser.addOption(QCommandLineOption(strName));
    }
}

QString CCli::commandHelp(const stCommand &oCmd)
{
    QString strOut = QStringLiteral("corvane-cli ") + oCmd.strSynopsis + QLatin1Char('\n')
        + tr(oCmd.pszDescription) + QLatin1Char('\n');
    for (const QString &strName : oCmd.listOptions) {
        const stOption *pOption = findOption(strName);
        QString strLeft = QStringLiteral("  --") + strName;
        if (pOption->pszValue)
            strLeft += QLatin1Char(' ') + QLatin1String(pOption->pszValue);
        strOut += strLeft.leftJustified(28) + QLatin1Char(' ') + tr(pOption->pszDescription) + QLatin1Char('\n');
    }
    return strOut;
}

QString CCli::fullHelp()
{
    QString strOut = QStringLiteral("corvane-cli COMMAND [OPTIONS] [ADDRESS...]\n\n") + tr("命令：") + QLatin1Char('\n');
    for (const stCommand &oCmd : commands())
        strOut += QStringLiteral("  ") + oCmd.strName.leftJustified(16) + tr(oCmd.pszDescription) + QLatin1Char('\n');
    strOut += QLatin1Char('\n') + tr("每个命令的选项：corvane-cli 命令 --help。") + QLatin1Char('\n')
        + tr("地址：IPv4 地址，或用 onvif://主机[:端口] 指定搜索不到的 ONVIF 设备（端口默认 80）。") + QLatin1Char('\n')
        + tr("密码从 CORVANE_PASSWORD、--password-file 或终端提示读取，从不从命令行读取。") + QLatin1Char('\n')
        + tr("结果：每台设备一行“地址 ok”或“地址 failed: 原因”，或用 --format json 输出数组。") + QLatin1Char('\n')
        + tr("退出码：0 全部成功，1 部分设备失败，2 用法或输入错误。") + QLatin1Char('\n');
    return strOut;
}

void CCli::print(std::FILE *pOut, const QString &strText)
{
    std::fputs(qUtf8Printable(strText), pOut);
    if (!strText.endsWith(QLatin1Char('\n')))
        std::fputc('\n', pOut);
    std::fflush(pOut);
}

bool CCli::isSet(const QString &strName) const
{
    return m_listOptions.contains(strName) && m_oParser.isSet(strName);
}

QString CCli::value(const QString &strName) const
{
    return isSet(strName) ? m_oParser.value(strName) : QString();
}

int CCli::usageError(const QString &strMessage) const
{
    print(stderr, QStringLiteral("corvane-cli: ") + strMessage);
    for (const stCommand &oCmd : commands()) {
        if (oCmd.strName == m_strCommand) {
            print(stderr, tr("用法：%1").arg(QStringLiteral("corvane-cli ") + oCmd.strSynopsis));
            return ExitUsage;
        }
    }
    print(stderr, tr("用法：%1").arg(QStringLiteral("corvane-cli COMMAND [OPTIONS] [ADDRESS...]; corvane-cli --help")));
    return ExitUsage;
}

int CCli::run(const QStringList &listArgs)
{
    const QStringList listRest = listArgs.mid(1);
    if (listRest.isEmpty())
        return usageError(tr("缺少命令"));
    if (listRest.first() == QLatin1String("--help") || listRest.first() == QLatin1String("-h")) {
        print(stdout, fullHelp());
        return ExitOk;
    }
    for (const QString &strArg : listRest) {
        if (CCliPassword::isPasswordArgument(strArg))
            return usageError(tr("密码不能写在命令行上（其他用户可以看到）：请使用 CORVANE_PASSWORD 或 --password-file"));
    }
    m_strCommand = listRest.first();
    for (const stCommand &oCmd : commands()) {
        if (oCmd.strName != m_strCommand)
            continue;
        addOptions(m_oParser, oCmd);
        m_listOptions = oCmd.listOptions;
        m_oParser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        if (!m_oParser.parse(QStringList{listArgs.first()} + listRest.mid(1)))
            return usageError(m_oParser.errorText());
        if (isSet(QStringLiteral("help"))) {
            print(stdout, commandHelp(oCmd));
            return ExitOk;
        }
        return runCommand(oCmd);
    }
    m_strCommand.clear();
    return usageError(tr("未知命令：%1").arg(listRest.first()));
}

int CCli::runCommand(const stCommand &oCmd)
{
    if (oCmd.listOptions.contains(QLatin1String("format"))
        && !Inventory::parseFormat(isSet(QStringLiteral("format")) ? value(QStringLiteral("format"))
                                                                           : QStringLiteral("table"),
                                   m_eFormat))
        return usageError(tr("--format 应为 table、csv 或 json"));
    if (isSet(QStringLiteral("jobs"))) {
        bool bOk = false;
        m_iJobs = value(QStringLiteral("jobs")).toInt(&bOk);
        if (!bOk || m_iJobs < 1 || m_iJobs > 256)
            return usageError(tr("--jobs 应为 1 到 256 的整数"));
    }
    // Device libraries are started once, as the device tab does; their log goes to the user's cache.
    const QString strLogDir = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/corvane/cli-log");
    QDir().mkpath(strLogDir);
    m_pLibraries.reset(new CDevLibraries(strLogDir));

    if (oCmd.strName == QLatin1String("discover"))
        return discover();
    if (oCmd.strName == QLatin1String("set-address"))
        return isSet(QStringLiteral("plan")) ? setAddressByPlan() : setAddress();
    return deviceCommand(oCmd);
}

bool CCli::readCommon(bool bNeedUser, bool bNeedPassword)
{
    m_strUser = value(QStringLiteral("user"));
    if (bNeedUser && m_strUser.isEmpty()) {
        usageError(tr("缺少 --%1").arg(QStringLiteral("user")));
        return false;
    }
    if (!bNeedPassword)
        return true;
    QString strError;
    if (!CCliPassword::read(value(QStringLiteral("password-file")), m_strPassword, strError)) {
        usageError(strError);
        return false;
    }
    return true;
}

bool CCli::readAddresses(QStringList &listIp)
{
    // An ONVIF device the search does not reach is named by its device service.
    static const QRegularExpression reOnvif(QStringLiteral("^onvif://([^/:]+)(?::(\\d{1,5}))?/?$"),
                                            QRegularExpression::CaseInsensitiveOption);
    listIp.clear();
    m_hashNamedXAddr.clear();
    for (const QString &strArg : m_oParser.positionalArguments()) {
        const QRegularExpressionMatch match = reOnvif.match(strArg);
        const QString strHost = match.hasMatch() ? match.captured(1) : strArg;
        const uint uPort = match.captured(2).isEmpty() ? 80 : match.captured(2).toUInt();
        if (!Ipv4::isValid(strHost) || uPort < 1 || uPort > 0xFFFF) {
            usageError(tr("%1 不是有效的IP地址或 onvif://主机[:端口]").arg(strArg));
            return false;
        }
        listIp << Ipv4::normalized(strHost);
        if (match.hasMatch())
            m_hashNamedXAddr.insert(listIp.last(), COnvifDevice::deviceServiceAt(listIp.last(), quint16(uPort)));
    }
    return true;
}
