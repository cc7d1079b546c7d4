// The journal of uploaded files: what it keeps, when it vouches for a file, and that a
// damaged journal vouches for nothing.
#include "publish/ContentHash.h"
#include "publish/UploadJournal.h"
#include "support/TestMain.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

UploadJournal::Entry entryFor(const QString &path)
{
    const QFileInfo info(path);
    return {info.size(), info.lastModified().toMSecsSinceEpoch(), UploadJournal::fileSha256(path)};
}

void writeFile(const QString &path, const QByteArray &content, const QDateTime &time)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(content), content.size());
    QVERIFY(f.flush()); // a write left in the buffer would set the time again on close
    QVERIFY(f.setFileTime(time, QFileDevice::FileModificationTime));
}

} // namespace

class tst_UploadJournal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void modifiedTimeIsTheOneTheJournalComparesWith_data();
    void modifiedTimeIsTheOneTheJournalComparesWith();
    void anyNameSurvivesTheRoundTrip_data();
    void anyNameSurvivesTheRoundTrip();
    void damagedJournalVouchesForNothing_data();
    void damagedJournalVouchesForNothing();
    void unchangedNeedsSizeTimeAndContent_data();
    void unchangedNeedsSizeTimeAndContent();
    void eachTargetHasItsOwnJournal();
    void savedJournalLoadsBack();
    void knowsTheDirectoriesOfItsFiles_data();
    void knowsTheDirectoriesOfItsFiles();
    void directoriesStampsAndCutFilesSurviveTheRoundTrip();
    void leftoversKeepOnlyTemporaryNames();
    void contentHashIsSha256_data();
    void contentHashIsSha256();
};

void tst_UploadJournal::anyNameSurvivesTheRoundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << u"index.html"_s;
    QTest::newRow("nested with spaces") << u"Složka s mezerou/žluťoučký kůň.html"_s;
    QTest::newRow("brackets and percent") << u"pics [2]/100% [x].gif"_s;
    QTest::newRow("tab and newline in the name") << u"odd\tname\nhere.txt"_s;
}

void tst_UploadJournal::anyNameSurvivesTheRoundTrip()
{
    QFETCH(QString, name);
    UploadJournal journal;
    const UploadJournal::Entry entry{12345, 1700000000123, QCryptographicHash::hash("x", QCryptographicHash::Sha256)};
    journal.record(name, entry);
    journal.record(u"other.html"_s, {0, 1, QByteArray(32, '\0')});
    const auto parsed = UploadJournal::parse(journal.serialize());
    QVERIFY(parsed);
    QCOMPARE(parsed->size(), 2);
    QVERIFY(parsed->value(name) == entry);
}

void tst_UploadJournal::damagedJournalVouchesForNothing_data()
{
    const QByteArray hash = QByteArray(64, 'a');
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("foreign file") << QByteArray("some other file\n" + hash + " 1 2 a.html\n");
    QTest::newRow("short hash") << QByteArray("BriskoUploadJournal 1\nabcd 1 2 a.html\n");
    QTest::newRow("size not a number") << QByteArray("BriskoUploadJournal 1\n" + hash + " x 2 a.html\n");
    QTest::newRow("negative size") << QByteArray("BriskoUploadJournal 1\n" + hash + " -1 2 a.html\n");
    QTest::newRow("field missing") << QByteArray("BriskoUploadJournal 1\n" + hash + " 1 a.html\n");
    QTest::newRow("cut in the middle of a line") << QByteArray("BriskoUploadJournal 1\n" + hash + " 1 2 a.html\n" + hash.left(20));
}

void tst_UploadJournal::damagedJournalVouchesForNothing()
{
    QFETCH(QByteArray, text);
    QVERIFY(!UploadJournal::parse(text));
    QTemporaryDir dir;
    const QString path = dir.filePath(u"journal.txt"_s);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
    f.close();
    UploadJournal journal;
    journal.load(path);
    QCOMPARE(journal.size(), 0);
}

void tst_UploadJournal::unchangedNeedsSizeTimeAndContent_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("shiftSeconds");
    QTest::addColumn<bool>("unchanged");
    QTest::newRow("as recorded") << QByteArray("original") << 0 << true;
    QTest::newRow("touched") << QByteArray("original") << 5 << false;
    QTest::newRow("longer") << QByteArray("original!") << 0 << false;
    // Same size and time, other bytes (a copy that kept its time): only the hash tells.
    QTest::newRow("same size and time, other content") << QByteArray("ORIGINAL") << 0 << false;
}

