#include "app/RecoveryBinding.h"
#include "markup/GuardedFile.h"
#include "markup/RecoveryStore.h"
#include "markup/TextFile.h"
#include "support/CommandHost.h"
#include "support/TestMain.h"
#include "support/WorkspaceFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <csignal>

using namespace Qt::StringLiterals;

namespace {

// Types text as key presses carrying each character, Czech letters included (QTest's own
// key clicks take Latin-1 only).
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

// Types into a window of the document, as the user types into the document's window.
void typeInto(Workspace &workspace, HtmlDocument &document, const QString &text)
{
    CommandHost host(workspace);
    TForm2 window(document, host);
    typeText(window.RichEdit1, text);
}

} // namespace

class tst_CrashRecovery : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void killedProgramsPagesComeBack();
    void copyFollowsTypingAndGoesWithSaveOrClose();
    void discardedCopiesAreNotOfferedAgain_data();
    void discardedCopiesAreNotOfferedAgain();
    void normalEndLeavesNoCopy();
    void copyOfAPageOpenAlreadyGoesIntoItsWindow_data();
    void copyOfAPageOpenAlreadyGoesIntoItsWindow();

private:
    QStringList copies() const;
    void leaveCopyOfAnEndedRun(const QString &text);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_folder;
    std::unique_ptr<ScriptedInteraction> m_script;
};

void tst_CrashRecovery::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_folder = m_dir->filePath(u"recovery"_s);
    m_script = std::make_unique<ScriptedInteraction>();
}

void tst_CrashRecovery::cleanup()
{
    endScript(m_script);
}

QStringList tst_CrashRecovery::copies() const
{
    return QDir(m_folder).entryList({u"*.rec"_s}, QDir::Files);
}

void tst_CrashRecovery::leaveCopyOfAnEndedRun(const QString &text)
{
    // Copies without a lock, as a killed run leaves them once its lock is found stale.
    QVERIFY(QDir().mkpath(m_folder));
    RecoveryCopy copy;
    copy.fileName = HtmlDocument::Untitled;
    copy.slot = 1;
    copy.text = text;
    QCOMPARE(commitFile(m_folder + u"/ended-1.rec"_s, serializeRecoveryCopy(copy)), QString());
}

void tst_CrashRecovery::killedProgramsPagesComeBack()
{
    const QString page = m_dir->filePath(u"stranka.htm"_s);
    const QString original = u"<P>Původní text</P>"_s;
    QCOMPARE(writeTextFile(page, original), QString());
    const QString typedIntoPage = u"Nový řádek: ěščřžýáíé "_s;
    const QString typedIntoNew = u"<H1>Úplně nová stránka</H1>"_s;

    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationDirPath() + u"/brisko_recovery_child"_s,
                {m_folder, m_dir->filePath(u"child.ini"_s), page, typedIntoPage, typedIntoNew});
    QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
    // A loaded machine may take its time to start the child: the waits are generous.
    QByteArray output;
    QTRY_VERIFY_WITH_TIMEOUT((output += child.readAllStandardOutput()).contains("typed")
                                 || child.state() == QProcess::NotRunning, 120000);
    QCOMPARE(child.state(), QProcess::Running);
    QTRY_COMPARE_WITH_TIMEOUT(copies().size(), 2, 60000);

    // Another instance started while the child runs does not take its copies.
    {
        RecoveryStore other(m_dir->filePath(u"recovery"_s));
        QVERIFY(other.start());
        QVERIFY(other.claimLeftCopies().isEmpty());
        other.finish();
    }

    ::kill(pid_t(child.processId()), SIGKILL);
    QVERIFY(child.waitForFinished(10000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);

    WorkspaceFixture fx(0);
    RecoveryBinding binding(fx.workspace(), m_folder);
    m_script->choice(0); // "Obnovit"
    QCOMPARE(binding.offer(), 2);
    QCOMPARE(m_script->log.size(), 1);
    QVERIFY(m_script->log[0].startsWith(u"choose: "_s));
    QVERIFY(m_script->log[0].contains(page));
    QVERIFY(m_script->log[0].contains(u"Bez jména (okno 2)"_s));
    QVERIFY(m_script->log[0].endsWith(u"|Obnovit|Zahodit|Později"_s));

    const QList<HtmlDocument *> docs = fx.workspace().documents();
    QCOMPARE(docs.size(), 2);
    HtmlDocument *restoredPage = docs[0]->FileName() == page ? docs[0] : docs[1];
    HtmlDocument *restoredNew = restoredPage == docs[0] ? docs[1] : docs[0];
    QCOMPARE(restoredPage->FileName(), page);
    QCOMPARE(restoredPage->GetText(), typedIntoPage + original);
    QVERIFY(restoredPage->IsModified());
    QCOMPARE(restoredPage->SelStart(), typedIntoPage.size());
    // Restored pages come back coloured, as an opened page is.
    const TSettings &s = fx.settings();
    QVERIFY(s.Colorize);
    QCOMPARE(restoredPage->colorAt(int(typedIntoPage.size())), s.TAG);
    QCOMPARE(restoredPage->colorAt(int(typedIntoPage.size()) + 4), s.TEXT);
    QCOMPARE(restoredNew->colorAt(0), s.TAG);
    QVERIFY(restoredNew->isUntitled());
    QCOMPARE(restoredNew->GetText(), typedIntoNew);
    QVERIFY(restoredNew->IsModified());

    // Saving writes the page where it belongs, in its own encoding, and its copy goes.
    QVERIFY(fx.workspace().saveDocument(*restoredPage));
    QFile saved(page);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), Cp1250::encode(typedIntoPage + original));
    binding.recovery().waitForWrites();
    QCOMPARE(copies().size(), 1); // the new page's, now under this run
}

