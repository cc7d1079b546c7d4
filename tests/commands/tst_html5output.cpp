#include "commands/ChosenInsertions.h"
#include "dialogs/FormDialogs.h"
#include "dialogs/Html5Dialogs.h"
#include "dialogs/ImageDialog.h"
#include "dialogs/TextDialogs.h"
#include "commands/CommandIds.h"
#include "commands/EditCurrentTag.h"
#include "commands/ElementTable.h"
#include "commands/InsertCommands.h"
#include "commands/InsertTag.h"
#include "editor/HtmlDocument.h"
#include "markup/HtmlCheck.h"
#include "markup/MarkupStyle.h"
#include "support/TestMain.h"
#include "support/WorkspaceFixture.h"

#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <map>
#include <QPushButton>
#include <QComboBox>
#include <QRegularExpression>
#include <QToolButton>

using namespace Qt::StringLiterals;

// The user of the walk: takes every offer as it stands. A dialog is confirmed with its
// insertion button (or its default one, or the first picture of a dialog of pictures), a
// prompt gets a name, a colour red, a file the one given; nothing fails for a question the
// command asks.
class AgreeingUser final : public Interaction
{
public:
    explicit AgreeingUser(QString file) : m_file(std::move(file)) { m_previous = setInteraction(this); }
    ~AgreeingUser() override { setInteraction(m_previous); }

    QStringList errors;

