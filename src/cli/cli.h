#ifndef CLI_H
#define CLI_H

#include "clijob.h"
#include "inventory.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <memory>

class CDevLibraries;

// The commands of corvane-cli: reads one command line, runs it on the core
// classes the device tab uses, and prints the outcome. Exit codes: 0 every
// device succeeded, 1 some failed, 2 usage or input error.
class CCli
{
    Q_DECLARE_TR_FUNCTIONS(CCli)

public:
    enum EExit { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

    CCli();
    ~CCli();

    int run(const QStringList &listArgs);
    // The commands and the rules every command shares.
    static QString fullHelp();

private:
    // A command: its name, the options it takes and what it does to each device.
    struct stCommand
    {
        QString strName;
        QString strSynopsis;
        const char *pszDescription; // translated when shown
        QStringList listOptions;
        stCliJob::EOp eOp;
        bool bNeedUser;
        bool bNeedPassword;
        int iMinAddresses;
        int iMaxAddresses;          // -1: any number
    };

    static const QList<stCommand> &commands();
    static void addOptions(QCommandLineParser &oParser, const stCommand &oCmd);
    static QString commandHelp(const stCommand &oCmd);

    static void print(std::FILE *pOut, const QString &strText);
    // An option of the running command; never set when the command has no such option.
    bool isSet(const QString &strName) const;
    QString value(const QString &strName) const;
    int usageError(const QString &strMessage) const;
    int runCommand(const stCommand &oCmd);
    int discover();
    int setAddress();
    int setAddressByPlan();
    int deviceCommand(const stCommand &oCmd);

    // Checks and reads the options every device command shares.
    bool readCommon(bool bNeedUser, bool bNeedPassword);
    // Device addresses: IPv4 addresses, or onvif://HOST[:PORT] for an ONVIF
    // device named by its address (m_hashNamedXAddr).
    bool readAddresses(QStringList &listIp);
    // The addresses to probe for: those not named as ONVIF devices.
    QStringList probed(const QStringList &listIp) const;
    bool readWait(int &iWaitMs);
    // Discovers the fleet the probe options name; false after a usage error.
    bool readFleet(QList<CUIDeviceBean> &listFound);
    bool readJob(const stCommand &oCmd, stCliJob &oJob);
    bool readDst(stCliJob &oJob);
    QList<stCliResult> runTasks(const stCliJob &oJob, const QList<stCliTask> &listTasks, const QString &strTitle);
    int printResults(const QList<stCliResult> &listResults) const;
    // The streams an encoding command read, as a table or JSON.
    int printStreams(const stCliResult &oResult) const;
    CUIDeviceBean deviceRecord(const QString &strIp, const QList<CUIDeviceBean> &listFound) const;

    QString m_strCommand;
    QCommandLineParser m_oParser;
    QStringList m_listOptions;
    QHash<QString, QString> m_hashNamedXAddr; // address -> device service of an onvif:// argument
    Inventory::EFormat m_eFormat = Inventory::FormatTable;
    int m_iJobs = 8;
    QString m_strUser;
    QString m_strPassword;
    std::unique_ptr<CDevLibraries> m_pLibraries;
};

#endif // CLI_H
