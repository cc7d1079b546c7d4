#include "commands/DocumentLifecycle.h"
#include "editor/EncodingPanel.h"
#include "markup/TextEncoding.h"
#include "markup/TextFile.h"
#include "app/StatusPanels.h"
#include "editor/EditorBuffer.h"
#include "support/WorkspaceFixture.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QAction>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTemporaryDir>

#include <memory>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TextEncoding)

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A key press carrying text, as the keyboard of a Czech user sends it.
void typeText(QWidget *editor, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(editor, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(editor, &release);
    }
}

const QString kQuestion =
    u"Dokument deklaruje kódování %1, ale bude uložen v kódování %2. V kterém kódování jej "
    u"uložit?|Deklarované: %1|Současné: %2|Neukládat"_s;

} // namespace

class tst_DocumentEncoding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void goldenPageOpensAndSavesBackUnchanged_data();
    void goldenPageOpensAndSavesBackUnchanged();
    void typedCzechLettersKeepOneEncodingInTheFile_data();
    void typedCzechLettersKeepOneEncodingInTheFile();
    void mismatchQuestionOffersDeclaredCurrentAndCancel_data();
    void mismatchQuestionOffersDeclaredCurrentAndCancel();
    void keepingTheCurrentEncodingIsNotAskedAgain();
    void statusPanelShowsEncodingAndWhyAFileWasNotReadAsItAsked();
    void lineBreakPanelShowsAndChangesTheBreaksOfTheFile();
    void reopenReadsTheFileInTheChosenEncoding();
    void utf8UnderASingleByteMetaIsNotedAndReadAgainFromTheFileMenu();
    void reopenAsUtf8RefusesBytesThatAreNotUtf8();
    void reopenIsOfferedOnlyForAnUnmodifiedFile();
    void convertWritesTheNextSaveInTheNewEncoding();
    void convertRewritesThePagesOwnDeclaration_data();
    void convertRewritesThePagesOwnDeclaration();
    void newDocumentIsWindows1250();
    void insertedFileIsDecodedByItsOwnEncoding();
    void lengthLimitCountsCharactersNotBytes();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    // A copy of a golden page in the temporary folder, opened in a new window.
    QString openCopy(const QString &golden);
    EncodingPanel *panel() const
    {
        return m_statusBar->findChild<EncodingPanel *>(u"EncodingPanel"_s);
    }
    QAction *panelAction(const QString &name);
    void trigger(CommandId id) { QVERIFY(m_fx->run(id)); }
    // Keys typed into a view of the active document, as the keyboard sends them.
    void type(const QString &text)
    {
        EditorBuffer view(m_fx->buffer());
        typeText(&view, text);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedInteraction> m_ui;
    std::unique_ptr<WorkspaceFixture> m_fx;
    // The frame's status bar and "Soubor" menu, where the encoding's choices are.
    std::unique_ptr<QStatusBar> m_statusBar;
    std::unique_ptr<QMenu> m_fileMenu;
    std::unique_ptr<StatusPanels> m_panels;
};

void tst_DocumentEncoding::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_ui = std::make_unique<ScriptedInteraction>();
    m_fx = std::make_unique<WorkspaceFixture>(0);
    m_fx->settings().Colorize = false;
    m_statusBar = std::make_unique<QStatusBar>();
    m_fileMenu = std::make_unique<QMenu>();
    m_panels = std::make_unique<StatusPanels>(*m_statusBar, m_fx->workspace(), *m_fileMenu, nullptr);
}

void tst_DocumentEncoding::cleanup()
{
    QVERIFY2(m_ui->unexpected.isEmpty(), qPrintable(m_ui->unexpected.join(u'\n')));
    QVERIFY(m_ui->allAnswered());
    m_panels.reset();
    m_fileMenu.reset();
    m_statusBar.reset();
    m_fx.reset();
    m_ui.reset();
    m_dir.reset();
}

QString tst_DocumentEncoding::openCopy(const QString &golden)
{
    const QString copy = path(golden);
    QFile::copy(testDataPath(u"encodings/"_s + golden), copy);
    m_ui->openFile(copy);
    trigger(Cmd::FileOpen);
    return copy;
}

QAction *tst_DocumentEncoding::panelAction(const QString &name)
{
    panel()->rebuildMenu();
    return panel()->menu()->findChild<QAction *>(name);
}

// --- golden pages ----------------------------------------------------------------------

