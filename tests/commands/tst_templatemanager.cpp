#include "app/ProgramDir.h"
#include "commands/DocumentLifecycle.h"
#include "dialogs/TemplateManager.h"
#include "support/WorkspaceFixture.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

void selectTemplate(QDialog &dialog, const QString &name)
{
    auto *list = dialog.findChild<QListWidget *>(u"ListBox1"_s);
    QVERIFY(list);
    const QList<QListWidgetItem *> items = list->findItems(name, Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    list->setCurrentItem(items[0]);
}

void click(QDialog &dialog, const QString &button)
{
    auto *b = dialog.findChild<QPushButton *>(button);
    QVERIFY(b);
    b->click();
}

} // namespace

class tst_TemplateManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void listShowsNamesWithoutExtension();
    void createGivesUntitledWindowWithTemplateText();
    void firstSaveOfTemplateDocumentAsksForName();
    void deleteAsksThenRemovesTheFileAndRefillsTheList_data();
    void deleteAsksThenRemovesTheFileAndRefillsTheList();
    void withoutSelectionNothingHappens_data();
    void withoutSelectionNothingHappens();
    void shippedTemplatesAreCzechPages();
    void pageIsColouredAsOpenedPagesAre_data();
    void pageIsColouredAsOpenedPagesAre();

private:
    void addTemplate(const QString &name, const QByteArray &bytes);
    QString folder() const { return m_dir->filePath(u"SABLONY"_s); }
    void trigger() { runTemplateManager(m_fx->workspace(), programDir() + u"SABLONY/"_s); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedInteraction> m_ui;
    std::unique_ptr<WorkspaceFixture> m_fx;
    QString m_programDir;
};

void tst_TemplateManager::init()
{
    m_programDir = programDir();
    m_dir = std::make_unique<QTemporaryDir>();
    QDir(m_dir->path()).mkdir(u"SABLONY"_s);
    setProgramDir(m_dir->path());
    m_ui = std::make_unique<ScriptedInteraction>();
    m_fx = std::make_unique<WorkspaceFixture>(0);
    m_fx->settings().Colorize = false;
}

void tst_TemplateManager::cleanup()
{
    QVERIFY2(m_ui->unexpected.isEmpty(), qPrintable(m_ui->unexpected.join(u'\n')));
    QVERIFY(m_ui->allAnswered());
    m_fx.reset();
    m_ui.reset();
    m_dir.reset();
    setProgramDir(m_programDir);
}

