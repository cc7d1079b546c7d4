#pragma once

#include "markup/UserTagFile.h"

#include <QDialog>
#include <QListWidget>
#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QToolButton;

// Edits one user tag: "Nový tag" or "Upravit tag". A comma in the description or the
// opening part would shift the parts when the file is read again, so "Ok" refuses it.
class TForm20 : public QDialog
{
    Q_OBJECT

public:
    TForm20(const QString &title, QWidget *parent);

    UserTagEntry fields() const;
    void setFields(const UserTagEntry &entry);
    // The file line of the entry: description, opening and closing part.
    QString line() const { return composeUserTagLine(fields()); }

    QLineEdit *Edit1 = nullptr;
    QLineEdit *Edit2 = nullptr;
    QLineEdit *Edit3 = nullptr;

private:
    void okClicked();
};

// The list of the user-tags window: it offers its current item to the editor's drop rule
// and, while its own drag runs, knows which line that item stands for.
class UserTagList : public QListWidget
{
    Q_OBJECT

public:
    explicit UserTagList(QWidget *parent);
    // The row being dragged, -1 when no drag of this list runs.
    int draggedRow() const { return m_draggedRow; }

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    // Insert and Delete go to the window, which adds or removes a tag.
    void keyPressEvent(QKeyEvent *event) override;
    // The dragged entry's caption goes as a tag item, which the editor takes.
    QMimeData *mimeData(const QList<QListWidgetItem *> &items) const override;

private:
    int m_draggedRow = -1;
};

// The user-tags tool window "Uživatelské tagy": the entries of one ".tag" file, sorted,
// with buttons to create, edit, delete, open, save and insert them. It inserts nothing
// itself: the frame connects insertRequested to the insertion command.
class TUserTags : public QWidget
{
    Q_OBJECT

public:
    explicit TUserTags(QWidget *parent);

    // The user-tag filter of both file dialogs.
    static QString fileFilter();

    const QStringList &lines() const { return m_lines; }
    QString fileName() const { return m_fileName; }
    bool isModified() const { return m_modified; }
    QString statusText() const;
    // The entry a row of the list stands for.
    UserTagEntry entry(int row) const;
    // What the item being dragged from the list inserts ("opening,closing"); empty when no
    // drag of this window's list runs.
    QString draggedDropText() const;

    // When the list is modified, asks whether to save it; true when the caller may go on
    // (No, or Yes and the list was written).
    bool querySave();
    // Asks about unsaved changes, then reads the file as "Otevřít soubor" does.
    bool loadFile(const QString &path);
    // The user has decided about the changes (the program is being left): closing no
    // longer asks.
    void discardChanges() { m_modified = false; }

    // The buttons, by their hints.
    void newFile();     // "Nový soubor"
    void openFile();    // "Otevřít soubor"
    bool saveFile();    // "Uložit soubor"
    void newTag();      // "Nový tag"
    void editTag();     // "Upravit tag"
    void deleteTag();   // "Smazat tag"
    void insertTag();   // "Vložit tag"

    UserTagList *ListBox1 = nullptr;
    QLabel *StatusBar1 = nullptr;

Q_SIGNALS:
    void insertRequested(const QString &opening, const QString &closing);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Makes the window active again after a dialog it opened has closed.
    void takeKeyboardBack();
    void readFile(const QString &path);
    void setLines(const QStringList &lines);
    void addLine(const QString &line);
    void showEntry(int row);
    QToolButton *addButton(int number, const QString &hint, std::function<void()> action);

    QStringList m_lines; // sorted; row i of the list shows line i
    QString m_fileName;
    bool m_modified = false;
};
