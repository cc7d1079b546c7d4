#include "markup/FileReferences.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

void touch(const QString &path, const QByteArray &content = "x")
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class tst_FileReferences : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tagByExtension_data();
    void tagByExtension();
    void html5PlaysMediaInThePage_data();
    void html5PlaysMediaInThePage();
    void linkHasBlankBeforeBracket();
    void openKindByExtension_data();
    void openKindByExtension();
    void deleteQuestionEndsInBlank();
    void renameTargetStaysInFolder_data();
    void renameTargetStaysInFolder();
    void renameRefusesExistingTarget();
    void renameMovesFile();
    void caseChangeRenamesInPlace();
    void caseChangeRefusesExistingTarget();
    void editorOwnFiles_data();
    void editorOwnFiles();
};

void tst_FileReferences::tagByExtension_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("opening");
    QTest::addColumn<QString>("closing");
    // images
    QTest::newRow("gif_upper") << u"/w/logo.GIF"_s << u"<IMG SRC=\"img/x\">"_s << QString();
    QTest::newRow("jpeg") << u"/w/a.jpeg"_s << u"<IMG SRC=\"img/x\">"_s << QString();
    QTest::newRow("png") << u"/w/a.png"_s << u"<IMG SRC=\"img/x\">"_s << QString();
    // pages and downloads become links
    QTest::newRow("html") << u"/w/a.html"_s << u"<A HREF=\"img/x\">"_s << u"</A>"_s;
    QTest::newRow("pdf") << u"/w/a.pdf"_s << u"<A HREF=\"img/x\">"_s << u"</A>"_s;
    QTest::newRow("exe") << u"/w/setup.EXE"_s << u"<A HREF=\"img/x\">"_s << u"</A>"_s;
    // sounds
    QTest::newRow("mid") << u"/w/a.mid"_s << u"<BGSOUND SRC=\"img/x\">"_s << QString();
    QTest::newRow("au") << u"/w/a.au"_s << u"<BGSOUND SRC=\"img/x\">"_s << QString();
    // video
    QTest::newRow("mpeg") << u"/w/clip.mpeg"_s << u"<IMG DYNSRC=\"img/x\">"_s << QString();
    QTest::newRow("mov") << u"/w/clip.mov"_s << u"<IMG DYNSRC=\"img/x\">"_s << QString();
    // fonts and anything else
    QTest::newRow("ttf") << u"/w/font.ttf"_s << u"<EMBED SRC=\"img/x\">"_s << QString();
    QTest::newRow("mp3_notInSoundRow") << u"/w/a.mp3"_s << u"<EMBED SRC=\"img/x\">"_s << QString();
    QTest::newRow("noExtension") << u"/w/README"_s << u"<EMBED SRC=\"img/x\">"_s << QString();
}

void tst_FileReferences::tagByExtension()
{
    QFETCH(QString, file);
    QFETCH(QString, opening);
    QFETCH(QString, closing);
    QCOMPARE(fileTagMarkup(u"img/x"_s, file), (Markup{opening, closing}));
}

void tst_FileReferences::html5PlaysMediaInThePage_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("opening");
    QTest::addColumn<QString>("closing");

    // What a browser plays goes into the page with its controls.
    QTest::newRow("mp4") << u"/w/film.mp4"_s << u"<VIDEO SRC=\"img/x\" CONTROLS>"_s << u"</VIDEO>"_s;
    QTest::newRow("webm upper case") << u"/w/FILM.WEBM"_s << u"<VIDEO SRC=\"img/x\" CONTROLS>"_s
                                     << u"</VIDEO>"_s;
    QTest::newRow("ogv") << u"/w/film.ogv"_s << u"<VIDEO SRC=\"img/x\" CONTROLS>"_s << u"</VIDEO>"_s;
    QTest::newRow("mp3") << u"/w/a.mp3"_s << u"<AUDIO SRC=\"img/x\" CONTROLS>"_s << u"</AUDIO>"_s;
    QTest::newRow("wav") << u"/w/a.wav"_s << u"<AUDIO SRC=\"img/x\" CONTROLS>"_s << u"</AUDIO>"_s;
    // Neither DYNSRC nor BGSOUND is HTML5, and no browser plays these: a link.
    QTest::newRow("mpeg") << u"/w/clip.mpeg"_s << u"<A HREF=\"img/x\">"_s << u"</A>"_s;
    QTest::newRow("mid") << u"/w/a.mid"_s << u"<A HREF=\"img/x\">"_s << u"</A>"_s;
    // Everything else as in HTML 4.
    QTest::newRow("png") << u"/w/a.png"_s << u"<IMG SRC=\"img/x\">"_s << QString();
    QTest::newRow("ttf") << u"/w/font.ttf"_s << u"<EMBED SRC=\"img/x\">"_s << QString();
}

