#include "thread_config.h"
#include "devsession.h"

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
    const DWORD ulResult = DevSession::writeConfig(oBean, ulCmdType, cfgData, oBean.m_strFailReason);
    qDebug() << "设备" << oBean.m_strIp << "配置结果：" << ulResult;
    oBean.m_lStatus = ulResult == 0 ? DevStatusCfgOk : DevStatusCfgFailed;
    emit sendResultSignal(oBean);
    return 0;
}
