#include "InsertCommands.h"

#include "interaction/Interaction.h"
#include "app/TForm1.h"
#include "app/TagPalette.h"
#include "markup/SysUt.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QLocale>
#include <QToolButton>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr FixedInsertText kFixed[] = {
    {1, u"<B>", u"</B>"},
    {2, u"<I>", u"</I>"},
    {3, u"<S>", u"</S>"},
    {4, u"<U>", u"</U>"},
    {5, u"<TT>", u"</TT>"},
    {6, u"<Q>", u"</Q>"},
    {7, u"<BLINK>", u"</BLINK>"},
    {9, u"<SUB>", u"</SUB>"},
    {10, u"<SUP>", u"</SUP>"},
    {11, u"<P>", u"</P>"},
    {12, u"<BR>", u""},
    {13, u"<CENTER>", u"</CENTER>"},
    {14, u"<BLOCKQUOTE>", u"</BLOCKQUOTE>"},
    {15, u"<PRE>", u"</PRE>"},
    {16, u"<NOBR>", u"</NOBR>"},
    {17, u"<WBR>", u""},
    // The DIV and UL commands break their lines with a single LF.
    {27, u"<DIV align = left>\n", u"\n</DIV>"},
    {28, u"<DIV align = center>\n", u"\n</DIV>"},
    {29, u"<DIV align = right>\n", u"\n</DIV>"},
    {30, u"<DIV align = justify>\n", u"\n</DIV>"},
    {31, u"<UL >\n", u"\n</UL>"},
    {33, u"<DL >", u"</DL>"},
    {34, u"<OL >", u"</OL>"},
    {35, u"<DT >", u"</DT>"},
    {36, u"<DD >", u"</DD>"},
    {37, u"<LI >", u"</LI>"},
    {38, u"<DIR >", u"</DIR>"},
    {39, u"<MENU >", u"</MENU>"},
    {50, u"<COMMENT>", u"</COMMENT>"},
    {51, u"<NOFRAMES>", u"</NOFRAMES>"},
    {54, u"<SPAN STYLE=\"\">", u"</SPAN>"},
    {55, u"<STYLE type=\"text/css\">\r\n", u"\r\n</STYLE>"},
    {57, u"<PLAIN>", u"</PLAIN>"},
    {63, u"<BUTTON>", u"</BUTTON>"},
    {69, u"<NOSCRIPT>", u"</NOSCRIPT>"},
    {70, u"<THEAD>", u"</THEAD>"},
    {71, u"<TBODY>", u"</TBODY>"},
    {72, u"<TFOOT>", u"</TFOOT>"},
    {76, u"<H1>", u"</H1>"},
    {77, u"<H2>", u"</H2>"},
    {78, u"<H3>", u"</H3>"},
    {79, u"<H4>", u"</H4>"},
    {80, u"<H5>", u"</H5>"},
    {81, u"<H6>", u"</H6>"},
    {87, u"<INS>", u"</INS>"},
    {88, u"<DEL>", u"</DEL>"},
    {89, u"<ACRONYM>", u"</ACRONYM>"},
    {90, u"<Q>", u"</Q>"},
    {91, u"<LEGEND>", u"</LEGEND>"},
    {94, u"<CAPTION>", u"</CAPTION>"},
    {96, u"&nbsp;", u""},
    {97, u"&copy;", u""},
    {98, u"&reg;", u""},
    {99, u"&#153;", u""},
};

struct State
{
    std::function<QDateTime()> clock;
    std::function<std::optional<PageSkeleton>(TForm1 &)> wizard;
    std::function<std::optional<InsertTexts>(TForm1 &, int)> tableWindow;
    std::function<std::optional<QString>(TForm1 &)> treeSelection;
    std::optional<PageSkeleton> pendingPage;
    QString specialCharacter;
    InsertTexts userTag;
};

State &state()
{
    static State s;
    return s;
}

QDateTime now()
{
    return state().clock ? state().clock() : QDateTime::currentDateTime();
}

void setTexts(InsertTexts &texts, const QString &opening, const QString &closing = {})
{
    texts.opening = opening;
    texts.closing = closing;
}

