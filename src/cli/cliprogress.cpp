#include "cliprogress.h"

#include <unistd.h>

namespace {

constexpr int kBarWidth = 30;
// Without a terminal, a line every this many percent.
constexpr int kLineStep = 10;

} // namespace

CCliProgress::CCliProgress(const QString &strTitle, std::FILE *pOut)
    : m_strTitle(strTitle)
    , m_pOut(pOut)
    , m_bTerminal(isatty(fileno(pOut)) != 0)
{
}

void CCliProgress::show(int iPercent, int iDone, int iTotal)
{
    iPercent = qBound(0, iPercent, 100);
    const QString strCount = tr("%1/%2 台设备").arg(iDone).arg(iTotal);
    if (m_bTerminal) {
        const int iFilled = iPercent * kBarWidth / 100;
        const QString strBar = QString(iFilled, QLatin1Char('#')) + QString(kBarWidth - iFilled, QLatin1Char('-'));
        std::fprintf(m_pOut, "\r%s [%s] %3d%% %s", qUtf8Printable(m_strTitle), qUtf8Printable(strBar), iPercent,
                     qUtf8Printable(strCount));
        std::fflush(m_pOut);
        m_iShown = iPercent;
        return;
    }
    if (m_iShown >= 0 && iPercent / kLineStep == m_iShown / kLineStep && iPercent != 100)
        return;
    if (iPercent == m_iShown)
        return;
    m_iShown = iPercent;
    std::fprintf(m_pOut, "%s %d%% %s\n", qUtf8Printable(m_strTitle), iPercent, qUtf8Printable(strCount));
    std::fflush(m_pOut);
}

void CCliProgress::finish()
{
    if (m_bTerminal && m_iShown >= 0)
        std::fputc('\n', m_pOut);
}
