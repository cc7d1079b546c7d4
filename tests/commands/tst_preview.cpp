#include "app/DocumentArea.h"
#include "app/SidePanel.h"
#include "commands/Preview.h"
#include "markup/SysUt.h"
#include "markup/TextFile.h"
#include "preview/TPreview.h"
#include "preview/WebBrowser.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>

using namespace Qt::StringLiterals;
using Answer = Interaction::Answer;

namespace {

const QString kSaveQuestion = u"ask: Soubor nebyl uložen, přejete si jej uložit? "_s;

class RecordingShell final : public Shell
{
public:
    RecordingShell() { setShell(this); }
    ~RecordingShell() override { setShell(nullptr); }
    void openUrl(const QUrl &url) override { log << u"open "_s + url.toLocalFile(); }
    void startDetached(const QString &program, const QStringList &arguments,
                       const QString &workingDirectory) override
    {
        log << u"start "_s + program + u" ["_s + arguments.join(u'|') + u"] in "_s + workingDirectory;
    }
    QStringList log;
};

class RecordingTransport final : public DdeTransport
{
public:
    RecordingTransport() { setDdeTransport(this); }
    ~RecordingTransport() override { setDdeTransport(nullptr); }
    void converse(const QString &program, const QList<DdeRequest> &requests) override
    {
        log << program + u" "_s + requests.last().item;
    }
    QStringList log;
};

QString diskText(const QString &path)
{
    return readTextFile(path).text;
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

class tst_Preview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void previewTabShowsTheSavedFile_data();
    void previewTabShowsTheSavedFile();
    void previewTabIsRefused_data();
    void previewTabIsRefused();
    void ulpreSavesUntitledThroughSaveAs();
    void backToDocumentIsNeverRefused();
    void sidePanelFollowsHidePrew_data();
    void sidePanelFollowsHidePrew();
    void ctrlHTogglesAndIBrowOffReturns();
    void previewWindowIsOneWithItsCaptions();
    void helpPageUsesThePreviewWindow();
    void previewWindowAddressHistory();
    void externalBrowser_data();
    void externalBrowser();
    void externalButtonShiftAndDde();
    void untitledIsNotSentAnywhere();
    void editingWorksWithoutTheBrowserModule();

private:
    // A fixture whose active document is the saved file page.htm, text "<P>uloženo</P>".
    void openSavedPage();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindowFixture> m_fx;
    QString m_page;
};

void tst_Preview::initTestCase()
{
    // The commands are tested without the web engine: the browsers show their message.
    WebBrowser::setEngineModulePath(u"/nonexistent/brisko-browser"_s);
}

void tst_Preview::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_fx = std::make_unique<MainWindowFixture>(0);
    m_page = m_dir->filePath(u"page#1.htm"_s);
}

void tst_Preview::cleanup()
{
    m_fx.reset();
    m_dir.reset();
}

void tst_Preview::openSavedPage()
{
    QCOMPARE(writeTextFile(m_page, u"<P>uloženo</P>"_s), QString());
    QVERIFY(m_fx->workspace().openInNewWindow(m_page));
}

void tst_Preview::previewTabShowsTheSavedFile_data()
{
    QTest::addColumn<bool>("modify");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("onDisk");
    QTest::newRow("unmodified: no question") << false << -1 << u"<P>uloženo</P>"_s;
    QTest::newRow("modified, Yes saves") << true << int(Answer::Yes) << u"<P>nové</P>"_s;
    QTest::newRow("modified, No shows the old file") << true << int(Answer::No) << u"<P>uloženo</P>"_s;
    QTest::newRow("modified, Cancel shows the old file")
        << true << int(Answer::Cancel) << u"<P>uloženo</P>"_s;
}

void tst_Preview::previewTabShowsTheSavedFile()
{
    QFETCH(bool, modify);
    QFETCH(int, answer);
    QFETCH(QString, onDisk);
    openSavedPage();
    TForm1 &w = m_fx->window();
    if (modify) {
        m_fx->buffer().SetText(u"<P>nové</P>"_s);
        QVERIFY(m_fx->buffer().IsModified());
    }
    ScriptedInteraction ui;
    if (answer >= 0)
        ui.answer(Answer(answer));
    w.documentArea().previewTabs()->setCurrentIndex(PreviewTab);
    QCOMPARE(ui.log, answer >= 0 ? QStringList{kSaveQuestion} : QStringList{});
    QVERIFY(ui.allAnswered());
    QCOMPARE(w.documentArea().previewTabs()->currentIndex(), int(PreviewTab));
    QCOMPARE(w.documentArea().currentWidget(), w.documentArea().browser());
    QCOMPARE(w.documentArea().browser()->address(), QUrl::fromLocalFile(m_page));
    QCOMPARE(diskText(m_page), onDisk);
}

