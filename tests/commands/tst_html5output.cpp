#include "commands/ChosenInsertions.h"
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
    void html5IsTheHtml4MarkupRewritten_data();
    void html5IsTheHtml4MarkupRewritten();
    void newPageIsUtf8Html5();
    void labelNamesItsControl();
    void f7KeepsTheStyleOfTheTag_data();
    void f7KeepsTheStyleOfTheTag();

private:
    void useStyle(MarkupStyle style) { m_fx->settings().MarkupStyle = markupStyleName(style); }
    // The text a command writes into an empty document.
    QString written(int command, MarkupStyle style);
    void writePageTo(const QString &path);

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

// Each command writes at the end of the body, one after another, as a user fills a page.
void tst_Html5Output::everyCommandMakesOneValidHtml5Page()
{
    useStyle(MarkupStyle::Html5);
    HtmlDocument &page = m_fx->buffer();
    InsertTag(m_fx->workspace(), number(Insertion::PageSkeleton));
    for (int command = 1; command <= LastCommand; ++command) {
        // The user tag is the user's own markup, not the program's.
        if (!walkedIntoThePage(command) || command == number(Insertion::UserTag))
            continue;
        page.SetSelStart(int(page.GetText().lastIndexOf(u"</body>"_s)));
        InsertTag(m_fx->workspace(), command, argsFor(command));
        page.SetSelStart(int(page.GetText().lastIndexOf(u"</body>"_s)));
        page.InsertAtCaret(0, u"\r\n"_s);
    }
    const QString text = page.GetText();
    if (const QByteArray path = qgetenv("BRISKO_HTML5_PAGE"); !path.isEmpty())
        writePageTo(QString::fromLocal8Bit(path)); // for the Nu checker, outside the suite
    QVERIFY(text.contains(u"&trade;"_s));
    for (const HtmlMessage &m : checkHtml(text)) {
        QVERIFY2(m.kind != HtmlMessageKind::Error, qPrintable(describeHtmlMessage(m)));
        if (!saysObsolete(m))
            continue;
        // Only what HTML5 dropped without a replacement, and the check says so.
        QVERIFY2(isObsoleteWithoutReplacement(elementOfMessage(m.text)), qPrintable(describeHtmlMessage(m)));
        if (m.key.contains(u"ELEMENT"_s) || m.key == u"REMOVED_HTML5"_s)
            QVERIFY2(m.text.contains(u"zastaralé"_s), qPrintable(m.text));
    }
}

void tst_Html5Output::writePageTo(const QString &path)
{
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(m_fx->buffer().GetText().toUtf8());
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
    QCOMPARE(html5, toHtml5(html4));
    // The Active-X dialog says its component list is missing: the test has no data folder.
    QVERIFY(m_user->errors.isEmpty() || command == number(Insertion::ActiveX));
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
}

void tst_Html5Output::f7KeepsTheStyleOfTheTag()
{
    QFETCH(QString, tag);
    QFETCH(QString, expected);
    useStyle(MarkupStyle::Html5);
    m_fx->setText(tag + u"x"_s, 2);
    EditCurrentTag(m_fx->workspace());
    QCOMPARE(m_fx->buffer().GetText(), expected + u"x"_s);
}

BRISKO_TEST_MAIN(tst_Html5Output)
#include "tst_html5output.moc"
