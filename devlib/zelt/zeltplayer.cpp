#include "zeltplayer.h"

#include "zeltlog.h"
#include "zeltstream.h"

#include "zelt_mw_sdk.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QThread>
#include <QWidget>

#include <map>
#include <mutex>

namespace corvane::zelt {

namespace {

// Paints the latest frame over the widget, scaled to fit with black bars.
class FrameRenderer : public QObject
{
public:
    explicit FrameRenderer(QWidget *widget) : QObject(widget), m_widget(widget)
    {
        widget->installEventFilter(this);
    }

    void setImage(const QImage &image)
    {
        m_image = image;
        if (m_widget)
            m_widget->update();
    }

    void detach()
    {
        if (m_widget) {
            m_widget->removeEventFilter(this);
            m_widget->update();
        }
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_widget || event->type() != QEvent::Paint || m_image.isNull())
            return false;
        QPainter painter(m_widget);
        const QRect area = m_widget->rect();
        painter.fillRect(area, Qt::black);
        const QImage scaled = m_image.scaled(area.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        painter.drawImage((area.width() - scaled.width()) / 2, (area.height() - scaled.height()) / 2, scaled);
        return true;
    }

private:
    QPointer<QWidget> m_widget;
    QImage m_image;
};

struct PlayerRegistry
{
    std::mutex mutex;
    std::map<HWND, DWORD> bindings;                       // any thread, under the mutex
    std::map<HWND, QPointer<FrameRenderer>> renderers;    // user-interface thread only
};

// Never destroyed: stream threads may deliver while the process exits.
PlayerRegistry &registry()
{
    static PlayerRegistry *r = new PlayerRegistry;
    return *r;
}

bool onUiThread()
{
    QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void dropRenderer(HWND hWnd)
{
    auto &renderers = registry().renderers;
    const auto it = renderers.find(hWnd);
    if (it == renderers.end())
        return;
    if (it->second) {
        it->second->detach();
        delete it->second.data();
    }
    renderers.erase(it);
}

bool attachRenderer(HWND hWnd)
{
    QWidget *widget = QWidget::find(WId(reinterpret_cast<quintptr>(hWnd)));
    if (!widget)
        return false;
    dropRenderer(hWnd);
    registry().renderers[hWnd] = new FrameRenderer(widget);
    return true;
}

bool boundTo(HWND hWnd, DWORD streamHandle)
{
    std::lock_guard<std::mutex> lock(registry().mutex);
    const auto it = registry().bindings.find(hWnd);
    return it != registry().bindings.end() && it->second == streamHandle;
}

} // namespace

DWORD startPlay(HWND hWnd, DWORD streamHandle)
{
    if (!hWnd || !qobject_cast<QApplication *>(QCoreApplication::instance()))
        return ZELT_MW_ERR_NO_WINDOW;
    if (!streamExists(streamHandle))
        return ZELT_MW_ERR_STREAM;
    if (onUiThread()) {
        if (!attachRenderer(hWnd)) {
            logLine(LogError, "play: no window for the handle given");
            return ZELT_MW_ERR_NO_WINDOW;
        }
    } else {
        QMetaObject::invokeMethod(QCoreApplication::instance(), [hWnd] { attachRenderer(hWnd); },
                                  Qt::QueuedConnection);
    }
    std::lock_guard<std::mutex> lock(registry().mutex);
    registry().bindings[hWnd] = streamHandle;
    return ZELT_MW_OK;
}

DWORD stopPlay(HWND hWnd)
{
    {
        std::lock_guard<std::mutex> lock(registry().mutex);
        if (registry().bindings.erase(hWnd) == 0)
            return ZELT_MW_ERR_NO_WINDOW;
    }
    if (onUiThread())
        dropRenderer(hWnd);
    else if (QCoreApplication *app = QCoreApplication::instance())
        QMetaObject::invokeMethod(app, [hWnd] { dropRenderer(hWnd); }, Qt::QueuedConnection);
    return ZELT_MW_OK;
}

void deliverFrame(DWORD streamHandle, const std::vector<uint8_t> &jpeg)
{
    std::vector<HWND> windows;
    {
        std::lock_guard<std::mutex> lock(registry().mutex);
        for (const auto &binding : registry().bindings) {
            if (binding.second == streamHandle)
                windows.push_back(binding.first);
        }
    }
    QCoreApplication *app = QCoreApplication::instance();
    if (windows.empty() || !app)
        return;
    const QImage image = QImage::fromData(jpeg.data(), int(jpeg.size()), "JPEG");
    if (image.isNull())
        return;
    QMetaObject::invokeMethod(app, [windows, streamHandle, image] {
        for (HWND hWnd : windows) {
            const auto it = registry().renderers.find(hWnd);
            if (it != registry().renderers.end() && it->second && boundTo(hWnd, streamHandle))
                it->second->setImage(image);
        }
    }, Qt::QueuedConnection);
}

} // namespace corvane::zelt