void tst_FileReferences::html5PlaysMediaInThePage()
{
    QFETCH(QString, file);
    QFETCH(QString, opening);
    QFETCH(QString, closing);
    QCOMPARE(fileTagMarkup(u"img/x"_s, file, MarkupStyle::Html5), (Markup{opening, closing}));
}

void tst_FileReferences::linkHasBlankBeforeBracket()
{
    QCOMPARE(fileLinkMarkup(u"img/a.gif"_s), (Markup{u"<A HREF=\"img/a.gif\" >"_s, u"</A>"_s}));
}

void tst_FileReferences::openKindByExtension_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("kind");
    QTest::newRow("html") << u"/w/a.html"_s << int(FileOpenKind::Page);
    QTest::newRow("HTT") << u"/w/a.HTT"_s << int(FileOpenKind::Page);
    QTest::newRow("sab") << u"/w/a.sab"_s << int(FileOpenKind::Page);
    QTest::newRow("tag") << u"/w/mine.Tag"_s << int(FileOpenKind::UserTags);
    QTest::newRow("css_toItsProgram") << u"/w/style.css"_s << int(FileOpenKind::Shell);
    QTest::newRow("gif") << u"/w/a.gif"_s << int(FileOpenKind::Shell);
}

void tst_FileReferences::openKindByExtension()
{
    QFETCH(QString, file);
    QFETCH(int, kind);
    QCOMPARE(int(fileOpenKind(file)), kind);
}

void tst_FileReferences::deleteQuestionEndsInBlank()
{
    QCOMPARE(deleteFileQuestion(u"/web/old page.htm"_s),
             u"Opravdu chcete smazat soubor \"/web/old page.htm\" "_s);
}

void tst_FileReferences::renameTargetStaysInFolder_data()
{
    QTest::addColumn<QString>("entered");
    QTest::addColumn<QString>("target");
    QTest::newRow("bareName") << u"new.htm"_s << u"/web/site/new.htm"_s;
    QTest::newRow("relativeFolder") << u"img/new.gif"_s << u"/web/site/img/new.gif"_s;
    QTest::newRow("parentFolder") << u"../new.htm"_s << u"/web/new.htm"_s;
    QTest::newRow("absolute") << u"/tmp/new.htm"_s << u"/tmp/new.htm"_s;
    QTest::newRow("empty_nothing") << u""_s << QString();
    QTest::newRow("blanks_nothing") << u"  "_s << QString();
}

void tst_FileReferences::renameTargetStaysInFolder()
{
    QFETCH(QString, entered);
    QFETCH(QString, target);
    QCOMPARE(renameTarget(u"/web/site"_s, entered), target);
}

void tst_FileReferences::renameRefusesExistingTarget()
{
    QTemporaryDir dir;
    const QString from = dir.filePath(u"a.htm"_s);
    const QString to = dir.filePath(u"b.htm"_s);
    touch(from, "first");
    touch(to, "second");
    QVERIFY(!renameWithoutReplacing(from, to));
    QCOMPARE(contentOf(from), QByteArray("first"));
    QCOMPARE(contentOf(to), QByteArray("second"));
}

