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

void CCfgThread::devCfgMergeSlot(ulong ulCmdType, const QByteArray &baValues, const QByteArray &baMask,
                                 CUIDeviceBean &oBean)
{
    QByteArray baCfg;
    DWORD ulResult = DevSession::readConfig(oBean, ulCmdType, baCfg, oBean.m_strFailReason);
    if (ulResult == 0) {
        for (int i = 0; i < baCfg.size() && i < baMask.size() && i < baValues.size(); ++i) {
            if (baMask.at(i) != 0)
                baCfg[i] = baValues.at(i);
        }
        ulResult = DevSession::writeConfig(oBean, ulCmdType, baCfg, oBean.m_strFailReason);
    }
    oBean.m_lStatus = ulResult == 0 ? DevStatusCfgOk : DevStatusCfgFailed;
    emit sendResultSignal(oBean);
}
