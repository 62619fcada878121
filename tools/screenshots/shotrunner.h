#ifndef SHOTRUNNER_H
#define SHOTRUNNER_H

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

class QWidget;

// Runs a list of steps against the live program and saves a picture per step.
// A step opens something (which may block in a modal dialog), waits until the
// widget to take is ready, saves it and closes what it opened. A step whose
// widget never appears is skipped with a note, so the list can name windows
// that are not built yet.
class CShotRunner : public QObject
{
    Q_OBJECT

public:
    struct Step
    {
        QString strName;                         // picture file name without .png; empty: no picture
        std::function<void()> open;              // may block in a modal dialog
        std::function<QWidget *()> ready;        // the widget to take once ready, else nullptr
        std::function<void(QWidget *)> close;    // default: reject a dialog, close anything else
        int nTimeoutMs = 15000;
        bool bLeavesOpen = false;                // the next steps run inside the dialog this one opened
    };

    explicit CShotRunner(const QString &strOutDir, QObject *parent = nullptr);

    void add(const Step &step);
    void start();
    // Ends the current step without a picture, with a note saying why.
    void skip(const QString &strReason);
    const QStringList &notes() const { return m_listNotes; }
    const QStringList &saved() const { return m_listSaved; }

    // The visible top-level widget that inherits the class, or nullptr.
    static QWidget *topLevel(const char *szClassName);
    // Closes every modal dialog and popup that is still open.
    static void closeStrays();

signals:
    void finished();

private:
    void runStep();
    void poll();
    void take(QWidget *pWidget);
    void endStep();
    void queueNext();
    void next();

    QString m_strOutDir;
    QList<Step> m_listSteps;
    int m_nCurrent = -1;
    bool m_bInOpen = false;
    bool m_bStepDone = false;
    bool m_bNextQueued = false;
    QTimer m_pollTimer;
    QWidget *m_pCandidate = nullptr;   // ready widget waiting to settle
    qint64 m_nReadySince = 0;
    QElapsedTimer m_elapsed;
    QStringList m_listNotes;
    QStringList m_listSaved;
};

#endif // SHOTRUNNER_H