// Commands 18, 19 and 32 take the item the user picked in their pop-up list.
void registerListCommands()
{
    setInsertCommandHandler(18, [](TForm1 &w, InsertTexts &t) {
        if (QListWidgetItem *item = w.ListBox1->currentItem())
            setTexts(t, u"<BR "_s + item->text() + u">"_s);
    });
    setInsertCommandHandler(19, [](TForm1 &w, InsertTexts &t) {
        if (QListWidgetItem *item = w.ListBox2->currentItem())
            setTexts(t, u"<P "_s + item->text() + u">"_s, u"</P>"_s);
    });
    setInsertCommandHandler(32, [](TForm1 &w, InsertTexts &t) {
        if (QListWidgetItem *item = w.ListBox3->currentItem())
            setTexts(t, u"<UL "_s + item->text() + u">\n"_s, u"\n</UL>"_s);
    });
}

QString anchorText(TForm1 &window)
{
    auto *combo = window.findChild<QComboBox *>(u"ComboBox1"_s);
    return combo ? combo->currentText() : QString();
}

// Anchors and links to them go in at once in the link colour.
void registerLinkCommands()
{
    setInsertCommandHandler(21, [](TForm1 &, InsertTexts &t) {
        setTexts(t, u"<A HREF=\""_s + QString::fromUtf16(HomePageAddress) + u"\" ><IMG SRC=\""_s
                        + QString::fromUtf16(LogoPictureAddress)
                        + u"\" BORDER=0 VSPACE=0 HSPACE=0 HEIGHT=33 WIDTH=80></A>"_s);
    });
    setInsertCommandHandler(23, [](TForm1 &w, InsertTexts &) {
        const QString opening = u"<A"_s + QuotedAttrPiece(u"NAME="_s, anchorText(w)) + u">"_s;
        w.activeBuffer()->WrapSelection(w.settings().LINK, opening, u"</A>"_s);
    });
    setInsertCommandHandler(24, [](TForm1 &w, InsertTexts &) {
        const QString opening =
            u"<A"_s + QuotedAttrPiece(u"HREF="_s, u"#"_s + anchorText(w)) + u">"_s;
        w.activeBuffer()->WrapSelection(w.settings().LINK, opening, u"</A>"_s);
    });
}

void registerTableCommands()
{
    // While the table window is open it composes the markup; otherwise the fixed texts.
    const auto fromWindow = [](TForm1 &w, int command) -> std::optional<InsertTexts> {
        if (!state().tableWindow)
            return std::nullopt;
        return state().tableWindow(w, command);
    };
    setInsertCommandHandler(41, [fromWindow](TForm1 &w, InsertTexts &t) {
        t = fromWindow(w, 41).value_or(InsertTexts{u"<TABLE>\r\n"_s, u"\r\n</TABLE>"_s});
    });
    setInsertCommandHandler(42, [fromWindow](TForm1 &w, InsertTexts &t) {
        if (const auto m = fromWindow(w, 42))
            setTexts(t, u"  "_s + m->opening + u"\r\n    "_s, u"\r\n  "_s + m->closing);
        else
            setTexts(t, u"  <TR>\r\n    "_s, u"\r\n  </TR>"_s);
    });
    setInsertCommandHandler(43, [fromWindow](TForm1 &w, InsertTexts &t) {
        t = fromWindow(w, 43).value_or(InsertTexts{u"<TD>"_s, u"</TD>"_s});
    });
    setInsertCommandHandler(44, [fromWindow](TForm1 &w, InsertTexts &t) {
        t = fromWindow(w, 44).value_or(InsertTexts{u"<TH>"_s, u"</TH>"_s});
    });
}

void registerPromptCommands()
{
    setInsertCommandHandler(26, [](TForm1 &, InsertTexts &t) {
        if (const auto c = ui().color(QColor(Qt::black)))
            setTexts(t, u"#"_s + ColorToHex(toColorValue(*c)));
    });
    setInsertCommandHandler(56, [](TForm1 &, InsertTexts &t) {
        const QString path = ui().openFileName(u"Style Sheets (*.css)|*.css"_s);
        if (!path.isEmpty())
            setTexts(t, u"<LINK REL=STYLE TYPE=\"text/css\" SRC=\""_s + path + u"\">"_s);
    });
    setInsertCommandHandler(64, [](TForm1 &, InsertTexts &t) {
        if (const auto input = ui().text(u"LABEL"_s, u"Text"_s))
            setTexts(t, u"<LABEL TEXT=\""_s + *input + u"\">"_s, u"</LABEL>"_s);
    });
    setInsertCommandHandler(66, [](TForm1 &, InsertTexts &t) {
        if (const auto input = ui().text(u"OPTION"_s, u"Hodnota"_s))
            setTexts(t, u"<OPTION VALUE=\""_s + *input + u"\">"_s, u"</OPTION>"_s);
    });
}

