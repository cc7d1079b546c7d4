#include "app/FilePanel.h"
#include "editor/EditorBuffer.h"
#include "markup/SysUt.h"
#include "settings/TSettings.h"
#include "support/RecordingShell.h"
#include "support/WorkspaceFixture.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QAction>
#include <QBoxLayout>
#include <QComboBox>
#include <QDir>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

void touch(const QString &path, const QByteArray &content = "<HTML></HTML>")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QStringList shownFiles(const FilePanel &panel)
{
    QStringList names;
    for (int i = 0; i < panel.FileListBox1->count(); ++i)
        names.append(panel.FileListBox1->item(i)->text());
    return names;
}

void makeCurrent(FilePanel &panel, const QString &name)
{
    const QList<QListWidgetItem *> items = panel.FileListBox1->findItems(name, Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    panel.FileListBox1->setCurrentItem(items.first());
}

// The site the tests browse: pages, images and other files in a fresh folder.
struct Site
{
    Site()
    {
        for (const char *name : {"index.html", "old.htm", "logo.gif", "PHOTO.JPG", "style.css",
                                 "mine.tag", "README", "img/a.png"})
            touch(dir.filePath(QLatin1StringView(name)));
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

} // namespace

class tst_FilePanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void filterShowsMatchingFiles_data();
    void filterShowsMatchingFiles();
    void filterCaptionsShownOnce();
    void drivesStartWithRootAndHome();
    void followsOpenedDocument();
    void followedFolderStaysInViewWhileTheTreeFills();
    void menuItemsNeedCurrentFile();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void renameNeverReplaces();
    void renameMovesIntoFolder();
    void caseChangeOfSelectedFiles();
    void doubleClickOpensByType();
    void insertImageAsTagWithRelativePath();
    void selectionShowsReferenceInStatusBar();
    void dragCarriesFileAddresses();
    void treeHeadsWithTheDriveFolderAndGoesUp();
    void treeFollowsNewFoldersWithTheFolderIcon();

private:
    FilePanel *panel() { return m_panel; }
    std::unique_ptr<WorkspaceFixture> m_fx;
    // The side panel's page the file panel is installed into, without the frame around it.
    std::unique_ptr<QWidget> m_page;
    FilePanel *m_panel = nullptr;
    std::unique_ptr<ScriptedInteraction> m_ui;
};

void tst_FilePanel::init()
{
    m_ui = std::make_unique<ScriptedInteraction>();
    m_fx = std::make_unique<WorkspaceFixture>();
    m_page = std::make_unique<QWidget>();
    m_page->resize(300, 600);
    new QVBoxLayout(m_page.get());
    m_panel = installFilePanel(m_fx->workspace(), *m_page);
}

void tst_FilePanel::cleanup()
{
    m_page.reset();
    m_fx.reset();
    QVERIFY2(m_ui->unexpected.isEmpty(), qPrintable(m_ui->unexpected.join(u'\n')));
    QVERIFY(m_ui->allAnswered());
    m_ui.reset();
}

void tst_FilePanel::filterShowsMatchingFiles_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("all_evenWithoutExtension")
        << 0 << QStringList{u"index.html"_s, u"logo.gif"_s, u"mine.tag"_s, u"old.htm"_s,
                            u"PHOTO.JPG"_s, u"README"_s, u"style.css"_s};
    // "*.htm" takes ".html" as on Windows
    QTest::newRow("html_takesHtml") << 1 << QStringList{u"index.html"_s, u"old.htm"_s};
    QTest::newRow("images_anyCase") << 5 << QStringList{u"logo.gif"_s, u"PHOTO.JPG"_s};
    QTest::newRow("userTags") << 10 << QStringList{u"mine.tag"_s};
    QTest::newRow("nothingMatches") << 11 << QStringList{};
}

void tst_FilePanel::filterShowsMatchingFiles()
{
    QFETCH(int, filter);
    QFETCH(QStringList, shown);
    Site site;
    FilePanel &p = *panel();
    p.setDirectory(site.dir.path());
    p.FilterComboBox1->setCurrentIndex(filter);
    QCOMPARE(shownFiles(p), shown);
    QCOMPARE(QDir::currentPath(), QDir(site.dir.path()).canonicalPath());
}

