#ifndef WAITDLG_H
#define WAITDLG_H

#include <QDialog>

class QLabel;
class QMovie;

// Frameless, translucent overlay with a looping loading animation. The owner
// shows it (modal, non-blocking) and closes it; closing destroys it.
class CWaitDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CWaitDlg(QWidget *parent = nullptr);
    ~CWaitDlg() override;

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QLabel *m_pMovieLabel;
    QMovie *m_pMovie;
};

#endif // WAITDLG_H
