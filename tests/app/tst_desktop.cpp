#include "app/DesktopIntegration.h"
#include "app/InfoWindows.h"
#include "app/StartUpWindow.h"
#include "commands/DocumentLifecycle.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"
#include "support/WorkspaceFixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QPointer>
#include <QLabel>
#include <QCompleter>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <functional>

using namespace Qt::StringLiterals;
using Answer = Interaction::Answer;

namespace {

// Runs fn on the next modal window as soon as it shows; whatever fn leaves open is closed.
void onNextModal(std::function<void(QWidget *)> fn)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, fn] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        timer->stop();
        timer->deleteLater();
        fn(modal);
        if (auto *dialog = qobject_cast<QDialog *>(modal); dialog && dialog->isVisible())
            dialog->reject();
    });
    timer->start();
}

// The file names a file dialog lists in its current folder, once it has read the folder.
QStringList listedFiles(QFileDialog &dialog)
{
    auto *view = dialog.findChild<QAbstractItemView *>(u"listView"_s);
    if (!view)
        return {u"<no list view>"_s};
    QAbstractItemModel *model = view->model();
    QStringList names;
    for (int attempt = 0; attempt < 100 && names.isEmpty(); ++attempt) {
        QTest::qWait(20);
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < model->rowCount(root); ++row) {
            const QModelIndex index = model->index(row, 0, root);
            if (!(model->flags(index) & Qt::ItemIsEnabled))
                continue;
            names << index.data().toString();
        }
    }
    names.sort(Qt::CaseInsensitive);
    return names;
}

QStringList comboItems(QWidget *dialog, const QString &name)
{
    QStringList items;
    if (auto *combo = dialog->findChild<QComboBox *>(name)) {
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
    }
    return items;
}

} // namespace

class tst_Desktop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void missingTranslationLeavesEnglish();
    void standardButtonsReadCzech();
    void enterPressesTheNamedButtonOfAChoice();
    void messagesShowMarkupAsWritten_data();
    void messagesShowMarkupAsWritten();
    void openDialogIsCzechAndFiltersAsOnWindows();
    void saveDialogShowsEachCaptionOnce();
    void fileDialogFilters_data();
    void fileDialogFilters();
    void fileDialogStartFolder_data();
    void fileDialogStartFolder();
    void openStartsInTheActiveDocumentsFolder();
    void waitWindowIsPaintedAtOnce();
    void czechLocaleOnlyWhereNoneIsSet_data();
    void czechLocaleOnlyWhereNoneIsSet();
    void promptIsAsWideAsItsTitle();
    void fileDialogStartsWithRoomForItsColumns();
    void keptFileDialogStartsClean();
    void enterInTheCompletionListLeavesNoPopup();

private:
    Interaction *m_refusing = nullptr;
    QTemporaryDir m_folder;
};

void tst_Desktop::initTestCase()
{
    QVERIFY(m_folder.isValid());
    for (const char *name : {"A.HTML", "b.htm", "c.Html", "d.txt", "e.htm.bak", "f.sab", "g.HTT"}) {
        QFile f(m_folder.filePath(QLatin1StringView(name)));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
}

void tst_Desktop::init()
{
    // These tests drive the program's real boxes and dialogs.
    m_refusing = setInteraction(nullptr);
}

void tst_Desktop::cleanup()
{
    setInteraction(m_refusing);
    rememberFileDialogFolder({});
}

void tst_Desktop::missingTranslationLeavesEnglish()
{
    QTemporaryDir empty;
    QVERIFY(!installQtTranslation(*qApp, empty.path()));
    QMessageBox box(QMessageBox::Question, u"t"_s, u"x"_s, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), u"&Yes"_s);
}