void tst_Preview::previewTabIsRefused_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QStringList>("asked");
    QTest::newRow("no document") << u"none"_s << QStringList{};
    QTest::newRow("empty text") << u"empty"_s << QStringList{};
    QTest::newRow("untitled, not saved") << u"untitled"_s << QStringList{kSaveQuestion};
}

void tst_Preview::previewTabIsRefused()
{
    QFETCH(QString, situation);
    QFETCH(QStringList, asked);
    TForm1 &w = m_fx->window();
    if (situation != u"none") {
        w.workspace().NewDocumentWindow();
        if (situation == u"untitled")
            m_fx->buffer().SetText(u"<P>text</P>"_s);
    }
    ScriptedInteraction ui;
    if (!asked.isEmpty())
        ui.answer(Answer::No);
    w.documentArea().previewTabs()->setCurrentIndex(PreviewTab);
    QCOMPARE(ui.log, asked);
    QCOMPARE(w.documentArea().previewTabs()->currentIndex(), int(DocumentTab));
    QCOMPARE(w.documentArea().currentWidget(), w.mdiArea());
    QVERIFY(!w.documentArea().browser()->address().isValid());
}

void tst_Preview::ulpreSavesUntitledThroughSaveAs()
{
    TForm1 &w = m_fx->window();
    w.settings().Ulpre = true;
    w.workspace().NewDocumentWindow();
    m_fx->buffer().SetText(u"<P>řádek</P>"_s);
    const QString target = m_dir->filePath(u"nový.htm"_s);
    ScriptedInteraction ui;
    ui.saveFile(target);
    w.documentArea().previewTabs()->setCurrentIndex(PreviewTab);
    QCOMPARE(ui.questions, QStringList{});
    QVERIFY(ui.allAnswered());
    QCOMPARE(diskText(target), u"<P>řádek</P>"_s);
    QCOMPARE(w.documentArea().previewTabs()->currentIndex(), int(PreviewTab));
    QCOMPARE(w.documentArea().browser()->address(), QUrl::fromLocalFile(target));
}

void tst_Preview::backToDocumentIsNeverRefused()
{
    openSavedPage();
    TForm1 &w = m_fx->window();
    w.documentArea().previewTabs()->setCurrentIndex(PreviewTab);
    QCOMPARE(w.documentArea().currentWidget(), w.documentArea().browser());
    w.action(u"FileCloseAll"_s)->trigger();
    settle();
    QVERIFY(!w.workspace().activeDocument());
    w.documentArea().previewTabs()->setCurrentIndex(DocumentTab);
    QCOMPARE(w.documentArea().previewTabs()->currentIndex(), int(DocumentTab));
    QCOMPARE(w.documentArea().currentWidget(), w.mdiArea());

    // An emptied document does not hold the preview either.
    openSavedPage();
    w.documentArea().previewTabs()->setCurrentIndex(PreviewTab);
    m_fx->setText(QString());
    w.documentArea().previewTabs()->setCurrentIndex(DocumentTab);
    QCOMPARE(w.documentArea().currentWidget(), w.mdiArea());
}

void tst_Preview::sidePanelFollowsHidePrew_data()
{
    QTest::addColumn<bool>("hidePrew");
    QTest::newRow("HidePrew on hides the panel") << true;
    QTest::newRow("HidePrew off leaves it") << false;
}

void tst_Preview::sidePanelFollowsHidePrew()
{
    QFETCH(bool, hidePrew);
    openSavedPage();
    TForm1 &w = m_fx->window();
    w.settings().HidePrew = hidePrew;
    QAction *panelItem = w.action(u"OptSourcePanel"_s);
    QToolButton *panelButton = w.toolButton(u"SidePanelButton"_s);
    w.documentArea().previewTabs()->setCurrentIndex(PreviewTab);
    QCOMPARE(w.sidePanel().isVisible(), !hidePrew);
    QCOMPARE(panelItem->isChecked(), !hidePrew);
    QCOMPARE(panelButton->isChecked(), hidePrew);
    w.documentArea().previewTabs()->setCurrentIndex(DocumentTab);
    QVERIFY(w.sidePanel().isVisible());
    QVERIFY(panelItem->isChecked());
    QVERIFY(!panelButton->isChecked());
}

void tst_Preview::ctrlHTogglesAndIBrowOffReturns()
{
    openSavedPage();
    TForm1 &w = m_fx->window();
    QAction *toggle = w.action(u"HidInternalPreview"_s);
    QCOMPARE(toggle->shortcut(), QKeySequence(u"Ctrl+H"_s));
    toggle->trigger();
    QCOMPARE(w.documentArea().currentWidget(), w.documentArea().browser());
    toggle->trigger();
    QCOMPARE(w.documentArea().currentWidget(), w.mdiArea());
    toggle->trigger();
    w.settingsModel().set(&TSettings::IBrow, false);
    QCOMPARE(w.documentArea().previewTabs()->currentIndex(), int(DocumentTab));
    QCOMPARE(w.documentArea().currentWidget(), w.mdiArea());
    QVERIFY(!w.documentArea().previewTabs()->isVisible());
}

