#include "mediareportbar.h"

#include <QHBoxLayout>
#include <QLabel>

CMediaReportBar::CMediaReportBar(QWidget *parent)
    : QFrame(parent)
    , m_pIcon(new QLabel(this))
    , m_pText(new QLabel(this))
{
    setObjectName(QStringLiteral("oReportFrame"));
    m_pIcon->setObjectName(QStringLiteral("oIconLabel"));
    m_pIcon->setFixedSize(16, 16);
    m_pText->setObjectName(QStringLiteral("oReportLabel"));
    m_pText->setWordWrap(true);
    auto *pLayout = new QHBoxLayout(this);
    pLayout->addWidget(m_pIcon);
    pLayout->addWidget(m_pText, 1);
    m_pReport = new CCfgReport(this, m_pIcon, m_pText, this);
    connect(m_pReport->timer(), &QTimer::timeout, m_pReport, &CCfgReport::clear);
}

void CMediaReportBar::report(const QString &strText, const QString &strReason)
{
    if (strReason.isEmpty())
        m_pReport->show(strText, 0);
    else
        m_pReport->show(tr("%1：%2").arg(strText, strReason), 1);
}

QString CMediaReportBar::text() const
{
    return m_pText->text();
}
