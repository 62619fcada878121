#include "zeltplayer.h"

#include "zeltlog.h"
#include "zeltplaystats.h"
#include "zeltstream.h"

#include "zelt_mw_sdk.h"

#include <QApplication>
#include <QBuffer>
#include <QEvent>
#include <QImage>
#include <QImageReader>
#include <QResizeEvent>
#include <QPainter>
#include <QPointer>
#include <QThread>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>

namespace corvane::zelt {

namespace {

uint64_t monotonicNs()
{
    return uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count());
}

struct DecodedFrame
{
    DWORD stream = 0;
    QImage image;
    uint64_t sentNs = 0;
    uint64_t decodeNs = 0;
};

// Paints the latest frame over the widget, fitted with black bars.
class FrameRenderer : public QObject
{
public:
    FrameRenderer(QWidget *widget, HWND hWnd) : QObject(widget), m_widget(widget), m_hWnd(hWnd)
    {
        widget->installEventFilter(this);
        storeSize(widget->size());
    }

    void setFrame(const DecodedFrame &frame)
    {
        m_frame = frame;
        m_fresh = true;
        ++m_stats.framesDecoded;
        m_stats.decodeNs += frame.decodeNs;
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

    const ZeltPlayStats &stats() const { return m_stats; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_widget && event->type() == QEvent::Resize)
            storeSize(static_cast<QResizeEvent *>(event)->size());
        if (watched != m_widget || event->type() != QEvent::Paint || m_frame.image.isNull())
            return false;
        const uint64_t start = monotonicNs();
        {
            QPainter painter(m_widget);
            const QRect area = m_widget->rect();
            const QSize fitted = m_frame.image.size().scaled(area.size(), Qt::KeepAspectRatio);
            const QRect target(QPoint((area.width() - fitted.width()) / 2, (area.height() - fitted.height()) / 2),
                               fitted);
            painter.fillRect(area, Qt::black);
            if (fitted == m_frame.image.size())
                painter.drawImage(target.topLeft(), m_frame.image);
            else
                painter.drawImage(target, m_frame.image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        }
        if (m_fresh) {
            m_fresh = false;
            const uint64_t end = monotonicNs();
            ++m_stats.framesShown;
            m_stats.paintNs += end - start;
            if (m_frame.sentNs != 0 && end > m_frame.sentNs) {
                const uint64_t latency = end - m_frame.sentNs;
                m_stats.latencyNs += latency;
                m_stats.latencyMaxNs = std::max(m_stats.latencyMaxNs, latency);
            }
        }
        return true;
    }

private:
    // Stream threads decode frames at the size the window shows them.
    void storeSize(const QSize &size);

    QPointer<QWidget> m_widget;
    const HWND m_hWnd;
    DecodedFrame m_frame;
    bool m_fresh = false;
    ZeltPlayStats m_stats {};
};

struct PlayerRegistry
{
    std::mutex mutex;
    std::map<HWND, DWORD> bindings;                       // any thread, under the mutex
    std::map<HWND, QSize> sizes;                          // shown size per window, under the mutex
    // The newest frame per window not yet handed to its renderer, under the
    // mutex; while one waits, one call to hand it over is on its way.
    std::map<HWND, DecodedFrame> pending;
    std::map<HWND, QPointer<FrameRenderer>> renderers;    // user-interface thread only
};

// Never destroyed: stream threads may deliver while the process exits.
PlayerRegistry &registry()
{
    static PlayerRegistry *r = new PlayerRegistry;
    return *r;
}

void FrameRenderer::storeSize(const QSize &size)
{
    std::lock_guard<std::mutex> lock(registry().mutex);
    registry().sizes[m_hWnd] = size;
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
    std::lock_guard<std::mutex> lock(registry().mutex);
    registry().sizes.erase(hWnd);
    registry().pending.erase(hWnd);
}

bool attachRenderer(HWND hWnd)
{
    QWidget *widget = QWidget::find(WId(reinterpret_cast<quintptr>(hWnd)));
    if (!widget)
        return false;
    dropRenderer(hWnd);
    registry().renderers[hWnd] = new FrameRenderer(widget, hWnd);
    return true;
}

// On the user-interface thread: the window's newest frame, if the window is
// still bound to the stream it came from.
void showPending(HWND hWnd)
{
    DecodedFrame frame;
    {
        std::lock_guard<std::mutex> lock(registry().mutex);
        const auto it = registry().pending.find(hWnd);
        if (it == registry().pending.end())
            return;
        frame = std::move(it->second);
        registry().pending.erase(it);
        const auto binding = registry().bindings.find(hWnd);
        if (binding == registry().bindings.end() || binding->second != frame.stream)
            return;
    }
    const auto it = registry().renderers.find(hWnd);
    if (it != registry().renderers.end() && it->second)
        it->second->setFrame(frame);
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

void deliverFrame(DWORD streamHandle, const std::vector<uint8_t> &jpeg, uint64_t sentNs)
{
    std::vector<HWND> windows;
    QSize shown;
    {
        std::lock_guard<std::mutex> lock(registry().mutex);
        for (const auto &binding : registry().bindings) {
            if (binding.second != streamHandle)
                continue;
            windows.push_back(binding.first);
            const auto size = registry().sizes.find(binding.first);
            if (size != registry().sizes.end())
                shown = shown.expandedTo(size->second);
        }
    }
    QCoreApplication *app = QCoreApplication::instance();
    if (windows.empty() || !app)
        return;
    const uint64_t start = monotonicNs();
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char *>(jpeg.data()), int(jpeg.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer, "JPEG");
    // A smaller picture is decoded at the shown size right away (the decoder
    // scales while it decodes), which is far cheaper than scaling when painting.
    const QSize full = reader.size();
    if (full.isValid() && shown.isValid() && !shown.isEmpty()) {
        const QSize fitted = full.scaled(shown, Qt::KeepAspectRatio);
        if (fitted.width() < full.width())
            reader.setScaledSize(fitted);
    }
    // Below 50 the decoder takes its fast integer transform and plain chroma
    // upsampling: a live picture does not need more and it roughly halves
    // the decode time of a full-HD frame.
    reader.setQuality(49);
    DecodedFrame frame;
    frame.image = reader.read();
    if (frame.image.isNull())
        return;
    frame.stream = streamHandle;
    frame.sentNs = sentNs;
    frame.decodeNs = monotonicNs() - start;
    // A busy user-interface thread gets only the newest frame per window:
    // older ones are replaced, never queued up.
    for (HWND hWnd : windows) {
        bool bPosted = false;
        {
            std::lock_guard<std::mutex> lock(registry().mutex);
            auto &pending = registry().pending;
            bPosted = pending.count(hWnd) != 0;
            pending[hWnd] = frame;
        }
        if (!bPosted)
            QMetaObject::invokeMethod(app, [hWnd] { showPending(hWnd); }, Qt::QueuedConnection);
    }
}

} // namespace corvane::zelt

DWORD ZELT_DBG_GetPlayStats(HWND hWnd, ZeltPlayStats *pStats)
{
    using namespace corvane::zelt;
    if (!pStats)
        return ZELT_MW_ERR_PARAM;
    const auto it = registry().renderers.find(hWnd);
    if (it == registry().renderers.end() || !it->second)
        return ZELT_MW_ERR_NO_WINDOW;
    *pStats = it->second->stats();
    return ZELT_MW_OK;
}
