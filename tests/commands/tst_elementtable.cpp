#include "commands/EditCurrentTag.h"
#include "commands/ElementTable.h"
#include "markup/FormMarkup.h"
#include "markup/FrameMarkup.h"
#include "markup/Html5Markup.h"
#include "markup/ImageMarkup.h"
#include "markup/LinkMarkup.h"
#include "markup/MediaMarkup.h"
#include "markup/PageMarkup.h"
#include "markup/TableMarkup.h"
#include "markup/TextMarkup.h"
#include "support/DialogControls.h"
#include "support/WorkspaceFixture.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

QString rowName(const ElementRow &row)
{
    return row.tags.isEmpty() ? u"command %1"_s.arg(row.command) : row.tags.join(u'/');
}

// The first control the user fills in: the first field in the focus chain that takes the
// focus by Tab; buttons and page tabs are not fields. A dialog of buttons alone opens on
// its first button.
QWidget *firstField(QDialog &d)
{
    QWidget *firstButton = nullptr;
    for (QWidget *w = d.nextInFocusChain(); w && w != &d; w = w->nextInFocusChain()) {
        if (!d.isAncestorOf(w) || !(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled()
            || !w->isVisibleTo(&d) || w->focusProxy() || qobject_cast<QTabBar *>(w))
            continue;
        // A colour picker is a button that holds a field's value.
        if (!qobject_cast<QAbstractButton *>(w) || w->property("color").isValid())
            return w;
        if (!firstButton)
            firstButton = w;
    }
    return firstButton;
}

struct Sample
{
    const char *name;
    QString tag;
    QString upperName;
    std::optional<QString> prompted; // the answer of a one-line prompt
};

// Tags as the dialogs compose them, values in the case a user may write them and numbers
// whose boxes are ticked at 0 among them. Every element F7 edits has one at least.
std::vector<Sample> samples()
{
    std::vector<Sample> s;
    auto add = [&](const char *name, const Markup &m, const QString &upper) {
        s.push_back({name, m.opening.trimmed(), upper, std::nullopt});
    };
    add("FONT", composeFont({u"Arial"_s, u"+"_s, u"2"_s, {true, 0x0000FF}}), u"FONT"_s);
    add("A", composeLink({u"index.html"_s, u"_blank"_s}), u"A"_s);
    add("META", composeMeta({u"keywords"_s, u"a, b"_s, QString(), false}), u"META"_s);
    add("MARQUEE", composeMarquee({u"alternate"_s, u"left"_s, u"5"_s, {true, 0x00FF00},
                                   {true, 150}, {true, 0}}), u"MARQUEE"_s);
    add("HR", composeHr({u"95%"_s, u"3"_s, {true, 0x0000FF}, false}), u"HR"_s);
    add("HR default", composeHr({}), u"HR"_s);
    add("BGSOUND", composeSound({u"a.mid"_s, u"infinite"_s}), u"BGSOUND"_s);
    add("EMBED", composeEmbed({u"a.swf"_s, u"foreground"_s, {true, 240}, {true, 0}, QString()}),
        u"EMBED"_s);
    add("SCRIPT", composeScript({u"VBS "_s, u"Hra"_s, u"onunload "_s, u"window"_s}), u"SCRIPT"_s);
    add("APPLET", composeApplet({u"cls/"_s, u"A.class"_s, u"top"_s, {true, 1000}, {true, 0}}),
        u"APPLET"_s);
    add("PARAM", composeParam({u"autostart"_s, u"true"_s}), u"PARAM"_s);
    InputFields input;
    input.type = u"text"_s;
    input.name = u"q"_s;
    input.tabIndex = {true, 0};
    input.size = {true, 120};
    input.readOnly = true;
    add("INPUT", composeInput(input), u"INPUT"_s);
    add("FORM", composeForm({u"f"_s, u"post"_s, u"/cgi"_s, u"t"_s, u"_top"_s}), u"FORM"_s);
    add("SELECT", composeSelect({u"s"_s, u"left"_s, {true, 0}, {true, 5}, true, true}),
        u"SELECT"_s);
    add("TEXTAREA", composeTextArea({u"t"_s, u"right"_s, {true, 40}, {true, 5}, {false, 0}, true}),
        u"TEXTAREA"_s);
    add("FRAMESET", composeFrameSet({u"180,*"_s, QString(), {true, 0}, false, FrameScrolling::No}),
        u"FRAMESET"_s);
    add("FRAME", composeFrame({u"menu.htm"_s, u"menu"_s, QString(), {true, 0}, {false, 0},
                               FrameScrolling::Yes, false}), u"FRAME"_s);
    add("IFRAME", composeInlineFrame({u"a.htm"_s, u"i"_s, u"left"_s, {false, 0}, {true, 300},
                                      FrameScrolling::Auto, true}), u"IFRAME"_s);
    ImageFields image;
    image.src = u"a.gif"_s;
    image.alt = u"Obrázek"_s;
    image.align = u"middle"_s;
    image.width = {true, 120};
    image.border = {true, 0};
    add("IMG", composeImage(image), u"IMG"_s);
    BodyFields body;
    body.bgColor = {true, 0xFFFFFF};
    body.topMargin = {true, 0};
    body.background = u"pozadi.gif"_s;
    add("BODY", composeBody(body), u"BODY"_s);
    TableFields table;
    table.border = {true, 0};
    table.width = u"90%"_s;
    table.bgColor = {true, 0x00FF00};
    add("TABLE", composeTable(table), u"TABLE"_s);
    RowFields row;
    row.valign = u"top"_s;
    add("TR", composeRow(row), u"TR"_s);
    CellFields cell;
    cell.colSpan = {true, 2};
    cell.align = u"center"_s;
    add("TD", composeCell(cell, u"TD"_s), u"TD"_s);
    add("TH", composeCell(cell, u"TH"_s), u"TH"_s);
    // The elements of today's pages; a video and a list come back with their children.
    MediaElementFields video;
    video.poster = u"film.jpg"_s;
    video.width = {true, 0};
    video.preload = u"none"_s;
    video.sources = {{u"film.webm"_s, u"video/webm"_s, QString()},
                     {u"film.mp4"_s, u"video/mp4"_s, u"data-q=hd"_s}};
    video.tracks = {{u"cs.vtt"_s, u"subtitles"_s, u"cs"_s, u"Česky"_s, true, QString()}};
    add("VIDEO", composeVideo(video), u"VIDEO"_s);
    MediaElementFields sound;
    sound.src = u"zvuk.mp3"_s;
    sound.loop = true;
    add("AUDIO", composeAudio(sound), u"AUDIO"_s);
    add("DATALIST", composeDataList({u"mesta"_s, u"Praha\r\nBrno"_s}), u"DATALIST"_s);
    add("OUTPUT", composeOutput({u"soucet"_s, u"a b"_s, u"f"_s}), u"OUTPUT"_s);
    add("PROGRESS", composeProgress({u"70"_s, u"100"_s}), u"PROGRESS"_s);
    add("METER", composeMeter({u"0.6"_s, u"0"_s, u"1"_s, QString(), QString(), u"1"_s}), u"METER"_s);
    add("LABEL FOR", composeLabelFor({u"email"_s, QString()}), u"LABEL"_s);
    ImageFields picture;
    picture.src = u"a.jpg"_s;
    picture.srcset = {{u"a-480.jpg"_s, u"480w"_s}, {u"a-800.jpg"_s, u"800w"_s}};
    picture.sizes = u"100vw"_s;
    picture.lazy = true;
    picture.decoding = u"async"_s;
    add("IMG srcset", composeImage(picture), u"IMG"_s);
    InputFields email;
    email.type = u"email"_s;
    email.id = u"email"_s;
    email.placeholder = u"jan@example.cz"_s;
    email.min = u"2024-01-01"_s;
    email.required = true;
    add("INPUT email", composeInput(email), u"INPUT"_s);
    PictureFields sources;
    sources.sources = {{u"a.webp"_s, u"(min-width: 800px)"_s, u"image/webp"_s, QString()},
                       {u"a-1x.jpg 1x, a-2x.jpg 2x"_s, QString(), QString(), u"data-q=1"_s}};
    sources.src = u"a.jpg"_s;
    sources.alt = u"Hrad"_s;
    sources.height = {true, 0};
    sources.lazy = true;
    add("PICTURE", composePicture(sources), u"PICTURE"_s);
    s.push_back({"OPTION", u"<OPTION VALUE=\"a\">"_s, u"OPTION"_s, u"a"_s});
    s.push_back({"LABEL", u"<LABEL TEXT=\"Jméno\">"_s, u"LABEL"_s, u"Jméno"_s});
    s.push_back({"P", u"<P ALIGN=\"center\">"_s, u"P"_s, u"center"_s});
    s.push_back({"BR", u"<BR CLEAR=\"all\">"_s, u"BR"_s, u"all"_s});
    return s;
}

} // namespace

