#include "TagPalette.h"

#include "app/TForm1.h"
#include "commands/InsertTag.h"
#include "commands/TableCommands.h"
#include "markup/ElementContract.h"

#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTabWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// What a palette button does beyond running its command.
enum class Kind { Plain, PopupList, DivToggle, Heading, RowAndCell };

struct PaletteButton
{
    const char16_t *caption;
    const char16_t *hint; // nullptr: no hint
    int command;
    Kind kind = Kind::Plain;
};

struct PalettePage
{
    const char16_t *tab;
    std::initializer_list<PaletteButton> buttons;
};

const PalettePage kPages[] = {
    {u"Text",
     {{u"B", u"Tučné písmo (CTRL+B)", 1},
      {u"I", u"Kurzíva (CTRL+I)", 2},
      {u"S", u"Přeškrtnuté písmo ", 3},
      {u"U", u"Podtržené písmo (CTRL+U)", 4},
      {u"TT", u"Neproporcionální  písmo (CTRL+T)", 5},
      {u"Q", u"Text v uvozovkách", 6},
      {u"FONT", u"Volba fontu (CTRL+M)", 8},
      {u"SUB", u"Dolní index", 9},
      {u"SUP", u"Horní index", 10},
      {u"*BLINK", u"Blikající písmo", 7}}},
    {u"Formát",
     {{u"P", u"Nový odtstavec ....", 11, Kind::PopupList},
      {u"BR", u"Nový řádek ...", 12, Kind::PopupList},
      {u"DIV", u"Dělení dokumentu...", 0, Kind::DivToggle},
      {u"CENTER", u"Centrování (SHIFT+CTRL+C)", 13},
      {u"BLOCKQUOTE", u"Odsazení (SHIFT+CTRL+B)", 14},
      {u"PRE", u"Neformátovaný text", 15},
      {u"NOBR", u"Nezalomitelný text", 16},
      {u"WBR", u"Zalomení", 17},
      {u"PLAIN", u"Ignorování tagů", 57}}},
    {u"Styl",
     {{u"SPAN", u"Použití stylů", 54},
      {u"STYLE", u"Definice stylů", 55},
      {u"LINK", u"Přilinkování stylu ze souboru", 56},
      {u"H1", u"Nejvetší nadpis (ALT+1)", 1, Kind::Heading},
      {u"H2", u"Velký nadpis (ALT+2)", 2, Kind::Heading},
      {u"H3", u"Střední nadpis (ALT+3)", 3, Kind::Heading},
      {u"H4", u"Menší nadpis (ALT+4)", 4, Kind::Heading},
      {u"H5", u"Malý nadpis (ALT+5)", 5, Kind::Heading},
      {u"H6", u"Nejmenší nadpis (ALT+6)", 6, Kind::Heading}}},
    {u"Odkazy",
     {{u"A", u"Vytvoří odkaz na jiný HTML dokument", 20},
      {u"LOCAL", u"Místní odkaz", 24},
      {u"NAME", u"Kotva místního odkazu", 23}}},
    {u"Seznamy",
     {{u"DL", u"Seznam definic", 33},
      {u"OL", u"Číslovaný seznam", 34},
      {u"UL", u"Nečíslovaný seznam", 31, Kind::PopupList},
      {u"DT", u"Termín seznamu definic", 35},
      {u"DD", u"Vysvětlení pojmu seznamu definic", 36},
      {u"LI", u"Položka seznamu", 37},
      {u"DIR", u"Vytvoří seznam stylem DIR", 38},
      {u"MENU", u"Vytvoří menu", 39}}},
    {u"Tabulky",
     {{u"TABLE", u"Základní struktura tabulky", 41},
      {u"TR", u"Řádek tabulky", 42},
      {u"TD", u"Buňka tabulky", 43},
      {u"TH", u"Zvýrazněná buňka tabulky", 44},
      {u"TR&&TD", u"Vloží nový řádek a novou buňku", 42, Kind::RowAndCell},
      {u"TABLE..", u"Vyvolá okno na vytvoření tabulky", 60},
      {u"THEAD", u"Tabulkový řádek - první sekce", 70},
      {u"TBODY", u"Tabulkový řádek - druhá sekce", 71},
      {u"TFOOT", u"Tabulkový řádek - třetí sekce", 72},
      {u"CAPTION", u"Nadpis tabulky", 94}}},
    {u"Multimédia",
     {{u"IMG", u"Vloží obrázek", 40},
      {u"BGSOUND", u"Vloží hudbu nebo zvuk", 48},
      {u"HR", u"Vloží vodorovnou linku", 47},
      {u"MARQUEE", u"Vytvoří pohybující se text", 46},
      {u"EMBED", u"Vloží soubor", 49}}},
    {u"Formuláře",
     {{u"FORM", u"Vytvoří základní strukturu formuláře", 62},
      {u"INPUT", u"Definuje vstupní pole formuláře", 61},
      {u"BUTTON", u"Vloží tlačítko", 63},
      {u"LABEL", nullptr, 64},
      {u"SELECT", nullptr, 65},
      {u"OPTION", u"Vybírá za nabídky definované prvky", 66},
      {u"TEXTAREA", u"Výceřádkové vstupní pole formuláře", 67}}},
    {u"Rámce",
     {{u"FRAMESET", u"Definuje strukturu rámců", 52},
      {u"FRAME", u"Definuje jednotlivý rámec", 53},
      {u"IFRAME", u"Vložený rámec", 100},
      {u"NOFRAMES", u"Pro prohlížeče, které nepodporují rámce", 51}}},
    {u"Script",
     {{u"SCRIPT", u"Vloží script", 68},
      {u"NOSCRIPT", u"Bezscriptový tag", 69},
      {u"ACTIVE-X", u"Vloží modul ACTIVE-X", 82},
      {u"APPLET", u"Vloží JAVA APPLET", 83},
      {u"PARAM", u"Vloží parametr objektu", 84}}},
    {u"Další",
     {{u"META", u"Vloží informace o dokumentu", 45},
      {u"COMMENT", u"Vloží komentář (Prvek není standartizován!)", 50},
      {u"INS", u"Zvýrazní písmo - podtržením (Prvek není standartizován!)", 87},
      {u"DEL", u"Přeškrkne text (Prvek není standartizován!)", 88},
      {u"ACRONYM", u"Vloží akronym - přezdívku (Prvek není standartizován!)", 89},
      {u"Q", u"Definuje citát (Prvek není standartizován!)", 90},
      {u"LEGEND", u"Označuje legendu (prvek není standartizován!)", 91}}},
};