void tst_FilePanel::filterCaptionsShownOnce()
{
    QComboBox *combo = panel()->FilterComboBox1;
    QCOMPARE(combo->count(), 12);
    QCOMPARE(combo->itemText(0), u"Všechny soubory (*.*)"_s);
    QCOMPARE(combo->itemText(1), u"Html dokumenty (*.html;*.htm;*.htx;*.htt)"_s);
    QCOMPARE(combo->currentIndex(), 0);
}

void tst_FilePanel::drivesStartWithRootAndHome()
{
    QComboBox *drives = panel()->DriveComboBox1;
    QVERIFY(drives->count() >= 2);
    QCOMPARE(drives->itemData(0).toString(), u"/"_s);
    QCOMPARE(drives->itemData(1).toString(), QDir::homePath());
}

void tst_FilePanel::followsOpenedDocument()
{
    Site site;
    WorkspaceFixture &w = *m_fx;
    QVERIFY(w.workspace().OpenFile(*w.workspace().activeDocument(), site.path(u"img/../index.html"_s)));
    QTRY_COMPARE(panel()->directory(), QDir::cleanPath(site.dir.path()));
    QVERIFY(shownFiles(*panel()).contains(u"logo.gif"_s));
    QCOMPARE(panel()->DirectoryListBox1->currentIndex().data().toString(),
             QFileInfo(site.dir.path()).fileName());
}

// The tree lists a folder's neighbours only after it has shown the folder: those sorted
// above it push it down, out of view unless the tree scrolls to it again.
void tst_FilePanel::followedFolderStaysInViewWhileTheTreeFills()
{
    QTemporaryDir root;
    for (int i = 0; i < 80; ++i)
        QVERIFY(QDir(root.path()).mkpath(u"a%1/inner"_s.arg(i, 3, 10, QChar(u'0'))));
    const QString page = root.filePath(u"z/site/index.html"_s);
    QVERIFY(QDir(root.path()).mkpath(u"z/site"_s));
    touch(page);
    WorkspaceFixture &w = *m_fx;
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
    QVERIFY(w.workspace().OpenFile(*w.workspace().activeDocument(), page));
    QTreeView *tree = panel()->DirectoryListBox1;
    QTRY_COMPARE(tree->currentIndex().data().toString(), u"site"_s);
    auto *model = static_cast<QFileSystemModel *>(tree->model());
    const QModelIndex listed = model->index(root.path());
    QTRY_COMPARE(model->rowCount(listed), 81);
    QTest::qWait(200);
    QVERIFY(tree->viewport()->rect().intersects(tree->visualRect(tree->currentIndex())));
}

void tst_FilePanel::menuItemsNeedCurrentFile()
{
    Site site;
    FilePanel &p = *panel();
    p.setDirectory(site.dir.path());
    const QStringList guarded{u"FileOpen"_s, u"FileRename"_s, u"FileDelete"_s,
                              u"FileInsertTag"_s, u"FileInsertName"_s};
    p.FileListBox1->setCurrentItem(nullptr);
    Q_EMIT p.PopupMenu->aboutToShow();
    for (const QString &name : guarded)
        QVERIFY2(!p.action(name)->isEnabled(), qPrintable(name));
    QVERIFY(p.action(u"FileInsertLink"_s)->isEnabled());
    QVERIFY(p.action(u"FileRefresh"_s)->isEnabled());

    makeCurrent(p, u"logo.gif"_s);
    Q_EMIT p.PopupMenu->aboutToShow();
    for (const QString &name : guarded)
        QVERIFY2(p.action(name)->isEnabled(), qPrintable(name));
}

void tst_FilePanel::deleteAsksFirst_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes_deletes") << true;
    QTest::newRow("no_keeps") << false;
}

void tst_FilePanel::deleteAsksFirst()
{
    QFETCH(bool, yes);
    Site site;
    FilePanel &p = *panel();
    p.setDirectory(site.dir.path());
    makeCurrent(p, u"old.htm"_s);
    const QString path = p.currentFile();
    m_ui->answer(yes ? Interaction::Answer::Yes : Interaction::Answer::No);
    p.action(u"FileDelete"_s)->trigger();
    QCOMPARE(m_ui->questions, QStringList{u"Opravdu chcete smazat soubor \""_s + path + u"\" "_s});
    QCOMPARE(QFile::exists(path), !yes);
    QCOMPARE(shownFiles(p).contains(u"old.htm"_s), !yes);
}

