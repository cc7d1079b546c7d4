#include "Scripter.h"

#include "interaction/Interaction.h"
#include "markup/CodePages.h"
#include "markup/TextEncoding.h"
#include "markup/TextFile.h"
#include "markup/TreeFile.h"
#include "tools/ScriptText.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QFontDatabase>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString kScriptFilter = u"Scripty (*.script)|*.script"_s;

// The statements and operators of the "Příkazy" tab, to read from.
const char16_t *const kStatements[] = {
    u"break", u"//", u"/* */", u"continue", u"for", u"if", u"else", u"new", u"return",
    u"this", u"variable", u"with", u"while", u"", u"=", u"+", u"!=", u"&", u"~", u"++",
    u"-", u"--", u"typeof", u"*", u">>>", u">>=", u"%", u"&&", u"!", u"||", u"<", u"<=",
    u"|", u"==", u"/>=", u">", u"<<", u">>", u"<<=", u"*=", u"/=", u"%=", u"-=", u">>>=",
    u"^", u",", u"?:", u"+=", u"&=", u"|=", u"^=",
};

QString mimeType()
{
    return QLatin1StringView(kScriptNodeMimeType);
}

bool isScriptNodeDrag(const QMimeData *data)
{
    return data && data->hasFormat(mimeType());
}

// Fills a tree from the nodes of a tree file, each under the parent the file gives it.
void fillTree(QTreeWidget &tree, const QList<TreeFileNode> &nodes)
{
    QList<QTreeWidgetItem *> items;
    items.reserve(nodes.size());
    for (const TreeFileNode &node : nodes) {
        QTreeWidgetItem *item = node.parent < 0 ? new QTreeWidgetItem(&tree)
                                                : new QTreeWidgetItem(items[node.parent]);
        item->setText(0, node.text);
        items.append(item);
    }
}

} // namespace

ScriptTree::ScriptTree(QWidget *parent)
    : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

QMimeData *ScriptTree::mimeData(const QList<QTreeWidgetItem *> &items) const
{
    if (items.isEmpty())
        return nullptr;
    const QTreeWidgetItem *item = items.first();
    auto *data = new QMimeData;
    data->setData(mimeType(), scriptNodeDropText(item->text(0), item->childCount() > 0).toUtf8());
    return data;
}