void tst_UploadJournal::unchangedNeedsSizeTimeAndContent()
{
    QFETCH(QByteArray, content);
    QFETCH(int, shiftSeconds);
    QFETCH(bool, unchanged);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"page.html"_s);
    const QDateTime time(QDate(2024, 1, 1), QTime(12, 0), Qt::UTC);
    writeFile(path, "original", time);
    UploadJournal journal;
    journal.record(u"page.html"_s, entryFor(path));
    writeFile(path, content, time.addSecs(shiftSeconds));
    QCOMPARE(journal.isUnchanged(u"page.html"_s, path), unchanged);
    QVERIFY(!journal.isUnchanged(u"not recorded.html"_s, path));
    QVERIFY(!journal.isUnchanged(u"page.html"_s, dir.filePath(u"missing.html"_s)));
}

void tst_UploadJournal::eachTargetHasItsOwnJournal()
{
    const QString base = UploadJournal::pathFor(u"ftp.example.cz"_s, u"21"_s, u"web"_s, u"/www"_s);
    QVERIFY(base.startsWith(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u'/'));
    QCOMPARE(UploadJournal::pathFor(u"FTP.Example.CZ"_s, u"21"_s, u"web"_s, u"/www"_s), base);
    QVERIFY(UploadJournal::pathFor(u"ftp.example.cz"_s, u"2121"_s, u"web"_s, u"/www"_s) != base);
    QVERIFY(UploadJournal::pathFor(u"ftp.example.cz"_s, u"21"_s, u"other"_s, u"/www"_s) != base);
    QVERIFY(UploadJournal::pathFor(u"ftp.example.cz"_s, u"21"_s, u"web"_s, u"/www/sub"_s) != base);
    // The server's texts never become parts of the path.
    QVERIFY(!UploadJournal::pathFor(u"../../etc"_s, u"21"_s, u"../x"_s, u"/"_s).contains(u".."_s));
}

void tst_UploadJournal::savedJournalLoadsBack()
{
    const QString path = UploadJournal::pathFor(u"h"_s, u"21"_s, u"u"_s, u"/"_s);
    UploadJournal journal;
    journal.load(path); // none yet: empty
    QCOMPARE(journal.size(), 0);
    journal.record(u"a.html"_s, {1, 2, QByteArray(32, 'a')});
    journal.record(u"b.html"_s, {3, 4, QByteArray(32, 'b')});
    journal.forget(u"b.html"_s);
    QVERIFY(journal.save());
    UploadJournal again;
    again.load(path);
    QCOMPARE(again.size(), 1);
    QVERIFY(*again.find(u"a.html"_s) == (UploadJournal::Entry{1, 2, QByteArray(32, 'a')}));
}

void tst_UploadJournal::knowsTheDirectoriesOfItsFiles_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<bool>("known");
    QTest::newRow("parent of a file") << u"sub/deeper"_s << true;
    QTest::newRow("grandparent") << u"sub"_s << true;
    QTest::newRow("with separator") << u"sub/"_s << true;
    QTest::newRow("a name that only begins alike") << u"su"_s << false;
    QTest::newRow("a file is no directory") << u"sub/deeper/page.html"_s << false;
    QTest::newRow("unknown") << u"other"_s << false;
}

void tst_UploadJournal::knowsTheDirectoriesOfItsFiles()
{
    QFETCH(QString, directory);
    QFETCH(bool, known);
    UploadJournal journal;
    journal.record(u"sub/deeper/page.html"_s, {1, 2, QByteArray(32, 'p')});
    journal.record(u"top.html"_s, {1, 2, QByteArray(32, 't')});
    QCOMPARE(journal.knowsDirectory(directory), known);
}

void tst_UploadJournal::directoriesStampsAndCutFilesSurviveTheRoundTrip()
{
    const QString path = UploadJournal::pathFor(u"h"_s, u"21"_s, u"dirs"_s, u"/"_s);
    UploadJournal journal;
    journal.load(path);
    journal.recordDirectory(u"empty"_s);
    journal.recordDirectory(u"a b/100% c/"_s);
    journal.record(u"a b/page.html"_s, {1, 2, QByteArray(32, 'p')});
    journal.setRemoteStamp(u"a b/page.html"_s, u"20240102030405"_s);
    journal.setRemoteStamp(u"never recorded.html"_s, u"20240102030405"_s);
    const UploadJournal::Partial cut{UploadJournal::temporaryName(), 20 << 20, 3, QByteArray(32, 'z')};
    journal.recordPartial(u"big archive.zip"_s, cut);
    QVERIFY(journal.save());
    UploadJournal again;
    again.load(path);
    QCOMPARE(again.size(), 1);
    QCOMPARE(again.remoteStamp(u"a b/page.html"_s), u"20240102030405"_s);
    QVERIFY(again.remoteStamp(u"never recorded.html"_s).isEmpty());
    QCOMPARE(again.partial(u"big archive.zip"_s), std::optional(cut));
    QCOMPARE(again.partialTemporaries(), QStringList{cut.temporary});
    // Sent anew, a file's old server time no longer holds.
    again.record(u"a b/page.html"_s, {1, 3, QByteArray(32, 'p')});
    QVERIFY(again.remoteStamp(u"a b/page.html"_s).isEmpty());
    QVERIFY(again.knowsDirectory(u"empty/"_s));
    QVERIFY(again.knowsDirectory(u"a b/100% c"_s));
    QVERIFY(!again.knowsDirectory(u"emp"_s));
    // A directory gone from the server takes what the journal knew below it along.
    again.forgetDirectory(u"a b"_s);
    QVERIFY(!again.knowsDirectory(u"a b/100% c"_s));
    QVERIFY(!again.find(u"a b/page.html"_s));
    QVERIFY(again.knowsDirectory(u"empty"_s));
    // A damaged directory line vouches for nothing either.
    QVERIFY(!UploadJournal::parse("BriskoUploadJournal 1\nD nodirectory\n"));
    // A cut file whose temporary name is not one of ours would delete someone's file.
    QVERIFY(!UploadJournal::parse("BriskoUploadJournal 1\nP " + QByteArray(64, 'a') + " 1 2 index.html big.zip\n"));
}

