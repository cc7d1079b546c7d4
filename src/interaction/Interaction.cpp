#include "Interaction.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QKeyEvent>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>
#include <QHeaderView>

#include <memory>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

QPointer<QWidget> g_parent;

// Message boxes carry the application's title, as all its boxes did.
const QString kMessageTitle = u"Brisko HTML Editor"_s;

// The folder of the last file chosen in a file dialog during this session.
QString g_lastFolder;

// The width a dialog needs for its whole title: the title in the title bar's bold font and
// room for the window buttons.
int titleBarWidth(const QWidget &dialog, const QString &title)
{
    QFont bold = dialog.font();
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(title) + 120;
}

QMessageBox::StandardButton showMessage(QMessageBox::Icon icon, const QString &text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton)
{
    QString shown = text;
    shown.replace(u"\r\n"_s, u"\n"_s);
    QMessageBox box(icon, kMessageTitle, shown, buttons, g_parent);
    box.setObjectName(u"MessageBox"_s);
    // Messages quote markup ("<HTML>"); it must show as written, never be interpreted.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    // A short message would make the box narrower than its title bar needs; the title
    // would be cut. The box's own layout takes a spacer as wide as the title.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
        const int titleWidth = titleBarWidth(box, kMessageTitle);
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    return QMessageBox::StandardButton(box.exec());
}

// The main window's file dialog is kept a moment after it closes and only then destroyed:
// destroying Qt's dialog writes its settings file and closes its folder watch, which waits on
// the kernel, a wait that would come between the user's Enter and the page opening.
// Asked for again within that moment, the same dialog shows; it still watches the folders it
// has shown, so what it lists is current. Kept longer, it would go on watching (a busy folder
// kept the main thread busy) or, not watching, list folders as they were.
QPointer<QFileDialog> g_fileDialog;
constexpr int kKeepFileDialogMs = 1000;

QFileDialog *newFileDialog(QWidget *parent)
{
    auto *dialog = new QFileDialog(parent);
    dialog->setObjectName(u"FileDialog"_s);
    // Qt's own dialog, so it speaks Czech with the rest of the program and filters alike
    // on every desktop.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    // Qt's own start size squeezes the name, size and date columns; start with room for
    // them, within the screen.
    QSize size(880, 560);
    if (const QScreen *screen = (parent ? parent->screen() : dialog->screen()))
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    dialog->resize(size);
    auto *keep = new QTimer(dialog);
    keep->setObjectName(u"keepAfterClosing"_s);
    keep->setSingleShot(true);
    keep->setInterval(kKeepFileDialogMs);
    QObject::connect(keep, &QTimer::timeout, dialog, [dialog] {
        if (!dialog->isVisible())
            dialog->deleteLater();
    });
    // The name column gets the room a long file name needs, the side bar its folder names.
    if (auto *view = dialog->findChild<QTreeView *>(u"treeView"_s)) {
        const int rest[] = {80, 120, 130};
        const int name = qMax(200, size.width() - 170 - 70 - (rest[0] + rest[1] + rest[2]));
        view->header()->resizeSection(0, name);
        for (int column = 1; column <= 3; ++column)
            view->header()->resizeSection(column, rest[column - 1]);
    }
    if (auto *split = dialog->findChild<QSplitter *>(u"splitter"_s))
        split->setSizes({170, size.width() - 170});
    return dialog;
}

// The kept dialog when it can serve (the same parent, not already showing: a file asked
// for from within a file dialog gets a dialog of its own), else one for this time only.
QFileDialog &fileDialogFor(std::unique_ptr<QFileDialog> &once)
{
    if (g_fileDialog && !g_fileDialog->isVisible() && g_fileDialog->parentWidget() != g_parent)
        delete g_fileDialog.data();
    if (!g_parent || (g_fileDialog && g_fileDialog->isVisible())) {
        once.reset(newFileDialog(g_parent));
        return *once;
    }
    if (!g_fileDialog)
        g_fileDialog = newFileDialog(g_parent);
    return *g_fileDialog;
}

