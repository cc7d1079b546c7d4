#include "WebBrowser.h"

#include "preview/BrowserEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLibrary>
#include <QPointer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QString g_modulePath;

QString defaultModulePath()
{
    const QString dir = QCoreApplication::applicationDirPath();
    const QString file = QStringLiteral(BRISKO_BROWSER_MODULE_FILE);
    // Beside the executable in the build tree (and in a folder unpacked anywhere); installed,
    // in the program's own folder under the prefix, reached from bin/.
    const QString beside = QDir(dir).filePath(file);
    if (QFileInfo::exists(beside))
        return beside;
    return QDir::cleanPath(dir + u'/' + QStringLiteral(BRISKO_INSTALLED_MODULE_DIR) + u'/' + file);
}

struct LoadedModule
{
    QString path;
    BrowserEngineFactory factory = nullptr;
    QString error;
};

// Loaded after the application started, the engine warns that it was not set up before
// it; the module makes up for that itself, so the warning says nothing to the user.
QtMessageHandler g_previousHandler = nullptr;

void quietEngineWarning(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtWarningMsg && text.startsWith(u"Qt WebEngine seems to be initialized from a plugin"_s))
        return;
    g_previousHandler(type, context, text);
}

// The module stays loaded for the rest of the run: a web engine cannot be unloaded.
const LoadedModule &engineModule()
{
    static LoadedModule module;
    const QString path = WebBrowser::engineModulePath();
    if (module.factory && module.path == path)
        return module;
    module = LoadedModule{path, nullptr, {}};
    QLibrary library(path);
    g_previousHandler = qInstallMessageHandler(quietEngineWarning);
    const bool loaded = library.load();
    qInstallMessageHandler(g_previousHandler);
    if (!loaded) {
        module.error = library.errorString();
        return module;
    }
    module.factory = reinterpret_cast<BrowserEngineFactory>(
        library.resolve(BRISKO_BROWSER_ENGINE_FACTORY));
    if (!module.factory)
        module.error = library.errorString();
    return module;
}

// Keeps the view as large as the container that shows it. Shown, a window of its own takes
// the size its widget last had (or a default one), not the container's: the page would
// cover only a corner of the preview.
class EngineViewSizer final : public QObject
{
public:
    EngineViewSizer(QWidget *container, QWidget *view)
        : QObject(container)
        , m_view(view)
    {
        container->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (m_view && (event->type() == QEvent::Show || event->type() == QEvent::Resize))
            m_view->resize(static_cast<QWidget *>(watched)->size());
        return false;
    }

private:
    QPointer<QWidget> m_view;
};

// The view draws with OpenGL. Made a child widget of the browser, it would have Qt destroy
// the whole window around it and create it anew with an OpenGL surface: the main window
// blinks, a window manager or a screen reader loses it, a modal dialog stops being modal.
// As a window of its own, shown in a container, it leaves the window around it as it was,
// and nothing of OpenGL is needed before the first page. The window's keyboard shortcuts
// still reach it: Qt counts the container's window as the active one. The container shows
// and hides the view with itself; the view is never shown on its own, or it would count
// as shown while its window is not.
QWidget *hostEngineView(QWidget &browser, QWidget *view)
{
    view->setAttribute(Qt::WA_QuitOnClose, false);
    view->winId();
    QWidget *container = QWidget::createWindowContainer(view->windowHandle(), &browser);
    container->setObjectName(u"BrowserView"_s);
    new EngineViewSizer(container, view);
    browser.setFocusProxy(container);
    return container;
}

} // namespace

QUrl browserAddress(const QString &pathOrAddress)
{
    const QString text = pathOrAddress.trimmed();
    const qsizetype colon = text.indexOf(u':');
    if (colon >= 2) {
        const QString scheme = text.left(colon);
        bool plainScheme = scheme.front().isLetter();
        for (QChar c : scheme)
            plainScheme = plainScheme && (c.isLetterOrNumber() || c == u'+' || c == u'-' || c == u'.');
        if (plainScheme && scheme.front().unicode() < 128) {
            const QUrl url(text, QUrl::TolerantMode);
            if (url.isValid())
                return url;
        }
    }
    return QUrl::fromLocalFile(text);
}

