#pragma once

#include <QTreeWidget>
#include <QWidget>

class QLineEdit;
class QToolButton;
class Workspace;

// The tag tree itself: Enter inserts the selected node, Escape hands the keyboard to the
// active document; nodes are dragged onto documents.
class TagTreeView : public QTreeWidget
{
    Q_OBJECT

public:
    explicit TagTreeView(QWidget *parent = nullptr);

Q_SIGNALS:
    void insertRequested();
    void leaveRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // The dragged node's text goes as a tag item, which the editor takes.
    QMimeData *mimeData(const QList<QTreeWidgetItem *> &items) const override;
};

// The page "Tagy" of the side panel: a tree of tags and their parameters read from the
// tree file, with a small bar to insert the selected node and to open or close it.
class TagTreePanel : public QWidget
{
    Q_OBJECT

public:
    explicit TagTreePanel(Workspace &workspace, QWidget *parent = nullptr);

    // The message of a line that lies too deep in the tree file.
    static QString levelErrorText(int depth, const QString &text);

    // Fills the tree from the file; the nodes read before a fault stay. Returns the
    // error text, empty when the whole file was read.
    QString load(const QString &path);
    // The same from text already read.
    QString loadText(const QString &text);

    // Command 92 with the selected node; nothing without a node or a document.
    void insertSelected();
    // Closes the selected node when it is open, opens it (one level) otherwise.
    void toggleSelected();
    // Shows the elements and attributes whose name holds the part (in any case): an
    // element found with all its attributes, an attribute found under its element, which
    // opens. An empty part shows the whole tree again, closed.
    void filterTree(const QString &part);

    TagTreeView *TreeView1 = nullptr;
    QToolButton *InsertButton = nullptr;
    QToolButton *ExpandButton = nullptr;
    QLineEdit *FilterEdit = nullptr;
    // Hidden: they only hold the two pictures of the expand button.
    QToolButton *ExpandedPicture = nullptr;
    QToolButton *CollapsedPicture = nullptr;

private:
    void createBar();
    void showExpandPicture(const QTreeWidgetItem *item);

    Workspace &m_frame;
};

// Fills the side panel's page "Tagy"; the frame's start-up then loads the tree into it.
TagTreePanel *installTagTreePanel(Workspace &workspace, QWidget &page);
// Loads the tree file into the panel; a file that cannot be read is said to the user.
void loadTagTreeFile(TagTreePanel &panel, const QString &path);