void tst_DocumentEncoding::goldenPageOpensAndSavesBackUnchanged_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<TextEncoding>("encoding");
    // Pages whose META differs from what they are read in are asked about on saving.
    QTest::addColumn<bool>("asked");
    QTest::newRow("utf8-bom-meta") << u"utf8-bom-meta.html"_s << TextEncoding::Utf8 << false;
    QTest::newRow("utf8-bom") << u"utf8-bom.html"_s << TextEncoding::Utf8 << false;
    QTest::newRow("utf8-meta") << u"utf8-meta.html"_s << TextEncoding::Utf8 << false;
    QTest::newRow("utf8") << u"utf8.html"_s << TextEncoding::Utf8 << false;
    QTest::newRow("iso-8859-2-meta") << u"iso-8859-2-meta.html"_s << TextEncoding::Iso88592
                                     << false;
    QTest::newRow("windows-1250-meta") << u"windows-1250-meta.html"_s
                                       << TextEncoding::Windows1250 << false;
    QTest::newRow("windows-1250") << u"windows-1250.html"_s << TextEncoding::Windows1250 << false;
    QTest::newRow("not-utf8-meta-utf8") << u"not-utf8-meta-utf8.html"_s
                                        << TextEncoding::Windows1250 << true;
    QTest::newRow("unknown-charset") << u"unknown-charset.html"_s << TextEncoding::Windows1250
                                     << false;
}

void tst_DocumentEncoding::goldenPageOpensAndSavesBackUnchanged()
{
    QFETCH(QString, file);
    QFETCH(TextEncoding, encoding);
    QFETCH(bool, asked);
    const QString copy = openCopy(file);
    QVERIFY(m_fx->buffer().GetText().contains(u"Příliš žluťoučký kůň úpěl ďábelské ódy."));
    QCOMPARE(m_fx->doc()->encoding().encoding, encoding);
    if (asked)
        m_ui->choice(1); // keep the encoding the bytes are in
    trigger(Cmd::FileSave);
    QCOMPARE(fileBytes(copy), fileBytes(testDataPath(u"encodings/"_s + file)));
}

void tst_DocumentEncoding::typedCzechLettersKeepOneEncodingInTheFile_data()
{
    goldenPageOpensAndSavesBackUnchanged_data();
}

void tst_DocumentEncoding::typedCzechLettersKeepOneEncodingInTheFile()
{
    QFETCH(QString, file);
    QFETCH(TextEncoding, encoding);
    QFETCH(bool, asked);
    const QString copy = openCopy(file);
    HtmlDocument &b = m_fx->buffer();
    b.SetSelStart(b.GetText().indexOf(u"</BODY>"));
    type(u"ščř Ж"_s);
    const QString text = b.GetText();
    QVERIFY(text.contains(u"ščř Ж</BODY>"));
    if (asked)
        m_ui->choice(1);
    trigger(Cmd::FileSave);

    // Read back in the document's encoding alone, the file gives exactly the text.
    const QByteArray bytes = fileBytes(copy);
    const std::optional<QString> back = decodeText(bytes, encoding);
    QVERIFY(back.has_value());
    const QString expected = encoding == TextEncoding::Utf8
                                 ? text
                                 : QString(text).replace(u"Ж"_s, u"&#1046;"_s);
    QCOMPARE(*back, expected);
    if (encoding == TextEncoding::Utf8)
        QVERIFY(isValidUtf8(bytes));
    else
        QVERIFY(!bytes.contains(QString(u"ř"_s).toUtf8()));
}

// --- the question about a declared charset ---------------------------------------------

void tst_DocumentEncoding::mismatchQuestionOffersDeclaredCurrentAndCancel_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<TextEncoding>("written");
    QTest::newRow("declared") << 0 << true << TextEncoding::Windows1250;
    QTest::newRow("current") << 1 << true << TextEncoding::Utf8;
    QTest::newRow("cancel-button") << 2 << false << TextEncoding::Utf8;
    QTest::newRow("box-closed") << -1 << false << TextEncoding::Utf8;
}