QString runFileDialog(QFileDialog::AcceptMode mode, const QString &filter,
                      const QString &startPath, const QString &caption)
{
    std::unique_ptr<QFileDialog> once;
    QFileDialog &dialog = fileDialogFor(once);
    auto *keep = dialog.findChild<QTimer *>(u"keepAfterClosing"_s);
    if (keep)
        keep->stop();
    // Everything a former use may have left is set anew.
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    if (!caption.isEmpty())
        dialog.setWindowTitle(caption);
    else
        dialog.setWindowTitle(mode == QFileDialog::AcceptOpen ? QFileDialog::tr("Open")
                                                              : QFileDialog::tr("Save As"));
    dialog.setNameFilters(filter.isEmpty() ? QStringList{QFileDialog::tr("All Files (*)")}
                                           : qtFileFilters(filter));
    const QFileInfo start(startPath);
    dialog.setDirectory(start.isDir() ? startPath : start.absolutePath());
    if (auto *views = dialog.findChild<QTreeView *>(u"treeView"_s))
        views->clearSelection(); // the list view shares its selection
    if (auto *name = dialog.findChild<QLineEdit *>(u"fileNameEdit"_s))
        name->clear();
    if (!start.isDir())
        dialog.selectFile(start.fileName());
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // Enter in the name's completion list accepts the dialog with the list still open. Left
    // open, it keeps Qt in popup mode: the main window never became active again and the
    // keys typed next went nowhere.
    while (QWidget *popup = QApplication::activePopupWidget()) {
        if (!popup->close())
            break;
    }
    const QString chosen =
        accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().constFirst()
                                                      : QString();
    if (!once && keep)
        keep->start();
    if (!chosen.isEmpty())
        g_lastFolder = QFileInfo(chosen).absolutePath();
    return chosen;
}

class WidgetInteraction final : public Interaction
{
public:
    void showError(const QString &text) override
    {
        showMessage(QMessageBox::Critical, text, QMessageBox::Ok, QMessageBox::Ok);
    }
    void showInfo(const QString &text) override
    {
        showMessage(QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok);
    }
    Answer ask(const QString &text, Buttons buttons) override
    {
        auto standard = QMessageBox::Yes | QMessageBox::No;
        if (buttons == Buttons::YesNoCancel)
            standard |= QMessageBox::Cancel;
        switch (showMessage(QMessageBox::Question, text, standard, QMessageBox::Yes)) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
        }
    }
    int choose(const QString &text, const QStringList &buttons) override
    {
        return chooseWithDefault(text, buttons, 0);
    }
    int chooseWithDefault(const QString &text, const QStringList &buttons, int defaultButton) override
    {
        QMessageBox box(QMessageBox::Question, kMessageTitle, text, QMessageBox::NoButton, g_parent);
        box.setTextFormat(Qt::PlainText);
        QList<QAbstractButton *> added;
        for (const QString &caption : buttons)
            added << box.addButton(caption, QMessageBox::AcceptRole);
        if (!added.isEmpty()) {
            box.setDefaultButton(qobject_cast<QPushButton *>(added.value(defaultButton, added.first())));
            box.setEscapeButton(added.last());
        }
        box.exec();
        return int(added.indexOf(box.clickedButton()));
    }
    QString openFileName(const QString &filter, const QString &directory,
                         const QString &caption) override
    {
        return runFileDialog(QFileDialog::AcceptOpen, filter, fileDialogStart(directory),
                             caption);
    }
    QString saveFileName(const QString &filter, const QString &proposedName,
                         const QString &caption) override
    {
        return runFileDialog(QFileDialog::AcceptSave, filter, fileDialogStart(proposedName),
                             caption);
    }
    QString existingDirectory(const QString &caption, const QString &directory) override
    {
        const QString chosen = QFileDialog::getExistingDirectory(
            g_parent, caption, fileDialogStart(directory),
            QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
        if (!chosen.isEmpty())
            g_lastFolder = chosen;
        return chosen;
    }
    std::optional<QColor> color(const QColor &initial) override
    {
        const QColor c = QColorDialog::getColor(initial, g_parent, QString(),
                                                QColorDialog::DontUseNativeDialog);
        if (!c.isValid())
            return std::nullopt;
        return c;
    }
    std::optional<QString> text(const QString &caption, const QString &label,
                                const QString &initial) override
    {
        return prompt(caption, label, initial, QLineEdit::Normal);
    }
    std::optional<QString> secret(const QString &caption, const QString &label) override
    {
        return prompt(caption, label, {}, QLineEdit::Password);
    }
    std::optional<QString> prompt(const QString &caption, const QString &label, const QString &initial,
                                  QLineEdit::EchoMode echo)
    {
        QInputDialog dialog(g_parent);
        dialog.setWindowTitle(caption);
        dialog.setLabelText(label);
        dialog.setInputMode(QInputDialog::TextInput);
        dialog.setTextValue(initial);
        dialog.setTextEchoMode(echo);
        // The one-line prompt holds at most 255 characters, as users of it expect.
        // Sized to its title, as the message boxes are, and wide enough for a file name;
        // the field sets the width, as the dialog's layout follows its contents.
        if (auto *field = dialog.findChild<QLineEdit *>()) {
            field->setMaxLength(MaxPromptLength);
            field->setMinimumWidth(qMax(titleBarWidth(dialog, caption), 360) - 24);
        }
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.textValue();
    }
    bool printSetup(QPrinter &printer) override
    {
        QPageSetupDialog dialog(&printer, g_parent);
        return dialog.exec() == QDialog::Accepted;
    }
    bool print(QPrinter &printer) override
    {
        QPrintDialog dialog(&printer, g_parent);
        dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange
                          | QAbstractPrintDialog::PrintSelection);
        return dialog.exec() == QDialog::Accepted;
    }
    int exec(QDialog &dialog) override { return dialog.exec(); }
};

