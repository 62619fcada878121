#ifndef DIALOGFRAME_H
#define DIALOGFRAME_H

#include <QObject>
#include <QPoint>

class QDialog;

// Gives a frameless dialog a one-pixel border and a caption strip showing its
// window title, which also drags the dialog. The dialog's children move down
// below the strip and the dialog grows by its height.
class CDialogFrame : public QObject
{
    Q_OBJECT

public:
    static constexpr int CaptionHeight = 28;

    static CDialogFrame *decorate(QDialog *pDlg);

protected:
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override;

private:
    explicit CDialogFrame(QDialog *pDlg);
    void paint();

    QDialog *m_pDlg;
    QPoint m_posPress;
    bool m_bDragging = false;
};

#endif // DIALOGFRAME_H
