#include "TagPalette.h"

#include "app/PaletteBar.h"
#include "app/TForm1.h"
#include "interaction/BusyCursor.h"
#include "commands/CommandRegistry.h"
#include "commands/InsertTag.h"
#include "markup/ElementContract.h"
#include "markup/MarkupStyle.h"

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
enum class Kind { Plain, PopupList, DivToggle, RowAndCell };

struct PaletteButton
{
    const char16_t *caption;
    const char16_t *hint; // nullptr: no hint
    Insertion command;
    Kind kind = Kind::Plain;
};

struct PalettePage
{
    const char16_t *tab;
    std::initializer_list<PaletteButton> buttons;
};

const PalettePage kPages[] = {
    {u"Text",
     {{u"B", u"Tučné písmo (CTRL+B)", Insertion::Bold},
      {u"I", u"Kurzíva (CTRL+I)", Insertion::Italic},
      {u"S", u"Přeškrtnuté písmo ", Insertion::Strike},
      {u"U", u"Podtržené písmo (CTRL+U)", Insertion::Underline},
      {u"TT", u"Neproporcionální  písmo (CTRL+T)", Insertion::Teletype},
      {u"Q", u"Text v uvozovkách", Insertion::Quote},
      {u"FONT", u"Volba fontu (CTRL+M)", Insertion::Font},
      {u"SUB", u"Dolní index", Insertion::Subscript},
      {u"SUP", u"Horní index", Insertion::Superscript},
      {u"*BLINK", u"Blikající písmo", Insertion::Blink}}},
    {u"Formát",
     {{u"P", u"Nový odtstavec ....", Insertion::Paragraph, Kind::PopupList},
      {u"BR", u"Nový řádek ...", Insertion::LineBreak, Kind::PopupList},
      {u"DIV", u"Dělení dokumentu...", {}, Kind::DivToggle},
      {u"CENTER", u"Centrování (SHIFT+CTRL+C)", Insertion::Center},
      {u"BLOCKQUOTE", u"Odsazení (SHIFT+CTRL+B)", Insertion::Blockquote},
      {u"PRE", u"Neformátovaný text", Insertion::Preformatted},
      {u"NOBR", u"Nezalomitelný text", Insertion::NoBreak},
      {u"WBR", u"Zalomení", Insertion::WordBreak},
      {u"PLAIN", u"Ignorování tagů", Insertion::Plain}}},
    {u"Styl",
     {{u"SPAN", u"Použití stylů", Insertion::Span},
      {u"STYLE", u"Definice stylů", Insertion::Style},
      {u"LINK", u"Přilinkování stylu ze souboru", Insertion::StyleLink},
      {u"H1", u"Nejvetší nadpis (ALT+1)", Insertion::Heading1},
      {u"H2", u"Velký nadpis (ALT+2)", Insertion::Heading2},
      {u"H3", u"Střední nadpis (ALT+3)", Insertion::Heading3},
      {u"H4", u"Menší nadpis (ALT+4)", Insertion::Heading4},
      {u"H5", u"Malý nadpis (ALT+5)", Insertion::Heading5},
      {u"H6", u"Nejmenší nadpis (ALT+6)", Insertion::Heading6}}},
    {u"Odkazy",
     {{u"A", u"Vytvoří odkaz na jiný HTML dokument", Insertion::Link},
      {u"LOCAL", u"Místní odkaz", Insertion::AnchorLink},
      {u"NAME", u"Kotva místního odkazu", Insertion::Anchor}}},
    {u"Seznamy",
     {{u"DL", u"Seznam definic", Insertion::DefinitionList},
      {u"OL", u"Číslovaný seznam", Insertion::OrderedList},
      {u"UL", u"Nečíslovaný seznam", Insertion::UnorderedList, Kind::PopupList},
      {u"DT", u"Termín seznamu definic", Insertion::DefinitionTerm},
      {u"DD", u"Vysvětlení pojmu seznamu definic", Insertion::DefinitionDescription},
      {u"LI", u"Položka seznamu", Insertion::ListItem},
      {u"DIR", u"Vytvoří seznam stylem DIR", Insertion::DirList},
      {u"MENU", u"Vytvoří menu", Insertion::MenuList}}},
    {u"Tabulky",
     {{u"TABLE", u"Základní struktura tabulky", Insertion::Table},
      {u"TR", u"Řádek tabulky", Insertion::TableRow},
      {u"TD", u"Buňka tabulky", Insertion::TableCell},
      {u"TH", u"Zvýrazněná buňka tabulky", Insertion::TableHeaderCell},
      {u"TR&&TD", u"Vloží nový řádek a novou buňku", Insertion::TableRow, Kind::RowAndCell},
      {u"TABLE..", u"Vyvolá okno na vytvoření tabulky", Insertion::SmallTable},
      {u"THEAD", u"Tabulkový řádek - první sekce", Insertion::TableHead},
      {u"TBODY", u"Tabulkový řádek - druhá sekce", Insertion::TableBody},
      {u"TFOOT", u"Tabulkový řádek - třetí sekce", Insertion::TableFoot},
      {u"CAPTION", u"Nadpis tabulky", Insertion::Caption}}},
    {u"Multimédia",
     {{u"IMG", u"Vloží obrázek", Insertion::Image},
      {u"BGSOUND", u"Vloží hudbu nebo zvuk", Insertion::Sound},
      {u"HR", u"Vloží vodorovnou linku", Insertion::HorizontalLine},
      {u"MARQUEE", u"Vytvoří pohybující se text", Insertion::Marquee},
      {u"EMBED", u"Vloží soubor", Insertion::Embed}}},
    {u"Formuláře",
     {{u"FORM", u"Vytvoří základní strukturu formuláře", Insertion::Form},
      {u"INPUT", u"Definuje vstupní pole formuláře", Insertion::FormInput},
      {u"BUTTON", u"Vloží tlačítko", Insertion::Button},
      {u"LABEL", nullptr, Insertion::Label},
      {u"SELECT", nullptr, Insertion::Select},
      {u"OPTION", u"Vybírá za nabídky definované prvky", Insertion::Option},
      {u"TEXTAREA", u"Výceřádkové vstupní pole formuláře", Insertion::TextArea}}},
    {u"Rámce",
     {{u"FRAMESET", u"Definuje strukturu rámců", Insertion::FrameSet},
      {u"FRAME", u"Definuje jednotlivý rámec", Insertion::Frame},
      {u"IFRAME", u"Vložený rámec", Insertion::InlineFrame},
      {u"NOFRAMES", u"Pro prohlížeče, které nepodporují rámce", Insertion::NoFrames}}},
    {u"Script",
     {{u"SCRIPT", u"Vloží script", Insertion::Script},
      {u"NOSCRIPT", u"Bezscriptový tag", Insertion::NoScript},
      {u"ACTIVE-X", u"Vloží modul ACTIVE-X", Insertion::ActiveX},
      {u"APPLET", u"Vloží JAVA APPLET", Insertion::Applet},
      {u"PARAM", u"Vloží parametr objektu", Insertion::Param}}},
    {u"Další",
     {{u"META", u"Vloží informace o dokumentu", Insertion::Meta},
      {u"COMMENT", u"Vloží komentář (Prvek není standartizován!)", Insertion::CommentTag},
      {u"INS", u"Zvýrazní písmo - podtržením (Prvek není standartizován!)", Insertion::Inserted},
      {u"DEL", u"Přeškrkne text (Prvek není standartizován!)", Insertion::Deleted},
      {u"ACRONYM", u"Vloží akronym - přezdívku (Prvek není standartizován!)", Insertion::Acronym},
      {u"Q", u"Definuje citát (Prvek není standartizován!)", Insertion::Citation},
      {u"LEGEND", u"Označuje legendu (prvek není standartizován!)", Insertion::Legend}}},
    {u"HTML5",
     {{u"HEADER", u"Záhlaví stránky nebo oddílu", Insertion::Header},
      {u"NAV", u"Navigace", Insertion::Nav},
      {u"MAIN", u"Hlavní obsah stránky", Insertion::Main},
      {u"SECTION", u"Oddíl stránky", Insertion::Section},
      {u"ARTICLE", u"Samostatný článek", Insertion::Article},
      {u"ASIDE", u"Postranní obsah", Insertion::Aside},
      {u"FOOTER", u"Zápatí stránky nebo oddílu", Insertion::Footer},
      {u"FIGURE", u"Obrázek nebo ukázka s popiskem (FIGCAPTION)", Insertion::Figure},
      {u"DETAILS", u"Rozbalovací obsah se shrnutím (SUMMARY)", Insertion::Details},
      {u"MARK", u"Zvýrazněný text", Insertion::Mark},
      {u"TIME", u"Datum nebo čas", Insertion::TimeTag},
      {u"ABBR", u"Zkratka s vysvětlením", Insertion::Abbr},
      {u"CODE", u"Ukázka kódu (PRE a CODE)", Insertion::Code},
      {u"VIDEO", u"Vloží video", Insertion::Video},
      {u"AUDIO", u"Vloží zvuk", Insertion::Audio},
      {u"DATALIST", u"Seznam hodnot pro vstupní pole", Insertion::DataList},
      {u"OUTPUT", u"Výsledek výpočtu", Insertion::Output},
      {u"PROGRESS", u"Průběh úlohy", Insertion::Progress},
      {u"METER", u"Měřidlo", Insertion::Meter},
      {u"LABEL FOR", u"Popisek pole formuláře", Insertion::LabelFor},
      {u"PICTURE", u"Obrázek se soubory pro různé obrazovky", Insertion::Picture}}},
};

