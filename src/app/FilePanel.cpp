#include "FilePanel.h"

#include "app/DocumentManager.h"
#include "settings/TSettings.h"
#include "commands/FileCommands.h"
#include "interaction/Interaction.h"
#include "markup/FileFilter.h"
#include "markup/FileReferences.h"
#include "markup/SysUt.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QSplitter>
#include <QHBoxLayout>
#include <QStorageInfo>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// A 32 x 32 icon drawn by the program; see where it is used for why.
QIcon drawnIcon(const std::function<void(QPainter &)> &draw)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    return QIcon(pixmap);
}

// The folder tree lists folders only, all with one icon. Qt's own provider looks up each
// entry's MIME type and themed icon on the UI thread whenever a listed folder changes: a
// busy /tmp or home folder had every keystroke in the editor wait for those lookups.
// A child of the model, so it goes only after the model has stopped reading folders.
class FolderTreeIcons final : public QObject, public QAbstractFileIconProvider
{
public:
    explicit FolderTreeIcons(QObject *parent)
        : QObject(parent), m_type(QFileIconProvider().type(QFileInfo(QDir::homePath())))
    {
    }

    QIcon icon(IconType type) const override
    {
        return type == QAbstractFileIconProvider::Folder ? folder() : QFileIconProvider().icon(type);
    }
    QIcon icon(const QFileInfo &) const override { return folder(); }
    QString type(const QFileInfo &) const override { return m_type; }

private:
    // Drawn here: the style's folder icon is first looked for in the icon theme, and the
    // model asks for the first folder's icon while the main window is being built, which
    // that search would slow.
    const QIcon &folder() const
    {
        if (m_folder.isNull()) {
            m_folder = drawnIcon([](QPainter &p) {
                p.setPen(QPen(QColor(170, 125, 20), 1.5));
                p.setBrush(QColor(245, 200, 90));
                p.drawRoundedRect(QRectF(3, 6, 12, 8), 2, 2); // the tab
                p.setBrush(QColor(252, 218, 120));
                p.drawRoundedRect(QRectF(3, 10, 26, 17), 2, 2);
            });
        }
        return m_folder;
    }

    mutable QIcon m_folder;
    const QString m_type;
};

constexpr int PathRole = Qt::UserRole;
// How long after following a folder the tree keeps it in view as the folders around it
// are read in; after that the user's own scrolling is left alone.
constexpr qint64 RevealFollowedFolderMs = 2000;

// The arrow of the "up a folder" button, drawn here: the style's own icon is first looked
// for in the icon theme, a search the start need not wait for.
QIcon upArrowIcon()
{
    return drawnIcon([](QPainter &p) {
        p.setPen(QPen(QColor(40, 100, 40), 1.5));
        p.setBrush(QColor(90, 170, 80));
        p.drawEllipse(QRectF(2, 2, 28, 28));
        const QPointF arrow[] = {{16, 7}, {25, 17}, {19.5, 17}, {19.5, 25},
                                 {12.5, 25}, {12.5, 17}, {7, 17}};
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPolygon(arrow, std::size(arrow));
    });
}

QFont boldFont(QFont font, int pixelSize = 0)
{
    font.setBold(true);
    if (pixelSize > 0)
        font.setPixelSize(pixelSize);
    return font;
}

// The drives of the selector: "/" and the home folder first, then every real mounted
// volume that is ready (pseudo file systems such as /proc have no device under /dev).
QList<std::pair<QString, QString>> driveList()
{
    QList<std::pair<QString, QString>> drives{{u"/"_s, u"/"_s},
                                              {QDir::homePath(), QDir::homePath()}};
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady()
            || !volume.device().startsWith(QByteArrayLiteral("/dev/")))
            continue;
        const QString root = volume.rootPath();
        if (root == u"/"_s || root == QDir::homePath())
            continue;
        const QString label = volume.name().isEmpty() || volume.name() == root
                                  ? root
                                  : root + u" ["_s + volume.name() + u"]"_s;
        drives.append({label, root});
    }
    return drives;
}

