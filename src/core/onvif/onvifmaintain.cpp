// The file operations of COnvifDevice: firmware, configuration backup and
// restore, diagnostics.
#include "onvifdevice.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTimer>

namespace {

// Largest file sent or taken; a firmware image is far below.
constexpr qint64 kMaxFileBytes = 256 * 1024 * 1024;

bool readFile(const QString &strFile, QByteArray &data)
{
    QFile file(strFile);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes)
        return false;
    data = file.readAll();
    return true;
}

bool writeFile(const QString &strFile, const QByteArray &data)
{
    QSaveFile file(strFile);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
}

// Seconds of an xs:duration such as "PT5S" or "PT1M30S"; 0 for anything else.
int durationSeconds(const QString &strDuration)
{
    static const QRegularExpression kDuration(QStringLiteral("^PT(?:(\\d+)H)?(?:(\\d+)M)?(?:(\\d+)(?:\\.\\d+)?S)?$"));
    const QRegularExpressionMatch match = kDuration.match(strDuration.trimmed());
    if (!match.hasMatch())
        return 0;
    return match.captured(1).toInt() * 3600 + match.captured(2).toInt() * 60 + match.captured(3).toInt();
}

} // namespace

QByteArray COnvifDevice::attachmentData(const COnvifNode *pNode)
{
    return pNode ? QByteArray::fromBase64(pNode->m_strText.trimmed().toLatin1()) : QByteArray();
}

COnvifError COnvifDevice::upgrade(const QString &strFile, const std::function<void(int)> &progress)
{
    QByteArray data;
    if (!readFile(strFile, data))
        return COnvifError(COnvifError::File);
    COnvifNode answer;
    COnvifError error = call(QStringLiteral("<tds:StartFirmwareUpgrade/>"), answer);
    if (error.kind() == COnvifError::Unsupported) {
        error = call(QStringLiteral("<tds:UpgradeSystemFirmware><tds:Firmware>%1</tds:Firmware>"
                                    "</tds:UpgradeSystemFirmware>")
                         .arg(QString::fromLatin1(data.toBase64())),
                     answer);
        if (error.ok() && progress)
            progress(100);
        return error;
    }
    if (!error.ok())
        return error;
    QUrl upload(answer.childText(OnvifNs::kDevice, QStringLiteral("UploadUri")));
    if (!upload.isValid() || upload.host().isEmpty())
        return COnvifError(COnvifError::Malformed);
    // An upload address elsewhere is taken at the device's own address, like its XAddr.
    upload.setHost(m_target.url.host());
    const int iDelay = qMin(durationSeconds(answer.childText(OnvifNs::kDevice, QStringLiteral("UploadDelay"))), 30);
    if (iDelay > 0) {
        QEventLoop loop;
        QTimer::singleShot(iDelay * 1000, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return COnvifSoap::ofThread().upload({upload, m_target.strUser, m_target.strPassword}, data, progress);
}

COnvifError COnvifDevice::exportConfig(const QString &strFile)
{
    COnvifNode answer;
    const COnvifError error = call(QStringLiteral("<tds:GetSystemBackup/>"), answer);
    if (!error.ok())
        return error;
    const COnvifNode *pFile = answer.child(OnvifNs::kDevice, QStringLiteral("BackupFiles"));
    if (!pFile)
        return COnvifError(COnvifError::Malformed);
    const QByteArray data = attachmentData(pFile->child(OnvifNs::kSchema, QStringLiteral("Data")));
    return writeFile(strFile, data) ? COnvifError() : COnvifError(COnvifError::File);
}

COnvifError COnvifDevice::importConfig(const QString &strFile)
{
    QByteArray data;
    if (!readFile(strFile, data))
        return COnvifError(COnvifError::File);
    return call(QStringLiteral("<tds:RestoreSystem><tds:BackupFiles><tt:Name>%1</tt:Name><tt:Data>%2</tt:Data>"
                               "</tds:BackupFiles></tds:RestoreSystem>")
                    .arg(OnvifXml::esc(QFileInfo(strFile).fileName()), QString::fromLatin1(data.toBase64())));
}

COnvifError COnvifDevice::exportDiagnostics(const QString &strFile)
{
    auto textOf = [](const COnvifNode *pNode) {
        if (!pNode)
            return QByteArray();
        const COnvifNode *pString = pNode->child(OnvifNs::kSchema, QStringLiteral("String"));
        return pString ? pString->m_strText.toUtf8()
                       : attachmentData(pNode->child(OnvifNs::kSchema, QStringLiteral("Binary")));
    };
    COnvifNode answer;
    COnvifError error = call(QStringLiteral("<tds:GetSystemLog><tds:LogType>System</tds:LogType></tds:GetSystemLog>"),
                             answer);
    if (!error.ok())
        return error;
    QByteArray data = textOf(answer.child(OnvifNs::kDevice, QStringLiteral("SystemLog")));
    error = call(QStringLiteral("<tds:GetSystemSupportInformation/>"), answer);
    if (error.ok())
        data += "\n" + textOf(answer.child(OnvifNs::kDevice, QStringLiteral("SupportInformation")));
    else if (error.kind() != COnvifError::Unsupported)
        return error;
    return writeFile(strFile, data) ? COnvifError() : COnvifError(COnvifError::File);
}