// The element table walked row by row: every dialog opens on its first field and names its
// controls for a screen reader, and every tag F7 edits comes back unchanged from OK. The
// element dialogs as the user drives them with keys follow.
class tst_ElementTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void everyDialogOpensOnItsFirstFieldAndNamesItsControls_data();
    void everyDialogOpensOnItsFirstFieldAndNamesItsControls();
    void everyEditedTagHasASample();
    void composeF7OkGivesTheIdenticalTag_data();
    void composeF7OkGivesTheIdenticalTag();
    void keysLeaveUntouchedValuesAlone_data();
    void keysLeaveUntouchedValuesAlone();
    void f7KeepsWhatTheDialogDoesNotShow_data();
    void f7KeepsWhatTheDialogDoesNotShow();

private:
    void pressF7() { EditCurrentTag(m_fx->workspace()); }

    std::unique_ptr<WorkspaceFixture> m_fx;
    std::unique_ptr<ScriptedInteraction> m_script;
};

void tst_ElementTable::init()
{
    m_fx = std::make_unique<WorkspaceFixture>();
    m_script = std::make_unique<ScriptedInteraction>();
}

void tst_ElementTable::cleanup()
{
    m_fx.reset();
    endScript(m_script);
}

void tst_ElementTable::everyDialogOpensOnItsFirstFieldAndNamesItsControls_data()
{
    QTest::addColumn<int>("index");
    const std::span<const ElementRow> rows = elementTable();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].dialog)
            QTest::newRow(qPrintable(rowName(rows[i]))) << int(i);
    }
}