void tst_FileReferences::renameMovesFile()
{
    QTemporaryDir dir;
    const QString from = dir.filePath(u"a.htm"_s);
    touch(from, "first");
    QVERIFY(renameWithoutReplacing(from, dir.filePath(u"c.htm"_s)));
    QVERIFY(!QFile::exists(from));
    QCOMPARE(contentOf(dir.filePath(u"c.htm"_s)), QByteArray("first"));
}

void tst_FileReferences::caseChangeRenamesInPlace()
{
    QTemporaryDir dir;
    const QString upper = dir.filePath(u"ŽLUŤOUČKÝ.HTM"_s);
    const QString other = dir.filePath(u"Logo.GIF"_s);
    touch(upper);
    touch(other);
    QCOMPARE(caseChangedPath(upper, false), dir.filePath(u"žluťoučký.htm"_s));
    QVERIFY(changeFileNameCase({upper, other}, false).isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
             (QStringList{u"logo.gif"_s, u"žluťoučký.htm"_s}));
    QVERIFY(changeFileNameCase({dir.filePath(u"logo.gif"_s)}, true).isEmpty());
    QVERIFY(QFile::exists(dir.filePath(u"LOGO.GIF"_s)));
}

void tst_FileReferences::caseChangeRefusesExistingTarget()
{
    QTemporaryDir dir;
    const QString upper = dir.filePath(u"PAGE.HTM"_s);
    const QString lower = dir.filePath(u"page.htm"_s);
    touch(upper, "upper");
    touch(lower, "lower");
    QCOMPARE(changeFileNameCase({upper}, false), QStringList{upper});
    QCOMPARE(contentOf(upper), QByteArray("upper"));
    QCOMPARE(contentOf(lower), QByteArray("lower"));
}

void tst_FileReferences::editorOwnFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("backupExtension");
    QTest::addColumn<bool>("own");
    QTest::newRow("backup") << u"index.bak"_s << u"bak"_s << true;
    QTest::newRow("backup_in_a_folder") << u"web/clanky/stranka.BAK"_s << u"bak"_s << true;
    QTest::newRow("backup_of_the_settings") << u"index.old"_s << u"old"_s << true;
    QTest::newRow("other_extension_then") << u"index.bak"_s << u"old"_s << false;
    QTest::newRow("page") << u"index.html"_s << u"bak"_s << false;
    QTest::newRow("picture") << u"obrazky/logo.gif"_s << u"bak"_s << false;
    QTest::newRow("no_extension") << u"README"_s << u"bak"_s << false;
    QTest::newRow("extension_alone") << u".bak"_s << u"bak"_s << false;
    // A backup extension that names the site's own pages takes no page for a backup.
    QTest::newRow("page_extension_as_backup") << u"index.htm"_s << u"htm"_s << false;
    QTest::newRow("no_backup_extension") << u"index.bak"_s << QString() << false;
    QTest::newRow("unfinished_write") << u"index.html.aBcDeF"_s << u"bak"_s << true;
    QTest::newRow("unfinished_style_sheet") << u"styl.css.QwErTy"_s << u"bak"_s << true;
    QTest::newRow("six_letters_after_a_picture") << u"logo.gif.aBcDeF"_s << u"bak"_s << false;
    QTest::newRow("recovery_copy")
        << u"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0-3.rec"_s << u"bak"_s << true;
    QTest::newRow("recovery_lock") << u"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0.lock"_s << u"bak"_s << true;
    QTest::newRow("some_record") << u"zaznam.rec"_s << u"bak"_s << false;
}

void tst_FileReferences::editorOwnFiles()
{
    QFETCH(QString, name);
    QFETCH(QString, backupExtension);
    QFETCH(bool, own);
    QCOMPARE(isEditorOwnFile(name, backupExtension), own);
}

BRISKO_TEST_MAIN(tst_FileReferences)
#include "tst_filereferences.moc"
