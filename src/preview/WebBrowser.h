#pragma once

#include <QUrl>
#include <QWidget>

#include <functional>

class BrowserEngine;
class QLabel;

// An embedded web browser. The engine behind it lives in a module of its own that is
// loaded on the first navigation, not before: loading it is slow and takes much memory,
// and most editing sessions never preview. When the module is
// missing or broken the widget shows a Czech message where the page would be; nothing
// else in the program depends on it.
class WebBrowser : public QWidget
{
    Q_OBJECT

public:
    explicit WebBrowser(QWidget *parent = nullptr);
    ~WebBrowser() override;

    void navigate(const QUrl &url);
    // A path or an address as the user or a document names it (see browserAddress).
    void navigate(const QString &pathOrAddress);
    // Shows markup as the page at baseUrl (relative addresses resolve against it), as a
    // page of its own: nothing is written to any file. Showing the same base again keeps
    // the scroll position, unless scrollToId names an element to bring into view.
    void showHtml(const QString &html, const QUrl &baseUrl, const QString &scrollToId = {});
    // Where the page is scrolled to; nothing without an engine.
    QPointF scrollPosition() const;
    void back();
    void forward();
    void stop();
    void refresh();
    QUrl address() const;
    bool engineStarted() const { return m_engine != nullptr; }

    // How pages that do not declare their charset are read; "windows-1250" unless set.
    void setDefaultEncoding(const QString &encoding);
    // The text shown instead of pages when the engine could not be loaded, else empty.
    QString failureMessage() const;
    // The text of the page as rendered; an empty text when no engine runs.
    void readPageText(std::function<void(const QString &)> done);
    // Copies the page's selection, selects the whole page; nothing without a page.
    void copySelection();
    void selectAll();

    // The engine module's file; tests point it elsewhere. Empty restores the default: the
    // module beside the executable, else where the installation puts it.
    static void setEngineModulePath(const QString &path);
    static QString engineModulePath();

Q_SIGNALS:
    void addressChanged(const QUrl &url);
    void loadFinished(bool ok);

private:
    BrowserEngine *engine();

    BrowserEngine *m_engine = nullptr;
    QLabel *m_message = nullptr;
    QUrl m_address;
    QString m_encoding;
};

// The address a browser is given for a path or an address: anything with a scheme of
// two or more letters ("http:", "file:", "about:") is taken as an address; anything else
// is a local path, made a file address as a whole, so "#" and "?" in a file name stay
// part of the name.
QUrl browserAddress(const QString &pathOrAddress);