void tst_UploadJournal::leftoversKeepOnlyTemporaryNames()
{
    const QString path = UploadJournal::leftoversPathFor(u"h"_s, u"21"_s, u"u"_s);
    QVERIFY(path != UploadJournal::pathFor(u"h"_s, u"21"_s, u"u"_s, {}));
    const QString name = UploadJournal::temporaryName();
    QVERIFY(UploadJournal::isTemporaryName(name));
    QVERIFY(!UploadJournal::isTemporaryName(u"index.html"_s));
    QVERIFY(UploadJournal::saveLeftovers(path, {u"/web/"_s + name, u"/web/index.html"_s, u"/x y/"_s + name}));
    // Whatever else the file holds, only names this program makes come back for deleting.
    QCOMPARE(UploadJournal::loadLeftovers(path), (QStringList{u"/web/"_s + name, u"/x y/"_s + name}));
    QVERIFY(UploadJournal::saveLeftovers(path, {}));
    QVERIFY(!QFileInfo::exists(path));
    QVERIFY(UploadJournal::loadLeftovers(path).isEmpty());
}

void tst_UploadJournal::contentHashIsSha256_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("empty") << 0;
    QTest::newRow("one byte") << 1;
    QTest::newRow("one read block") << 256 * 1024;
    QTest::newRow("past a read block") << 256 * 1024 + 1;
    QTest::newRow("several blocks") << 600 * 1024 + 13;
}

// The journal's hashes of files and of what was sent stay comparable with those recorded
// before, and a hash read on the way goes on as if it had not been read.
void tst_UploadJournal::contentHashIsSha256()
{
    QFETCH(int, size);
    QByteArray content(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        content[i] = char(i * 7 + i / 251);
    const QByteArray expected = QCryptographicHash::hash(content, QCryptographicHash::Sha256);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"f.bin"_s);
    writeFile(path, content, QDateTime::currentDateTimeUtc());
    QCOMPARE(UploadJournal::fileSha256(path), expected);

    ContentHash sent;
    sent.addData(u"left over from the last file"_s.toUtf8());
    sent.reset();
    const qsizetype half = size / 2;
    sent.addData(QByteArrayView(content).first(half));
    QCOMPARE(sent.result(), QCryptographicHash::hash(content.first(half), QCryptographicHash::Sha256));
    sent.addData(QByteArrayView(content).sliced(half));
    QCOMPARE(sent.result(), expected);
    QCOMPARE(ContentHash::hash(content), expected);
}

void tst_UploadJournal::modifiedTimeIsTheOneTheJournalComparesWith_data()
{
    QTest::addColumn<QDateTime>("time");
    QTest::newRow("with milliseconds") << QDateTime(QDate(2024, 3, 31), QTime(2, 30, 15, 987), Qt::UTC);
    QTest::newRow("summer time here") << QDateTime(QDate(2023, 7, 1), QTime(12, 0, 0, 1), Qt::LocalTime);
}

// The time recorded after a store must be the one isUnchanged reads through QFileInfo, or
// every file would look changed at the next upload.
void tst_UploadJournal::modifiedTimeIsTheOneTheJournalComparesWith()
{
    QFETCH(QDateTime, time);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"page.html"_s);
    writeFile(path, "<p>", time);
    QCOMPARE(UploadJournal::modifiedMs(path), QFileInfo(path).lastModified().toMSecsSinceEpoch());
    QCOMPARE(UploadJournal::modifiedMs(path), time.toMSecsSinceEpoch());
    QCOMPARE(UploadJournal::modifiedMs(dir.filePath(u"missing.html"_s)), qint64(-1));
}

BRISKO_TEST_MAIN(tst_UploadJournal)
#include "tst_uploadjournal.moc"