struct DivButton
{
    const char16_t *caption;
    const char16_t *hint;
    int command;
};

const DivButton kDivButtons[] = {
    {u"L", u"Zarovnat text dokumentu vlevo (DIV) (ALT+7)", 27},
    {u"C", u"Zarovnat text dokumentu na střed (DIV) (ALT+8)", 28},
    {u"R", u"Zarovnat text dokumentu vpravo (DIV) (ALT+9)", 29},
    {u"J", u"Zarovnat text dokumentu na obě strany (DIV) (ALT+0)", 30},
};

// "P", "BR" and "UL" act on the mouse button going down: with Shift they show their
// pop-up list, without it they hide a shown list or run their plain command.
class PopupPress : public QObject
{
public:
    PopupPress(TForm1 &window, QListWidget *list, int command, QObject *parent)
        : QObject(parent), m_window(window), m_list(list), m_command(command)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::MouseButtonPress)
            return false;
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton || !m_window.workspace().activeDocument())
            return false;
        if (mouse->modifiers() & Qt::ShiftModifier) {
            HideAttributeLists(m_window);
            showBelow(static_cast<QWidget *>(watched));
        } else if (m_list->isVisible()) {
            m_list->hide();
        } else {
            insertFromFrame(m_window, m_command);
        }
        return false;
    }