    void showError(const QString &text) override { errors << text; }
    void showInfo(const QString &) override {}
    Answer ask(const QString &, Buttons) override { return Answer::Yes; }
    int choose(const QString &, const QStringList &) override { return 0; }
    QString openFileName(const QString &, const QString &, const QString &) override { return m_file; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString existingDirectory(const QString &, const QString &) override { return {}; }
    std::optional<QColor> color(const QColor &) override { return QColor(Qt::red); }
    std::optional<QString> text(const QString &, const QString &, const QString &) override
    {
        return u"pole"_s;
    }
    bool printSetup(QPrinter &) override { return false; }
    bool print(QPrinter &) override { return false; }
    int exec(QDialog &d) override
    {
        if (beforeConfirm)
            beforeConfirm(d);
        QAbstractButton *confirm = d.findChild<QPushButton *>(u"InsertButton"_s);
        for (QPushButton *b : d.findChildren<QPushButton *>()) {
            if (!confirm && b->isDefault())
                confirm = b;
        }
        if (!confirm)
            confirm = d.findChild<QToolButton *>();
        if (confirm)
            confirm->click();
        return d.result();
    }

    // Sets a dialog's fields as a user would before the dialog is confirmed.
    std::function<void(QDialog &)> beforeConfirm;

private:
    QString m_file;
    Interaction *m_previous = nullptr;
};

namespace {

// What a command takes from a list or a window of the frame rather than from the seam.
InsertArgs argsFor(int command)
{
    switch (command) {
    case number(Insertion::LineBreakFromList):
        return InsertArgs::withItem(u"CLEAR=ALL"_s);
    case number(Insertion::ParagraphFromList):
        return InsertArgs::withItem(u"ALIGN=CENTER"_s);
    case number(Insertion::UnorderedListFromList):
        return InsertArgs::withItem(u"TYPE=SQUARE"_s);
    case number(Insertion::Anchor):
    case number(Insertion::AnchorLink):
        return InsertArgs::withItem(u"kotva"_s);
    case number(Insertion::SpecialCharacter):
        return InsertArgs::withItem(u"&#153;"_s);
    case number(Insertion::TagTreeNode):
        return InsertArgs::withItem(u"<STRONG>,</STRONG>"_s);
    case number(Insertion::Counter):
        return InsertArgs::withItem(u"<IMG SRC=\"counter.gif\">"_s);
    case number(Insertion::UserTag):
        return InsertArgs::withMarkup({u"<MOJE Barva=red>"_s, u"</MOJE>"_s});
    }
    return {};
}

// Commands that write no element into a page's body: the page itself, and a file of the
// user's.
bool walkedIntoThePage(int command)
{
    return command != number(Insertion::PageSkeleton) && command != number(Insertion::NewPageWizard)
           && command != number(Insertion::InsertFile);
}

constexpr int LastCommand = number(Insertion::InlineFrame);

// What a user fills into one dialog before "Vložit": the fields as the dialog shows them
// (its defaults for the style among them), changed by edit.
template<class Dialog>
std::function<void(QDialog &)> filledIn(std::function<void(typename Dialog::Fields &)> edit)
{
    return [edit](QDialog &d) {
        auto *dialog = dynamic_cast<Dialog *>(&d);
        QVERIFY2(dialog, qPrintable(d.windowTitle()));
        typename Dialog::Fields fields = dialog->fields();
        edit(fields);
        dialog->setFields(fields);
    };
}

// The comment that opens the part of the walked page where the elements HTML5 dropped go.
const QString ObsoletePart = u"<!-- zastaralé prvky -->"_s;

// Where a command's element belongs: in the head, or in the body within the elements a user
// writes around it (a cell in a row of a table, an item in a list ...).
struct Placement
{
    QString before;
    QString after;
    bool inHead = false;
    // What the user selected for the command to wrap: the content the element needs.
    QString selected = {};
};

Placement placementOf(int command)
{
    const QString table = u"<table>"_s;
    const QString row = u"<tr><td>x</td></tr>"_s;
    switch (Insertion(command)) {
    case Insertion::TableRow:
        return {table, u"</table>"_s, false, u"<td>x</td>"_s};
    case Insertion::TableCell:
    case Insertion::TableHeaderCell:
        return {u"<table><tr>"_s, u"</tr></table>"_s};
    case Insertion::Caption:
        return {table, row + u"</table>"_s};
    case Insertion::TableHead:
    case Insertion::TableBody:
    case Insertion::TableFoot:
        return {table, u"</table>"_s, false, row};
    case Insertion::ListItem:
        return {u"<ul>"_s, u"</ul>"_s};
    case Insertion::DefinitionTerm:
        return {u"<dl>"_s, u"<dd>x</dd></dl>"_s};
    case Insertion::DefinitionDescription:
        return {u"<dl><dt>x</dt>"_s, u"</dl>"_s};
    case Insertion::Option:
        return {u"<select name=\"volba\">"_s, u"</select>"_s, false, u"Volba"_s};
    case Insertion::Legend:
        return {u"<fieldset>"_s, u"</fieldset>"_s};
    case Insertion::Param:
        return {u"<object data=\"soubor.swf\">"_s, u"</object>"_s};
    case Insertion::Meta:
    case Insertion::Style:
    case Insertion::StyleLink:
        return {QString(), QString(), true};
    default:
        return {};
    }
}

// The values a user fills into the dialogs of the walk, so nothing HTML5 requires is empty.
const std::map<int, std::function<void(QDialog &)>> &walkSamples()
{
    static const std::map<int, std::function<void(QDialog &)>> samples{
        {number(Insertion::Meta), filledIn<TWRKForm2>([](MetaFields &f) {
             f.name = u"description"_s;
             f.content = u"Všechny prvky"_s;
         })},
        {number(Insertion::Image), filledIn<TImageForm>([](ImageFields &f) {
             f.src = u"obrazek.gif"_s;
             f.alt = u"Obrázek"_s;
         })},
        {number(Insertion::FormInput), filledIn<TForm22>([](InputFields &f) {
             f.type = u"text"_s;
             f.name = u"pole"_s;
             f.id = u"pole"_s;
         })},
        {number(Insertion::Video), filledIn<VideoDialog>([](MediaElementFields &f) {
             f.src = u"film.mp4"_s;
             f.poster = u"film.jpg"_s;
         })},
        {number(Insertion::Audio), filledIn<AudioDialog>([](MediaElementFields &f) { f.src = u"zvuk.mp3"_s; })},
        {number(Insertion::DataList), filledIn<DataListDialog>([](DataListFields &f) {
             f.id = u"mesta"_s;
             f.options = u"Praha\r\nBrno"_s;
         })},
        {number(Insertion::Output), filledIn<OutputDialog>([](OutputFields &f) {
             f.name = u"soucet"_s;
             f.forIds = u"pole"_s;
         })},
        {number(Insertion::Progress), filledIn<ProgressDialog>([](ProgressFields &f) { f.max = u"100"_s; })},
        {number(Insertion::Meter), filledIn<MeterDialog>([](MeterFields &f) { f.value = u"0.5"_s; })},
        {number(Insertion::LabelFor), filledIn<LabelForDialog>([](LabelForFields &f) {
             f.forId = u"pole"_s;
             f.text = u"Pole"_s;
         })},
        {number(Insertion::Picture), filledIn<PictureDialog>([](PictureFields &f) {
             f.sources = {{u"obrazek.webp"_s, QString(), u"image/webp"_s, QString()}};
             f.src = u"obrazek.gif"_s;
             f.alt = u"Obrázek"_s;
         })},
    };
    return samples;
}

// "<marquee> ..." names the element a message of the check is about.
QString elementOfMessage(const QString &text)
{
    static const QRegularExpression element(u"<([a-zA-Z0-9]+)>"_s);
    const QRegularExpressionMatch m = element.match(text);
    return m.hasMatch() ? m.captured(1).toUpper() : QString();
}

bool saysObsolete(const HtmlMessage &m)
{
    static const QStringList keys{u"REMOVED_HTML5"_s, u"ELEMENT_VERS_MISMATCH_WARN"_s,
                                  u"ELEMENT_VERS_MISMATCH_ERROR"_s, u"MISMATCHED_ATTRIBUTE_WARN"_s,
                                  u"MISMATCHED_ATTRIBUTE_ERROR"_s, u"PROPRIETARY_ELEMENT"_s,
                                  u"PROPRIETARY_ATTRIBUTE"_s, u"PROPRIETARY_ATTR_VALUE"_s};
    return keys.contains(m.key);
}

// A dialog of today's elements as a user fills it, and what it writes in each style.
struct DialogGolden
{
    const char *name;
    Insertion command;
    std::function<void(QDialog &)> fill;
    QString html4;
    QString html5;
};

std::vector<DialogGolden> dialogGoldens()
{
    std::vector<DialogGolden> g;
    g.push_back({"video with poster, sources and subtitles", Insertion::Video,
                 filledIn<VideoDialog>([](MediaElementFields &f) {
                     f.poster = u"film.jpg"_s;
                     f.width = {true, 640};
                     f.height = {true, 360};
                     f.sources = {{u"film.webm"_s, u"video/webm"_s, QString()},
                                  {u"film.mp4"_s, u"video/mp4"_s, QString()}};
                     f.tracks = {{u"cs.vtt"_s, u"subtitles"_s, u"cs"_s, u"Česky"_s, true, QString()}};
                     f.fallback = u"Video nelze přehrát."_s;
                 }),
                 u"<VIDEO POSTER=\"film.jpg\" WIDTH=640 HEIGHT=360 CONTROLS>\r\n<SOURCE SRC=\"film.webm\" TYPE=\"video/webm\">\r\n"
                 u"<SOURCE SRC=\"film.mp4\" TYPE=\"video/mp4\">\r\n"
                 u"<TRACK SRC=\"cs.vtt\" KIND=\"subtitles\" SRCLANG=\"cs\" LABEL=\"Česky\" DEFAULT>\r\n"
                 u"Video nelze přehrát.\r\n</VIDEO>"_s,
                 u"<video poster=\"film.jpg\" width=\"640\" height=\"360\" controls>\r\n"
                 u"<source src=\"film.webm\" type=\"video/webm\">\r\n<source src=\"film.mp4\" type=\"video/mp4\">\r\n"
                 u"<track src=\"cs.vtt\" kind=\"subtitles\" srclang=\"cs\" label=\"Česky\" default>\r\n"
                 u"Video nelze přehrát.\r\n</video>"_s});
    g.push_back({"sound", Insertion::Audio, filledIn<AudioDialog>([](MediaElementFields &f) {
                     f.src = u"zvuk.mp3"_s;
                     f.preload = u"none"_s;
                     f.loop = true;
                 }),
                 u"<AUDIO SRC=\"zvuk.mp3\" PRELOAD=\"none\" CONTROLS LOOP>\r\n\r\n</AUDIO>"_s,
                 u"<audio src=\"zvuk.mp3\" preload=\"none\" controls loop>\r\n\r\n</audio>"_s});
    g.push_back({"list of values", Insertion::DataList, filledIn<DataListDialog>([](DataListFields &f) {
                     f.id = u"mesta"_s;
                     f.options = u"Praha\r\nBrno"_s;
                 }),
                 u"<DATALIST ID=\"mesta\">\r\n<OPTION VALUE=\"Praha\">\r\n<OPTION VALUE=\"Brno\">\r\n</DATALIST>"_s,
                 u"<datalist id=\"mesta\">\r\n<option value=\"Praha\">\r\n<option value=\"Brno\">\r\n</datalist>"_s});
    g.push_back({"output", Insertion::Output, filledIn<OutputDialog>([](OutputFields &f) {
                     f.name = u"soucet"_s;
                     f.forIds = u"a b"_s;
                 }),
                 u"<OUTPUT NAME=\"soucet\" FOR=\"a b\"></OUTPUT>"_s,
                 u"<output name=\"soucet\" for=\"a b\"></output>"_s});
    g.push_back({"progress", Insertion::Progress, filledIn<ProgressDialog>([](ProgressFields &f) {
                     f.value = u"70"_s;
                     f.max = u"100"_s;
                 }),
                 u"<PROGRESS VALUE=\"70\" MAX=\"100\"></PROGRESS>"_s,
                 u"<progress value=\"70\" max=\"100\"></progress>"_s});
    g.push_back({"meter", Insertion::Meter, filledIn<MeterDialog>([](MeterFields &f) {
                     f = {u"0.6"_s, u"0"_s, u"1"_s, u"0.2"_s, u"0.8"_s, u"0.5"_s};
                 }),
                 u"<METER VALUE=\"0.6\" MIN=\"0\" MAX=\"1\" LOW=\"0.2\" HIGH=\"0.8\" OPTIMUM=\"0.5\"></METER>"_s,
                 u"<meter value=\"0.6\" min=\"0\" max=\"1\" low=\"0.2\" high=\"0.8\" optimum=\"0.5\"></meter>"_s});
    g.push_back({"label of a control", Insertion::LabelFor, filledIn<LabelForDialog>([](LabelForFields &f) {
                     f.forId = u"email"_s;
                     f.text = u"E-mail:"_s;
                 }),
                 u"<LABEL FOR=\"email\">E-mail:</LABEL>"_s,
                 u"<label for=\"email\">E-mail:</label>"_s});
    // The picture and the image load lazily on an HTML5 page unless the user says otherwise.
    g.push_back({"picture with sources per screen", Insertion::Picture,
                 filledIn<PictureDialog>([](PictureFields &f) {
                     f.sources = {{u"hrad.avif"_s, u"(min-width: 800px)"_s, u"image/avif"_s, QString()},
                                  {u"hrad-1x.webp 1x, hrad-2x.webp 2x"_s, QString(), u"image/webp"_s,
                                   QString()}};
                     f.src = u"hrad.jpg"_s;
                     f.alt = u"Hrad"_s;
                     f.width = {true, 800};
                     f.height = {true, 600};
                 }),
                 u"<PICTURE>\r\n<SOURCE SRCSET=\"hrad.avif\" MEDIA=\"(min-width: 800px)\" TYPE=\"image/avif\">\r\n"
                 u"<SOURCE SRCSET=\"hrad-1x.webp 1x, hrad-2x.webp 2x\" TYPE=\"image/webp\">\r\n"
                 u"<IMG SRC=\"hrad.jpg\" ALT=\"Hrad\" WIDTH=800 HEIGHT=600>\r\n</PICTURE>"_s,
                 u"<picture>\r\n<source srcset=\"hrad.avif\" media=\"(min-width: 800px)\" type=\"image/avif\">\r\n"
                 u"<source srcset=\"hrad-1x.webp 1x, hrad-2x.webp 2x\" type=\"image/webp\">\r\n"
                 u"<img src=\"hrad.jpg\" alt=\"Hrad\" width=\"800\" height=\"600\" loading=\"lazy\">\r\n</picture>"_s});
    g.push_back({"image with srcset, sizes and decoding", Insertion::Image,
                 filledIn<TImageForm>([](ImageFields &f) {
                     f.src = u"hrad.jpg"_s;
                     f.alt = u"Hrad"_s;
                     f.srcset = {{u"hrad-480.jpg"_s, u"480w"_s}, {u"hrad-800.jpg"_s, u"800w"_s}};
                     f.sizes = u"(max-width: 600px) 480px, 800px"_s;
                     f.decoding = u"async"_s;
                 }),
                 u"<IMG  SRC=\"hrad.jpg\" ALT=\"Hrad\" SRCSET=\"hrad-480.jpg 480w, hrad-800.jpg 800w\""
                 u" SIZES=\"(max-width: 600px) 480px, 800px\" DECODING=\"async\">"_s,
                 u"<img src=\"hrad.jpg\" alt=\"Hrad\" srcset=\"hrad-480.jpg 480w, hrad-800.jpg 800w\""
                 u" sizes=\"(max-width: 600px) 480px, 800px\" loading=\"lazy\" decoding=\"async\">"_s});
    g.push_back({"image in a figure", Insertion::Image, filledIn<TImageForm>([](ImageFields &f) {
                     f.src = u"hrad.jpg"_s;
                     f.alt = u"Hrad"_s;
                     f.figure = true;
                     f.caption = u"Hrad v zimě"_s;
                 }),
                 u"<FIGURE>\r\n<IMG  SRC=\"hrad.jpg\" ALT=\"Hrad\">\r\n<FIGCAPTION>Hrad v zimě</FIGCAPTION>\r\n</FIGURE>"_s,
                 u"<figure>\r\n<img src=\"hrad.jpg\" alt=\"Hrad\" loading=\"lazy\">\r\n<figcaption>Hrad v zimě</figcaption>\r\n</figure>"_s});
    // The input's types of today with what they need.
    g.push_back({"input email, required", Insertion::FormInput, filledIn<TForm22>([](InputFields &f) {
                     f.type = u"email"_s;
                     f.name = u"email"_s;
                     f.id = u"email"_s;
                     f.placeholder = u"jan@example.cz"_s;
                     f.autocomplete = u"email"_s;
                     f.required = true;
                 }),
                 u"<INPUT  TYPE=\"email\" NAME=\"email\" ID=\"email\" PLACEHOLDER=\"jan@example.cz\" AUTOCOMPLETE=\"email\" REQUIRED>"_s,
                 u"<input type=\"email\" name=\"email\" id=\"email\" placeholder=\"jan@example.cz\" autocomplete=\"email\" required>"_s});
    g.push_back({"input date with bounds", Insertion::FormInput, filledIn<TForm22>([](InputFields &f) {
                     f.type = u"date"_s;
                     f.name = u"den"_s;
                     f.min = u"2026-01-01"_s;
                     f.max = u"2026-12-31"_s;
                 }),
                 u"<INPUT  TYPE=\"date\" NAME=\"den\" MIN=\"2026-01-01\" MAX=\"2026-12-31\">"_s,
                 u"<input type=\"date\" name=\"den\" min=\"2026-01-01\" max=\"2026-12-31\">"_s});
    g.push_back({"input range with list", Insertion::FormInput, filledIn<TForm22>([](InputFields &f) {
                     f.type = u"range"_s;
                     f.name = u"hlasitost"_s;
                     f.list = u"znacky"_s;
                     f.min = u"0"_s;
                     f.max = u"10"_s;
                     f.step = u"0.5"_s;
                 }),
                 u"<INPUT  TYPE=\"range\" NAME=\"hlasitost\" LIST=\"znacky\" MIN=\"0\" MAX=\"10\" STEP=\"0.5\">"_s,
                 u"<input type=\"range\" name=\"hlasitost\" list=\"znacky\" min=\"0\" max=\"10\" step=\"0.5\">"_s});
    return g;
}

} // namespace

// Every insertion command and element dialog in HTML5: a valid page, F7 keeping the style a
// tag was written in, and HTML 4 as the commands always wrote it.
class tst_Html5Output : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void everyCommandMakesOneValidHtml5Page();
    void walkedPagePassesTheNuChecker();
    void html5IsTheHtml4MarkupRewritten_data();
    void html5IsTheHtml4MarkupRewritten();
    void dialogsWriteTheirStyle_data();
    void dialogsWriteTheirStyle();
    void newPageIsUtf8Html5();
    void newPageTakesTheChosenLanguage_data();
    void newPageTakesTheChosenLanguage();
    void labelNamesItsControl();
    void timeCarriesToday();
    void f7KeepsTheStyleOfTheTag_data();
    void f7KeepsTheStyleOfTheTag();

private:
    void useStyle(MarkupStyle style) { m_fx->settings().MarkupStyle = markupStyleName(style); }
    // The text a command writes into an empty document.
    QString written(int command, MarkupStyle style);
    void writeTextTo(const QString &path, const QString &text);
    // The commands whose markup holds an element HTML5 dropped without a replacement.
    QList<int> commandsWritingObsoleteElements();
    QString m_walkedPage;

