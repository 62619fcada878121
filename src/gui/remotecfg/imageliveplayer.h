#ifndef IMAGELIVEPLAYER_H
#define IMAGELIVEPLAYER_H

#include "devtypes.h"

#include <QByteArray>

class QWidget;

// The live picture of the image page: which stream plays into which native
// window of the picture widget. The calls return the library's result
// (0 success); the page reports failures.
class CImageLivePlayer
{
public:
    bool isPlaying() const { return m_bPlaying; }

    // Plays the stream into the picture's native window. The stream counts as
    // playing before that window exists, so that a window change its creation
    // reports is followed, and even when the player fails, so that stop()
    // still ends the stream.
    DWORD start(QWidget *pPicture, DWORD ulStreamHd);
    // Stops the player and the stream; 0 when nothing was playing.
    DWORD stop(const QByteArray &userId);
    // Moves the player to the picture's current native window; 0 when nothing
    // plays or the window is the same.
    DWORD follow(QWidget *pPicture);
    // Ends what plays, opens the stream again and plays it; the library's
    // result of the stream start or of the player.
    DWORD restart(QWidget *pPicture, const QByteArray &userId);
    // 0 while the playing stream still receives frames; the code that ended it otherwise.
    DWORD endResult() const;

private:
    DWORD play();

    bool m_bPlaying = false;
    DWORD m_ulStreamHd = 0;
    HWND m_hPlayWnd = nullptr;
};

#endif // IMAGELIVEPLAYER_H