struct DivButton
{
    const char16_t *caption;
    const char16_t *hint;
    Insertion command;
};

const DivButton kDivButtons[] = {
    {u"L", u"Zarovnat text dokumentu vlevo (DIV) (ALT+7)", Insertion::DivLeft},
    {u"C", u"Zarovnat text dokumentu na střed (DIV) (ALT+8)", Insertion::DivCenter},
    {u"R", u"Zarovnat text dokumentu vpravo (DIV) (ALT+9)", Insertion::DivRight},
    {u"J", u"Zarovnat text dokumentu na obě strany (DIV) (ALT+0)", Insertion::DivJustify},
};

// "P", "BR" and "UL" act on the mouse button going down: with Shift they show their
// pop-up list, without it they hide a shown list or run their plain command.
class PopupPress : public QObject
{
public:
    PopupPress(TForm1 &window, QListWidget *list, Insertion command, QObject *parent)
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
    Insertion m_command;
};

QToolButton *makeButton(QWidget *parent, const QString &caption, const char16_t *hint)
{
    auto *button = new QToolButton(parent);
    button->setText(caption);
    button->setObjectName(u"Palette_"_s + caption);
    QString tip = hint ? QString::fromUtf16(hint) : QString();
    // The caption names the element the button writes ("*BLINK" marks a proprietary one).
    if (isObsoleteWithoutReplacement(QString(caption).remove(u'*').toUpper()))
        tip += (tip.isEmpty() ? QString() : u" "_s) + u"(zastaralé)"_s;
    if (!tip.isEmpty()) {
        button->setToolTip(tip);
        button->setStatusTip(tip);
    }
    button->setAutoRaise(true);
    return button;
}