    std::unique_ptr<WorkspaceFixture> m_fx;
    std::unique_ptr<AgreeingUser> m_user;
};

void tst_Html5Output::init()
{
    m_fx = std::make_unique<WorkspaceFixture>();
    const QString file = TestEnvironment::root() + u"/vlozeny.txt"_s;
    QFile text(file);
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("vlozeny text");
    m_user = std::make_unique<AgreeingUser>(file);
    setInsertClock([] { return QDateTime(QDate(2026, 12, 10), QTime(11, 30)); });
    m_walkedPage = TestEnvironment::root() + u"/stranka.html"_s;
}

void tst_Html5Output::cleanup()
{
    setInsertClock({});
    m_user.reset();
    m_fx.reset();
}

QString tst_Html5Output::written(int command, MarkupStyle style)
{
    useStyle(style);
    m_fx->setText(QString());
    InsertTag(m_fx->workspace(), command, argsFor(command));
    return m_fx->buffer().GetText();
}

// Each command writes where its element belongs, one after another, as a user fills a page:
// the elements HTML5 dropped go into a part of their own at the end of the body.
void tst_Html5Output::everyCommandMakesOneValidHtml5Page()
{
    const QList<int> obsolete = commandsWritingObsoleteElements();
    useStyle(MarkupStyle::Html5);
    HtmlDocument &page = m_fx->buffer();
    m_fx->setText(QString());
    InsertTag(m_fx->workspace(), number(Insertion::PageSkeleton));
    page.SetSelStart(int(page.GetText().lastIndexOf(u"</body>"_s)));
    page.InsertAtCaret(0, ObsoletePart + u"\r\n"_s);
    const std::map<int, std::function<void(QDialog &)>> samples = walkSamples();
    for (int command = 1; command <= number(LastInsertion); ++command) {
        // The user tag is the user's own markup, not the program's.
        if (!walkedIntoThePage(command) || command == number(Insertion::UserTag))
            continue;
        const Placement placement = placementOf(command);
        const QString text = page.GetText();
        const qsizetype at = placement.inHead ? text.indexOf(u"</head>"_s)
                             : obsolete.contains(command) ? text.lastIndexOf(u"</body>"_s)
                                                          : text.indexOf(ObsoletePart);
        page.SetSelStart(int(at));
        page.InsertAtCaret(0, placement.before + placement.selected + placement.after + u"\r\n"_s);
        page.SetSelStart(int(at + placement.before.size()));
        page.SetSelLength(int(placement.selected.size()));
        const auto sample = samples.find(command);
        m_user->beforeConfirm = sample == samples.end() ? std::function<void(QDialog &)>() : sample->second;
        InsertTag(m_fx->workspace(), command, argsFor(command));
    }
    const QString text = page.GetText();
    const qsizetype obsoleteAt = text.indexOf(ObsoletePart);
    const int obsoleteLine = int(text.left(obsoleteAt).count(u'\n')) + 1;
    const QString current = text.left(obsoleteAt) + text.sliced(text.lastIndexOf(u"</body>"_s));
    if (const QByteArray path = qgetenv("BRISKO_HTML5_PAGE"); !path.isEmpty())
        writeTextTo(QString::fromLocal8Bit(path), current); // for the Nu checker by hand
    writeTextTo(m_walkedPage, current);
    QVERIFY(text.contains(u"&trade;"_s));
    for (const HtmlMessage &m : checkHtml(text)) {
        QVERIFY2(m.kind != HtmlMessageKind::Error, qPrintable(describeHtmlMessage(m)));
        if (!saysObsolete(m))
            continue;
        // Only in the part of what HTML5 dropped without a replacement, and the check says so.
        QVERIFY2(m.line >= obsoleteLine, qPrintable(describeHtmlMessage(m)));
        QVERIFY2(isObsoleteWithoutReplacement(elementOfMessage(m.text)), qPrintable(describeHtmlMessage(m)));
        if (m.key.contains(u"ELEMENT"_s) || m.key == u"REMOVED_HTML5"_s)
            QVERIFY2(m.text.contains(u"zastaralé"_s), qPrintable(m.text));
    }
}

