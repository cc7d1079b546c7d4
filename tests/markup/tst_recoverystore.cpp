#include "markup/GuardedFile.h"
#include "markup/RecoveryStore.h"
#include "support/TestMain.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(RecoveryCopy)

class tst_RecoveryStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void copyRoundTrips_data();
    void copyRoundTrips();
    void copyOfTheFirstVersionIsRead();
    void cutOrForeignCopyIsNotTaken_data();
    void cutOrForeignCopyIsNotTaken();
    void runningInstanceKeepsItsCopies();
    void copiesOfAnEndedRunAreClaimedOnce();
    void laterKeepsTheCopiesForTheNextStart();
    void normalEndLeavesNothing();

private:
    static RecoveryCopy sample(const QString &fileName, int slot);
    static void put(RecoveryStore &store, int document, const RecoveryCopy &copy);
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_RecoveryStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
}

RecoveryCopy tst_RecoveryStore::sample(const QString &fileName, int slot)
{
    RecoveryCopy copy;
    copy.fileName = fileName;
    copy.slot = slot;
    copy.text = u"<P>žluťoučký kůň\r\n"_s + fileName;
    copy.caret = 3;
    return copy;
}

void tst_RecoveryStore::put(RecoveryStore &store, int document, const RecoveryCopy &copy)
{
    QCOMPARE(commitFile(store.copyPath(document), serializeRecoveryCopy(copy)), QString());
}

void tst_RecoveryStore::copyRoundTrips_data()
{
    QTest::addColumn<RecoveryCopy>("copy");
    RecoveryCopy saved = sample(u"/tmp/stranka.htm"_s, 1);
    saved.encoding = {TextEncoding::Utf8, true};
    QTest::newRow("savedPageInUtf8WithMark") << saved;
    RecoveryCopy untitled = sample(u"Bez jména"_s, 7);
    untitled.encoding = {TextEncoding::Iso88592, false};
    QTest::newRow("untitledInLatin2") << untitled;
    RecoveryCopy lfPage = sample(u"/tmp/unix.html"_s, 3);
    lfPage.lineEnding = LineEnding::Lf;
    QTest::newRow("pageWithLfBreaks") << lfPage;
    RecoveryCopy empty;
    empty.fileName = u"Bez jména"_s;
    QTest::newRow("emptyPage") << empty;
    // Characters outside the page's code page stay as typed: the copy is not the page.
    RecoveryCopy wide = sample(u"/tmp/w.htm"_s, 2);
    wide.text = u"Ж 😀 \u0000 end"_s;
    QTest::newRow("anyCharacter") << wide;
}

void tst_RecoveryStore::copyRoundTrips()
{
    QFETCH(RecoveryCopy, copy);
    const std::optional<RecoveryCopy> back = parseRecoveryCopy(serializeRecoveryCopy(copy));
    QVERIFY(back);
    QCOMPARE(*back, copy);
}

// Copies written before the line breaks were kept are still restored, as CR LF pages.
void tst_RecoveryStore::copyOfTheFirstVersionIsRead()
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << quint32(0x42524543) << quint32(1) << u"/tmp/old.htm"_s << qint32(4)
        << qint32(TextEncoding::Iso88592) << false << qint32(2) << u"<P>\r\n"_s << quint32(0x42524543);
    const std::optional<RecoveryCopy> copy = parseRecoveryCopy(bytes);
    QVERIFY(copy);
    QCOMPARE(copy->fileName, u"/tmp/old.htm"_s);
    QCOMPARE(copy->text, u"<P>\r\n"_s);
    QCOMPARE(copy->caret, 2);
    QCOMPARE(copy->lineEnding, LineEnding::CrLf);
}

void tst_RecoveryStore::cutOrForeignCopyIsNotTaken_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray whole = serializeRecoveryCopy(sample(u"/tmp/a.htm"_s, 1));
    QTest::newRow("cutInTheText") << whole.left(whole.size() - 10);
    QTest::newRow("cutBeforeTheEndMark") << whole.left(whole.size() - 2);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("aPageNotACopy") << QByteArray("<HTML><BODY>text</BODY></HTML>");
}

void tst_RecoveryStore::cutOrForeignCopyIsNotTaken()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!parseRecoveryCopy(bytes));
}

void tst_RecoveryStore::runningInstanceKeepsItsCopies()
{
    RecoveryStore running(m_dir->path());
    QVERIFY(running.start());
    put(running, 1, sample(u"/tmp/a.htm"_s, 1));
    // A second instance started meanwhile sees the copy but may not take it.
    RecoveryStore second(m_dir->path());
    QVERIFY(second.start());
    QVERIFY(second.claimLeftCopies().isEmpty());
    second.discardClaimed();
    QVERIFY(QFile::exists(running.copyPath(1)));
}

void tst_RecoveryStore::copiesOfAnEndedRunAreClaimedOnce()
{
    // An ended run: copies without a lock, as a killed process leaves them once its lock
    // is found stale.
    {
        RecoveryStore ended(m_dir->path());
        put(ended, 1, sample(u"/tmp/a.htm"_s, 1));
        put(ended, 2, sample(u"Bez jména"_s, 2));
    }
    QVERIFY(QFile::copy(m_dir->filePath(QDir(m_dir->path()).entryList({u"*.rec"_s}).first()),
                        m_dir->filePath(u"foreign-1.rec"_s)));
    RecoveryStore first(m_dir->path());
    QVERIFY(first.start());
    const QList<RecoveryCopy> copies = first.claimLeftCopies();
    QCOMPARE(copies.size(), 3);
    // While the first instance offers them, a second one does not.
    RecoveryStore second(m_dir->path());
    QVERIFY(second.start());
    QVERIFY(second.claimLeftCopies().isEmpty());
    first.discardClaimed();
    QVERIFY(QDir(m_dir->path()).entryList({u"*.rec"_s}).isEmpty());
    QVERIFY(second.claimLeftCopies().isEmpty());
}

void tst_RecoveryStore::laterKeepsTheCopiesForTheNextStart()
{
    {
        RecoveryStore ended(m_dir->path());
        put(ended, 1, sample(u"/tmp/a.htm"_s, 1));
    }
    {
        RecoveryStore later(m_dir->path());
        QVERIFY(later.start());
        QCOMPARE(later.claimLeftCopies().size(), 1);
        later.releaseClaimed();
        later.finish();
    }
    RecoveryStore next(m_dir->path());
    QVERIFY(next.start());
    const QList<RecoveryCopy> copies = next.claimLeftCopies();
    QCOMPARE(copies.size(), 1);
    QCOMPARE(copies[0].fileName, u"/tmp/a.htm"_s);
}

void tst_RecoveryStore::normalEndLeavesNothing()
{
    RecoveryStore store(m_dir->path());
    QVERIFY(store.start());
    put(store, 1, sample(u"/tmp/a.htm"_s, 1));
    put(store, 2, sample(u"Bez jména"_s, 2));
    store.finish();
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList());
}

BRISKO_TEST_MAIN(tst_RecoveryStore)
#include "tst_recoverystore.moc"
