#ifndef WAITDLG_H
#define WAITDLG_H

#include <QDialog>

class QLabel;
class QMovie;

// Frameless, translucent overlay with a looping loading animation. The owner
// shows it (modal, non-blocking) and closes it; closing destroys it. Where the
// window system cannot draw translucent windows (X without a compositor paints
// them black), it becomes a child covering the owner's window instead.
class CWaitDlg : public QDialog
{
    Q_OBJECT

public:
    enum EMode { ModeAuto, ModeWindow, ModeOverlay };

    explicit CWaitDlg(QWidget *parent = nullptr, EMode eMode = ModeAuto);
    ~CWaitDlg() override;

    bool isDrawnOverlay() const { return m_bOverlay; }
    static bool translucencyAvailable();

protected:
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void centreAnimation();

    QLabel *m_pMovieLabel;
    QMovie *m_pMovie;
    bool m_bOverlay;
};

#endif // WAITDLG_H