void tst_FilePanel::renameNeverReplaces()
{
    Site site;
    FilePanel &p = *panel();
    p.setDirectory(site.dir.path());
    makeCurrent(p, u"old.htm"_s);
    const QString path = p.currentFile();
    m_ui->enterText(u"index.html"_s);
    p.action(u"FileRename"_s)->trigger();
    QCOMPARE(m_ui->log.value(0), u"text: Přejmenovat soubor..|"_s + path);
    QVERIFY(QFile::exists(path));
    QCOMPARE(shownFiles(p).size(), 7);
    // The user is told, or would take the file for renamed.
    QCOMPARE(m_ui->errors.size(), 1);
    QVERIFY(m_ui->errors[0].contains(site.path(u"index.html"_s)));
    QVERIFY(m_ui->errors[0].contains(u"už existuje"_s));
}

void tst_FilePanel::renameMovesIntoFolder()
{
    Site site;
    FilePanel &p = *panel();
    p.setDirectory(site.dir.path());
    makeCurrent(p, u"old.htm"_s);
    m_ui->enterText(u"new.htm"_s);
    p.action(u"FileRename"_s)->trigger();
    QVERIFY(QFile::exists(site.path(u"new.htm"_s)));
    QVERIFY(shownFiles(p).contains(u"new.htm"_s));
    QVERIFY(!shownFiles(p).contains(u"old.htm"_s));
}

void tst_FilePanel::caseChangeOfSelectedFiles()
{
    Site site;
    touch(site.path(u"photo.jpg"_s), "other");
    FilePanel &p = *panel();
    p.setDirectory(site.dir.path());
    // Without the case the search could find "photo.jpg" instead.
    p.FileListBox1->findItems(u"PHOTO.JPG"_s, Qt::MatchExactly | Qt::MatchCaseSensitive)
        .first()
        ->setSelected(true);
    p.FileListBox1->findItems(u"README"_s, Qt::MatchExactly).first()->setSelected(true);
    p.action(u"FileLowerCase"_s)->trigger();
    // "photo.jpg" exists already, so "PHOTO.JPG" keeps its name, and the user is told.
    QVERIFY(QFile::exists(site.path(u"PHOTO.JPG"_s)));
    QVERIFY(QFile::exists(site.path(u"readme"_s)));
    QVERIFY(!QFile::exists(site.path(u"README"_s)));
    QCOMPARE(m_ui->errors.size(), 1);
    QVERIFY(m_ui->errors[0].contains(site.path(u"PHOTO.JPG"_s)));
    QVERIFY(!m_ui->errors[0].contains(u"README"_s));
}

void tst_FilePanel::doubleClickOpensByType()
{
    Site site;
    RecordingShell shell;
    QStringList userTagFiles;
    WorkspaceFixture &w = *m_fx;
    w.settings().Colorize = true;
    FilePanel &p = *panel();
    QObject listening; // the connection ends with this test
    connect(&p, &FilePanel::userTagFileOpened, &listening,
            [&](const QString &path) { userTagFiles.append(path); });
    p.setDirectory(site.dir.path());
    auto doubleClick = [&](const QString &name) {
        Q_EMIT p.FileListBox1->itemDoubleClicked(
            p.FileListBox1->findItems(name, Qt::MatchExactly).first());
    };
    doubleClick(u"style.css"_s);
    QCOMPARE(shell.opened, QList<QUrl>{QUrl::fromLocalFile(site.path(u"style.css"_s))});
    doubleClick(u"mine.tag"_s);
    QCOMPARE(userTagFiles, QStringList{site.path(u"mine.tag"_s)});
    QCOMPARE(w.workspace().documents().size(), 1);
    doubleClick(u"index.html"_s);
    QCOMPARE(w.workspace().documents().size(), 2);
    QCOMPARE(w.workspace().activeDocument()->FileName(), site.path(u"index.html"_s));
    // coloured as any opened page (behind the first screen, from the event loop), and
    // still unmodified
    QTRY_COMPARE(m_fx->buffer().colorAt(1), w.settings().TAG);
    QTRY_VERIFY(!m_fx->buffer().backgroundColouringPending());
    QVERIFY(!m_fx->buffer().IsModified());
    QCOMPARE(shell.opened.size(), 1);
}

