#ifndef CFGREPORT_H
#define CFGREPORT_H

#include <QObject>
#include <QString>
#include <QTimer>

class QFrame;
class QLabel;

// The report frame of a configuration page: an icon and a text on a yellow
// strip that clears itself after 2 s (success) or 5 s (failure). Each page
// keeps its showReportSlot / onShowReportTimer slots and forwards to this.
class CCfgReport : public QObject
{
    Q_OBJECT

public:
    CCfgReport(QFrame *pFrame, QLabel *pIconLabel, QLabel *pTextLabel, QObject *parent);

    // ulResult 0 shows success, anything else failure.
    void show(const QString &strResult, ulong ulResult);
    // A failure that stays until the page is closed (nothing to clear it).
    void showNote(const QString &strText);
    void clear();
    QTimer *timer() { return &m_timer; }

private:
    QFrame *m_pFrame;
    QLabel *m_pIconLabel;
    QLabel *m_pTextLabel;
    QTimer m_timer;
};

#endif // CFGREPORT_H
