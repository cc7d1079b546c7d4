#pragma once

#include "dialogs/CheckedDialog.h"

#include <QDialog>
#include <QPlainTextEdit>
#include <QTreeWidget>

class QAction;
class QLabel;
class QListWidget;
class QMenuBar;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QToolBar;

// The drag format of reference-tree nodes: the text a drop puts into the script.
inline constexpr char kScriptNodeMimeType[] = "application/x-brisko-script-node";

// A reference tree of the script builder; its nodes are dragged as the text they insert.
class ScriptTree : public QTreeWidget
{
    Q_OBJECT

public:
    explicit ScriptTree(QWidget *parent = nullptr);

protected:
    QMimeData *mimeData(const QList<QTreeWidgetItem *> &items) const override;
};

// The script text: plain text that takes drops only from the reference trees.
class ScriptMemo : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit ScriptMemo(QWidget *parent = nullptr);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};

// The script builder "Java SCRIPTER": a small editor for script text with reference trees
// of objects, functions and the document object model, and scripts kept in ".script"
// files. "Konec + vlozit" accepts the dialog and leaves the script in Result.
class TJscript : public CheckedDialog
{
    Q_OBJECT

public:
    static inline const QString Untitled = QStringLiteral("Bez jména");

    // dataDir holds object.dat, function.dat and dom.dat.
    explicit TJscript(const QString &dataDir, QWidget *parent = nullptr);

    // The script taken by "Konec + vlozit", CR LF line breaks.
    QString Result;

    QString fileName() const { return m_fileName; }
    // The script text with CR LF line breaks.
    QString scriptText() const;

    // Menu "Soubor" and "Úpravy"; the toolbar buttons are the same actions.
    bool NovyClick();
    bool OtevritClick();
    bool UlozitClick();
    bool UlozitJakoClick();
    void KonecVlozitClick();
    // Inserts the selected node of a tree at the caret of the script.
    void insertNode(QTreeWidget *tree);

    QMenuBar *MainMenu1;
    QToolBar *ToolBar1;
    QSplitter *Splitter1;
    ScriptMemo *Memo1;
    QTabWidget *PageControl1;
    ScriptTree *TreeView1; // "Objektový modell"
    ScriptTree *TreeView2; // "Funkce"
    QListWidget *ListBox1; // "Příkazy"
    ScriptTree *TreeView3; // "DOM"
    QPushButton *Button1;
    QPushButton *Button2;
    QPushButton *Button3;
    QPushButton *Button4;
    QStatusBar *StatusBar1;
    QLabel *StatusPanel1;

    QAction *Novy1;
    QAction *Otevrit1;
    QAction *Ulozit1;
    QAction *UlozitJako1;
    QAction *KonecVlozit1;
    QAction *Konec1;
    QAction *Zpet1;
    QAction *Vyjmout1;
    QAction *Kopirovat1;
    QAction *Vlozit1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createActions();
    void createMenuAndToolBar();
    QWidget *createReferencePanel();
    QWidget *treePage(ScriptTree *&tree, QPushButton *&button, const char *treeName,
                      const char *buttonName);
    void loadTrees(const QString &dataDir);
    // The question before a new or opened script replaces unsaved text; false stops it.
    bool mayDropText();
    bool writeScript(const QString &path);
    void updateStatus();

    QString m_fileName;
};
