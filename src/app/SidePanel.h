#pragma once

#include <QWidget>

class QAction;
class QTabWidget;
class WebBrowser;

// The side panel ("Panel2") beside the documents: the pages "Soubory", "Tagy" and
// "Nápověda", and the context menu that puts the panel on the left or the right.
class SidePanel : public QWidget
{
    Q_OBJECT

public:
    explicit SidePanel(QWidget *parent = nullptr);
    ~SidePanel() override;

    QTabWidget *notebook() const { return m_notebook; }
    // The pages the file panel and the tag tree are installed into.
    QWidget *filePage() const { return m_filePage; }
    QWidget *tagTreePage() const { return m_tagTreePage; }
    WebBrowser *helpBrowser() const { return m_helpBrowser; }
    // Brings a page to the front with the keyboard in its list or tree.
    void focusFiles();
    void focusTagTree();
    // The context menu's check marks follow the side the panel stands on.
    void showSide(bool right);

Q_SIGNALS:
    // The user chose the side from the context menu.
    void sideChosen(bool right);
    // The help page was opened; the preview window may show the second page.
    void helpPageOpened(const QString &secondPage);

private:
    void pageChanged(int index);

    QTabWidget *m_notebook = nullptr;
    QWidget *m_filePage = nullptr;
    QWidget *m_tagTreePage = nullptr;
    WebBrowser *m_helpBrowser = nullptr;
    QAction *m_right = nullptr;
    QAction *m_left = nullptr;
};