void addToPage(QWidget *page, QWidget *widget)
{
    auto *row = static_cast<QHBoxLayout *>(page->layout());
    row->insertWidget(row->count() - 1, widget); // before the closing stretch
}

QListWidget *popupListFor(TForm1 &window, Insertion command)
{
    using List = PaletteBar::AttributeList;
    return window.palette().attributeList(command == Insertion::Paragraph   ? List::Paragraph
                                          : command == Insertion::LineBreak ? List::LineBreak
                                                                            : List::List);
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
        button->setObjectName(u"DivButton"_s + QString::number(column->count() + 1));
        column->addWidget(button);
        const Insertion command = d.command;
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
    const Insertion command = b.command;
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
    case Kind::RowAndCell:
        QObject::connect(button, &QToolButton::clicked, &window, [&window] {
            insertFromFrame(window, Insertion::TableRow);
            insertFromFrame(window, Insertion::TableCell);
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
    const BusyCursor busy;
    combo->addItems(anchorNames(buffer->GetText()));
    combo->setCurrentIndex(-1); // the edit field stays empty until a name is picked
}

QToolButton *paletteButton(TForm1 &window, const QString &tab, const QString &caption)
{
    QWidget *page = window.palette().page(tab);
    return page ? page->findChild<QToolButton *>(u"Palette_"_s + caption) : nullptr;
}

QComboBox *anchorList(TForm1 &window)
{
    return window.palette().tabs()->findChild<QComboBox *>(u"ComboBox1"_s);
}

QWidget *divBar(TForm1 &window)
{
    return window.findChild<QWidget *>(u"DivBar"_s, Qt::FindDirectChildrenOnly);
}

void installTagPalette(TForm1 &window)
{
    for (const PalettePage &p : kPages) {
        const QString tab = QString::fromUtf16(p.tab);
        QWidget *page = window.palette().page(tab);
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
    using List = PaletteBar::AttributeList;
    const struct { List list; Insertion command; } lists[] = {
        {List::LineBreak, Insertion::LineBreakFromList},
        {List::Paragraph, Insertion::ParagraphFromList},
        {List::List, Insertion::UnorderedListFromList}};
    for (const auto &l : lists) {
        const int command = number(l.command);
        QObject::connect(window.palette().attributeList(l.list), &QListWidget::itemClicked, &window,
                         [&window, command](QListWidgetItem *item) {
                             InsertTag(window.workspace(), command,
                                       InsertArgs::withItem(item->text()));
                             HideAttributeLists(window);
                         });
    }
    window.palette().tabs()->setCurrentIndex(0);
}

void HideAttributeLists(TForm1 &window)
{
    window.palette().hideAttributeLists();
}

QList<PaletteEntry> paletteEntries()
{
    QList<PaletteEntry> entries;
    for (const PalettePage &p : kPages) {
        for (const PaletteButton &b : p.buttons) {
            if (b.kind != Kind::DivToggle)
                entries.append({QString::fromUtf16(p.tab), QString::fromUtf16(b.caption), b.command});
            if (b.kind == Kind::RowAndCell)
                entries.append({QString::fromUtf16(p.tab), QString::fromUtf16(b.caption),
                                Insertion::TableCell});
        }
    }
    for (const DivButton &d : kDivButtons)
        entries.append({u"Formát"_s, QString::fromUtf16(d.caption), d.command});
    return entries;
}

void insertFromFrame(TForm1 &window, Insertion insertion)
{
    InsertArgs args;
    if (insertion == Insertion::Anchor || insertion == Insertion::AnchorLink) {
        if (QComboBox *anchors = anchorList(window))
            args.item = anchors->currentText();
    }
    runInsertion(window.workspace(), insertion, std::move(args));
}
