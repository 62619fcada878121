#include "imageliveplayer.h"

#include "devsession.h"
#include "imagecfgfields.h"

#include "zelt_mw_sdk.h"

#include <QWidget>

namespace {

HWND windowOf(QWidget *pWidget)
{
    return reinterpret_cast<HWND>(pWidget->winId());
}

} // namespace

DWORD CImageLivePlayer::start(QWidget *pPicture, DWORD ulStreamHd)
{
    m_ulStreamHd = ulStreamHd;
    m_bPlaying = true;
    m_hPlayWnd = windowOf(pPicture);
    return play();
}

DWORD CImageLivePlayer::stop(const QByteArray &userId)
{
    if (!m_bPlaying)
        return 0;
    m_bPlaying = false;
    const DWORD ulPlay = ZELT_MW_StopPlay(m_hPlayWnd);
    if (ulPlay != 0)
        qCDebug(lcImageCfg) << "ZELT_MW_StopPlay Failed" << ulPlay;
    m_hPlayWnd = nullptr;
    const DWORD ulStream = ZELT_MW_StopMediaStream(userId.constData(), m_ulStreamHd);
    if (ulStream != 0)
        qCDebug(lcImageCfg) << "ZELT_MW_StopMediaStream Failed" << ulStream;
    return ulStream;
}

DWORD CImageLivePlayer::follow(QWidget *pPicture)
{
    if (!m_bPlaying)
        return 0;
    const HWND hWnd = windowOf(pPicture);
    if (hWnd == m_hPlayWnd)
        return 0;
    const DWORD ulStop = ZELT_MW_StopPlay(m_hPlayWnd);
    if (ulStop != 0)
        qCDebug(lcImageCfg) << "ZELT_MW_StopPlay Failed" << ulStop;
    m_hPlayWnd = hWnd;
    return play();
}

DWORD CImageLivePlayer::restart(QWidget *pPicture, const QByteArray &userId)
{
    stop(userId);
    DWORD ulStreamHd = 0;
    const DWORD ulResult = DevSession::startLiveStream(userId, ulStreamHd);
    if (!DevSession::isStreamRunning(ulResult))
        return ulResult;
    return start(pPicture, ulStreamHd);
}

DWORD CImageLivePlayer::endResult() const
{
    DWORD ulEnd = 0;
    if (m_bPlaying && ZELT_MW_GetStreamState(m_ulStreamHd, &ulEnd) != 0)
        return ZELT_MW_ERR_STREAM;
    return ulEnd;
}

DWORD CImageLivePlayer::play()
{
    const DWORD ulResult = ZELT_MW_StartPlay(m_hPlayWnd, m_ulStreamHd);
    if (ulResult != 0)
        qCDebug(lcImageCfg) << "ZELT_MW_StartPlay failed:" << ulResult;
    return ulResult;
}