// The walked page without its obsolete part through the W3C Nu checker, where this machine
// has it (scripts/check-html5.sh installs it): not one error.
void tst_Html5Output::walkedPagePassesTheNuChecker()
{
    const QString jar = qEnvironmentVariable("BRISKO_VNU_JAR");
    if (jar.isEmpty() || !QFileInfo::exists(jar))
        QSKIP("the W3C Nu checker (vnu.jar) is not installed: scripts/check-html5.sh installs it");
    if (QStandardPaths::findExecutable(u"java"_s).isEmpty())
        QSKIP("no Java runtime for the W3C Nu checker");
    everyCommandMakesOneValidHtml5Page();
    if (QTest::currentTestFailed())
        return;
    QProcess vnu;
    vnu.start(u"java"_s, {u"-jar"_s, jar, u"--errors-only"_s, u"--format"_s, u"gnu"_s, m_walkedPage});
    QVERIFY2(vnu.waitForFinished(180000), "the checker did not finish");
    const QString said = QString::fromUtf8(vnu.readAllStandardError() + vnu.readAllStandardOutput());
    QVERIFY2(said.trimmed().isEmpty(), qPrintable(said));
    QCOMPARE(vnu.exitCode(), 0);
}

void tst_Html5Output::writeTextTo(const QString &path, const QString &text)
{
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(text.toUtf8());
}

