#include "markup/GuardedFile.h"
#include "markup/TextFile.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <future>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

class tst_GuardedFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void regularFileIsReadWhole();
    void specialFilesAreRefusedByName_data();
    void specialFilesAreRefusedByName();
    void namedPipeIsRefusedWithoutWaitingForAWriter();
    void fileTooLargeIsRefusedFromItsSize();
    void pageDecodedBeyondTheEditorIsRefused_data();
    void pageDecodedBeyondTheEditorIsRefused();
    void commitWritesTheWholeFileOrNothing();
    void documentFitCheck_data();
    void documentFitCheck();

private:
    QTemporaryDir m_dir;
};

void tst_GuardedFile::regularFileIsReadWhole()
{
    const QString path = m_dir.filePath(u"page.htm"_s);
    QCOMPARE(commitFile(path, "<P>ahoj</P>"), QString());
    const GuardedRead read = readGuardedFile(path);
    QVERIFY(read.ok());
    QCOMPARE(read.bytes, QByteArray("<P>ahoj</P>"));
    QCOMPARE(readGuardedFile(m_dir.filePath(u"missing.htm"_s)).status, GuardedRead::Status::CannotOpen);
}

void tst_GuardedFile::specialFilesAreRefusedByName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("kind");

    const QString fifo = m_dir.filePath(u"roura.htm"_s);
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QTest::newRow("namedPipe") << fifo << u"pojmenovaná roura"_s;
    QTest::newRow("characterDevice") << u"/dev/null"_s << u"zařízení"_s;
    QTest::newRow("directory") << m_dir.path() << u"adresář"_s;

    const QString socketPath = m_dir.filePath(u"soket.htm"_s);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(socketPath);
    if (fd >= 0 && size_t(native.size()) < sizeof(address.sun_path)) {
        std::copy(native.begin(), native.end(), address.sun_path);
        if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0)
            QTest::newRow("socket") << socketPath << u"soket"_s;
    }
    if (fd >= 0)
        ::close(fd);
}

void tst_GuardedFile::specialFilesAreRefusedByName()
{
    QFETCH(QString, path);
    QFETCH(QString, kind);
    const GuardedRead read = readGuardedFile(path);
    QCOMPARE(read.status, GuardedRead::Status::NotRegularFile);
    QCOMPARE(read.error, u"%1 je %2, ne soubor."_s.arg(path, kind));
    // A page opened from such a name shows that sentence alone.
    const TextFileResult page = readDocumentFile(path);
    QVERIFY(!page.ok);
    QCOMPARE(readFailureMessage(path, page), read.error);
}

void tst_GuardedFile::namedPipeIsRefusedWithoutWaitingForAWriter()
{
    const QString fifo = m_dir.filePath(u"cekajici.htm"_s);
    const QByteArray native = QFile::encodeName(fifo);
    QVERIFY(::mkfifo(native.constData(), 0600) == 0);
    auto reading = std::async(std::launch::async, [fifo] { return readDocumentFile(fifo); });
    const bool answered = reading.wait_for(5s) == std::future_status::ready;
    if (!answered) {
        // Free the blocked reader, so the test ends with its failure instead of hanging.
        const int writer = ::open(native.constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
    }
    const TextFileResult page = reading.get();
    QVERIFY2(answered, "reading a named pipe waited for a writer");
    QVERIFY(!page.ok);
    QVERIFY(page.refused);
}

void tst_GuardedFile::fileTooLargeIsRefusedFromItsSize()
{
    // Sparse: three gigabytes on paper, nothing on disk. Reading it would take minutes.
    const QString path = m_dir.filePath(u"obri.htm"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.resize(3LL * 1024 * 1024 * 1024));
    file.close();
    const GuardedRead read = readGuardedFile(path);
    QCOMPARE(read.status, GuardedRead::Status::TooLarge);
    QVERIFY(read.bytes.isEmpty());
    QCOMPARE(read.error, u"Soubor %1 je příliš velký: editor pojme nejvýše 999999 znaků."_s.arg(path));

    // The boundary: the largest file any encoding could fit is read, one byte more is not.
    QVERIFY(file.resize(MaxDocumentBytes + 1));
    QCOMPARE(readGuardedFile(path).status, GuardedRead::Status::TooLarge);
    QVERIFY(file.resize(MaxDocumentBytes));
    QCOMPARE(readGuardedFile(path).status, GuardedRead::Status::Ok);
}

void tst_GuardedFile::pageDecodedBeyondTheEditorIsRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("fits");
    QTest::newRow("singleByteAtTheLimit") << QByteArray(MaxDocumentLength, 'a') << true;
    QTest::newRow("singleByteOneOver") << QByteArray(MaxDocumentLength + 1, 'a') << false;
    // Lone LF become CR LF: the page grows past the limit while the file is small.
    QTest::newRow("lineBreaksGrowThePage") << QByteArray(600000, '\n') << false;
}

void tst_GuardedFile::pageDecodedBeyondTheEditorIsRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, fits);
    const QString path = m_dir.filePath(u"dlouha.htm"_s);
    QCOMPARE(commitFile(path, bytes), QString());
    const TextFileResult page = readDocumentFile(path);
    QCOMPARE(page.ok, fits);
    if (!fits) {
        QVERIFY(page.text.isEmpty());
        QCOMPARE(readFailureMessage(path, page), tooLargeFileMessage(path));
    }
    QCOMPARE(readDocumentFile(path, TextEncoding::Windows1250).ok, fits);
}

void tst_GuardedFile::commitWritesTheWholeFileOrNothing()
{
    const QString path = m_dir.filePath(u"zapis.txt"_s);
    QCOMPARE(commitFile(path, "first"), QString());
    QCOMPARE(commitFile(path, "second, longer"), QString());
    QCOMPARE(readGuardedFile(path).bytes, QByteArray("second, longer"));
    // A folder that is not there is an error, not a file somewhere else.
    const QString lost = m_dir.filePath(u"chybi/zapis.txt"_s);
    QVERIFY(!commitFile(lost, "x").isEmpty());
    QVERIFY(!QFile::exists(lost));
    // No temporary file is left beside the committed one.
    QCOMPARE(QDir(m_dir.path()).entryList({u"zapis.txt*"_s}, QDir::Files), QStringList{u"zapis.txt"_s});
}

void tst_GuardedFile::documentFitCheck_data()
{
    QTest::addColumn<qint64>("length");
    QTest::addColumn<bool>("fits");
    QTest::newRow("empty") << qint64(0) << true;
    QTest::newRow("atTheLimit") << qint64(MaxDocumentLength) << true;
    QTest::newRow("oneOver") << qint64(MaxDocumentLength) + 1 << false;
    QTest::newRow("negativeIsNoLength") << qint64(-1) << false;
}

void tst_GuardedFile::documentFitCheck()
{
    QFETCH(qint64, length);
    QFETCH(bool, fits);
    QCOMPARE(fitsInDocument(length), fits);
}

BRISKO_TEST_MAIN(tst_GuardedFile)
#include "tst_guardedfile.moc"
