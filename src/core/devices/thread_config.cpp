#include "thread_config.h"
#include "devfailreason.h"

#include "zelt_mw_sdk.h"

#include <QDebug>

CCfgThread::CCfgThread(QObject *pReceiver)
    : QObject(nullptr)
    , m_pReceiver(pReceiver)
{
    connect(this, SIGNAL(sendResultSignal(CUIDeviceBean&)), m_pReceiver,
            SLOT(getResultSlot(CUIDeviceBean&)));
}

DWORD CCfgThread::devCfgSlot(ulong ulCmdType, const QByteArray &cfgData, CUIDeviceBean &oBean)
{
    const QByteArray userId = oBean.m_strLoginKey.toLatin1();
    const DWORD ulResult = ZELT_MW_SetConfig(userId.constData(), static_cast<DWORD>(ulCmdType), 0,
                                             static_cast<DWORD>(cfgData.size()), cfgData.constData());
    qDebug() << "设备" << oBean.m_strIp << "配置结果：" << ulResult;
    oBean.m_lStatus = ulResult == 0 ? DevStatusCfgOk : DevStatusCfgFailed;
    oBean.m_strFailReason = CDevFailReason::ofIpc(ulResult);
    emit sendResultSignal(oBean);
    return 0;
}