void tst_CrashRecovery::copyFollowsTypingAndGoesWithSaveOrClose()
{
    const QString page = m_dir->filePath(u"a.htm"_s);
    QCOMPARE(writeTextFile(page, u"<P>a</P>"_s), QString());
    WorkspaceFixture fx(0);
    RecoveryBinding binding(fx.workspace(), m_folder);
    HtmlDocument *doc = fx.workspace().openInNewWindow(page);
    QVERIFY(doc);
    QVERIFY(copies().isEmpty()); // an unmodified page has none
    typeInto(fx.workspace(), *doc, u"xy"_s);
    QTRY_COMPARE_WITH_TIMEOUT(copies().size(), 1, 10000);
    const GuardedRead read = readGuardedFile(m_folder + u'/' + copies()[0], 1 << 24);
    const std::optional<RecoveryCopy> copy = parseRecoveryCopy(read.bytes);
    QVERIFY(copy);
    QCOMPARE(copy->text, u"xy<P>a</P>"_s);
    QCOMPARE(copy->fileName, page);
    QCOMPARE(copy->caret, 2);
    // The real file is never touched.
    QCOMPARE(readDocumentFile(page).text, u"<P>a</P>"_s);

    QVERIFY(fx.workspace().saveDocument(*doc));
    binding.recovery().waitForWrites();
    QVERIFY(copies().isEmpty());

    typeInto(fx.workspace(), *doc, u"z"_s);
    binding.recovery().writeNow(*doc);
    binding.recovery().waitForWrites();
    QCOMPARE(copies().size(), 1);
    m_script->answer(Interaction::Answer::No); // close without saving
    fx.workspace().activateDocument(*doc);
    QVERIFY(fx.run(Cmd::FileClose));
    QTRY_VERIFY(fx.workspace().documents().isEmpty());
    binding.recovery().waitForWrites();
    QVERIFY(copies().isEmpty());
}

void tst_CrashRecovery::discardedCopiesAreNotOfferedAgain_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<bool>("offeredAgain");
    QTest::newRow("discard") << 1 << false;
    QTest::newRow("later") << 2 << true;
    QTest::newRow("boxClosed") << -1 << true; // closing the box decides nothing
}