void tst_ElementTable::everyDialogOpensOnItsFirstFieldAndNamesItsControls()
{
    QFETCH(int, index);
    const ElementRow &row = elementTable()[size_t(index)];
    m_fx->setText(u"x"_s, 0);
    std::unique_ptr<QDialog> d = row.dialog(m_fx->workspace());
    QVERIFY(d);
    d->show();
    d->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(d.get()));
    QWidget *first = firstField(*d);
    QVERIFY(first);
    QWidget *focused = d->focusWidget();
    QVERIFY2(focused && (focused == first || first->isAncestorOf(focused)),
             qPrintable(u"focus on %1, first field %2"_s.arg(
                 focused ? focused->objectName() : u"nothing"_s, first->objectName())));
    const QStringList silent = silentControls(*d);
    QVERIFY2(silent.isEmpty(), qPrintable(silent.join(u", "_s)));
    d->close();
}

void tst_ElementTable::everyEditedTagHasASample()
{
    QStringList sampled;
    for (const Sample &s : samples())
        sampled << s.upperName;
    for (const ElementRow &row : elementTable()) {
        if (!row.edit)
            continue;
        for (const QString &tag : row.tags)
            QVERIFY2(sampled.contains(tag), qPrintable(tag));
    }
}

void tst_ElementTable::composeF7OkGivesTheIdenticalTag_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("prompted");
    for (const Sample &s : samples())
        QTest::newRow(s.name) << s.tag << s.prompted.value_or(QString());
}

