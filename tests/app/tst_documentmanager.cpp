#include "app/DocumentManager.h"
#include "markup/GuardedFile.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"
#include "support/WorkspaceFixture.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

// The document manager without any window: the slots, opening, finding and closing work
// on documents alone.
class tst_DocumentManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void thirtySlotsThenAnError();
    void closedDocumentGivesItsSlotBack();
    void sameFileOpensOnce();
    void unreadableFileLeavesNoWindow_data();
    void unreadableFileLeavesNoWindow();
};

void tst_DocumentManager::thirtySlotsThenAnError()
{
    ScriptedInteraction script;
    WorkspaceFixture fx(0);
    QSignalSpy created(&fx.workspace(), &DocumentManager::documentCreated);
    for (int i = 1; i <= DocumentManager::SlotCount; ++i) {
        HtmlDocument *doc = fx.workspace().NewDocumentWindow();
        QVERIFY(doc);
        QCOMPARE(doc->SlotIndex, i);
        QCOMPARE(fx.workspace().activeDocument(), doc);
    }
    QCOMPARE(created.count(), DocumentManager::SlotCount);
    QVERIFY(!fx.workspace().NewDocumentWindow());
    QCOMPARE(script.errors, QStringList{u"Nelze vytvořit více jak 30 oken!"_s});
}

void tst_DocumentManager::closedDocumentGivesItsSlotBack()
{
    WorkspaceFixture fx(3);
    HtmlDocument *second = fx.workspace().document(2);
    QPointer<HtmlDocument> gone = second;
    second->closeConfirmed();
    QVERIFY(!fx.workspace().document(2));
    QCOMPARE(fx.workspace().documents().size(), 2);
    QTRY_VERIFY(!gone); // deleted from the event loop
    // The lowest free slot is taken again.
    QCOMPARE(fx.workspace().NewDocumentWindow()->SlotIndex, 2);
    // Closing the active document leaves none active.
    fx.doc()->closeConfirmed();
    QCOMPARE(fx.workspace().activeDocument(), nullptr);
}

void tst_DocumentManager::sameFileOpensOnce()
{
    ScriptedInteraction script;
    QTemporaryDir dir;
    const QString path = dir.filePath(u"a.html"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<P>a</P>");
    file.close();
    WorkspaceFixture fx(0);
    QVERIFY(fx.workspace().openHandedFile(path));
    HtmlDocument *opened = fx.doc();
    QCOMPARE(opened->GetText(), u"<P>a</P>"_s);
    fx.workspace().NewDocumentWindow();
    // The same file, written another way, brings the open document back.
    QVERIFY(fx.workspace().openHandedFile(dir.path() + u"/./a.html"_s));
    QCOMPARE(fx.workspace().documents().size(), 2);
    QCOMPARE(fx.workspace().activeDocument(), opened);
    QCOMPARE(fx.workspace().documentOf(path), opened);
    // Gone from the disk, the file is still told apart from other gone files by its name.
    QVERIFY(QFile::remove(path));
    QCOMPARE(fx.workspace().documentOf(dir.filePath(u"jiná.html"_s)), nullptr);
    QCOMPARE(fx.workspace().documentOf(dir.path() + u"/./a.html"_s), opened);
}

void tst_DocumentManager::unreadableFileLeavesNoWindow_data()
{
    QTest::addColumn<QString>("name");
    // A recent entry or a dropped file deleted meanwhile, a folder, a page over the limit.
    QTest::newRow("gone") << u"smazaná stránka.html"_s;
    QTest::newRow("folder") << u"složka.html"_s;
    QTest::newRow("tooLong") << u"dlouhá.html"_s;
}

void tst_DocumentManager::unreadableFileLeavesNoWindow()
{
    QFETCH(QString, name);
    ScriptedInteraction script;
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (name.startsWith(u"složka"_s)) {
        QVERIFY(QDir(dir.path()).mkdir(name));
    } else if (name.startsWith(u"dlouhá"_s)) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(MaxDocumentLength + 10, 'a'));
    }
    WorkspaceFixture fx(1);
    HtmlDocument *before = fx.doc();
    QCOMPARE(fx.workspace().openInNewWindow(path), nullptr);
    // One message, and the documents as they were: no empty window to close (and be asked
    // about) after it.
    QCOMPARE(script.errors.size(), 1);
    QVERIFY2(script.errors[0].contains(path), qPrintable(script.errors[0]));
    QCOMPARE(fx.workspace().documents(), QList<HtmlDocument *>{before});
    QCOMPARE(fx.workspace().activeDocument(), before);
}

BRISKO_TEST_MAIN(tst_DocumentManager)
#include "tst_documentmanager.moc"
