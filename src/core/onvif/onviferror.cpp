#include "onviferror.h"

QString COnvifError::reason() const
{
    switch (m_eKind) {
    case None: return QString();
    case Refused: return tr("仅允许本机回环地址，未发送到 %1").arg(m_strDetail);
    case Unreachable: return tr("无法连接设备：%1").arg(m_strDetail);
    case Timeout: return tr("设备无应答（超时）");
    case Http: return tr("HTTP 错误 %1").arg(m_strDetail);
    case Malformed: return tr("设备应答格式错误");
    case TooLarge: return tr("设备应答过大，已拒绝");
    case Account: return tr("用户名或密码错误");
    case Unsupported: return tr("该设备不支持此操作");
    case Fault: return tr("设备拒绝：%1").arg(m_strDetail);
    case UnsafeAuth: return tr("设备只接受不安全的认证方式，已拒绝");
    case CertChanged: return tr("设备证书与首次连接时不同，可能被冒充：%1").arg(m_strDetail);
    case File: return tr("文件无法读写或过大");
    }
    return QString();
}

QString COnvifError::resetByDevice()
{
    return tr("ONVIF 设备请用设备上的复位按钮或其网页重置密码。");
}