// OK is Enter in the field the dialog opens on (its first): it neither changes the case of
// a value nor switches on a number nobody changed.
void tst_ElementTable::composeF7OkGivesTheIdenticalTag()
{
    QFETCH(QString, tag);
    QFETCH(QString, prompted);
    const QString text = tag + u"x"_s;
    m_fx->setText(text, 2);
    if (!prompted.isEmpty()) {
        m_script->enterText(prompted);
    } else {
        m_script->dialog([](QDialog &d) {
            d.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&d));
            QWidget *field = d.focusWidget();
            QVERIFY(field);
            // F7 opens on the first field too: the table window on that of the tag's page.
            QWidget *first = firstField(d);
            QVERIFY2(first && (field == first || first->isAncestorOf(field)),
                     qPrintable(field->objectName()));
            if (qobject_cast<QPlainTextEdit *>(field))
                pressInsert(d);
            else
                QTest::keyClick(field, Qt::Key_Return);
            // A field that takes Enter for itself (the picture's file) leaves "Vložit" to
            // the user.
            if (d.result() != QDialog::Accepted)
                pressInsert(d);
        });
    }
    pressF7();
    QCOMPARE(m_fx->buffer().GetText(), text);
    QVERIFY(m_script->errors.isEmpty());
}

void tst_ElementTable::keysLeaveUntouchedValuesAlone_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("typed");    // typed over the control's text first, if any
    QTest::addColumn<int>("key");          // then this key: Enter, or Tab to leave the field
    QTest::addColumn<QString>("expected"); // the tag "Vložit" writes afterwards

    // A drop-down list only suggests: neither Enter nor leaving the field changes the case
    // of what the tag or the user wrote to that of a list item.
    QTest::newRow("input type read in lower case, Enter")
        << u"<INPUT TYPE=text>"_s << u"ComboBox1"_s << QString() << int(Qt::Key_Return)
        << u"<INPUT  TYPE=\"text\">"_s;
    QTest::newRow("form method typed in lower case, Tab")
        << u"<FORM NAME=f>"_s << u"ComboBox1"_s << u"post"_s << int(Qt::Key_Tab)
        << u"<FORM  NAME=\"f\" METHOD=\"post\">"_s;
    QTest::newRow("form method typed in lower case, Enter")
        << u"<FORM NAME=f>"_s << u"ComboBox1"_s << u"get"_s << int(Qt::Key_Return)
        << u"<FORM  NAME=\"f\" METHOD=\"get\">"_s;
    // Enter in a number field that was not changed does not switch its attribute on.
    QTest::newRow("input tab index, Enter")
        << u"<INPUT TYPE=text>"_s << u"SpinEdit1"_s << QString() << int(Qt::Key_Return)
        << u"<INPUT  TYPE=\"text\">"_s;
    QTest::newRow("frameset spacing, Enter")
        << u"<FRAMESET ROWS=\"*,*\" FRAMEBORDER=0 SCROLLING=no>"_s << u"SpinEdit1"_s
        << QString() << int(Qt::Key_Return)
        << u"<FRAMESET  ROWS=\"*,*\" FRAMEBORDER=NO SCROLLING=NO>"_s;
    QTest::newRow("image height, Enter")
        << u"<IMG ALT=x>"_s << u"SpinEdit2"_s << QString() << int(Qt::Key_Return)
        << u"<IMG  ALT=\"x\">"_s;
    // A real change still ticks the box.
    QTest::newRow("input tab index typed, Enter")
        << u"<INPUT TYPE=text>"_s << u"SpinEdit1"_s << u"3"_s << int(Qt::Key_Return)
        << u"<INPUT  TYPE=\"text\" TABINDEX=3>"_s;
}

