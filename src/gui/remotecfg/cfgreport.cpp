#include "cfgreport.h"

#include <QFrame>
#include <QLabel>

CCfgReport::CCfgReport(QFrame *pFrame, QLabel *pIconLabel, QLabel *pTextLabel, QObject *parent)
    : QObject(parent)
    , m_pFrame(pFrame)
    , m_pIconLabel(pIconLabel)
    , m_pTextLabel(pTextLabel)
{
    m_timer.setSingleShot(true);
}

void CCfgReport::show(const QString &strResult, ulong ulResult)
{
    m_timer.stop();
    m_pTextLabel->setText(strResult);
    if (ulResult != 0) {
        m_pIconLabel->setStyleSheet(QStringLiteral(
            "QLabel#oIconLabel {background-image:url(:/images/dev_cfg_failed.png);}"));
        m_timer.start(5000);
    } else {
        m_pIconLabel->setStyleSheet(QStringLiteral(
            "QLabel#oIconLabel {background-image:url(:/images/dev_cfg_succeed.png);}"));
        m_timer.start(2000);
    }
    m_pFrame->setStyleSheet(QStringLiteral("background-color:rgb(255, 255, 153)"));
}

void CCfgReport::showNote(const QString &strText)
{
    show(strText, 1);
    m_timer.stop();
}

void CCfgReport::clear()
{
    m_pIconLabel->setStyleSheet(QStringLiteral("QLabel#oIconLabel {background-image:none;}"));
    m_pTextLabel->clear();
    m_pFrame->setStyleSheet(QStringLiteral("background-color:rgb(240, 240, 240)"));
}
