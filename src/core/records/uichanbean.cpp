#include "uichanbean.h"

QString CUIChanBean::chanName(qint32 lChanNum, const QString &strDevType)
{
    return QString::number(lChanNum) + QLatin1Char('(') + strDevType + QLatin1Char(')');
}
