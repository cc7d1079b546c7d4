#pragma once

#include <QPointer>
#include <QWidget>

#include <array>

class QListWidget;
class QTabWidget;

// The tag palette's bar ("Panel6") under the toolbar: the eleven tabs of element buttons
// ("PageControl2"), the logo's box in its corner, and the pop-up attribute lists of "BR",
// "P" and "UL" that float over the window.
class PaletteBar : public QWidget
{
    Q_OBJECT

public:
    enum class AttributeList { LineBreak, Paragraph, List };

    // window: where the pop-up lists float; documents: the area whose focus hides them.
    PaletteBar(QWidget &window, QWidget &documents);
    ~PaletteBar() override;

    QTabWidget *tabs() const { return m_tabs; }
    // The page of a tab by its caption ("Text", "Odkazy" ...), nullptr for none.
    QWidget *page(const QString &tab) const;
    QWidget *logoBox() const { return m_logoBox; }
    QListWidget *attributeList(AttributeList which) const;
    void hideAttributeLists();

private:
    void createTabs();
    void createAttributeLists(QWidget &window);

    QTabWidget *m_tabs = nullptr;
    QWidget *m_logoBox = nullptr;
    // Children of the window, not of the bar, so they can float below its buttons; they
    // go with the bar.
    std::array<QPointer<QListWidget>, 3> m_lists;
    QPointer<QWidget> m_documents;
};