void tst_TemplateManager::addTemplate(const QString &name, const QByteArray &bytes)
{
    QFile f(QDir(folder()).filePath(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void tst_TemplateManager::listShowsNamesWithoutExtension()
{
    addTemplate(u"Prázdná.sab"_s, "a");
    addTemplate(u"verze.1.sab"_s, "b");
    addTemplate(u"jiný.htm"_s, "c");
    TemplateManager dialog(folder());
    QStringList shown;
    for (int i = 0; i < dialog.ListBox1->count(); ++i)
        shown << dialog.ListBox1->item(i)->text();
    shown.sort();
    QCOMPARE(shown, (QStringList{u"Prázdná"_s, u"verze.1"_s}));
    QCOMPARE(dialog.windowTitle(), u"Nový dokument podle šablony"_s);
    QVERIFY(dialog.CreateButton->isDefault());
}

void tst_TemplateManager::createGivesUntitledWindowWithTemplateText()
{
    addTemplate(u"Stránka.sab"_s, "<HTML>\r\n<BODY>\xe8\x61u</BODY>\r\n</HTML>");
    m_ui->dialog([](QDialog &d) {
        selectTemplate(d, u"Stránka"_s);
        click(d, u"CreateButton"_s);
    });
    trigger();
    QCOMPARE(m_fx->workspace().documents().size(), 1);
    QCOMPARE(m_fx->doc()->FileName(), u"Bez jména"_s);
    QCOMPARE(m_fx->doc()->caption(), u"Bez jména"_s);
    QCOMPARE(m_fx->buffer().GetText(), u"<HTML>\r\n<BODY>čau</BODY>\r\n</HTML>"_s);
    QCOMPARE(m_fx->settings().RecentFiles[0], QDir(folder()).filePath(u"Stránka.sab"_s));
}

void tst_TemplateManager::firstSaveOfTemplateDocumentAsksForName()
{
    addTemplate(u"vzor.sab"_s, "<P>vzor</P>");
    m_ui->dialog([](QDialog &d) {
        selectTemplate(d, u"vzor"_s);
        click(d, u"CreateButton"_s);
    });
    trigger();
    const QString target = m_dir->filePath(u"nova"_s);
    m_ui->saveFile(target);
    SaveDocument(m_fx->workspace(), *m_fx->doc());
    QVERIFY(m_ui->log.last().startsWith(u"save: "_s));
    QFile saved(target + u".html"_s);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("<P>vzor</P>"));
    QFile tmpl(QDir(folder()).filePath(u"vzor.sab"_s));
    QVERIFY(tmpl.open(QIODevice::ReadOnly));
    QCOMPARE(tmpl.readAll(), QByteArray("<P>vzor</P>"));
}

void tst_TemplateManager::deleteAsksThenRemovesTheFileAndRefillsTheList_data()
{
    QTest::addColumn<int>("answer"); // 0 Smazat, 1 Zrušit, -1 the box closed
    QTest::newRow("delete") << 0;
    QTest::newRow("cancel") << 1;
    QTest::newRow("box_closed") << -1;
}

void tst_TemplateManager::deleteAsksThenRemovesTheFileAndRefillsTheList()
{
    QFETCH(int, answer);
    addTemplate(u"pryč.sab"_s, "x");
    addTemplate(u"zůstane.sab"_s, "y");
    int countAfterDelete = -1;
    m_ui->dialog([&countAfterDelete](QDialog &d) {
        selectTemplate(d, u"pryč"_s);
        click(d, u"DeleteButton"_s); // asks first
        countAfterDelete = d.findChild<QListWidget *>(u"ListBox1"_s)->count();
        click(d, u"CloseButton"_s);
    });
    m_ui->choice(answer);
    trigger();
    QVERIFY(m_ui->questions.value(0).contains(u"pryč"));
    QCOMPARE(m_ui->lastDefaultButton, 1);
    QCOMPARE(countAfterDelete, answer == 0 ? 1 : 2);
    QCOMPARE(QFile::exists(QDir(folder()).filePath(u"pryč.sab"_s)), answer != 0);
    QVERIFY(QFile::exists(QDir(folder()).filePath(u"zůstane.sab"_s)));
    QVERIFY(m_fx->workspace().documents().isEmpty());
}

void tst_TemplateManager::withoutSelectionNothingHappens_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("create_only_closes") << u"CreateButton"_s;
    QTest::newRow("delete_keeps_every_file") << u"DeleteButton"_s;
    QTest::newRow("close") << u"CloseButton"_s;
}

void tst_TemplateManager::withoutSelectionNothingHappens()
{
    QFETCH(QString, button);
    addTemplate(u"a.sab"_s, "x");
    m_ui->dialog([button](QDialog &d) {
        click(d, button);
        if (d.isVisible() && d.result() == QDialog::Rejected)
            click(d, u"CloseButton"_s);
    });
    trigger();
    QVERIFY(m_fx->workspace().documents().isEmpty());
    QVERIFY(QFile::exists(QDir(folder()).filePath(u"a.sab"_s)));
}

void tst_TemplateManager::pageIsColouredAsOpenedPagesAre_data()
{
    QTest::addColumn<bool>("colourOnOpening");
    QTest::newRow("coloured on opening") << true;
    QTest::newRow("left plain") << false;
}

// "Kolorovat dokument po otevření" holds for a page made from a template as well.
void tst_TemplateManager::pageIsColouredAsOpenedPagesAre()
{
    QFETCH(bool, colourOnOpening);
    m_fx->settings().Colorize = colourOnOpening;
    addTemplate(u"vzor.sab"_s, "<P>vzor</P>");
    m_ui->dialog([](QDialog &d) {
        selectTemplate(d, u"vzor"_s);
        click(d, u"CreateButton"_s);
    });
    trigger();
    QCOMPARE(m_fx->buffer().GetText(), u"<P>vzor</P>"_s);
    QCOMPARE(m_fx->buffer().colorAt(0) == m_fx->settings().TAG, colourOnOpening);
    QVERIFY(!m_fx->doc()->IsModified());
}

void tst_TemplateManager::shippedTemplatesAreCzechPages()
{
    // The build copies the shipped templates beside the test's executable.
    const QString shipped = m_programDir + u"SABLONY"_s;
    const QStringList names = templateNames(shipped);
    QVERIFY2(names.size() >= 4, qPrintable(names.join(u", "_s)));
    for (const QString &name : names) {
        QFile f(templatePath(shipped, name));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY2(bytes.contains("</HTML>"), qPrintable(name));
        QVERIFY2(bytes.contains("charset=windows-1250"), qPrintable(name));
    }
}

BRISKO_TEST_MAIN(tst_TemplateManager)
#include "tst_templatemanager.moc"
