#ifndef MEDIAREPORTBAR_H
#define MEDIAREPORTBAR_H

#include "cfgreport.h"

#include <QFrame>

class QLabel;

// The report frame of the stream and picture pages, built in code: the
// same strip and rules as the other configuration pages (CCfgReport).
class CMediaReportBar : public QFrame
{
    Q_OBJECT

public:
    explicit CMediaReportBar(QWidget *parent = nullptr);
    // strReason empty: success.
    void report(const QString &strText, const QString &strReason = QString());
    QString text() const;

private:
    QLabel *m_pIcon;
    QLabel *m_pText;
    CCfgReport *m_pReport;
};

#endif // MEDIAREPORTBAR_H
