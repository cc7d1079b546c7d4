// The web engine behind the program's browser. Built as a module of its own and loaded on
// the first page shown, so that starting the editor never loads Qt WebEngine.
#include "preview/BrowserEngine.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QOpenGLContext>
#include <QQuickWidget>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <QGuiApplication>

QT_BEGIN_NAMESPACE
// Qt's own modules share graphics contexts through these (exported by Qt GUI).
Q_GUI_EXPORT QOpenGLContext *qt_gl_global_share_context();
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
QT_END_NAMESPACE

namespace {

// The engine renders through a graphics context shared with the application. A program
// that links the engine gets it at start; loaded later, the module makes it itself, so
// the editor does not pay for graphics it only needs once a page is shown.
void provideSharedContext()
{
    if (qt_gl_global_share_context())
        return;
    auto *context = new QOpenGLContext(qApp);
    context->setFormat(QSurfaceFormat::defaultFormat());
    context->create();
    qt_gl_set_global_share_context(context);
}

// The engine's own right-click menu is English and offers what a preview has no use
// for; the program's menu has the few commands that make sense there, in Czech.
class PreviewView final : public QWebEngineView
{
public:
    using QWebEngineView::QWebEngineView;

protected:
    // Hidden, the engine would drop its picture of the page and draw it anew when the
    // preview shows again: a fifth of a second each time the user comes back to it. To the
    // engine the page stays visible; nothing of it is on the screen meanwhile.
    void hideEvent(QHideEvent *event) override
    {
        QWebEngineView::hideEvent(event);
        page()->setVisible(true);
    }

    void contextMenuEvent(QContextMenuEvent *event) override
    {
        auto *menu = new QMenu(this);
        menu->setObjectName(QStringLiteral("previewContextMenu"));
        menu->setAttribute(Qt::WA_DeleteOnClose);
        auto add = [this, menu](const QString &text, QWebEnginePage::WebAction action, bool enabled) {
            QAction *a = menu->addAction(text, this, [this, action] { triggerPageAction(action); });
            a->setEnabled(enabled);
        };
        add(QStringLiteral("Kopírovat"), QWebEnginePage::Copy, hasSelection());
        add(QStringLiteral("Vybrat vše"), QWebEnginePage::SelectAll, true);
        menu->addSeparator();
        add(QStringLiteral("Zpět"), QWebEnginePage::Back, history()->canGoBack());
        add(QStringLiteral("Vpřed"), QWebEnginePage::Forward, history()->canGoForward());
        add(QStringLiteral("Obnovit"), QWebEnginePage::Reload, true);
        menu->popup(event->globalPos());
        event->accept();
    }
};

class WebEngineBrowser final : public BrowserEngine
{
public:
    explicit WebEngineBrowser(QWidget *parent)
        : m_view(new PreviewView(parent))
    {
        QObject::connect(m_view, &QWebEngineView::urlChanged, m_view, [this](const QUrl &url) {
            if (m_callbacks.urlChanged)
                m_callbacks.urlChanged(url);
        });
        QObject::connect(m_view, &QWebEngineView::loadFinished, m_view, [this](bool ok) {
            if (!m_scrollToId.isEmpty()) {
                m_view->page()->runJavaScript(
                    QStringLiteral("(function() { var e = document.getElementById('%1');"
                                   " if (e) e.scrollIntoView({block: 'center'}); })();")
                        .arg(m_scrollToId));
                m_scrollToId.clear();
            } else if (m_keepScroll) {
                m_view->page()->runJavaScript(QStringLiteral("window.scrollTo(%1, %2);")
                                                  .arg(m_scroll.x())
                                                  .arg(m_scroll.y()));
            }
            m_keepScroll = false;
            if (m_callbacks.loadFinished)
                m_callbacks.loadFinished(ok);
        });
        // The browser shows the view as a window of its own. The part of the view that draws
        // appears only once a page loads, and Qt would then destroy the view's window and
        // make it anew with an OpenGL surface, outside the container that shows it: the
        // preview stays blank. A hidden widget that draws the same way makes Qt choose that
        // surface when the window is first made.
        auto *surfaceHint = new QQuickWidget(m_view);
        surfaceHint->hide();
        // The view owns the engine object: both go when the caller deletes the widget.
        QObject::connect(m_view, &QObject::destroyed, m_view, [this] { delete this; });
    }

    QWidget *widget() override { return m_view; }
    void setCallbacks(Callbacks callbacks) override { m_callbacks = std::move(callbacks); }
    void setDefaultEncoding(const QString &encoding) override
    {
        m_view->settings()->setDefaultTextEncoding(encoding);
    }
    void load(const QUrl &url) override
    {
        m_shownBase.clear();
        m_view->setUrl(url);
    }
    void showHtml(const QString &html, const QUrl &baseUrl, const QString &scrollToId) override
    {
        m_scrollToId = scrollToId;
        // A page put in anew starts at its top; the same page again goes back to where the
        // user had scrolled it once it has loaded.
        const bool same = m_shownBase == baseUrl && !baseUrl.isEmpty();
        // While one update still loads, the place to go back to is the one before it.
        if (same && !m_keepScroll)
            m_scroll = m_view->page()->scrollPosition();
        m_keepScroll = same;
        m_shownBase = baseUrl;
        m_view->setHtml(html, baseUrl);
    }
    void back() override { m_view->back(); }
    void forward() override { m_view->forward(); }
    void stop() override { m_view->stop(); }
    void reload(bool bypassCache) override
    {
        m_view->triggerPageAction(bypassCache ? QWebEnginePage::ReloadAndBypassCache
                                              : QWebEnginePage::Reload);
    }
    QUrl url() const override { return m_view->url(); }
    QPointF scrollPosition() const override { return m_view->page()->scrollPosition(); }
    void readPageText(std::function<void(const QString &)> done) override
    {
        m_view->page()->toPlainText(std::move(done));
    }
    void copySelection() override { m_view->triggerPageAction(QWebEnginePage::Copy); }
    void selectAll() override { m_view->triggerPageAction(QWebEnginePage::SelectAll); }

private:
    QWebEngineView *m_view;
    Callbacks m_callbacks;
    QUrl m_shownBase; // of the markup shown last
    bool m_keepScroll = false;
    QPointF m_scroll;
    QString m_scrollToId; // of the element to bring into view once the page has loaded
};

} // namespace

extern "C" Q_DECL_EXPORT BrowserEngine *brisko_create_browser_engine(QWidget *parent)
{
    provideSharedContext();
    return new WebEngineBrowser(parent);
}
