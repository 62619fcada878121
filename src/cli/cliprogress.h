#ifndef CLIPROGRESS_H
#define CLIPROGRESS_H

#include <QCoreApplication>
#include <QString>

#include <cstdio>

// Progress of a long command on standard error: a bar redrawn in place on a
// terminal, a line per percent step otherwise, so that logs stay readable.
class CCliProgress
{
    Q_DECLARE_TR_FUNCTIONS(CCliProgress)

public:
    CCliProgress(const QString &strTitle, std::FILE *pOut = stderr);

    void show(int iPercent, int iDone, int iTotal);
    // Ends the bar's line.
    void finish();

private:
    QString m_strTitle;
    std::FILE *m_pOut;
    bool m_bTerminal;
    int m_iShown = -1;
};

#endif // CLIPROGRESS_H