private:
    void showBelow(QWidget *button)
    {
        const QPoint at = button->mapTo(&m_window, QPoint(0, button->height()));
        m_list->setFixedSize(m_list->sizeHintForColumn(0) + 8,
                             m_list->sizeHintForRow(0) * m_list->count() + 6);
        m_list->move(at);
        m_list->show();
        m_list->raise();
        m_list->setFocus();
    }

    TForm1 &m_window;
    QListWidget *m_list;
    int m_command;
};

QToolButton *makeButton(QWidget *parent, const QString &caption, const char16_t *hint)
{
    auto *button = new QToolButton(parent);
    button->setText(caption);
    button->setObjectName(u"Palette_"_s + caption);
    if (hint) {
        button->setToolTip(QString::fromUtf16(hint));
        button->setStatusTip(QString::fromUtf16(hint));
    }
    button->setAutoRaise(true);
    return button;
}

QWidget *pageOf(TForm1 &window, const QString &tab)
{
    return window.PageControl2->findChild<QWidget *>(u"Page"_s + tab);
}

void addToPage(QWidget *page, QWidget *widget)
{
    auto *row = static_cast<QHBoxLayout *>(page->layout());
    row->insertWidget(row->count() - 1, widget); // before the closing stretch
}

QListWidget *popupListFor(TForm1 &window, int command)
{
    return command == 11 ? window.ListBox2 : command == 12 ? window.ListBox1 : window.ListBox3;
}

void createDivBar(TForm1 &window, QToolButton *toggle)
{
    auto *bar = new QFrame(&window);
    bar->setObjectName(u"DivBar"_s);
    bar->setFrameShape(QFrame::StyledPanel);
    bar->setAutoFillBackground(true);
    auto *column = new QVBoxLayout(bar);
    column->setContentsMargins(1, 1, 1, 1);
    column->setSpacing(0);
    for (const DivButton &d : kDivButtons) {
        QToolButton *button = makeButton(bar, QString::fromUtf16(d.caption), d.hint);
        button->setObjectName(u"DivButton"_s + QString::number(d.command - 26));
        column->addWidget(button);
        const int command = d.command;
        QObject::connect(button, &QToolButton::clicked, &window, [&window, bar, command] {
            insertFromFrame(window, command);
            bar->hide();
        });
    }
    bar->adjustSize();
    bar->hide();
    QObject::connect(toggle, &QToolButton::clicked, &window, [&window, bar, toggle] {
        if (bar->isVisible()) {
            bar->hide();
            return;
        }
        bar->move(toggle->mapTo(&window, QPoint(0, toggle->height())));
        bar->show();
        bar->raise();
    });
}

void connectButton(TForm1 &window, QToolButton *button, const PaletteButton &b)
{
    const int command = b.command;
    switch (b.kind) {
    case Kind::Plain:
        QObject::connect(button, &QToolButton::clicked, &window,
                         [&window, command] { insertFromFrame(window, command); });
        break;
    case Kind::PopupList:
        button->installEventFilter(
            new PopupPress(window, popupListFor(window, command), command, button));
        break;
    case Kind::DivToggle:
        createDivBar(window, button);
        break;
    case Kind::Heading:
        // The six heading buttons share one handler that reads the level from the button.
        button->setProperty("tag", command);
        QObject::connect(button, &QToolButton::clicked, &window, [&window, button] {
            insertFromFrame(window, 76 + button->property("tag").toInt() - 1);
        });
        break;
    case Kind::RowAndCell:
        QObject::connect(button, &QToolButton::clicked, &window, [&window] {
            insertFromFrame(window, 42);
            insertFromFrame(window, 43);
        });
        break;
    }
}

void createAnchorList(TForm1 &window, QWidget *page)
{
    auto *combo = new QComboBox(page);
    combo->setObjectName(u"ComboBox1"_s);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMinimumWidth(145);
    combo->setToolTip(u"Seznam pojmenovaných odkazů v dokumentu"_s);
    addToPage(page, combo);

    // A double-click lands on the combo's line edit; watch both.
    struct DoubleClick : QObject
    {
        TForm1 &window;
        DoubleClick(TForm1 &w, QObject *parent) : QObject(parent), window(w) {}
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::MouseButtonDblClick)
                rebuildAnchorList(window);
            return false;
        }
    };
    auto *filter = new DoubleClick(window, combo);
    combo->installEventFilter(filter);
    if (combo->lineEdit())
        combo->lineEdit()->installEventFilter(filter);
}

} // namespace