void registerOwnLogicCommands()
{
    setInsertCommandHandler(58, [](TForm1 &w, InsertTexts &) {
        if (!state().specialCharacter.isEmpty())
            w.activeBuffer()->InsertAtCaret(w.settings().TEXT, state().specialCharacter);
    });
    setInsertCommandHandler(59, [](TForm1 &, InsertTexts &t) { t = state().userTag; });
    setInsertCommandHandler(73, [](TForm1 &, InsertTexts &t) {
        setTexts(t, formatInsertDate(now().date()));
    });
    setInsertCommandHandler(74, [](TForm1 &, InsertTexts &t) {
        setTexts(t, formatInsertTime(now().time()));
    });
    setInsertCommandHandler(75, [](TForm1 &w, InsertTexts &) {
        w.activeBuffer()->InsertAtCaret(
            w.settings().SCRIPT, u"<SCRIPT LANGUAGE=\"JavaScript\" >\r\n"
                               u"document.write(document.lastModified)\r\n</SCRIPT>"_s);
    });
    setInsertCommandHandler(85, [](TForm1 &w, InsertTexts &) {
        InsertPageSkeleton(w, state().pendingPage.value_or(PageSkeleton{}));
    });
    setInsertCommandHandler(86, [](TForm1 &w, InsertTexts &) {
        if (!state().wizard)
            return;
        const auto page = state().wizard(w);
        if (!page)
            return;
        state().pendingPage = page;
        InsertTag(w, 85);
        state().pendingPage.reset();
    });
    setInsertCommandHandler(92, [](TForm1 &w, InsertTexts &t) {
        if (!state().treeSelection)
            return;
        const auto node = state().treeSelection(w);
        if (!node)
            return;
        const qsizetype comma = node->indexOf(u',');
        if (comma < 0)
            setTexts(t, QString(), *node);
        else
            setTexts(t, node->left(comma), node->mid(comma + 1));
    });
}

struct Trigger
{
    const char *id;
    int command;
};

// Menu items, in menu order; where two share a key the first keeps it (the menu decides).
// "&Počítadlo" is not here: it shows its dialog before command 22 runs.
constexpr Trigger kMenuTriggers[] = {
    {"EditInsertFile", 93},
    {"InsNbsp", 96},          {"InsCopyright", 97},  {"InsRegistered", 98},
    {"InsTrademark", 99},     {"InsH1", 76},         {"InsH2", 77},
    {"InsH3", 78},            {"InsH4", 79},         {"InsH5", 80},
    {"InsH6", 81},            {"InsTagA", 20},       {"InsTagBlockquote", 14},
    {"InsTagCenter", 13},     {"InsTagTd", 43},      {"InsTagFont", 8},
    {"InsTagHr", 47},         {"InsTagImg", 40},     {"InsTagTr", 42},
    {"InsTagTable", 41},      {"InsColor", 26},      {"InsQvtLink", 21},
    {"InsDate", 73},          {"InsTime", 74},
    {"InsLastEdit", 75},      {"HidBold", 1},        {"HidImage", 40},
    {"HidSound", 48},         {"HidItalic", 2},      {"HidLink", 20},
    {"HidListItem", 37},      {"HidFont", 8},        {"HidForm", 62},
    {"HidTT", 5},             {"HidUnderline", 4},   {"HidUL", 37},
};

constexpr Trigger kToolbarTriggers[] = {
    {"CommentButton", 25},
    {"ColorButton", 26},
    {"WizardButton", 86},
};

} // namespace

const FixedInsertText *fixedInsertText(int command)
{
    const auto it = std::find_if(std::begin(kFixed), std::end(kFixed),
                                 [command](const FixedInsertText &f) { return f.command == command; });
    return it == std::end(kFixed) ? nullptr : it;
}

QList<int> fixedInsertCommands()
{
    QList<int> numbers;
    for (const FixedInsertText &f : kFixed)
        numbers.append(f.command);
    return numbers;
}

void setInsertClock(std::function<QDateTime()> clock)
{
    state().clock = std::move(clock);
}