void tst_Preview::previewWindowIsOneWithItsCaptions()
{
    openSavedPage();
    TForm1 &w = m_fx->window();
    QAction *item = w.action(u"WinPreview"_s);
    QCOMPARE(item->text(), u"Samostatné okno s prohlížečem "_s);
    QCOMPARE(item->shortcut(), QKeySequence(u"Ctrl+W"_s));
    item->trigger();
    TPreview *preview = previewWindow(w.workspace());
    QVERIFY(preview);
    QCOMPARE(preview->windowTitle(), u"Preview "_s + m_page);
    QCOMPARE(preview->WebBrowser1->address(), QUrl::fromLocalFile(m_page));
    auto *sub = qobject_cast<QMdiSubWindow *>(preview->parentWidget());
    QVERIFY(sub);
    for (QAction *a : sub->systemMenu()->actions())
        QVERIFY(!a->shortcuts().contains(QKeySequence(u"Ctrl+W"_s)));
    QCOMPARE(item->text(), u"Obnovit v okně prohlížeče"_s);
    QCOMPARE(w.workspace().documents().size(), 1); // not a document

    // Again: the same window shows the document as saved now.
    w.workspace().activeDocument()->SetText(u"<P>druhé</P>"_s);
    ScriptedInteraction ui;
    ui.answer(Answer::Yes);
    item->trigger();
    QCOMPARE(w.findChildren<TPreview *>().size(), 1);
    QCOMPARE(previewWindow(w.workspace()), preview);
    QCOMPARE(diskText(m_page), u"<P>druhé</P>"_s);
    QCOMPARE(ui.log, QStringList{kSaveQuestion});

    preview->parentWidget()->close();
    QCOMPARE(item->text(), u"Samostatné okno s prohlížečem"_s);
    QVERIFY(!previewWindow(w.workspace()));
    settle();
    QCOMPARE(w.findChildren<TPreview *>().size(), 0);
}

void tst_Preview::helpPageUsesThePreviewWindow()
{
    TForm1 &w = m_fx->window();
    w.sidePanel().notebook()->setCurrentIndex(2);
    TPreview *preview = previewWindow(w.workspace());
    QVERIFY(preview);
    QCOMPARE(preview->windowTitle(), u"Nápověda Brisko HTML Editoru"_s);
    QVERIFY(preview->WebBrowser1->address().toLocalFile().endsWith(u"/help/index2.htm"_s));
    QVERIFY(w.sidePanel().helpBrowser()->address().toLocalFile().endsWith(u"/help/index.htm"_s));
    QCOMPARE(w.action(u"WinPreview"_s)->text(), u"Obnovit v okně prohlížeče"_s);
    // Without the browser module a Czech message stands where the page would be.
    QVERIFY(w.sidePanel().helpBrowser()->failureMessage().startsWith(u"Stránku nelze zobrazit"_s));
    w.sidePanel().notebook()->setCurrentIndex(0);
    w.sidePanel().notebook()->setCurrentIndex(2);
    QCOMPARE(w.findChildren<TPreview *>().size(), 1);
}

void tst_Preview::previewWindowAddressHistory()
{
    TPreview preview;
    preview.openAddress(u"/web/a.htm"_s);
    preview.openAddress(u"http://x.cz/"_s);
    preview.openAddress(u"/web/a.htm"_s);
    QCOMPARE(preview.ComboBox1->count(), 2);
    QCOMPARE(preview.WebBrowser1->address(), QUrl::fromLocalFile(u"/web/a.htm"_s));

    ScriptedInteraction ui;
    ui.openFile(u"/web/b.htm"_s);
    preview.OpenButton->click();
    QCOMPARE(ui.log, QStringList{u"open: "_s + TPreview::OpenFilter});
    QCOMPARE(preview.ComboBox1->currentText(), u"/web/b.htm"_s);
    QCOMPARE(preview.WebBrowser1->address(), QUrl::fromLocalFile(u"/web/b.htm"_s));
    QCOMPARE(preview.ComboBox1->count(), 3);
    for (QToolButton *b : {preview.BackButton, preview.ForwardButton, preview.StopButton,
                           preview.RefreshButton})
        b->click(); // nothing to do without an engine, and nothing fails
}

