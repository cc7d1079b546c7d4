#include "app/PaletteBar.h"

#include <QApplication>
#include <QBoxLayout>
#include <QListWidget>
#include <QTabWidget>

using namespace Qt::StringLiterals;

PaletteBar::PaletteBar(QWidget &window, QWidget &documents)
    : QWidget(&window)
    , m_documents(&documents)
{
    setObjectName(u"Panel6"_s);
    createTabs();
    createAttributeLists(window);
}

PaletteBar::~PaletteBar()
{
    // Removing the pages one by one changes the current tab; no one need hear of it.
    m_tabs->blockSignals(true);
    for (const QPointer<QListWidget> &list : m_lists)
        delete list.data();
}

void PaletteBar::createTabs()
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(u"PageControl2"_s);
    m_tabs->setDocumentMode(true);
    const char16_t *tabs[] = {u"Text", u"Formát", u"Styl", u"Odkazy", u"Seznamy", u"Tabulky",
                              u"Multimédia", u"Formuláře", u"Rámce", u"Script", u"Další",
                              u"HTML5"};
    for (const char16_t *caption : tabs) {
        auto *page = new QWidget;
        page->setObjectName(u"Page"_s + QString::fromUtf16(caption));
        auto *row = new QHBoxLayout(page);
        row->setContentsMargins(2, 2, 2, 2);
        row->setSpacing(1);
        row->addStretch(1);
        m_tabs->addTab(page, QString::fromUtf16(caption));
    }
    m_tabs->setCurrentIndex(0);
    layout->addWidget(m_tabs, 1);

    auto *corner = new QWidget(this);
    corner->setObjectName(u"Panel7"_s);
    auto *logoLayout = new QVBoxLayout(corner);
    logoLayout->setContentsMargins(2, 2, 2, 2);
    m_logoBox = new QWidget(corner);
    m_logoBox->setObjectName(u"PaintBox1"_s);
    m_logoBox->setFixedSize(40, 40);
    m_logoBox->setCursor(Qt::PointingHandCursor);
    logoLayout->addWidget(m_logoBox);
    layout->addWidget(corner);
    setFixedHeight(59 + 8);
}

void PaletteBar::createAttributeLists(QWidget &window)
{
    auto make = [&window](const char *name, const QStringList &items) {
        auto *list = new QListWidget(&window);
        list->setObjectName(QLatin1StringView(name));
        list->addItems(items);
        list->hide();
        return list;
    };
    m_lists[0] = make("ListBox1", {u"clear=left"_s, u"clear=all"_s, u"clear=right"_s, u"clear=none"_s});
    m_lists[1] = make("ListBox2", {u"align=left"_s, u"align=center"_s, u"align=right"_s,
                                   u"align=justify "_s});
    m_lists[2] = make("ListBox3", {u"type=disc"_s, u"type=circle"_s, u"type=square"_s});
    // Whenever another window of the program becomes active, the lists are hidden: a
    // dialog or another top-level window, or a document window, which lives inside the
    // frame and so never becomes the application's focus window itself.
    connect(qApp, &QApplication::focusWindowChanged, this, &PaletteBar::hideAttributeLists);
    connect(qApp, &QApplication::focusChanged, this, [this, &window](QWidget *, QWidget *now) {
        if (now && (now->window() != &window || (m_documents && m_documents->isAncestorOf(now))))
            hideAttributeLists();
    });
}

QWidget *PaletteBar::page(const QString &tab) const
{
    return m_tabs->findChild<QWidget *>(u"Page"_s + tab);
}

QListWidget *PaletteBar::attributeList(AttributeList which) const
{
    return m_lists[static_cast<size_t>(which)];
}

void PaletteBar::hideAttributeLists()
{
    for (const QPointer<QListWidget> &list : m_lists) {
        if (list)
            list->hide();
    }
}
