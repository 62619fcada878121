#ifndef UICHANBEAN_H
#define UICHANBEAN_H

#include <QList>
#include <QMetaType>
#include <QString>

// One row of the capacity calculator: a group of identical channels.
class CUIChanBean
{
public:
    CUIChanBean() = default;
    CUIChanBean(const CUIChanBean &) = default;
    CUIChanBean &operator=(const CUIChanBean &) = default;
    virtual ~CUIChanBean() = default;

    // Text of the channel column: "4(IPC)" for 4 channels of type IPC.
    static QString chanName(qint32 lChanNum, const QString &strDevType);

    qint32 m_lChanNum = 0;
    qint32 m_lChanId = -1;
    qint32 m_lBitRate = 0;      // kbit/s of one channel
    qint32 m_lBestBitRate = 0;  // recommended kbit/s, shown only
    qint32 m_lTotalBitRate = 0; // m_lChanNum * m_lBitRate, what the results read
    qint32 m_lEncFmt = 0;
    QString m_strResolution;
    QString m_strFrameRate;
    QString m_strChanName;
};

Q_DECLARE_METATYPE(CUIChanBean)
Q_DECLARE_METATYPE(QList<CUIChanBean>)

#endif // UICHANBEAN_H
