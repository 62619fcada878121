#ifndef CORVANEMAINWIND_H
#define CORVANEMAINWIND_H

#include <QPoint>
#include <QScopedPointer>
#include <QWidget>

class CCapCalculateForm;
class CDevManageForm;
class CFrameStatue;
class CFrameTitle;

namespace Ui {
class CCorvaneMainWind;
}

// The one top-level window: title bar, the device and capacity tabs, status bar.
// Frameless; maximises into the screen's available area and restores to 800 x 600.
class CCorvaneMainWind : public QWidget
{
    Q_OBJECT

public:
    explicit CCorvaneMainWind(QWidget *parent = nullptr);
    ~CCorvaneMainWind() override;

    bool isMaximizedByTitle() const { return m_bMaximized; }

signals:
    void sendIsMaxWindow(bool isMax);

public slots:
    void showMaxSlot();
    void showMinSlot();
    void showAboutSlot();
    ulong showHelpSlot();

protected:
    // Dialogs without a parent open centred on this window, as the others do.
    bool eventFilter(QObject *pWatched, QEvent *pEvent) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QScopedPointer<Ui::CCorvaneMainWind> ui;
    QPoint m_oRestorePos;
    CDevManageForm *m_pDevManageForm = nullptr;
    CCapCalculateForm *m_pCapCalculateForm = nullptr;
    CFrameTitle *m_pFrameTitle = nullptr;
    CFrameStatue *m_pFrameStatue = nullptr;
    bool m_bMaximized = false;
};

#endif // CORVANEMAINWIND_H