QList<int> tst_Html5Output::commandsWritingObsoleteElements()
{
    static const QRegularExpression startTag(u"<([a-zA-Z][a-zA-Z0-9]*)"_s);
    QList<int> obsolete;
    for (int command = 1; command <= number(LastInsertion); ++command) {
        if (!walkedIntoThePage(command))
            continue;
        const auto sample = walkSamples().find(command);
        m_user->beforeConfirm = sample == walkSamples().end() ? std::function<void(QDialog &)>() : sample->second;
        const QString text = written(command, MarkupStyle::Html5);
        for (const QRegularExpressionMatch &m : startTag.globalMatch(text)) {
            if (isObsoleteWithoutReplacement(m.captured(1).toUpper()) && !obsolete.contains(command))
                obsolete << command;
        }
    }
    m_user->beforeConfirm = {};
    return obsolete;
}

void tst_Html5Output::html5IsTheHtml4MarkupRewritten_data()
{
    QTest::addColumn<int>("command");
    for (int command = 1; command <= LastCommand; ++command) {
        if (walkedIntoThePage(command) && command != number(Insertion::Label))
            QTest::addRow("command %d", command) << command;
    }
}

// HTML 4 mode writes exactly what the commands always wrote; HTML5 mode writes the same
// markup through the one rewriting, whatever path the command takes to the document.
void tst_Html5Output::html5IsTheHtml4MarkupRewritten()
{
    QFETCH(int, command);
    const QString html4 = written(command, MarkupStyle::Html4);
    const QString html5 = written(command, MarkupStyle::Html5);
    if (const FixedInsertText *fixed = fixedInsertText(command)) {
        // The document holds CR LF for every line break.
        const QString text = QString::fromUtf16(fixed->opening) + QString::fromUtf16(fixed->closing);
        QCOMPARE(html4, QString(text).replace(u"\r\n"_s, u"\n"_s).replace(u"\n"_s, u"\r\n"_s));
    }
    if (command == number(Insertion::UserTag)) {
        // The user's own markup goes in as written.
        QCOMPARE(html5, html4);
        return;
    }
    if (command == number(Insertion::Image)) {
        // A picture of an HTML5 page loads lazily unless the user says otherwise.
        QCOMPARE(html5, toHtml5(QString(html4).replace(u">"_s, u" LOADING=\"lazy\">"_s)));
        return;
    }
    QCOMPARE(html5, toHtml5(html4));
    // The Active-X dialog says its component list is missing: the test has no data folder.
    QVERIFY(m_user->errors.isEmpty() || command == number(Insertion::ActiveX));
}