void tst_DocumentEncoding::mismatchQuestionOffersDeclaredCurrentAndCancel()
{
    QFETCH(int, choice);
    QFETCH(bool, saved);
    QFETCH(TextEncoding, written);
    const QString copy = openCopy(u"windows-1250-meta.html"_s);
    const QByteArray before = fileBytes(copy);
    panelAction(u"ConvertTo UTF-8"_s)->trigger();
    // The conversion wrote the new name into the META; taken back, the page declares the
    // old encoding again, which the save asks about.
    trigger(Cmd::EditUndo);
    const QString text = m_fx->buffer().GetText();
    QVERIFY(text.contains(u"charset=windows-1250"));

    m_ui->choice(choice);
    trigger(Cmd::FileSave);
    QCOMPARE(m_ui->log.last(), u"choose: "_s + kQuestion.arg(u"Windows-1250"_s, u"UTF-8"_s));
    if (!saved) {
        QCOMPARE(fileBytes(copy), before);
        QVERIFY(m_fx->buffer().IsModified());
        return;
    }
    QVERIFY(!m_fx->buffer().IsModified());
    QCOMPARE(m_fx->doc()->encoding().encoding, written);
    QCOMPARE(fileBytes(copy), encodeText(text, {written}));
}

void tst_DocumentEncoding::keepingTheCurrentEncodingIsNotAskedAgain()
{
    const QString copy = openCopy(u"not-utf8-meta-utf8.html"_s);
    m_ui->choice(1);
    trigger(Cmd::FileSave);
    type(u"ř"_s);
    trigger(Cmd::FileSave); // no second question
    QCOMPARE(m_ui->questions.size(), 1);
    QCOMPARE(m_ui->questions.first(),
             kQuestion.arg(u"UTF-8"_s, u"Windows-1250"_s).section(u'|', 0, 0));
    QVERIFY(fileBytes(copy).startsWith("\xf8"));
}

// --- the status-bar panel --------------------------------------------------------------

void tst_DocumentEncoding::statusPanelShowsEncodingAndWhyAFileWasNotReadAsItAsked()
{
    openCopy(u"utf8-bom.html"_s);
    QCOMPARE(panel()->text(), u"UTF-8 (BOM)"_s);
    openCopy(u"unknown-charset.html"_s);
    QCOMPARE(panel()->text(), u"Windows-1250 – neznámé kódování koi8-r v META"_s);
    openCopy(u"not-utf8-meta-utf8.html"_s);
    QCOMPARE(panel()->text(), u"Windows-1250 – META uvádí UTF-8, ale soubor není v UTF-8"_s);
    // The panel follows the active document, and shows none when none is active.
    HtmlDocument *opened = m_fx->doc();
    m_fx->workspace().NewDocumentWindow();
    QCOMPARE(panel()->text(), u"Windows-1250"_s);
    m_fx->doc()->closeConfirmed();
    QTRY_COMPARE(panel()->text(), QString());
    m_fx->workspace().activateDocument(*opened);
    QCOMPARE(panel()->text(), opened->encodingCaption());
}

void tst_DocumentEncoding::lineBreakPanelShowsAndChangesTheBreaksOfTheFile()
{
    const QString page = path(u"unix.html"_s);
    writeBytes(page, "<P>\na\n</P>\n");
    m_ui->openFile(page);
    trigger(Cmd::FileOpen);
    auto *breaks = m_statusBar->findChild<EncodingPanel *>(u"LineBreakPanel"_s);
    QVERIFY(breaks);
    QCOMPARE(breaks->text(), u"LF"_s);
    // It follows the active document; a new page has the setting's breaks.
    HtmlDocument *opened = m_fx->doc();
    m_fx->workspace().NewDocumentWindow();
    QCOMPARE(breaks->text(), u"CR LF"_s);
    m_fx->doc()->closeConfirmed();
    QTRY_VERIFY(!m_fx->doc());
    m_fx->workspace().activateDocument(*opened);
    QCOMPARE(breaks->text(), u"LF"_s);
    breaks->rebuildMenu();
    QAction *crlf = breaks->menu()->findChild<QAction *>(u"LineBreaks CR LF"_s);
    QVERIFY(crlf);
    QVERIFY(!crlf->isChecked());
    crlf->trigger();
    QCOMPARE(breaks->text(), u"CR LF"_s);
    QVERIFY(m_fx->buffer().IsModified());
    trigger(Cmd::FileSave);
    QCOMPARE(fileBytes(page), QByteArray("<P>\r\na\r\n</P>\r\n"));
}