void tst_Desktop::standardButtonsReadCzech()
{
    QVERIFY2(installQtTranslation(*qApp), "qtbase_cs.qm (package qt6-translations-l10n)");
    QStringList buttons;
    onNextModal([&buttons](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        for (auto b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
            buttons << box->button(b)->text();
        box->button(QMessageBox::No)->click();
    });
    const Answer a = ui().ask(u"Uložit změny do a.html?"_s, Interaction::Buttons::YesNoCancel);
    QCOMPARE(a, Answer::No);
    QCOMPARE(buttons, (QStringList{u"&Ano"_s, u"&Ne"_s, u"Zrušit"_s}));
}

void tst_Desktop::enterPressesTheNamedButtonOfAChoice()
{
    // The box of a question whose first button is not the safe answer: Enter takes the one
    // named, Escape the last.
    const QStringList buttons{u"Nahrát i tak"_s, u"Zobrazit zprávu"_s, u"Zrušit"_s};
    for (const auto &[key, expected] : {std::pair(Qt::Key_Return, 1), std::pair(Qt::Key_Escape, 2)}) {
        QString defaultButton;
        onNextModal([&defaultButton, key](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            QVERIFY(box);
            if (box->defaultButton())
                defaultButton = box->defaultButton()->text();
            QTest::keyClick(box, key);
        });
        QCOMPARE(ui().chooseWithDefault(u"Nahrát web s chybami?"_s, buttons, 1), expected);
        QCOMPARE(defaultButton, u"Zobrazit zprávu"_s);
    }
}

void tst_Desktop::messagesShowMarkupAsWritten_data()
{
    QTest::addColumn<bool>("error");
    QTest::addColumn<QString>("text");
    QTest::newRow("document check error")
        << true << u"Nebyl nalezen tag začátku dokumentu (<HTML>,</HTML>)"_s;
    QTest::newRow("document check information")
        << false << u"Dokument obsahuje tag <CENTER>, některé verze prohlížeče Netscape s ním nemusí zacházet dobře!"_s;
    QTest::newRow("entity and bold") << false << u"<b>&amp;</b>"_s;
}

void tst_Desktop::messagesShowMarkupAsWritten()
{
    QFETCH(bool, error);
    QFETCH(QString, text);
    QString shown;
    QString title;
    Qt::TextFormat format = Qt::AutoText;
    onNextModal([&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        QVERIFY(box);
        format = box->textFormat();
        title = box->windowTitle();
        QFont bold = box->font();
        bold.setBold(true);
        QVERIFY2(box->width() > QFontMetrics(bold).horizontalAdvance(title) + 60,
                 "the title fits in the title bar");
        auto *label = box->findChild<QLabel *>(u"qt_msgbox_label"_s);
        QVERIFY(label);
        shown = label->text();
        QCOMPARE(label->textFormat(), Qt::PlainText);
        box->button(QMessageBox::Ok)->click();
    });
    if (error)
        ui().showError(text);
    else
        ui().showInfo(text);
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(shown, text);
    QCOMPARE(title, u"Brisko HTML Editor"_s);
}

void tst_Desktop::openDialogIsCzechAndFiltersAsOnWindows()
{
    installQtTranslation(*qApp);
    QString title;
    QStringList filters;
    QStringList files;
    QString folder;
    onNextModal([&](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        QVERIFY(dialog);
        title = dialog->windowTitle();
        filters = comboItems(dialog, u"fileTypeCombo"_s);
        folder = dialog->directory().absolutePath();
        files = listedFiles(*dialog);
    });
    QVERIFY(ui().openFileName(openFilter(), m_folder.path()).isEmpty());
    QCOMPARE(title, u"Otevřít"_s);
    QCOMPARE(folder, QDir(m_folder.path()).absolutePath());
    QCOMPARE(filters, (QStringList{u"Html dokumenty (*.html;*.htm;*.htx;*.htt)"_s,
                                   u"Šablony (*.sab)"_s}));
    // Any letter case, and ".htm" also lists ".html"; a backup "e.htm.bak" is no page.
    QCOMPARE(files, (QStringList{u"A.HTML"_s, u"b.htm"_s, u"c.Html"_s, u"g.HTT"_s}));
}

void tst_Desktop::saveDialogShowsEachCaptionOnce()
{
    installQtTranslation(*qApp);
    rememberFileDialogFolder(m_folder.path());
    QString title;
    QStringList filters;
    QString folder;
    onNextModal([&](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        QVERIFY(dialog);
        title = dialog->windowTitle();
        filters = comboItems(dialog, u"fileTypeCombo"_s);
        folder = dialog->directory().absolutePath();
    });
    QVERIFY(ui().saveFileName(u"Html dokumenty (*.html)|*.html|Šablona (*.htt)|*.htt"_s,
                              u"Bez jména"_s).isEmpty());
    QCOMPARE(title, u"Uložit jako"_s);
    QCOMPARE(filters, (QStringList{u"Html dokumenty (*.html)"_s, u"Šablona (*.htt)"_s}));
    // An untitled document is proposed in the folder used last, never the program's own.
    QCOMPARE(folder, QDir(m_folder.path()).absolutePath());
}

void tst_Desktop::fileDialogFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("qt");
    QTest::newRow("caption with its patterns")
        << u"Html dokumenty (*.html)|*.html"_s
        << QStringList{u"Html dokumenty (*.html) (*.html)"_s};
    QTest::newRow("three letters also match longer extensions")
        << u"Html dokumenty (*.html;*.htm;*.htx;*.htt)|*.htm;*.htx"_s
        << QStringList{u"Html dokumenty (*.html;*.htm;*.htx;*.htt) (*.htm *.htm[!.]* *.htx *.htx[!.]*)"_s};
    QTest::newRow("star dot star is every file")
        << u"Všechny soubory|*.*"_s << QStringList{u"Všechny soubory (*)"_s};
    QTest::newRow("two captions")
        << u"A|*.gif|B|*.jpeg"_s << QStringList{u"A (*.gif *.gif[!.]*)"_s, u"B (*.jpeg)"_s};
}