void tst_Html5Output::dialogsWriteTheirStyle_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("style");
    const std::vector<DialogGolden> goldens = dialogGoldens();
    for (size_t i = 0; i < goldens.size(); ++i) {
        QTest::addRow("%s, HTML 4", goldens[i].name) << int(i) << int(MarkupStyle::Html4);
        QTest::addRow("%s, HTML5", goldens[i].name) << int(i) << int(MarkupStyle::Html5);
    }
}

// What each dialog of today's elements writes, word for word, in each style.
void tst_Html5Output::dialogsWriteTheirStyle()
{
    QFETCH(int, index);
    QFETCH(int, style);
    const DialogGolden golden = dialogGoldens()[size_t(index)];
    m_user->beforeConfirm = golden.fill;
    const QString text = written(number(golden.command), MarkupStyle(style));
    if (qEnvironmentVariableIsSet("BRISKO_PRINT_GOLDEN"))
        qInfo().noquote() << golden.name << style << text;
    QCOMPARE(text, MarkupStyle(style) == MarkupStyle::Html5 ? golden.html5 : golden.html4);
    QVERIFY(m_user->errors.isEmpty());
}

void tst_Html5Output::newPageIsUtf8Html5()
{
    useStyle(MarkupStyle::Html5);
    InsertTag(m_fx->workspace(), number(Insertion::NewPageWizard));
    const QString page = m_fx->buffer().GetText();
    QVERIFY2(page.startsWith(u"<!DOCTYPE html>\r\n<html lang=\"cs\">\r\n<head>\r\n    <meta charset=\"utf-8\">\r\n"
                             u"    <meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\r\n"
                             u"    <meta name=\"generator\" content=\"Brisko HTML Editor 3.52 final\">\r\n"
                             u"    <title>Bez titulku</title>\r\n</head>\r\n<body>\r\n"_s),
             qPrintable(page));
    QCOMPARE(m_fx->buffer().encoding().encoding, TextEncoding::Utf8);
    QVERIFY(checkHtml(page).isEmpty());

    // An HTML 4 page stays in Windows-1250, as always.
    m_fx->workspace().NewDocumentWindow();
    useStyle(MarkupStyle::Html4);
    InsertTag(m_fx->workspace(), number(Insertion::NewPageWizard));
    QVERIFY(m_fx->buffer().GetText().startsWith(u"<HTML>"_s));
    QCOMPARE(m_fx->buffer().encoding().encoding, TextEncoding::Windows1250);
}