bool isUnder(const QString &path, const QString &root)
{
    if (root == u"/"_s)
        return path.startsWith(u'/');
    return path == root || path.startsWith(root + u'/');
}

} // namespace

// --- file list -------------------------------------------------------------------------

FileListBox::FileListBox(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

QStringList FileListBox::mimeTypes() const
{
    return {u"text/uri-list"_s};
}

QMimeData *FileListBox::mimeData(const QList<QListWidgetItem *> &items) const
{
    QList<QUrl> urls;
    for (const QListWidgetItem *item : items)
        urls.append(QUrl::fromLocalFile(item->data(PathRole).toString()));
    auto *data = new QMimeData;
    data->setUrls(urls);
    return data;
}

void FileListBox::focusInEvent(QFocusEvent *event)
{
    QListWidget::focusInEvent(event);
    Q_EMIT focusTaken();
}

// --- panel -----------------------------------------------------------------------------

FilePanel::FilePanel(DocumentManager &documents, QWidget *parent)
    : QWidget(parent)
    , m_frame(documents)
{
    setObjectName(u"FilePanel"_s);
    createControls();
    createMenu();
    fillDrives();
    FilterComboBox1->setCurrentIndex(0);
    followFile(QDir::homePath() + u"/"_s);
    m_followTimer = new QTimer(this);
    m_followTimer->setSingleShot(true);
    m_followTimer->setInterval(150);
    connect(m_followTimer, &QTimer::timeout, this, [this] { followFile(m_followPath); });
}

void FilePanel::createControls()
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto *splitter = new QSplitter(Qt::Vertical, this);

    m_dirModel = new QFileSystemModel(this);
    m_dirModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_dirModel->setIconProvider(new FolderTreeIcons(m_dirModel));
    m_dirModel->setReadOnly(true);
    DirectoryListBox1 = new QTreeView(splitter);
    DirectoryListBox1->setObjectName(u"DirectoryListBox1"_s);
    DirectoryListBox1->setModel(m_dirModel);
    DirectoryListBox1->setFont(boldFont(DirectoryListBox1->font(), 12));
    DirectoryListBox1->setHeaderHidden(true);
    // Every row is a folder's icon and name. Without this the tree asks each row of every
    // open folder for its height when it lays itself out, and following a page into a
    // folder beside hundreds of others made opening it wait.
    DirectoryListBox1->setUniformRowHeights(true);
    for (int column = 1; column < m_dirModel->columnCount(); ++column)
        DirectoryListBox1->hideColumn(column);
    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &index) { directoryChosen(index); });
    // The drive's own folder heads the tree, so even an empty one shows where one is;
    // its neighbours, read in later, stay hidden.
    connect(m_dirModel, &QAbstractItemModel::rowsInserted, this, &FilePanel::hideOtherTopFolders);
    // The tree lists a folder's neighbours after it has shown the folder, and sorts them in
    // later still: those above it pushed a followed folder out of view.
    m_revealTimer = new QTimer(this);
    m_revealTimer->setSingleShot(true);
    connect(m_revealTimer, &QTimer::timeout, this,
            [this] { DirectoryListBox1->scrollTo(DirectoryListBox1->currentIndex()); });
    connect(m_dirModel, &QAbstractItemModel::rowsInserted, this,
            &FilePanel::keepFollowedFolderInView);
    connect(m_dirModel, &QAbstractItemModel::layoutChanged, this,
            &FilePanel::keepFollowedFolderInView);

    FileListBox1 = new FileListBox(splitter);
    FileListBox1->setObjectName(u"FileListBox1"_s);
    FileListBox1->setFont(boldFont(FileListBox1->font()));
    connect(FileListBox1, &FileListBox::focusTaken, this, &FilePanel::refresh);
    connect(FileListBox1, &QListWidget::currentItemChanged, this, &FilePanel::fileChanged);
    connect(FileListBox1, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { openByType(item->data(PathRole).toString()); });
    connect(FileListBox1, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        PopupMenu->popup(FileListBox1->viewport()->mapToGlobal(at));
    });
    layout->addWidget(splitter, 1);

    FilterComboBox1 = new QComboBox(this);
    FilterComboBox1->setObjectName(u"FilterComboBox1"_s);
    // Each filter shows its caption once; the patterns stay with it.
    for (const FileFilter &filter : parseFileFilters(FilePanelFilterList))
        FilterComboBox1->addItem(filter.caption, filter.patterns);
    connect(FilterComboBox1, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_patterns = FilterComboBox1->itemData(index).toStringList();
        refresh();
    });
    m_patterns = FilterComboBox1->itemData(0).toStringList();
    layout->addWidget(FilterComboBox1);

    DriveComboBox1 = new QComboBox(this);
    DriveComboBox1->setObjectName(u"DriveComboBox1"_s);
    connect(DriveComboBox1, &QComboBox::activated, this, &FilePanel::driveChosen);
    UpButton = new QToolButton(this);
    UpButton->setObjectName(u"UpButton"_s);
    UpButton->setIcon(upArrowIcon());
    UpButton->setToolTip(u"O úroveň výš"_s);
    connect(UpButton, &QToolButton::clicked, this, &FilePanel::goUp);
    auto *driveRow = new QHBoxLayout;
    driveRow->setSpacing(2);
    driveRow->addWidget(DriveComboBox1, 1);
    driveRow->addWidget(UpButton);
    layout->addLayout(driveRow);
    setFocusProxy(FileListBox1);
}

