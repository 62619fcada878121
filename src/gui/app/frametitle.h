#ifndef FRAMETITLE_H
#define FRAMETITLE_H

#include <QScopedPointer>
#include <QWidget>

class QAction;
class QMenu;

namespace Ui {
class CFrameTitle;
}

// Caption of the frameless main window: logo, help menu, minimise,
// maximise/restore and close; drags the window and maximises on double-click.
class CFrameTitle : public QWidget
{
    Q_OBJECT

public:
    explicit CFrameTitle(QWidget *parent = nullptr);
    ~CFrameTitle() override;

signals:
    void showMaxSignal();
    void showMinSignal();
    void showAboutSignal();
    void showHelpSignal();

public slots:
    void onEnglish();
    void onChinese();
    void about_slot();
    void help_slot();
    void closeWnd();
    void isMaxWindow(bool isMax);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    // lang: the CLangConfig::ELanguage read from the language file; it carries the check mark.
    void buildHelpMenu(int lang);
    void showLanguageNote();
    // The minimise, maximise, close and help buttons sit in the rightmost 170 pixels.
    bool inButtonZone(int x) const;

    QScopedPointer<Ui::CFrameTitle> ui;
    int m_nPressX = 0;
    int m_nPressY = 0;
    bool m_bDragging = false;
    bool m_bMaximized = false;
    QWidget *m_pDragWindow = nullptr;
    QMenu *m_pHelpMenu = nullptr;
    QAction *m_pChineseAction = nullptr;
    QAction *m_pEnglishAction = nullptr;
    QAction *m_pAboutAction = nullptr;
    QAction *m_pManualAction = nullptr;
};

#endif // FRAMETITLE_H
