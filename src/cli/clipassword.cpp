#include "clipassword.h"

#include <QFile>

#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace {

// A password file holds one line; anything longer is no password file.
constexpr qint64 kMaxPasswordFileBytes = 4096;

} // namespace

bool CCliPassword::read(const QString &strFile, QString &strPassword, QString &strError)
{
    if (!strFile.isEmpty()) {
        QFile file(strFile);
        if (!file.open(QIODevice::ReadOnly)) {
            strError = tr("无法读取密码文件 %1：%2").arg(strFile, file.errorString());
            return false;
        }
        if (file.size() > kMaxPasswordFileBytes) {
            strError = tr("密码文件 %1 过大").arg(strFile);
            return false;
        }
        QByteArray baLine = file.readLine();
        while (baLine.endsWith('\n') || baLine.endsWith('\r'))
            baLine.chop(1);
        strPassword = QString::fromUtf8(baLine);
        return true;
    }
    if (qEnvironmentVariableIsSet("CORVANE_PASSWORD")) {
        strPassword = qEnvironmentVariable("CORVANE_PASSWORD");
        return true;
    }
    if (isatty(STDIN_FILENO) && prompt(strPassword))
        return true;
    strError = tr("需要密码：请设置 CORVANE_PASSWORD、使用 --password-file，或在终端中运行以输入密码");
    return false;
}

bool CCliPassword::isPasswordArgument(const QString &strArg)
{
    if (strArg == QLatin1String("-p"))
        return true;
    if (!strArg.startsWith(QLatin1Char('-')))
        return false;
    const QString strName = strArg.mid(strArg.startsWith(QLatin1String("--")) ? 2 : 1);
    return strName == QLatin1String("password") || strName.startsWith(QLatin1String("password="));
}

bool CCliPassword::prompt(QString &strPassword)
{
    std::fprintf(stderr, "%s", qUtf8Printable(tr("密码：")));
    std::fflush(stderr);
    termios oOld{};
    const bool bTerm = tcgetattr(STDIN_FILENO, &oOld) == 0;
    if (bTerm) {
        termios oQuiet = oOld;
        oQuiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &oQuiet);
    }
    QByteArray baLine;
    for (int c = std::fgetc(stdin); c != EOF && c != '\n'; c = std::fgetc(stdin))
        baLine.append(char(c));
    if (bTerm)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &oOld);
    std::fputc('\n', stderr);
    if (baLine.endsWith('\r'))
        baLine.chop(1);
    strPassword = QString::fromUtf8(baLine);
    return true;
}
