#include "devrequests.h"
#include "devsession.h"

namespace DevRequests {

QList<CUIDeviceBean> prepareLogin(QList<CUIDeviceBean> &listDev, const QList<int> &listRows,
                                  const QString &strUser, const QString &strPassword,
                                  QList<CUIDeviceBean> &listClose)
{
    QList<CUIDeviceBean> listLogin;
    for (int iRow : listRows) {
        if (iRow < 0 || iRow >= listDev.size())
            continue;
        CUIDeviceBean &dev = listDev[iRow];
        dev.m_strUserName = strUser;
        dev.m_strPassword = strPassword;
        listClose.append(dev);
        // That session is gone: a failed login must not leave its key behind
        // for commands to use as if the device were still logged in.
        dev.m_strLoginKey.clear();
        dev.m_lStatus = DevStatusConnecting;
        listLogin.append(dev);
    }
    return listLogin;
}

CBatchEditNetAddrBean addressChange(const CUIDeviceBean &oDev, const QString &strNewIp, const QString &strMask,
                                    const QString &strGateway, const QString &strInputPassword)
{
    CBatchEditNetAddrBean oRequest;
    oRequest.m_strOldIp = oDev.m_strIp;
    oRequest.m_strUserName = oDev.m_strUserName;
    oRequest.m_strPassword = oDev.m_strPassword;
    oRequest.m_strSerial = oDev.m_strSerial;
    oRequest.m_strMac = oDev.m_strMac;
    oRequest.m_strNewIp = strNewIp;
    oRequest.m_strMask = strMask;
    oRequest.m_strGateway = strGateway;
    oRequest.m_strInputPassword = strInputPassword;
    DevSession::describeForAddressChange(oDev, oRequest);
    return oRequest;
}

QList<CBatchEditNetAddrBean> batchRows(const QList<CUIDeviceBean> &listDev)
{
    QList<CBatchEditNetAddrBean> listRows;
    for (const CUIDeviceBean &dev : listDev) {
        CBatchEditNetAddrBean oRow;
        oRow.m_strName = dev.m_strModel + QLatin1Char('_') + dev.m_strIp;
        oRow.m_strOldIp = dev.m_strIp;
        oRow.m_strPassword = dev.m_strPassword;
        oRow.m_strUserName = dev.m_strUserName;
        oRow.m_strSerial = dev.m_strSerial;
        oRow.m_strMac = dev.m_strMac;
        oRow.m_strInputPassword = dev.m_strPassword;
        DevSession::describeForAddressChange(dev, oRow);
        listRows.append(oRow);
    }
    return listRows;
}

} // namespace DevRequests