void FilePanel::createMenu()
{
    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(u"FilePanelMenu"_s);
    auto add = [this](QMenu *menu, const char *name, const QString &caption, auto slot) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QLatin1StringView(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add(PopupMenu, "FileOpen", u"&Otevřít"_s, [this] { openInEditor(currentFile()); });
    add(PopupMenu, "FileRename", u"&Přejmenovat"_s, [this] { renameCurrent(); });
    add(PopupMenu, "FileDelete", u"&Smazat"_s, [this] { deleteCurrent(); });
    QMenu *names = PopupMenu->addMenu(u"Změnit jména souboru"_s);
    names->setObjectName(u"FileCaseMenu"_s);
    add(names, "FileLowerCase", u"Na malé písmena"_s, [this] { changeCase(false); });
    add(names, "FileUpperCase", u"Na velké písmena"_s, [this] { changeCase(true); });
    PopupMenu->addSeparator();
    // Without a current file there is nothing to link to.
    add(PopupMenu, "FileInsertLink", u"Vložit jako o&dkaz"_s, [this] {
        if (const QString file = currentFile(); !file.isEmpty())
            InsertFileAsLink(m_frame, file);
    });
    add(PopupMenu, "FileInsertTag", u"Vložit jako &tag"_s,
        [this] { InsertFileAsTag(m_frame, currentFile()); });
    QMenu *fileName = PopupMenu->addMenu(u"Vložit &jméno souboru"_s);
    fileName->setObjectName(u"FileNameMenu"_s);
    fileName->menuAction()->setObjectName(u"FileInsertName"_s);
    add(fileName, "FileInsertRelative", u"&Relatvní cesta"_s,
        [this] { InsertFileName(m_frame, currentFile(), true); });
    add(fileName, "FileInsertBareName", u"&Pouze jméno souboru"_s,
        [this] { InsertFileName(m_frame, currentFile(), false); });
    PopupMenu->addSeparator();
    add(PopupMenu, "FileFindDirectory", u"Najít aktuální adresář "_s,
        [this] { findDocumentDirectory(); });
    add(PopupMenu, "FileRefresh", u"O&bnovit"_s, [this] { refresh(); });
    connect(PopupMenu, &QMenu::aboutToShow, this, &FilePanel::updateMenu);
}

QAction *FilePanel::action(const QString &objectName) const
{
    return PopupMenu->findChild<QAction *>(objectName);
}

void FilePanel::updateMenu()
{
    const bool hasFile = !currentFile().isEmpty();
    for (const char *name : {"FileOpen", "FileRename", "FileDelete", "FileInsertTag"})
        action(QLatin1StringView(name))->setEnabled(hasFile);
    PopupMenu->findChild<QMenu *>(u"FileNameMenu"_s)->menuAction()->setEnabled(hasFile);
}

// --- drives and folders ----------------------------------------------------------------

void FilePanel::fillDrives()
{
    DriveComboBox1->clear();
    for (const auto &[label, root] : driveList())
        DriveComboBox1->addItem(label, root);
}

int FilePanel::driveIndexFor(const QString &path) const
{
    // The drive of a path is the deepest entry that holds it, so files at home show the
    // home entry rather than "/".
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < DriveComboBox1->count(); ++i) {
        const QString root = DriveComboBox1->itemData(i).toString();
        if (isUnder(path, root) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    return best;
}

void FilePanel::showDrive(int index)
{
    if (index < 0)
        return;
    DriveComboBox1->setCurrentIndex(index);
    const QString root = DriveComboBox1->itemData(index).toString();
    m_driveRoot = root;
    m_dirModel->setRootPath(root);
    const QModelIndex top = m_dirModel->index(root);
    DirectoryListBox1->setRootIndex(top.parent());
    hideOtherTopFolders();
    DirectoryListBox1->expand(top);
}

void FilePanel::keepFollowedFolderInView()
{
    if (!m_revealing.hasExpired())
        m_revealTimer->start(); // once for a burst of rows
}

void FilePanel::hideOtherTopFolders()
{
    const QModelIndex parent = DirectoryListBox1->rootIndex();
    for (int row = 0; row < m_dirModel->rowCount(parent); ++row) {
        const QString path = m_dirModel->filePath(m_dirModel->index(row, 0, parent));
        DirectoryListBox1->setRowHidden(row, parent, QDir::cleanPath(path) != QDir::cleanPath(m_driveRoot));
    }
}

void FilePanel::goUp()
{
    QDir up(m_directory);
    if (!up.cdUp())
        return;
    followFile(up.absolutePath() + u"/"_s);
}

void FilePanel::driveChosen(int index)
{
    showDrive(index);
    setDirectory(DriveComboBox1->itemData(index).toString());
}

void FilePanel::followFile(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    showDrive(driveIndexFor(folder));
    setDirectory(folder);
}

void FilePanel::followFileSoon(const QString &path)
{
    // Finding the folder in the tree watches every folder on the way down; beside a busy
    // folder that waits on the kernel, which the page and its first keys need not wait for.
    m_followPath = path;
    m_followTimer->start();
}

void FilePanel::setDirectory(const QString &directory)
{
    const QString folder = QDir::cleanPath(directory);
    if (!QFileInfo(folder).isDir())
        return;
    const bool changed = folder != m_directory;
    m_directory = folder;
    QDir::setCurrent(folder);
    UpButton->setEnabled(!QDir(folder).isRoot());
    const QModelIndex index = m_dirModel->index(folder);
    if (index.isValid() && DirectoryListBox1->currentIndex() != index) {
        for (QModelIndex up = index.parent(); up.isValid(); up = up.parent())
            DirectoryListBox1->expand(up);
        DirectoryListBox1->setCurrentIndex(index);
        DirectoryListBox1->scrollTo(index);
        m_revealing.setRemainingTime(RevealFollowedFolderMs);
    }
    if (changed)
        FileListBox1->clear();
    refresh();
}

void FilePanel::directoryChosen(const QModelIndex &index)
{
    if (index.isValid())
        setDirectory(m_dirModel->filePath(index));
}

// --- file list -------------------------------------------------------------------------

void FilePanel::refresh()
{
    const QString current = currentFile();
    const QStringList selected = selectedFiles();
    const QSignalBlocker block(FileListBox1);
    FileListBox1->clear();
    const QFileInfoList files =
        QDir(m_directory).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &file : files) {
        if (!matchesAnyWildcard(file.fileName(), m_patterns))
            continue;
        auto *item = new QListWidgetItem(file.fileName(), FileListBox1);
        item->setData(PathRole, file.absoluteFilePath());
        if (file.absoluteFilePath() == current)
            FileListBox1->setCurrentItem(item, QItemSelectionModel::NoUpdate);
        item->setSelected(selected.contains(file.absoluteFilePath()));
    }
}

QString FilePanel::currentFile() const
{
    const QListWidgetItem *item = FileListBox1->currentItem();
    return item ? item->data(PathRole).toString() : QString();
}

QStringList FilePanel::selectedFiles() const
{
    QStringList paths;
    for (const QListWidgetItem *item : FileListBox1->selectedItems())
        paths.append(item->data(PathRole).toString());
    return paths;
}

void FilePanel::fileChanged()
{
    const QString file = currentFile();
    if (!file.isEmpty() && m_frame.activeDocument())
        m_frame.setStatusText(3, fileReference(m_frame, file));
}

// --- commands of the list --------------------------------------------------------------

void FilePanel::openInEditor(const QString &path)
{
    if (!path.isEmpty())
        m_frame.openInNewWindow(path);
}

void FilePanel::openByType(const QString &path)
{
    switch (fileOpenKind(path)) {
    case FileOpenKind::Page:
        openInEditor(path); // coloured as any opened page, behind the first screen
        break;
    case FileOpenKind::UserTags:
        Q_EMIT userTagFileOpened(path);
        break;
    case FileOpenKind::Shell:
        ShellOpen(path);
        break;
    }
}

void FilePanel::renameCurrent()
{
    const QString file = currentFile();
    if (file.isEmpty())
        return;
    const std::optional<QString> name = ui().text(u"Přejmenovat soubor.."_s, file, QString());
    if (!name)
        return;
    const QString target = renameTarget(m_directory, *name);
    if (!target.isEmpty() && !renameWithoutReplacing(file, target)) {
        // Without a word the user would take the file for renamed.
        ui().showError(QFileInfo::exists(target)
                           ? u"Soubor %1 nelze přejmenovat: soubor %2 už existuje."_s.arg(file, target)
                           : u"Soubor %1 nelze přejmenovat na %2."_s.arg(file, target));
    }
    refresh();
}

void FilePanel::deleteCurrent()
{
    const QString file = currentFile();
    if (file.isEmpty())
        return;
    if (ui().ask(deleteFileQuestion(file), Interaction::Buttons::YesNo) == Interaction::Answer::Yes
        && !QFile::remove(file))
        ui().showError(u"Soubor %1 nelze smazat."_s.arg(file));
    refresh();
}

void FilePanel::changeCase(bool upper)
{
    const QStringList refused = changeFileNameCase(selectedFiles(), upper);
    if (!refused.isEmpty())
        ui().showError(u"Tyto soubory nelze přejmenovat (jméno už má jiný soubor, nebo to disk nedovolil):\r\n"_s
                       + refused.join(u"\r\n"_s));
    refresh();
}

void FilePanel::findDocumentDirectory()
{
    const HtmlDocument *doc = m_frame.activeDocument();
    // A document never saved has no folder to go to.
    if (doc && QFileInfo(doc->FileName()).isAbsolute())
        followFile(doc->FileName());
}

FilePanel *installFilePanel(DocumentManager &documents, QWidget &page)
{
    auto *panel = new FilePanel(documents, &page);
    page.layout()->setContentsMargins(0, 0, 0, 0);
    page.layout()->addWidget(panel);
    page.setFocusProxy(panel->FileListBox1);
    QObject::connect(&documents, &DocumentManager::fileLocationChanged, panel,
                     &FilePanel::followFileSoon);
    return panel;
}