void tst_CrashRecovery::discardedCopiesAreNotOfferedAgain()
{
    QFETCH(int, choice);
    QFETCH(bool, offeredAgain);
    leaveCopyOfAnEndedRun(u"<P>ztracené</P>"_s);
    {
        WorkspaceFixture fx(0);
        RecoveryBinding binding(fx.workspace(), m_folder);
        m_script->choice(choice);
        QCOMPARE(binding.offer(), 0);
        QVERIFY(fx.workspace().documents().isEmpty());
    }
    WorkspaceFixture fx(0);
    RecoveryBinding binding(fx.workspace(), m_folder);
    if (offeredAgain)
        m_script->choice(1);
    QCOMPARE(binding.offer(), 0);
    QCOMPARE(m_script->log.size(), offeredAgain ? 2 : 1);
}

void tst_CrashRecovery::normalEndLeavesNoCopy()
{
    {
        WorkspaceFixture fx(2);
        RecoveryBinding binding(fx.workspace(), m_folder);
        for (HtmlDocument *doc : fx.workspace().documents()) {
            typeInto(fx.workspace(), *doc, u"neuloženo"_s);
            binding.recovery().writeNow(*doc);
        }
        binding.recovery().waitForWrites();
        QCOMPARE(copies().size(), 2);
    }
    QVERIFY(copies().isEmpty());
    WorkspaceFixture fx(0);
    RecoveryBinding binding(fx.workspace(), m_folder);
    QCOMPARE(binding.offer(), 0); // nothing is offered
}

void tst_CrashRecovery::copyOfAPageOpenAlreadyGoesIntoItsWindow_data()
{
    QTest::addColumn<bool>("changedMeanwhile");
    // The start was given the page's file: it opened before the question was answered.
    QTest::newRow("unchanged") << false;
    // Typed into before the answer: both texts stay, each in a window of its own.
    QTest::newRow("changed") << true;
}

void tst_CrashRecovery::copyOfAPageOpenAlreadyGoesIntoItsWindow()
{
    QFETCH(bool, changedMeanwhile);
    const QString page = m_dir->filePath(u"složka s mezerou/stránka.htm"_s);
    QVERIFY(QDir().mkpath(QFileInfo(page).path()));
    const QString original = u"<P>Původní</P>"_s;
    const QString recovered = u"<P>Obnovený text</P>"_s;
    QCOMPARE(writeTextFile(page, original), QString());
    QVERIFY(QDir().mkpath(m_folder));
    RecoveryCopy copy;
    copy.fileName = page;
    copy.slot = 1;
    copy.text = recovered;
    copy.caret = 3;
    QCOMPARE(commitFile(m_folder + u"/ended-1.rec"_s, serializeRecoveryCopy(copy)), QString());

    WorkspaceFixture fx(1); // an untitled page besides
    HtmlDocument *untitled = fx.doc();
    RecoveryBinding binding(fx.workspace(), m_folder);
    QVERIFY(fx.workspace().openHandedFile(QFileInfo(page).path() + u"/./stránka.htm"_s));
    HtmlDocument *opened = fx.workspace().documentOf(page);
    QVERIFY(opened);
    if (changedMeanwhile)
        typeInto(fx.workspace(), *opened, u"x"_s);
    fx.workspace().activateDocument(*untitled);
    m_script->choice(0); // "Obnovit"
    QCOMPARE(binding.offer(), 1);

    QList<HtmlDocument *> ofThePage;
    for (HtmlDocument *doc : fx.workspace().documents()) {
        if (!doc->isUntitled())
            ofThePage << doc;
    }
    if (changedMeanwhile) {
        QCOMPARE(ofThePage.size(), 2);
        QCOMPARE(ofThePage[0], opened);
        QCOMPARE(opened->GetText(), u"x"_s + original);
        QCOMPARE(ofThePage[1]->GetText(), recovered);
    } else {
        QCOMPARE(ofThePage, QList<HtmlDocument *>{opened});
        QCOMPARE(opened->GetText(), recovered);
        QCOMPARE(opened->SelStart(), 3);
    }
    QVERIFY(ofThePage.last()->IsModified());
    // The page brought back is the one in front.
    QCOMPARE(fx.workspace().activeDocument(), ofThePage.last());
    QCOMPARE(fx.workspace().documents().size(), ofThePage.size() + 1);
}

BRISKO_TEST_MAIN(tst_CrashRecovery)
#include "tst_crashrecovery.moc"