void tst_DocumentEncoding::reopenReadsTheFileInTheChosenEncoding()
{
    const QString copy = openCopy(u"iso-8859-2-meta.html"_s);
    panelAction(u"ReopenAs Windows-1250"_s)->trigger();
    // Latin-2 "š" (0xB9) is "ą" in Windows-1250: the user asked for that reading.
    QVERIFY(m_fx->buffer().GetText().contains(u"ąčřľýáíé"));
    QCOMPARE(m_fx->doc()->encoding().encoding, TextEncoding::Windows1250);
    QVERIFY(!m_fx->buffer().IsModified());
    panelAction(u"ReopenAs ISO-8859-2"_s)->trigger();
    QVERIFY(m_fx->buffer().GetText().contains(u"ščřžýáíé"));
    QCOMPARE(panel()->text(), u"ISO-8859-2"_s);
}

void tst_DocumentEncoding::utf8UnderASingleByteMetaIsNotedAndReadAgainFromTheFileMenu()
{
    const QString page = path(u"stara-meta.html"_s);
    QFile file(page);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(u"<HTML><HEAD><META charset=\"windows-1250\"></HEAD><BODY>Kůň</BODY></HTML>"_s.toUtf8());
    file.close();
    m_ui->openFile(page);
    trigger(Cmd::FileOpen);
    QCOMPARE(panel()->text(),
             u"Windows-1250 – META uvádí windows-1250, ale soubor je platné UTF-8"_s);

    // The menu bar offers the panel's choices, for the keyboard.
    auto *menu = m_fileMenu->findChild<QMenu *>(u"FileEncoding"_s);
    QVERIFY(menu);
    QVERIFY(m_fileMenu->actions().contains(menu->menuAction()));
    Q_EMIT menu->aboutToShow();
    QStringList shown;
    for (QAction *a : menu->actions())
        shown << a->text();
    panel()->rebuildMenu();
    QStringList inPanel;
    for (QAction *a : panel()->menu()->actions())
        inPanel << a->text();
    QCOMPARE(shown, inPanel);
    menu->findChild<QAction *>(u"ReopenAs UTF-8"_s)->trigger();
    QVERIFY(m_fx->buffer().GetText().contains(u"Kůň"));
    QCOMPARE(panel()->text(), u"UTF-8"_s);
}

void tst_DocumentEncoding::reopenAsUtf8RefusesBytesThatAreNotUtf8()
{
    const QString copy = openCopy(u"windows-1250.html"_s);
    const QString text = m_fx->buffer().GetText();
    panelAction(u"ReopenAs UTF-8"_s)->trigger();
    QCOMPARE(m_ui->errors,
             QStringList{u"Soubor %1 nelze otevřít.\r\nSoubor není v kódování UTF-8."_s.arg(copy)});
    QCOMPARE(m_fx->buffer().GetText(), text);
    QCOMPARE(m_fx->doc()->encoding().encoding, TextEncoding::Windows1250);
}

void tst_DocumentEncoding::reopenIsOfferedOnlyForAnUnmodifiedFile()
{
    openCopy(u"utf8.html"_s);
    QVERIFY(panelAction(u"ReopenAs ISO-8859-2"_s)->isEnabled());
    QVERIFY(!panelAction(u"ReopenAs UTF-8"_s)->isEnabled()); // what it is already
    type(u"x"_s);
    QVERIFY(!panelAction(u"ReopenAs ISO-8859-2"_s)->isEnabled());
    // Also when triggered anyway, the edits stay.
    m_fx->doc()->reopenInEncoding(TextEncoding::Iso88592);
    QVERIFY(m_fx->buffer().GetText().startsWith(u"x"));
    m_fx->workspace().NewDocumentWindow();
    QVERIFY(!panelAction(u"ReopenAs ISO-8859-2"_s)->isEnabled()); // no file yet
}

void tst_DocumentEncoding::convertWritesTheNextSaveInTheNewEncoding()
{
    const QString copy = openCopy(u"utf8-bom.html"_s);
    const QString text = m_fx->buffer().GetText();
    panelAction(u"ConvertTo ISO-8859-2"_s)->trigger();
    QCOMPARE(panel()->text(), u"ISO-8859-2"_s);
    // The file is not yet in the new encoding: Save is due.
    QVERIFY(m_fx->buffer().IsModified());
    trigger(Cmd::FileSave);
    const QByteArray bytes = fileBytes(copy);
    QCOMPARE(bytes, Iso88592::encode(text));
    QVERIFY(bytes.contains("&#8364;")); // the euro sign is not in Latin-2
    QVERIFY(!bytes.startsWith("\xef\xbb\xbf"));
}