void tst_Desktop::fileDialogFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, qt);
    QCOMPARE(qtFileFilters(filter), qt);
}

void tst_Desktop::fileDialogStartFolder_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("start");
    const QString dir = QDir(m_folder.path()).absolutePath();
    const QString home = QDir::homePath();
    QTest::newRow("a saved document's own name") << dir + u"/b.htm"_s << QString() << dir + u"/b.htm"_s;
    QTest::newRow("a folder") << dir << home << dir;
    QTest::newRow("untitled, folder used last") << u"Bez jména"_s << dir << dir + u"/Bez jména"_s;
    QTest::newRow("untitled, nothing used yet") << u"Bez jména"_s << QString() << home + u"/Bez jména"_s;
    QTest::newRow("nothing, folder used last") << QString() << dir << dir;
    QTest::newRow("nothing at all: home") << QString() << QString() << home;
    QTest::newRow("a folder that is gone") << dir + u"/gone/x.html"_s << QString() << home + u"/x.html"_s;
}

void tst_Desktop::fileDialogStartFolder()
{
    QFETCH(QString, path);
    QFETCH(QString, last);
    QFETCH(QString, start);
    rememberFileDialogFolder(last);
    QCOMPARE(fileDialogStart(path), start);
    QVERIFY(!fileDialogStart(path).startsWith(QCoreApplication::applicationDirPath() + u'/'));
}

void tst_Desktop::openStartsInTheActiveDocumentsFolder()
{
    ScriptedInteraction scripted;
    WorkspaceFixture fx(1);
    QCOMPARE(activeDocumentFolder(fx.workspace()), QString()); // untitled
    fx.doc()->setFileName(m_folder.filePath(u"b.htm"_s));
    QCOMPARE(activeDocumentFolder(fx.workspace()), QDir(m_folder.path()).absolutePath());
}

void tst_Desktop::waitWindowIsPaintedAtOnce()
{
    ShowWaitWindow();
    const auto closeAnyway = qScopeGuard([] { CloseWaitWindow(); });
    TForm43 *wait = waitWindow();
    QVERIFY(wait);
    QVERIFY(wait->windowHandle() && wait->windowHandle()->isExposed());
    // What the screen shows there is the picture, not a black rectangle.
    const QImage shot = wait->screen()->grabWindow(0, wait->x(), wait->y(), wait->width(),
                                                   wait->height()).toImage();
    QVERIFY(!shot.isNull());
    int lit = 0;
    for (int y = 0; y < shot.height(); y += 8) {
        for (int x = 0; x < shot.width(); x += 8)
            lit += qGray(shot.pixel(x, y)) > 40 ? 1 : 0;
    }
    QVERIFY2(lit > (shot.width() / 8) * (shot.height() / 8) / 2, qPrintable(QString::number(lit)));
    SetWaitText(u"Načítá se nastavení..."_s);
    QCOMPARE(wait->WaitLabel->text(), u"Načítá se nastavení..."_s);
    CloseWaitWindow();
    QVERIFY(!waitWindow());
}