void tst_Preview::externalBrowser_data()
{
    QTest::addColumn<QString>("extBrow"); // "<prog>" stands for the program file, "<name>" for its name
    QTest::addColumn<QString>("launched");
    QTest::addColumn<QString>("error");
    QTest::newRow("no browser set: the system's handler") << QString() << u"open <page>"_s << QString();
    QTest::newRow("program file") << u"<prog>"_s << u"start <prog> [<page>] in <dir>"_s << QString();
    QTest::newRow("name on PATH") << u"<name>"_s << u"start <prog> [<page>] in <dir>"_s << QString();
    QTest::newRow("missing file") << u"/nonexistent/browser"_s << QString()
                                  << u"Soubor definovaný jako extrní prohlížeč neexistuje!"_s;
    QTest::newRow("not a program") << u"<page>"_s << QString()
                                   << u"Soubor definovaný jako extrní prohlížeč neexistuje!"_s;
}

void tst_Preview::externalBrowser()
{
    QFETCH(QString, extBrow);
    QFETCH(QString, launched);
    QFETCH(QString, error);
    const QString binDir = m_dir->filePath(u"bin"_s);
    QVERIFY(QDir().mkpath(binDir));
    const QString program = binDir + u"/prohlizec"_s;
    QFile f(program);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n");
    f.close();
    f.setPermissions(f.permissions() | QFile::ExeOwner);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(binDir) + ':' + oldPath);
    openSavedPage();
    auto fill = [&](QString s) {
        return s.replace(u"<prog>"_s, program).replace(u"<name>"_s, u"prohlizec"_s)
            .replace(u"<page>"_s, m_page).replace(u"<dir>"_s, binDir);
    };
    m_fx->window().settings().ExtBrow = fill(extBrow);
    RecordingShell shell;
    ScriptedInteraction ui;
    m_fx->window().action(u"ToolPreview"_s)->trigger();
    qputenv("PATH", oldPath);
    QCOMPARE(shell.log, launched.isEmpty() ? QStringList{} : QStringList{fill(launched)});
    QCOMPARE(ui.errors, error.isEmpty() ? QStringList{} : QStringList{error});
}

void tst_Preview::externalButtonShiftAndDde()
{
    openSavedPage();
    TForm1 &w = m_fx->window();
    w.settings().ExtBrow = u"/bin/sh"_s;
    w.settings().UseDDE = true;
    QToolButton *button = w.toolButton(u"ExternalBrowserButton"_s);
    RecordingShell shell;
    RecordingTransport dde;
    QTest::mousePress(button, Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(shell.log, QStringList{u"open "_s + m_page});
    QTest::mousePress(button, Qt::RightButton);
    QCOMPARE(dde.log, QStringList{u"/bin/sh "_s + m_page + u",,0xFFFFFFFF,0x3,,,"_s});
    // The menu command never speaks DDE.
    w.action(u"ToolPreview"_s)->trigger();
    QCOMPARE(shell.log.last(), u"start /bin/sh ["_s + m_page + u"] in /bin"_s);
    QCOMPARE(dde.log.size(), 1);
}

void tst_Preview::untitledIsNotSentAnywhere()
{
    TForm1 &w = m_fx->window();
    w.workspace().NewDocumentWindow();
    m_fx->buffer().SetText(u"<P>x</P>"_s);
    RecordingShell shell;
    ScriptedInteraction ui;
    ui.answer(Answer::No).answer(Answer::No);
    w.action(u"ToolPreview"_s)->trigger();
    QTest::mousePress(w.toolButton(u"ExternalBrowserButton"_s), Qt::LeftButton);
    QCOMPARE(ui.log, (QStringList{kSaveQuestion, kSaveQuestion}));
    QCOMPARE(shell.log, QStringList{});
    // Nor without any document at all.
    m_fx->buffer().SetModified(false);
    w.action(u"FileCloseAll"_s)->trigger();
    settle();
    w.action(u"ToolPreview"_s)->trigger();
    QCOMPARE(shell.log, QStringList{});
}

void tst_Preview::editingWorksWithoutTheBrowserModule()
{
    openSavedPage();
    TForm1 &w = m_fx->window();
    w.documentArea().previewTabs()->setCurrentIndex(PreviewTab);
    QVERIFY(!w.documentArea().browser()->engineStarted());
    QVERIFY(w.documentArea().browser()->failureMessage().startsWith(u"Stránku nelze zobrazit"_s));
    w.documentArea().previewTabs()->setCurrentIndex(DocumentTab);
    m_fx->buffer().SetSelStart(0);
    QTest::keyClicks(m_fx->view().viewport(), u"ab"_s);
    QVERIFY(m_fx->buffer().GetText().startsWith(u"ab<P>"_s));
    // The program itself never loaded the web engine.
    QFile maps(u"/proc/self/maps"_s);
    QVERIFY(maps.open(QIODevice::ReadOnly));
    QVERIFY(!maps.readAll().contains("WebEngine"));
}

BRISKO_TEST_MAIN(tst_Preview)
#include "tst_preview.moc"