QString formatInsertDate(const QDate &date)
{
    // The full month name is the plain (nominative) one of the regional settings, and there
    // is no space between the day's dot and it.
    const QLocale locale;
    return locale.dayName(date.dayOfWeek(), QLocale::LongFormat) + u", "_s
        + QString::number(date.day()) + u"."_s
        + locale.standaloneMonthName(date.month(), QLocale::LongFormat) + u" "_s
        + QString::number(date.year()).rightJustified(4, u'0');
}

QString formatInsertTime(const QTime &time)
{
    return time.toString(u"HH:mm:ss"_s);
}

void setNewPageWizard(std::function<std::optional<PageSkeleton>(TForm1 &)> wizard)
{
    state().wizard = std::move(wizard);
}

void InsertPageSkeleton(TForm1 &window, const PageSkeleton &page)
{
    EditorBuffer *b = window.activeBuffer();
    if (!b)
        return;
    const ColorValue tag = window.settings().TAG;
    EditorBuffer::EditGroup group(*b);
    if (!page.docType.isEmpty())
        b->InsertAtCaret(tag, page.docType + u"\r\n"_s);
    b->InsertAtCaret(tag, u"<HTML>\r\n"_s);
    b->InsertAtCaret(tag, u"<HEAD>\r\n"_s);
    b->InsertAtCaret(tag, u"    <META NAME=\"Generator\" CONTENT=\"Brisko HTML Editor 3.52 final\">\r\n"_s);
    if (window.settings().MetaCz)
        b->InsertAtCaret(tag, u"    <META HTTP-EQUIV=\"Content-Type\" "
                              u"CONTENT=\"text/html; charset=windows-1250\">\r\n"_s);
    b->InsertAtCaret(tag, u"    <TITLE>"_s);
    b->InsertAtCaret(window.settings().TEXT, page.title);
    b->InsertAtCaret(tag, u"</TITLE>\r\n"_s);
    b->InsertAtCaret(tag, u"</HEAD>\r\n"_s);
    b->InsertAtCaret(tag, page.bodyStart + u"\r\n\r\n"_s);
    b->WrapSelection(tag, QString(), u"\r\n\r\n"_s + page.bodyEnd + u"\r\n</HTML>"_s);
}

void setTableWindowMarkup(std::function<std::optional<InsertTexts>(TForm1 &, int)> markup)
{
    state().tableWindow = std::move(markup);
}

void setTagTreeSelection(std::function<std::optional<QString>(TForm1 &)> selection)
{
    state().treeSelection = std::move(selection);
}

void InsertSpecialCharacter(TForm1 &window, const QString &text)
{
    state().specialCharacter = text;
    InsertTag(window, 58);
    state().specialCharacter.clear();
}

void InsertUserTag(TForm1 &window, const QString &opening, const QString &closing)
{
    state().userTag = InsertTexts{opening, closing};
    InsertTag(window, 59);
    state().userTag = {};
}

void MoveCaretBeforeHeadEnd(TForm1 &window)
{
    EditorBuffer *b = window.activeBuffer();
    if (!b)
        return;
    const qsizetype head = b->GetText().indexOf(u"</HEAD>"_s, 0, Qt::CaseInsensitive);
    if (head >= 0)
        b->SetSelStart(int(head));
    else
        b->SetSelLength(0);
}

void installInsertCommands(TForm1 &window)
{
    installTagPalette(window);
    for (const FixedInsertText &f : kFixed) {
        const QString opening = QString::fromUtf16(f.opening);
        const QString closing = QString::fromUtf16(f.closing);
        setInsertCommandHandler(f.command, [opening, closing](TForm1 &, InsertTexts &t) {
            setTexts(t, opening, closing);
        });
    }
    registerListCommands();
    registerLinkCommands();
    registerTableCommands();
    registerPromptCommands();
    registerOwnLogicCommands();

    for (const Trigger &t : kMenuTriggers) {
        const int command = t.command;
        QObject::connect(window.action(QLatin1StringView(t.id)), &QAction::triggered, &window,
                         [&window, command] { InsertTag(window, command); });
    }
    for (const Trigger &t : kToolbarTriggers) {
        if (QToolButton *button = window.toolButton(QLatin1StringView(t.id))) {
            const int command = t.command;
            QObject::connect(button, &QToolButton::clicked, &window,
                             [&window, command] { InsertTag(window, command); });
        }
    }
}