void tst_Desktop::czechLocaleOnlyWhereNoneIsSet_data()
{
    QTest::addColumn<QString>("lcAll");
    QTest::addColumn<QString>("lcMessages");
    QTest::addColumn<QString>("lang");
    QTest::addColumn<bool>("none");
    QTest::newRow("nothing set") << QString() << QString() << QString() << true;
    QTest::newRow("C") << QString() << QString() << u"C"_s << true;
    QTest::newRow("C.UTF-8 of a container") << QString() << QString() << u"C.UTF-8"_s << true;
    QTest::newRow("POSIX over a real LANG") << u"POSIX"_s << QString() << u"de_DE.UTF-8"_s << true;
    QTest::newRow("the user's own language") << QString() << QString() << u"en_GB.UTF-8"_s << false;
    QTest::newRow("LC_ALL decides") << u"sk_SK.UTF-8"_s << QString() << u"C"_s << false;
    QTest::newRow("messages language") << QString() << u"cs_CZ.UTF-8"_s << QString() << false;
}

void tst_Desktop::czechLocaleOnlyWhereNoneIsSet()
{
    QFETCH(QString, lcAll);
    QFETCH(QString, lcMessages);
    QFETCH(QString, lang);
    QFETCH(bool, none);
    const QHash<QByteArray, QString> env{{"LC_ALL", lcAll}, {"LC_MESSAGES", lcMessages}, {"LANG", lang}};
    QCOMPARE(environmentHasNoLocale([&](const char *name) { return env.value(name); }), none);
}

void tst_Desktop::promptIsAsWideAsItsTitle()
{
    const QString caption = u"Zaměnit obrazky/velky-obrazek-na-titulni-strance.gif za "_s;
    int width = 0;
    int needed = 0;
    onNextModal([&](QWidget *w) {
        QFont bold = w->font();
        bold.setBold(true);
        needed = QFontMetrics(bold).horizontalAdvance(caption) + 60;
        width = w->width();
        static_cast<QDialog *>(w)->reject();
    });
    QVERIFY(!ui().text(caption, u"Nový text"_s, u"a.gif"_s));
    QVERIFY2(width > needed, qPrintable(u"%1 <= %2"_s.arg(width).arg(needed)));
}

void tst_Desktop::fileDialogStartsWithRoomForItsColumns()
{
    QSize size;
    onNextModal([&](QWidget *w) { size = w->size(); });
    QVERIFY(ui().openFileName(openFilter(), m_folder.path()).isEmpty());
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    QVERIFY2(size.width() >= qMin(800, screen.width() * 8 / 10), qPrintable(QString::number(size.width())));
    QVERIFY2(size.height() >= qMin(500, screen.height() * 8 / 10), qPrintable(QString::number(size.height())));
}

namespace {

// What a file dialog showed: the main window keeps one dialog for every file it asks for.
struct FileDialogSeen
{
    QFileDialog *dialog = nullptr;
    QString title;
    QStringList filters;
    QString folder;
    QString name;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QStringList listed;
};

// expected: a file the dialog is to list; its folder is read on a thread of its own, which
// a busy machine may hold back, so the look waits for it (the test fails if it never comes).
std::function<void(QWidget *)> lookAtFileDialog(FileDialogSeen &seen, const QString &choose = {},
                                                const QString &expected = {})
{
    return [&seen, choose, expected](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        QVERIFY(dialog);
        auto *name = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s);
        QVERIFY(name);
        if (!expected.isEmpty())
            QTRY_VERIFY_WITH_TIMEOUT(listedFiles(*dialog).contains(expected), 60000);
        seen = {dialog, dialog->windowTitle(), comboItems(dialog, u"fileTypeCombo"_s),
                dialog->directory().absolutePath(), name->text(), dialog->acceptMode(),
                listedFiles(*dialog)};
        if (!choose.isEmpty()) {
            name->setText(choose);
            QMetaObject::invokeMethod(dialog, &QDialog::accept);
        }
    };
}

} // namespace

