#include "app/RecoveryBinding.h"
#include "app/Session.h"
#include "app/TForm1.h"
#include "editor/EditorBuffer.h"
#include "markup/GuardedFile.h"
#include "markup/RecoveryStore.h"
#include "markup/TextFile.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// A page of many lines, so its view can stand far from its top.
QString longPage(const QString &title)
{
    QString page = u"<HTML><TITLE>"_s + title + u"</TITLE>\r\n"_s;
    for (int i = 0; i < 300; ++i)
        page += u"<P>line "_s + QString::number(i) + u"\r\n"_s;
    return page;
}

std::unique_ptr<TForm1> startWindow(const QString &ini)
{
    auto window = std::make_unique<TForm1>(std::make_unique<SettingsStore>(ini));
    window->resize(900, 700);
    window->show();
    return window;
}

} // namespace

class tst_Session : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void pagesOfTheLastEndComeBack_data();
    void pagesOfTheLastEndComeBack();
    void storedListKeepsEveryField();
    void aFileOpenAlreadyIsNotOpenedAgain();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedInteraction> m_script;
};

void tst_Session::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_script = std::make_unique<ScriptedInteraction>();
}

void tst_Session::cleanup()
{
    endScript(m_script);
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_Session::pagesOfTheLastEndComeBack_data()
{
    QTest::addColumn<bool>("reopenOn");
    QTest::addColumn<bool>("secondPageGone");
    QTest::addColumn<bool>("recoveryCopyLeft");
    QTest::addColumn<QStringList>("expected"); // the pages of the new start, in order
    QTest::addColumn<QString>("statusLine");

    const QStringList all{u"a.htm"_s, u"b.htm"_s, u"c.htm"_s};
    QTest::newRow("allComeBackInOrder") << true << false << false << all << QString();
    QTest::newRow("goneOneSkippedWithStatusLine")
        << true << true << false << QStringList{u"a.htm"_s, u"c.htm"_s}
        << u"Stránky z minula se nepodařilo otevřít: b.htm"_s;
    // Copies of a crashed run are offered instead; the session waits ("Později").
    QTest::newRow("recoveryComesFirst") << true << false << true << QStringList() << QString();
    QTest::newRow("settingOffStartsEmpty") << false << false << false << QStringList() << QString();
}

void tst_Session::pagesOfTheLastEndComeBack()
{
    QFETCH(bool, reopenOn);
    QFETCH(bool, secondPageGone);
    QFETCH(bool, recoveryCopyLeft);
    QFETCH(QStringList, expected);
    QFETCH(QString, statusLine);

    const QString ini = m_dir->filePath(u"settings.ini"_s);
    const QString recoveryFolder = m_dir->filePath(u"recovery"_s);
    for (const QString &name : {u"a.htm"_s, u"b.htm"_s, u"c.htm"_s})
        QCOMPARE(writeTextFile(m_dir->filePath(name), longPage(name)), QString());
    const QStringList all{u"a.htm"_s, u"b.htm"_s, u"c.htm"_s};
    QList<int> carets;
    QList<TextEncoding> encodings;

    // The first run: three pages, each with its caret; the second one shown as ISO-8859-2,
    // its view from line 100 on with the caret on screen.
    {
        auto window = startWindow(ini);
        window->settings().ReopenSession = reopenOn;
        for (int i = 0; i < 3; ++i) {
            HtmlDocument *doc = window->workspace().openInNewWindow(m_dir->filePath(all[i]));
            QVERIFY(doc);
            carets << doc->LineStart(i == 1 ? 105 : 7 * i) + 2;
            doc->SetSelStart(carets[i]);
        }
        HtmlDocument *second = window->workspace().documents()[1];
        QVERIFY(second->reopenInEncoding(TextEncoding::Iso88592));
        second->SetSelStart(carets[1]);
        window->workspace().window(second)->RichEdit1->verticalScrollBar()->setValue(100);
        for (HtmlDocument *doc : window->workspace().documents())
            encodings << doc->encoding().encoding;
        QCOMPARE(encodings[1], TextEncoding::Iso88592);
        QVERIFY(window->close()); // "Konec"
    }
    if (secondPageGone)
        QVERIFY(QFile::remove(m_dir->filePath(u"b.htm"_s)));
    if (recoveryCopyLeft) {
        QVERIFY(QDir().mkpath(recoveryFolder));
        RecoveryCopy copy;
        copy.fileName = HtmlDocument::Untitled;
        copy.slot = 1;
        copy.text = u"<P>neuloženo</P>"_s;
        QCOMPARE(commitFile(recoveryFolder + u"/ended-1.rec"_s, serializeRecoveryCopy(copy)),
                 QString());
        m_script->choice(2); // "Později"
    }

    // The next start without files.
    auto window = startWindow(ini);
    QCOMPARE(window->settings().ReopenSession, reopenOn);
    {
        RecoveryBinding recovery(window->workspace(), recoveryFolder);
        startWithoutFiles(window->workspace(), recovery, window->settingsFile());
    }
    QStringList shown;
    for (HtmlDocument *doc : window->workspace().documents())
        shown << QFileInfo(doc->FileName()).fileName();
    QCOMPARE(shown, expected);
    for (HtmlDocument *doc : window->workspace().documents()) {
        const int page = int(all.indexOf(QFileInfo(doc->FileName()).fileName()));
        QCOMPARE(doc->SelStart(), carets[page]);
        QCOMPARE(doc->encoding().encoding, encodings[page]);
        QVERIFY(!doc->IsModified());
        if (page == 1) {
            QScrollBar *bar = window->workspace().window(doc)->RichEdit1->verticalScrollBar();
            QTRY_COMPARE(bar->value(), 100);
        }
    }
    if (!expected.isEmpty()) // the page active at the end is the active one again
        QCOMPARE(QFileInfo(window->workspace().activeDocument()->FileName()).fileName(),
                 expected.last());
    if (!statusLine.isEmpty())
        QTRY_COMPARE(window->statusText(3), statusLine);
    QCOMPARE(m_script->log.size(), recoveryCopyLeft ? 1 : 0); // no box for the gone page
}

void tst_Session::storedListKeepsEveryField()
{
    const QString ini = m_dir->filePath(u"settings.ini"_s);
    const QList<SessionPage> pages{
        {u"/web/a b.htm"_s, 12, 3, TextEncoding::Utf8, false},
        {u"/web/č,=.htm"_s, 0, 0, TextEncoding::Windows1250, true},
        {u"/web/c.htm"_s, 99999, 400, TextEncoding::Iso88592, false},
    };
    storeSession(ini, pages);
    QCOMPARE(storedSession(ini), pages);
    // A shorter list leaves nothing of the longer one behind.
    storeSession(ini, pages.mid(1, 1));
    QCOMPARE(storedSession(ini), pages.mid(1, 1));
    storeSession(ini, {});
    QVERIFY(storedSession(ini).isEmpty());
}

void tst_Session::aFileOpenAlreadyIsNotOpenedAgain()
{
    // A list with one file twice (written another way the second time), after a page that is
    // open already: each file gets one window, and the page marked active comes forward.
    const QString ini = m_dir->filePath(u"settings.ini"_s);
    const QString a = m_dir->filePath(u"a.htm"_s);
    const QString b = m_dir->filePath(u"b.htm"_s);
    QCOMPARE(writeTextFile(a, longPage(u"a"_s)), QString());
    QCOMPARE(writeTextFile(b, longPage(u"b"_s)), QString());
    const QList<SessionPage> pages{
        {a, 5, 0, TextEncoding::Windows1250, false},
        {b, 0, 0, TextEncoding::Windows1250, true},
        {m_dir->path() + u"/./a.htm"_s, 9, 0, TextEncoding::Windows1250, false},
    };
    auto window = startWindow(ini);
    HtmlDocument *openB = window->workspace().openInNewWindow(b);
    QVERIFY(openB);
    QCOMPARE(reopenSession(window->workspace(), pages), 1);
    const QList<HtmlDocument *> docs = window->workspace().documents();
    QCOMPARE(docs.size(), 2);
    QCOMPARE(docs[0], openB);
    QCOMPARE(docs[1]->FileName(), a);
    QCOMPARE(docs[1]->SelStart(), 5);
    QCOMPARE(window->workspace().activeDocument(), openB);
    QVERIFY(window->close());
}

BRISKO_TEST_MAIN(tst_Session)
#include "tst_session.moc"
