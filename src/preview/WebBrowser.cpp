#include "WebBrowser.h"

#include <QVBoxLayout>
#include <QWebEngineView>

WebBrowser::WebBrowser(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

QWebEngineView *WebBrowser::view()
{
    if (!m_view) {
        m_view = new QWebEngineView(this);
        layout()->addWidget(m_view);
        connect(m_view, &QWebEngineView::urlChanged, this, [this](const QUrl &url) {
            m_address = url;
            Q_EMIT addressChanged(url);
        });
        connect(m_view, &QWebEngineView::loadFinished, this, &WebBrowser::loadFinished);
    }
    return m_view;
}

void WebBrowser::navigate(const QUrl &url)
{
    m_address = url;
    view()->setUrl(url);
}

void WebBrowser::back()
{
    if (m_view)
        m_view->back();
}

void WebBrowser::forward()
{
    if (m_view)
        m_view->forward();
}

void WebBrowser::stop()
{
    if (m_view)
        m_view->stop();
}

void WebBrowser::refresh()
{
    if (m_view)
        m_view->reload();
}

QUrl WebBrowser::address() const
{
    return m_address;
}