void tst_FilePanel::insertImageAsTagWithRelativePath()
{
    Site site;
    WorkspaceFixture &w = *m_fx;
    w.settings().RelPa = true;
    m_fx->doc()->setFileName(site.path(u"index.html"_s));
    m_fx->setText(u"<P></P>"_s, 3);
    FilePanel &p = *panel();
    p.setDirectory(site.path(u"img"_s));
    makeCurrent(p, u"a.png"_s);
    p.action(u"FileInsertTag"_s)->trigger();
    QCOMPARE(m_fx->buffer().GetText(), u"<P><IMG SRC=\"img/a.png\"></P>"_s);
}

void tst_FilePanel::selectionShowsReferenceInStatusBar()
{
    Site site;
    WorkspaceFixture &w = *m_fx;
    w.settings().RelPa = true;
    w.settings().UpperCaseFiles = true;
    m_fx->doc()->setFileName(site.path(u"index.html"_s));
    FilePanel &p = *panel();
    p.setDirectory(site.path(u"img"_s));
    makeCurrent(p, u"a.png"_s);
    QCOMPARE(w.statusText(3), u"IMG/A.PNG"_s);
}

void tst_FilePanel::dragCarriesFileAddresses()
{
    Site site;
    FilePanel &p = *panel();
    p.setDirectory(site.dir.path());
    QModelIndexList indexes;
    for (const QString &name : {u"index.html"_s, u"logo.gif"_s})
        indexes.append(p.FileListBox1->indexFromItem(
            p.FileListBox1->findItems(name, Qt::MatchExactly).first()));
    std::unique_ptr<QMimeData> data(p.FileListBox1->model()->mimeData(indexes));
    QCOMPARE(data->urls(), (QList<QUrl>{QUrl::fromLocalFile(site.path(u"index.html"_s)),
                                        QUrl::fromLocalFile(site.path(u"logo.gif"_s))}));
}

void tst_FilePanel::treeHeadsWithTheDriveFolderAndGoesUp()
{
    // The test's home is a fresh temporary folder: on the home drive the tree shows that
    // folder itself at its head, never an empty box.
    FilePanel &p = *panel();
    p.followFile(QDir::homePath() + u"/"_s);
    QTreeView *tree = p.DirectoryListBox1;
    auto *model = tree->model();
    QStringList shownTop;
    QTRY_VERIFY(model->rowCount(tree->rootIndex()) > 0);
    for (int row = 0; row < model->rowCount(tree->rootIndex()); ++row) {
        if (!tree->isRowHidden(row, tree->rootIndex()))
            shownTop << model->index(row, 0, tree->rootIndex()).data().toString();
    }
    QCOMPARE(shownTop, QStringList{QFileInfo(QDir::homePath()).fileName()});
    QVERIFY(p.UpButton->isEnabled());

    // Up leaves the home drive for the folder above, and ends at "/".
    const QString above = QFileInfo(QDir::homePath()).absolutePath();
    p.UpButton->click();
    QCOMPARE(p.directory(), above);
    QCOMPARE(p.DriveComboBox1->currentData().toString(), u"/"_s);
    for (int i = 0; i < 64 && p.UpButton->isEnabled(); ++i)
        p.UpButton->click();
    QCOMPARE(p.directory(), u"/"_s);
    QVERIFY(!p.UpButton->isEnabled());
}

void tst_FilePanel::treeFollowsNewFoldersWithTheFolderIcon()
{
    // The tree's icons come without looking at each entry's type: a folder made after the
    // tree listed its parent still shows, with the folder icon the tree always had.
    Site site;
    FilePanel &p = *panel();
    p.followFile(site.path(u"index.html"_s));
    auto *model = qobject_cast<QFileSystemModel *>(p.DirectoryListBox1->model());
    QVERIFY(model);
    QTRY_VERIFY(model->index(site.path(u"img"_s)).isValid());
    QVERIFY(QDir(site.dir.path()).mkdir(u"new"_s));
    QTRY_VERIFY_WITH_TIMEOUT(model->index(site.path(u"new"_s)).isValid(), 10000);
    const QIcon folder = QFileIconProvider().icon(QAbstractFileIconProvider::Folder);
    for (const QString &name : {u"img"_s, u"new"_s}) {
        const QIcon shown = model->index(site.path(name)).data(Qt::DecorationRole).value<QIcon>();
        QCOMPARE(shown.cacheKey() == folder.cacheKey() || shown.name() == folder.name(), true);
        QVERIFY(!shown.isNull());
    }
}

BRISKO_TEST_MAIN(tst_FilePanel)
#include "tst_filepanel.moc"