void tst_Desktop::keptFileDialogStartsClean()
{
    installQtTranslation(*qApp);
    QWidget mainWindow;
    setDialogParent(&mainWindow);
    const auto noParent = qScopeGuard([] { setDialogParent(nullptr); });
    const QString folder = QDir(m_folder.path()).absolutePath();
    QTemporaryDir other;
    FileDialogSeen open, save, openAgain;
    onNextModal(lookAtFileDialog(open, u"b.htm"_s));
    QCOMPARE(ui().openFileName(openFilter(), folder), folder + u"/b.htm"_s);
    // A file that comes while the dialog is hidden is listed when it shows again.
    QFile fresh(folder + u"/fresh.htt"_s);
    QVERIFY(fresh.open(QIODevice::WriteOnly));
    fresh.close();
    const auto removeFresh = qScopeGuard([&fresh] { fresh.remove(); });
    onNextModal(lookAtFileDialog(save, {}, u"fresh.htt"_s));
    QVERIFY(ui().saveFileName(u"Šablona (*.htt)|*.htt"_s, folder + u"/new.htt"_s).isEmpty());
    onNextModal(lookAtFileDialog(openAgain));
    QVERIFY(ui().openFileName(openFilter(), other.path()).isEmpty());

    QVERIFY(open.dialog);
    QCOMPARE(save.dialog, open.dialog);
    QCOMPARE(openAgain.dialog, open.dialog);
    QCOMPARE(save.title, u"Uložit jako"_s);
    QCOMPARE(save.mode, QFileDialog::AcceptSave);
    QCOMPARE(save.filters, QStringList{u"Šablona (*.htt)"_s});
    QCOMPARE(save.folder, folder);
    QCOMPARE(save.name, u"new.htt"_s);
    QVERIFY2(save.listed.contains(u"fresh.htt"_s), qPrintable(save.listed.join(u' ')));
    // Nothing of the save or of the name chosen before is left.
    QCOMPARE(openAgain.title, u"Otevřít"_s);
    QCOMPARE(openAgain.mode, QFileDialog::AcceptOpen);
    QCOMPARE(openAgain.filters, open.filters);
    QCOMPARE(openAgain.folder, QDir(other.path()).absolutePath());
    QCOMPARE(openAgain.name, QString());

    // A moment after it closes it is gone and watches nothing any more; the next one lists
    // what came meanwhile.
    const QPointer<QFileDialog> kept = open.dialog;
    QTRY_VERIFY(!kept);
    QFile later(folder + u"/later.htt"_s);
    QVERIFY(later.open(QIODevice::WriteOnly));
    later.close();
    const auto removeLater = qScopeGuard([&later] { later.remove(); });
    FileDialogSeen next;
    onNextModal(lookAtFileDialog(next, {}, u"later.htt"_s));
    QVERIFY(ui().saveFileName(u"Šablona (*.htt)|*.htt"_s, folder + u"/new.htt"_s).isEmpty());
    QVERIFY2(next.listed.contains(u"later.htt"_s), qPrintable(next.listed.join(u' ')));
}

void tst_Desktop::enterInTheCompletionListLeavesNoPopup()
{
    QWidget mainWindow;
    setDialogParent(&mainWindow);
    const auto noParent = qScopeGuard([] { setDialogParent(nullptr); });
    bool listShown = false;
    onNextModal([&](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        QVERIFY(dialog);
        QVERIFY(!listedFiles(*dialog).isEmpty());
        auto *name = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s);
        QVERIFY(name && name->completer());
        QTest::keyClicks(name, u"b.htm"_s);
        QTRY_VERIFY(name->completer()->popup()->isVisible());
        listShown = true;
        QTest::keyClick(name->completer()->popup(), Qt::Key_Return);
    });
    const QString chosen = ui().openFileName(openFilter(), m_folder.path());
    QVERIFY(listShown);
    QCOMPARE(chosen, QDir(m_folder.path()).absoluteFilePath(u"b.htm"_s));
    // A popup left open would keep every key from the main window.
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
}

BRISKO_TEST_MAIN(tst_Desktop)
#include "tst_desktop.moc"