void tst_Html5Output::newPageTakesTheChosenLanguage_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("root"); // the page's root element as written

    QTest::newRow("HTML5, English") << int(MarkupStyle::Html5) << u"en"_s << u"<html lang=\"en\">"_s;
    // No language is no attribute rather than an empty one.
    QTest::newRow("HTML5, none") << int(MarkupStyle::Html5) << QString() << u"<html>"_s;
    // HTML 4 pages are written as they always were, whatever the field says.
    QTest::newRow("HTML 4") << int(MarkupStyle::Html4) << u"en"_s << u"<HTML>"_s;
}

void tst_Html5Output::newPageTakesTheChosenLanguage()
{
    QFETCH(int, style);
    QFETCH(QString, chosen);
    QFETCH(QString, root);
    useStyle(MarkupStyle(style));
    bool offered = false;
    m_user->beforeConfirm = [&](QDialog &d) {
        auto *lang = d.findChild<QComboBox *>(u"LangCombo"_s);
        QVERIFY(lang);
        QCOMPARE(lang->currentText(), u"cs"_s);
        offered = lang->isEnabled();
        lang->setEditText(chosen);
    };
    InsertTag(m_fx->workspace(), number(Insertion::NewPageWizard));
    QCOMPARE(offered, MarkupStyle(style) == MarkupStyle::Html5);
    const QString page = m_fx->buffer().GetText();
    QVERIFY2(page.contains(root + u"\r\n"_s), qPrintable(page));
    QVERIFY(!page.contains(u"lang"_s, Qt::CaseInsensitive) || MarkupStyle(style) == MarkupStyle::Html5);
}