QStringList anchorNames(const QString &text)
{
    // The names keep the case the document writes them in, so a link to "#top" finds
    // <A NAME="top"> in a browser that tells the cases apart.
    QStringList names;
    qsizetype at = text.indexOf(u"<A "_s, 0, Qt::CaseInsensitive);
    while (at >= 0) {
        const qsizetype end = text.indexOf(u'>', at);
        const QStringView tag = end < 0 ? QStringView(text).sliced(at)
                                        : QStringView(text).sliced(at, end - at + 1);
        // A NAME= inside another attribute's quoted value names no anchor.
        const QString name = AttributeReader(tag).text(u"NAME").value_or(QString());
        if (!name.isEmpty())
            names.append(name);
        at = text.indexOf(u"<A "_s, at + 1, Qt::CaseInsensitive);
    }
    return names;
}

void rebuildAnchorList(TForm1 &window)
{
    HtmlDocument *buffer = window.workspace().activeDocument();
    QComboBox *combo = anchorList(window);
    if (!buffer || !combo)
        return;
    // The whole list goes, the typed text with it.
    combo->clear();
    combo->clearEditText();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    combo->addItems(anchorNames(buffer->GetText()));
    combo->setCurrentIndex(-1); // the edit field stays empty until a name is picked
    QApplication::restoreOverrideCursor();
}

QToolButton *paletteButton(TForm1 &window, const QString &tab, const QString &caption)
{
    QWidget *page = pageOf(window, tab);
    return page ? page->findChild<QToolButton *>(u"Palette_"_s + caption) : nullptr;
}

QComboBox *anchorList(TForm1 &window)
{
    return window.PageControl2->findChild<QComboBox *>(u"ComboBox1"_s);
}

QWidget *divBar(TForm1 &window)
{
    return window.findChild<QWidget *>(u"DivBar"_s, Qt::FindDirectChildrenOnly);
}

void installTagPalette(TForm1 &window)
{
    for (const PalettePage &p : kPages) {
        const QString tab = QString::fromUtf16(p.tab);
        QWidget *page = pageOf(window, tab);
        if (!page)
            continue;
        for (const PaletteButton &b : p.buttons) {
            QToolButton *button = makeButton(page, QString::fromUtf16(b.caption), b.hint);
            addToPage(page, button);
            connectButton(window, button, b);
        }
        if (tab == u"Odkazy"_s)
            createAnchorList(window, page);
    }
    // A picked list item runs its command; the list goes away with the focus.
    const struct { QListWidget *list; int command; } lists[] = {
        {window.ListBox1, 18}, {window.ListBox2, 19}, {window.ListBox3, 32}};
    for (const auto &l : lists) {
        const int command = l.command;
        QObject::connect(l.list, &QListWidget::itemClicked, &window,
                         [&window, command](QListWidgetItem *item) {
                             InsertTag(window.workspace(), command,
                                       InsertArgs::withItem(item->text()));
                             HideAttributeLists(window);
                         });
    }
    window.PageControl2->setCurrentIndex(0);
}

void HideAttributeLists(TForm1 &window)
{
    window.ListBox1->hide();
    window.ListBox2->hide();
    window.ListBox3->hide();
}

void insertFromFrame(TForm1 &window, int command)
{
    InsertArgs args;
    if (command == 23 || command == 24) {
        if (QComboBox *anchors = anchorList(window))
            args.item = anchors->currentText();
    }
    // While the table window is open it composes the table, row and cell tags.
    if (command >= 41 && command <= 44)
        args.markup = tableWindowMarkup(window.workspace(), command);
    InsertTag(window.workspace(), command, args);
}
