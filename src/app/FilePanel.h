#pragma once

#include <QDeadlineTimer>
#include <QListWidget>
#include <QWidget>

class QAction;
class QComboBox;
class QFileSystemModel;
class QMenu;
class QTimer;
class QToolButton;
class QTreeView;
class DocumentManager;

// The file list of the panel: several files may be selected and dragged out as file
// addresses; taking the focus reads the folder again.
class FileListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit FileListBox(QWidget *parent = nullptr);

Q_SIGNALS:
    void focusTaken();

protected:
    QMimeData *mimeData(const QList<QListWidgetItem *> &items) const override;
    QStringList mimeTypes() const override;
    void focusInEvent(QFocusEvent *event) override;
};

// The page "Soubory" of the side panel: a small file manager of the local disks that
// opens, renames, deletes and re-cases files and writes references to them into the
// active document.
class FilePanel : public QWidget
{
    Q_OBJECT

public:
    explicit FilePanel(DocumentManager &documents, QWidget *parent = nullptr);

    QTreeView *DirectoryListBox1 = nullptr;
    FileListBox *FileListBox1 = nullptr;
    QComboBox *FilterComboBox1 = nullptr;
    QComboBox *DriveComboBox1 = nullptr;
    // Goes to the folder above the one shown, across drives up to "/".
    QToolButton *UpButton = nullptr;
    QMenu *PopupMenu = nullptr;

    // The folder the file list shows.
    QString directory() const { return m_directory; }
    // Shows the folder in the tree and the list and makes it the process's current one.
    void setDirectory(const QString &directory);
    // The drive selector and the folder follow the file's folder.
    void followFile(const QString &path);
    // The same a moment later, once a page just opened is on the screen and takes keys.
    void followFileSoon(const QString &path);
    // Reads the folder again, keeping the current and selected files where they remain.
    void refresh();
    // The focused file of the list as a full path, empty when none.
    QString currentFile() const;
    QStringList selectedFiles() const;
    // Pages into the editor, ".tag" files into the user-tags window, the rest to their
    // program.
    void openByType(const QString &path);

    // The context menu's items, by what they do.
    QAction *action(const QString &objectName) const;

Q_SIGNALS:
    // A ".tag" file was opened from the list; the user-tags window takes it.
    void userTagFileOpened(const QString &path);

private:
    void createControls();
    void createMenu();
    void fillDrives();
    void driveChosen(int index);
    void directoryChosen(const QModelIndex &index);
    void fileChanged();
    void updateMenu();
    void openInEditor(const QString &path);
    void renameCurrent();
    void deleteCurrent();
    void changeCase(bool upper);
    void findDocumentDirectory();
    int driveIndexFor(const QString &path) const;
    void showDrive(int index);
    void hideOtherTopFolders();
    void keepFollowedFolderInView();
    void goUp();

    DocumentManager &m_frame;
    QFileSystemModel *m_dirModel = nullptr;
    QString m_directory;
    QString m_driveRoot;
    QStringList m_patterns;
    QTimer *m_followTimer = nullptr;
    QString m_followPath;
    // A followed folder is shown again while the tree fills in around it.
    QDeadlineTimer m_revealing;
    QTimer *m_revealTimer = nullptr;
};

// Fills the side panel's page "Soubory" and lets the panel follow opened and saved
// documents.
FilePanel *installFilePanel(DocumentManager &documents, QWidget &page);