void tst_ElementTable::keysLeaveUntouchedValuesAlone()
{
    QFETCH(QString, tag);
    QFETCH(QString, control);
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(QString, expected);

    m_fx->setText(tag, 2);
    m_script->dialog([&](QDialog &d) {
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QWidget *field = ::control<QWidget>(d, control);
        field->setFocus(Qt::MouseFocusReason);
        QTRY_VERIFY(field->hasFocus());
        if (!typed.isEmpty()) {
            QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(field, typed);
        }
        QTest::keyClick(field, Qt::Key(key));
        // Enter presses the default button "Vložit"; after Tab the user presses it.
        if (d.result() != QDialog::Accepted)
            pressInsert(d);
    });
    pressF7();
    QCOMPARE(m_fx->buffer().GetText(), expected);
}

void tst_ElementTable::f7KeepsWhatTheDialogDoesNotShow_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tick"); // a check box the user ticks, if any
    QTest::addColumn<QString>("expected");

    // data-* and aria-* stay on the element and on each child; the fallback text inside
    // is not part of what F7 edits.
    const QString video = u"<VIDEO CONTROLS data-id=\"7\" aria-label=\"Ukázka\">\r\n"
                          u"<SOURCE SRC=\"a.mp4\" TYPE=\"video/mp4\" data-q=hd>\r\n"
                          u"<TRACK SRC=\"t.vtt\" DEFAULT>\r\nNelze přehrát.\r\n</VIDEO>"_s;
    QTest::newRow("video unchanged") << video << QString() << video;
    QTest::newRow("video autoplay ticked")
        << video << u"AutoplayBox"_s
        << QString(video).replace(u"CONTROLS data"_s, u"CONTROLS AUTOPLAY data"_s);
    QTest::newRow("image keeps data, srcset in house style")
        << u"<IMG SRC=\"a.jpg\" data-x=1 srcset=\"a.jpg 1x,b.jpg 2x\">"_s << QString()
        << u"<IMG  SRC=\"a.jpg\" SRCSET=\"a.jpg 1x, b.jpg 2x\" data-x=1>"_s;
    QTest::newRow("label keeps its caption")
        << u"<LABEL FOR=\"e\" class=x>E-mail</LABEL>"_s << QString()
        << u"<LABEL FOR=\"e\" class=x>E-mail</LABEL>"_s;
    // An option the memo cannot show stays as it was, with those after it.
    QTest::newRow("datalist option with a label stays")
        << u"<DATALIST ID=a><OPTION VALUE=1><OPTION VALUE=2 LABEL=Dva></DATALIST>"_s << QString()
        << u"<DATALIST ID=\"a\">\r\n<OPTION VALUE=\"1\"><OPTION VALUE=2 LABEL=Dva></DATALIST>"_s;
    // The picture's own attributes, those of each source and of its image stay; only the
    // image's box the user ticks changes.
    const QString picture = u"<PICTURE id=p>\r\n<SOURCE SRCSET=\"a.webp\" TYPE=\"image/webp\" sizes=50vw>\r\n"
                            u"<IMG SRC=\"a.jpg\" ALT=\"Hrad\" class=x>\r\n</PICTURE>"_s;
    QTest::newRow("picture unchanged") << picture << QString() << picture;
    QTest::newRow("picture lazy ticked")
        << picture << u"LazyBox"_s
        << QString(picture).replace(u"\"Hrad\" class"_s, u"\"Hrad\" LOADING=\"lazy\" class"_s);
    QTest::newRow("input required ticked")
        << u"<INPUT TYPE=\"date\" aria-describedby=h>"_s << u"RequiredBox"_s
        << u"<INPUT  TYPE=\"date\" REQUIRED aria-describedby=h>"_s;
}

void tst_ElementTable::f7KeepsWhatTheDialogDoesNotShow()
{
    QFETCH(QString, text);
    QFETCH(QString, tick);
    QFETCH(QString, expected);
    m_fx->setText(text, 2);
    m_script->dialog([&](QDialog &d) {
        if (!tick.isEmpty())
            ::control<QCheckBox>(d, tick)->click();
        pressInsert(d);
    });
    pressF7();
    QCOMPARE(m_fx->buffer().GetText(), expected);
    QVERIFY(m_script->errors.isEmpty());
}

BRISKO_TEST_MAIN(tst_ElementTable)
#include "tst_elementtable.moc"
