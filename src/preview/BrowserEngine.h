#pragma once

#include <QPointF>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

// What the program asks of the web engine. The engine lives in a module of its own that
// is loaded the first time a page is shown, so the editor itself links no web engine;
// this header is all the two sides share, and it holds nothing but inline code.
class BrowserEngine
{
public:
    struct Callbacks
    {
        std::function<void(const QUrl &)> urlChanged;
        std::function<void(bool)> loadFinished;
    };

    virtual ~BrowserEngine() = default;

    // The engine's view; the caller puts it into its layout and owns it from then on.
    virtual QWidget *widget() = 0;
    virtual void setCallbacks(Callbacks callbacks) = 0;
    // The encoding of pages that do not declare their own ("windows-1250").
    virtual void setDefaultEncoding(const QString &encoding) = 0;
    virtual void load(const QUrl &url) = 0;
    // Shows markup as the page at baseUrl, against which its relative addresses resolve.
    // Showing the same base again keeps the place the page was scrolled to, unless
    // scrollToId names an element: then that element is brought into view.
    virtual void showHtml(const QString &html, const QUrl &baseUrl, const QString &scrollToId) = 0;
    // Where the page is scrolled to, in the page's pixels.
    virtual QPointF scrollPosition() const = 0;
    virtual void back() = 0;
    virtual void forward() = 0;
    virtual void stop() = 0;
    // Reloads the page; bypassCache fetches it afresh even when the engine holds a copy.
    virtual void reload(bool bypassCache) = 0;
    virtual QUrl url() const = 0;
    // The page's text as the engine rendered it, handed over when it is ready.
    virtual void readPageText(std::function<void(const QString &)> done) = 0;
    // The page's own "Copy" and "Select all".
    virtual void copySelection() = 0;
    virtual void selectAll() = 0;
};

// The module's one exported function: a new engine whose view has the given parent.
extern "C" {
using BrowserEngineFactory = BrowserEngine *(*)(QWidget *parent);
}
#define BRISKO_BROWSER_ENGINE_FACTORY "brisko_create_browser_engine"