void tst_DocumentEncoding::convertRewritesThePagesOwnDeclaration_data()
{
    QTest::addColumn<QString>("golden");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("declared");
    QTest::addColumn<QString>("declares");
    QTest::newRow("http-equiv") << u"windows-1250-meta.html"_s << u"UTF-8"_s << u"charset=windows-1250\""_s
                                << u"charset=utf-8\""_s;
    QTest::newRow("html5, upper case kept") << u"utf8-meta.html"_s << u"Windows-1250"_s << u"<meta charset=\"UTF-8\">"_s
                                            << u"<meta charset=\"WINDOWS-1250\">"_s;
    QTest::newRow("latin-2") << u"iso-8859-2-meta.html"_s << u"UTF-8"_s << u"charset=ISO-8859-2\""_s
                             << u"charset=UTF-8\""_s;
    QTest::newRow("a name the program does not know") << u"unknown-charset.html"_s << u"UTF-8"_s
                                                      << u"charset=koi8-r\""_s << u"charset=utf-8\""_s;
    QTest::newRow("no declaration") << u"windows-1250.html"_s << u"UTF-8"_s << QString() << QString();
}

void tst_DocumentEncoding::convertRewritesThePagesOwnDeclaration()
{
    QFETCH(QString, golden);
    QFETCH(QString, target);
    QFETCH(QString, declared);
    QFETCH(QString, declares);
    const QString copy = openCopy(golden);
    const QString before = m_fx->buffer().GetText();
    QVERIFY(declared.isEmpty() || before.contains(declared));
    panelAction(u"ConvertTo "_s + target)->trigger();
    QString expected = before;
    if (!declared.isEmpty())
        expected.replace(declared, declares);
    QCOMPARE(m_fx->buffer().GetText(), expected);
    // The page and its declaration agree: saved without a question, read back as written.
    trigger(Cmd::FileSave);
    QCOMPARE(fileBytes(copy), encodeText(expected, m_fx->doc()->encoding()));
    QCOMPARE(encodingName(detectEncoding(fileBytes(copy)).file.encoding), target);
    if (declared.isEmpty())
        return;
    trigger(Cmd::EditUndo); // one step takes the declaration back
    QCOMPARE(m_fx->buffer().GetText(), before);
}

void tst_DocumentEncoding::newDocumentIsWindows1250()
{
    m_fx->workspace().NewDocumentWindow();
    m_fx->buffer().SetText(u"<P>kůň</P>"_s);
    m_ui->saveFile(path(u"new.html"_s));
    trigger(Cmd::FileSave);
    QCOMPARE(fileBytes(path(u"new.html"_s)), QByteArray("<P>k\xf9\xf2</P>"));
}

void tst_DocumentEncoding::insertedFileIsDecodedByItsOwnEncoding()
{
    openCopy(u"windows-1250.html"_s);
    m_fx->buffer().SetSelStart(0);
    insertFileAtSelection(m_fx->workspace(), testDataPath(u"encodings/utf8-bom.html"_s));
    const QString text = m_fx->buffer().GetText();
    QVERIFY(text.startsWith(u"<!DOCTYPE"));
    QCOMPARE(text.count(u"Příliš žluťoučký kůň"), 2);
    QVERIFY(text.contains(u"Жизнь"));
    QVERIFY(!text.contains(QChar(0xFEFF)));
    // The inserted text joins the document, which keeps its own encoding.
    QCOMPARE(m_fx->doc()->encoding().encoding, TextEncoding::Windows1250);
}

void tst_DocumentEncoding::lengthLimitCountsCharactersNotBytes()
{
    // 1.8 MB on disk, but 900,000 characters: within the editor's limit.
    const QString page = QString(900000, u'ž');
    writeBytes(path(u"long.html"_s), page.toUtf8());
    m_ui->openFile(path(u"long.html"_s));
    trigger(Cmd::FileOpen);
    QVERIFY(m_ui->errors.isEmpty());
    QCOMPARE(m_fx->buffer().GetText().size(), 900000);
    QCOMPARE(m_fx->doc()->encoding().encoding, TextEncoding::Utf8);
}

BRISKO_TEST_MAIN(tst_DocumentEncoding)
#include "tst_documentencoding.moc"