// A time element with an empty DATETIME is no time: it gets today's date to change.
void tst_Html5Output::timeCarriesToday()
{
    QCOMPARE(written(number(Insertion::TimeTag), MarkupStyle::Html5),
             u"<time datetime=\"2026-12-10\"></time>"_s);
}

// HTML never had TEXT on a label; HTML5 asks for the control the label is for, and F7 asks
// for it again.
void tst_Html5Output::labelNamesItsControl()
{
    QCOMPARE(written(number(Insertion::Label), MarkupStyle::Html4), u"<LABEL TEXT=\"pole\"></LABEL>"_s);
    QCOMPARE(written(number(Insertion::Label), MarkupStyle::Html5), u"<label for=\"pole\"></label>"_s);
    // F7 shows the control the label names in the label's dialog, and takes another.
    m_fx->setText(u"<label for=\"jmeno\">x"_s, 2);
    QString shown;
    m_user->beforeConfirm = [&shown](QDialog &d) {
        auto *control = d.findChild<QComboBox *>(u"ForCombo"_s);
        QVERIFY(control);
        shown = control->currentText();
        control->setEditText(u"pole"_s);
    };
    EditCurrentTag(m_fx->workspace());
    QCOMPARE(shown, u"jmeno"_s);
    QCOMPARE(m_fx->buffer().GetText(), u"<label for=\"pole\">x"_s);
}

void tst_Html5Output::f7KeepsTheStyleOfTheTag_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("expected");
    // What the HTML5 commands wrote comes back as it was.
    QTest::newRow("image") << u"<img src=\"a.gif\" alt=\"Obrázek\" width=\"120\">"_s
                           << u"<img src=\"a.gif\" alt=\"Obrázek\" width=\"120\">"_s;
    QTest::newRow("link") << u"<a href=\"index.html\" target=\"_blank\">"_s
                          << u"<a href=\"index.html\" target=\"_blank\">"_s;
    QTest::newRow("input") << u"<input type=\"text\" name=\"q\">"_s << u"<input type=\"text\" name=\"q\">"_s;
    // An upper-case tag stays upper case, whatever the setting.
    QTest::newRow("upper image") << u"<IMG SRC=\"a.gif\" ALT=\"x\">"_s << u"<IMG  SRC=\"a.gif\" ALT=\"x\">"_s;
    // A FONT written as a span takes its own end tag along, past the FONT nested in it.
    QTest::newRow("font") << u"<font color=\"red\">A <font size=\"2\">B</font> C</font>"_s
                          << u"<span style=\"color: #FF0000\">A <font size=\"2\">B</font> C</span>"_s;
    QTest::newRow("font, upper end tag") << u"<font color=\"red\">A</FONT>"_s
                                         << u"<span style=\"color: #FF0000\">A</span>"_s;
    // The cells keep the borders and padding their table's attributes give them.
    QTest::newRow("table") << u"<table cellpadding=\"8\" cellspacing=\"4\" border=\"2\" width=\"80%\">"_s
                           << u"<table style=\"border-spacing: 4px; width: 80%\" border=\"2\" cellpadding=\"8\">"_s;
    QTest::newRow("table in style") << u"<table style=\"border: 1px outset; width: 80%\">"_s
                                    << u"<table style=\"width: 80%; border: 1px outset\">"_s;
    QTest::newRow("font never closed") << u"<font color=\"red\">A</b>"_s
                                       << u"<span style=\"color: #FF0000\">A</b>"_s;
}

void tst_Html5Output::f7KeepsTheStyleOfTheTag()
{
    QFETCH(QString, tag);
    QFETCH(QString, expected);
    useStyle(MarkupStyle::Html5);
    m_fx->setText(tag + u"x"_s, 2);
    EditCurrentTag(m_fx->workspace());
    QCOMPARE(m_fx->buffer().GetText(), expected + u"x"_s);
    // One undo step takes the whole edit back.
    m_fx->buffer().Undo();
    QCOMPARE(m_fx->buffer().GetText(), tag + u"x"_s);
}

BRISKO_TEST_MAIN(tst_Html5Output)
#include "tst_html5output.moc"