ScriptMemo::ScriptMemo(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

// Only nodes of the reference trees may be dropped; text dragged from elsewhere, the
// statement list included, is refused.
void ScriptMemo::dragEnterEvent(QDragEnterEvent *event)
{
    if (isScriptNodeDrag(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void ScriptMemo::dragMoveEvent(QDragMoveEvent *event)
{
    if (isScriptNodeDrag(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

// The node's text replaces the selection, wherever the mouse lets go.
void ScriptMemo::dropEvent(QDropEvent *event)
{
    if (!isScriptNodeDrag(event->mimeData())) {
        event->ignore();
        return;
    }
    insertPlainText(QString::fromUtf8(event->mimeData()->data(mimeType())));
    event->acceptProposedAction();
    setFocus();
}

TJscript::TJscript(const QString &dataDir, QWidget *parent)
    : CheckedDialog(parent)
{
    setObjectName(u"TJscript"_s);
    setWindowTitle(u"Java SCRIPTER"_s);
    setSizeGripEnabled(true);
    resize(860, 560);

    createActions();
    MainMenu1 = new QMenuBar(this);
    ToolBar1 = new QToolBar(this);
    createMenuAndToolBar();

    Memo1 = new ScriptMemo(this);
    Memo1->setObjectName(u"Memo1"_s);
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(u"Splitter1"_s);
    Splitter1->addWidget(Memo1);
    Splitter1->addWidget(createReferencePanel());
    Splitter1->setStretchFactor(0, 3);
    Splitter1->setStretchFactor(1, 2);
    Splitter1->setSizes({500, 360});

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(u"StatusBar1"_s);
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel1 = new QLabel(StatusBar1);
    StatusPanel1->setObjectName(u"StatusPanel1"_s);
    StatusBar1->addWidget(StatusPanel1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(ToolBar1);
    layout->addWidget(Splitter1, 1);
    layout->addWidget(StatusBar1);

    updateStatus();
    loadTrees(dataDir);
    Memo1->setFocus();
}

void TJscript::createActions()
{
    auto make = [this](QAction *&action, const char *name, const QString &text,
                       const QString &icon, const QString &hint, auto slot) {
        action = new QAction(text, this);
        action->setObjectName(QLatin1StringView(name));
        if (!icon.isEmpty())
            action->setIcon(QIcon(u":/icons/"_s + icon));
        action->setToolTip(hint.isEmpty() ? text : hint);
        connect(action, &QAction::triggered, this, slot);
    };
    make(Novy1, "Novy1", u"Nový"_s, u"new.png"_s, u"Nový script"_s, [this] { NovyClick(); });
    make(Otevrit1, "Otevrit1", u"Otevřít"_s, u"open.png"_s, u"Otevřít script"_s,
         [this] { OtevritClick(); });
    make(Ulozit1, "Ulozit1", u"Uložit"_s, u"save.png"_s, u"Uložit script"_s,
         [this] { UlozitClick(); });
    make(UlozitJako1, "UlozitJako1", u"Uložit jako"_s, u"saveas.png"_s,
         u"Uložit script pod jménem"_s, [this] { UlozitJakoClick(); });
    make(KonecVlozit1, "KonecVlozit1", u"Konec + vlozit"_s, u"check.png"_s,
         u"Ukončit JAVA scripter a vložit script..."_s, [this] { KonecVlozitClick(); });
    make(Konec1, "Konec1", u"Konec"_s, QString(), QString(), [this] { reject(); });
    make(Zpet1, "Zpet1", u"Zpět"_s, u"undo.png"_s, u"Zpět"_s, [this] { Memo1->undo(); });
    make(Vyjmout1, "Vyjmout1", u"Výjmout"_s, u"cut.png"_s, u"Výjmout"_s,
         [this] { Memo1->cut(); });
    make(Kopirovat1, "Kopirovat1", u"Kopírovat"_s, u"copy.png"_s, u"Kopírovat"_s,
         [this] { Memo1->copy(); });
    make(Vlozit1, "Vlozit1", u"Vložit"_s, u"paste.png"_s, u"Vložit"_s,
         [this] { Memo1->paste(); });
}

void TJscript::createMenuAndToolBar()
{
    MainMenu1->setObjectName(u"MainMenu1"_s);
    QMenu *file = MainMenu1->addMenu(u"Soubor"_s);
    file->addActions({Novy1, Otevrit1, Ulozit1, UlozitJako1});
    file->addSeparator();
    file->addActions({KonecVlozit1, Konec1});
    QMenu *edit = MainMenu1->addMenu(u"Úpravy"_s);
    edit->addAction(Zpet1);
    edit->addSeparator();
    edit->addActions({Vyjmout1, Kopirovat1, Vlozit1});

    ToolBar1->setObjectName(u"ToolBar1"_s);
    ToolBar1->setIconSize(QSize(20, 20));
    ToolBar1->addActions({Novy1, Otevrit1, Ulozit1, UlozitJako1});
    ToolBar1->addSeparator();
    ToolBar1->addActions({Zpet1, Vyjmout1, Kopirovat1, Vlozit1});
    ToolBar1->addSeparator();
    ToolBar1->addAction(KonecVlozit1);
}

QWidget *TJscript::treePage(ScriptTree *&tree, QPushButton *&button, const char *treeName,
                            const char *buttonName)
{
    auto *page = new QWidget;
    tree = new ScriptTree(page);
    tree->setObjectName(QLatin1StringView(treeName));
    tree->installEventFilter(this);
    button = new QPushButton(u"Vložit do scriptu"_s, page);
    button->setObjectName(QLatin1StringView(buttonName));
    button->setAutoDefault(false);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(tree, 1);
    layout->addWidget(button);
    ScriptTree *t = tree;
    connect(button, &QPushButton::clicked, this, [this, t] { insertNode(t); });
    return page;
}

QWidget *TJscript::createReferencePanel()
{
    PageControl1 = new QTabWidget;
    PageControl1->setObjectName(u"PageControl1"_s);
    PageControl1->addTab(treePage(TreeView1, Button1, "TreeView1", "Button1"),
                         u"Objektový modell"_s);
    PageControl1->addTab(treePage(TreeView2, Button2, "TreeView2", "Button2"), u"Funkce"_s);

    auto *statements = new QWidget;
    ListBox1 = new QListWidget(statements);
    ListBox1->setObjectName(u"ListBox1"_s);
    for (const char16_t *statement : kStatements)
        ListBox1->addItem(QString::fromUtf16(statement));
    // The statement list is only to read from: its button does nothing.
    Button3 = new QPushButton(u"Vložit do scriptu"_s, statements);
    Button3->setObjectName(u"Button3"_s);
    Button3->setAutoDefault(false);
    auto *layout = new QVBoxLayout(statements);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(ListBox1, 1);
    layout->addWidget(Button3);
    PageControl1->addTab(statements, u"Příkazy"_s);

    PageControl1->addTab(treePage(TreeView3, Button4, "TreeView3", "Button4"), u"DOM"_s);
    return PageControl1;
}

// The trees load in order and loading stops at the first fault; the tree that failed
// keeps what it read before it, and the builder opens all the same.
void TJscript::loadTrees(const QString &dataDir)
{
    const auto levelError = [](int, const QString &text) {
        return u"Položka „%1“ je odsazena o více než jednu úroveň pod předchozí."_s.arg(text);
    };
    const std::pair<ScriptTree *, QString> trees[] = {
        {TreeView1, u"object.dat"_s}, {TreeView2, u"function.dat"_s}, {TreeView3, u"dom.dat"_s}};
    for (const auto &[tree, name] : trees) {
        const QString path = QDir(dataDir).filePath(name);
        const TextFileResult file = readTextFile(path);
        if (!file.ok) {
            ui().showError(path + u": "_s + file.error);
            return;
        }
        const TreeFileResult read = parseTreeText(file.text, levelError);
        fillTree(*tree, read.nodes);
        if (!read.ok()) {
            ui().showError(read.error);
            return;
        }
    }
}

QString TJscript::scriptText() const
{
    return normalizeLineBreaks(Memo1->toPlainText());
}

void TJscript::updateStatus()
{
    StatusPanel1->setText(u"Soubor:"_s + m_fileName);
}

// "Yes" saves first; a save that is cancelled or fails keeps the text, so nothing unsaved
// is lost to a new or opened script.
bool TJscript::mayDropText()
{
    if (!Memo1->document()->isModified())
        return true;
    const auto answer = ui().ask(u"Uložit soubor "_s + m_fileName + u" ?"_s,
                                 Interaction::Buttons::YesNo);
    return answer != Interaction::Answer::Yes || UlozitClick();
}

bool TJscript::NovyClick()
{
    if (!mayDropText()) {
        updateStatus();
        return false;
    }
    Memo1->clear();
    Memo1->document()->setModified(false);
    m_fileName = Untitled;
    updateStatus();
    return true;
}

bool TJscript::OtevritClick()
{
    bool opened = false;
    if (mayDropText()) {
        const QString path = ui().openFileName(kScriptFilter);
        if (!path.isEmpty()) {
            // Saved in UTF-8 when Windows-1250 could not hold it, so read either way.
            const TextFileResult file = readDocumentFile(path);
            if (!file.ok) {
                ui().showError(readFailureMessage(path, file));
            } else {
                Memo1->setPlainText(QString(file.text).replace(u"\r\n"_s, u"\n"_s));
                Memo1->document()->setModified(false);
                m_fileName = path;
                opened = true;
            }
        }
    }
    updateStatus();
    return opened;
}

bool TJscript::writeScript(const QString &path)
{
    // Windows-1250 as scripts have always been written; a script with a character the code
    // page lacks goes out in UTF-8, since the "&#1046;" a page would get is no character
    // in a script and would change its strings.
    const QString text = scriptText();
    FileEncoding encoding;
    const QList<uint> characters = text.toUcs4();
    if (!std::all_of(characters.begin(), characters.end(), [](uint c) { return Cp1250::canEncode(c); }))
        encoding.encoding = TextEncoding::Utf8;
    const QString error = writeTextFile(path, text, LineEnding::CrLf, encoding);
    if (!error.isEmpty()) {
        ui().showError(path + u": "_s + error);
        return false;
    }
    Memo1->document()->setModified(false);
    return true;
}

bool TJscript::UlozitClick()
{
    if (m_fileName.isEmpty() || m_fileName == Untitled)
        return UlozitJakoClick();
    const bool saved = writeScript(m_fileName);
    updateStatus();
    return saved;
}

// The chosen name becomes the script's name only when the script was written there.
bool TJscript::UlozitJakoClick()
{
    const QString proposed = m_fileName == Untitled ? QString() : m_fileName;
    const QString path = ui().saveFileName(kScriptFilter, proposed);
    const bool saved = !path.isEmpty() && writeScript(path);
    if (saved)
        m_fileName = path;
    updateStatus();
    return saved;
}

void TJscript::KonecVlozitClick()
{
    Result = scriptText();
    accept();
}

void TJscript::insertNode(QTreeWidget *tree)
{
    const QTreeWidgetItem *item = tree->currentItem();
    if (!item || !item->isSelected())
        return;
    Memo1->insertPlainText(scriptNodeInsertText(item->text(0), item->childCount() > 0));
    Memo1->setFocus();
}

// Enter in a reference tree inserts its node, as the button below it does.
bool TJscript::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        auto *tree = qobject_cast<QTreeWidget *>(watched);
        if (tree && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            insertNode(tree);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
