#pragma once

#include <QPointer>
#include <QStackedWidget>

class QMdiArea;
class QMenu;
class QTabBar;
class WebBrowser;

// The document area: the document windows ("MdiArea") or, covering them, the internal
// preview browser "WebBrowser1", switched by the "Dokument" / "Preview" tabs ("TabSet1")
// under the area. It arranges the windows as the "Okno" menu asks.
class DocumentArea : public QStackedWidget
{
    Q_OBJECT

public:
    // tabsParent: where the tab bar goes; it spans the window's width under the area.
    DocumentArea(QWidget *parent, QWidget *tabsParent);
    ~DocumentArea() override;

    QMdiArea *windows() const { return m_mdi; }
    WebBrowser *browser() const { return m_browser; }
    QTabBar *previewTabs() const { return m_tabs; }

    bool covered() const;
    // Shows the browser over the windows, or the windows again.
    void setCovered(bool covered);
    // Shows a window among the documents (adding it the first time), in front.
    void showChildWindow(QWidget *window);
    void tile(Qt::Orientation stacking);
    void arrangeIcons();
    // The "Okno" menu lists the windows under its fixed items, the active one checked.
    void listWindows(QMenu &menu);

private:
    QMdiArea *m_mdi = nullptr;
    WebBrowser *m_browser = nullptr;
    QPointer<QTabBar> m_tabs;
};