WebBrowser::WebBrowser(QWidget *parent)
    : QWidget(parent)
    , m_encoding(u"windows-1250"_s)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

WebBrowser::~WebBrowser()
{
    // The view is a window of its own inside the container (see hostEngineView): it goes
    // first, as the container would delete its window under it. The engine goes with it.
    if (m_engine)
        delete m_engine->widget();
}

void WebBrowser::setEngineModulePath(const QString &path)
{
    g_modulePath = path;
}

QString WebBrowser::engineModulePath()
{
    return g_modulePath.isEmpty() ? defaultModulePath() : g_modulePath;
}

BrowserEngine *WebBrowser::engine()
{
    if (m_engine || m_message)
        return m_engine;
    const LoadedModule &module = engineModule();
    if (!module.factory) {
        m_message = new QLabel(this);
        m_message->setObjectName(u"BrowserMissingMessage"_s);
        m_message->setWordWrap(true);
        m_message->setAlignment(Qt::AlignCenter);
        m_message->setText(u"Stránku nelze zobrazit: součást programu pro prohlížení stránek "
                           u"(%1) chybí nebo ji nelze načíst.\n%2"_s
                               .arg(QDir::toNativeSeparators(module.path), module.error));
        layout()->addWidget(m_message);
        return nullptr;
    }
    m_engine = module.factory(nullptr);
    m_engine->setDefaultEncoding(m_encoding);
    m_engine->setCallbacks({
        [this](const QUrl &url) {
            m_address = url;
            Q_EMIT addressChanged(url);
        },
        [this](bool ok) { Q_EMIT loadFinished(ok); },
    });
    layout()->addWidget(hostEngineView(*this, m_engine->widget()));
    return m_engine;
}

QString WebBrowser::failureMessage() const
{
    return m_message ? m_message->text() : QString();
}

void WebBrowser::navigate(const QUrl &url)
{
    BrowserEngine *e = engine();
    // The same address again is a request for the file as it is now on disk.
    const bool same = e && !url.isEmpty()
                      && e->url().adjusted(QUrl::StripTrailingSlash)
                             == url.adjusted(QUrl::StripTrailingSlash);
    m_address = url;
    if (!e) {
        Q_EMIT addressChanged(url);
        return;
    }
    if (same)
        e->reload(true);
    else
        e->load(url);
}

void WebBrowser::navigate(const QString &pathOrAddress)
{
    navigate(browserAddress(pathOrAddress));
}

void WebBrowser::showHtml(const QString &html, const QUrl &baseUrl, const QString &scrollToId)
{
    BrowserEngine *e = engine();
    m_address = baseUrl;
    if (e)
        e->showHtml(html, baseUrl, scrollToId);
    else
        Q_EMIT addressChanged(baseUrl);
}

void WebBrowser::back()
{
    if (m_engine)
        m_engine->back();
}

void WebBrowser::forward()
{
    if (m_engine)
        m_engine->forward();
}

void WebBrowser::stop()
{
    if (m_engine)
        m_engine->stop();
}

void WebBrowser::refresh()
{
    if (m_engine)
        m_engine->reload(true);
}

QUrl WebBrowser::address() const
{
    return m_address;
}

void WebBrowser::setDefaultEncoding(const QString &encoding)
{
    m_encoding = encoding;
    if (m_engine)
        m_engine->setDefaultEncoding(encoding);
}

void WebBrowser::readPageText(std::function<void(const QString &)> done)
{
    if (m_engine)
        m_engine->readPageText(std::move(done));
    else
        done(QString());
}

void WebBrowser::copySelection()
{
    if (m_engine)
        m_engine->copySelection();
}

void WebBrowser::selectAll()
{
    if (m_engine)
        m_engine->selectAll();
}

QPointF WebBrowser::scrollPosition() const
{
    return m_engine ? m_engine->scrollPosition() : QPointF();
}
