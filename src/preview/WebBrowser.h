#pragma once

#include <QUrl>
#include <QWidget>

class QWebEngineView;

// An embedded web browser. The engine behind it starts on the first navigation, not
// before: it costs hundreds of milliseconds and tens of megabytes, and most editing
// sessions never preview.
class WebBrowser : public QWidget
{
    Q_OBJECT

public:
    explicit WebBrowser(QWidget *parent = nullptr);

    void navigate(const QUrl &url);
    void back();
    void forward();
    void stop();
    void refresh();
    QUrl address() const;
    bool engineStarted() const { return m_view != nullptr; }

Q_SIGNALS:
    void addressChanged(const QUrl &url);
    void loadFinished(bool ok);

private:
    QWebEngineView *view();

    QWebEngineView *m_view = nullptr;
    QUrl m_address;
};
