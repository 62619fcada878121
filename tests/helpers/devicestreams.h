#ifndef DEVICESTREAMS_H
#define DEVICESTREAMS_H

#include "zelt_mw_sdk.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

// Connections a simulated IPC is streaming pictures on, as its diagnostics
// archive reports them; -1 when that cannot be read. For tests that check a
// stream really ended on the device.
inline int deviceStreamCount(const QByteArray &userId)
{
    QTemporaryDir dir;
    if (!dir.isValid() || ZELT_MW_ExportDiagnosis(userId.constData(), dir.path().toLocal8Bit().constData()) != 0)
        return -1;
    const QStringList archives = QDir(dir.path()).entryList({QStringLiteral("*.tgz")});
    if (archives.size() != 1)
        return -1;
    QProcess tar;
    tar.start(QStringLiteral("tar"), {"-xzOf", dir.filePath(archives.first()), "system/info.txt"});
    if (!tar.waitForFinished(10000) || tar.exitCode() != 0)
        return -1;
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^streams (\\d+)$"), QRegularExpression::MultilineOption)
            .match(QString::fromUtf8(tar.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

#endif // DEVICESTREAMS_H