WidgetInteraction g_widgets;
Interaction *g_installed = nullptr;

} // namespace

Interaction &ui()
{
    return g_installed ? *g_installed : g_widgets;
}

Interaction *setInteraction(Interaction *interaction)
{
    return std::exchange(g_installed, interaction);
}

void setDialogParent(QWidget *parent)
{
    g_parent = parent;
}

namespace {

// The patterns a Windows pattern stands for in Qt's wildcards: "*.*" is every file, and a
// three-letter extension also matches the longer ones that begin with it ("*.htm" lists
// ".html" files too), as the short names of Windows make it.
QStringList qtPatterns(const QString &pattern)
{
    const QString p = pattern.trimmed();
    if (p == u"*.*"_s)
        return {u"*"_s};
    static const QRegularExpression threeLetters(u"^\\*\\.[A-Za-z0-9_]{3}$"_s);
    if (threeLetters.match(p).hasMatch())
        return {p, p + u"[!.]*"_s};
    return {p};
}

} // namespace

QStringList qtFileFilters(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &p : parts[i + 1].split(u';', Qt::SkipEmptyParts))
            patterns << qtPatterns(p);
        patterns.removeDuplicates();
        // Qt reads the patterns from the last bracket and, with the details hidden, shows
        // what stands before it: the caption exactly as written, once.
        out << parts[i] + u" ("_s + patterns.join(u' ') + u')';
    }
    return out;
}

QString fileDialogStart(const QString &path)
{
    const QFileInfo info(path);
    if (!path.isEmpty() && info.isAbsolute()) {
        if (info.isDir())
            return info.absoluteFilePath();
        if (info.absoluteDir().exists())
            return info.absoluteFilePath();
    }
    // Never the program's own folder: the folder used last, else the user's home.
    QString folder = QDir::homePath();
    if (!g_lastFolder.isEmpty() && QFileInfo(g_lastFolder).isDir())
        folder = g_lastFolder;
    if (path.isEmpty() || info.isDir())
        return folder;
    return QDir(folder).filePath(info.fileName());
}

void rememberFileDialogFolder(const QString &folder)
{
    g_lastFolder = folder;
}

namespace {

// Closes a tool window on Escape, wherever in it the key was pressed and not used.
class EscapeCloses : public QObject
{
public:
    explicit EscapeCloses(QWidget *window)
        : QObject(window)
        , m_window(window)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
                m_window->close();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *m_window;
};

} // namespace

void placeToolWindow(QWidget &window)
{
    if (QWidget *owner = window.parentWidget() ? window.parentWidget()->window() : nullptr) {
        if (!window.testAttribute(Qt::WA_Resized))
            window.adjustSize();
        // A maximised owner may not have its final size yet: its screen is where it will be.
        QRect area = owner->frameGeometry();
        if ((owner->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) && owner->screen())
            area = owner->screen()->availableGeometry();
        QRect r(QPoint(), window.size());
        r.moveCenter(area.center());
        window.move(r.topLeft());
    }
    window.installEventFilter(new EscapeCloses(&window));
}
