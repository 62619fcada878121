#ifndef VIDEOWIDGET_H
#define VIDEOWIDGET_H

#include <QImage>
#include <QWidget>

// The live picture area of the image page. It can leave its place in the page
// for the whole screen and come back (context menu or double-click). Its
// native window changes with that, so whoever plays into it is told.
class CVideoWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CVideoWidget(QWidget *parent = nullptr);

    bool isNormalShow() const { return m_bNormalShow; }
    // A decoded picture to paint, for players that hand over frames instead
    // of drawing into the native window; a null image stops painting.
    void showFrame(const QImage &image);
    const QImage &frame() const { return m_image; }

signals:
    // After a switch or any other change of the native window: winId() may
    // differ from before.
    void sendScreenChangedSignal();

public slots:
    void m_FullScreen_slot();
    void m_RestoreScreen_slot();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool m_bNormalShow = true;
    QImage m_image;
};

#endif // VIDEOWIDGET_H
