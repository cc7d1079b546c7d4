#pragma once

#include "settings/TSettings.h"

#include <QDialog>
#include <QLineEdit>
#include <QString>

#include <functional>

class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// The number of user-command slots; slot n (1..15) belongs to menu item n.
inline constexpr int UserCommandSlots = 15;

// The inactive slot with the largest number, 0 when all fifteen are active.
int freeUserCommandSlot(const TSettings &settings);
int activeUserCommandCount(const TSettings &settings);

// The shortcut field of a user command: one key combination with at least one modifier.
// A key alone or with Shift alone becomes Ctrl+Shift with that key; Backspace or Delete
// alone clears the field; Escape and Enter alone go to the dialog. The value is the
// stored 16-bit code.
class HotKeyEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit HotKeyEdit(QWidget *parent);
    int code() const { return m_code; }
    void setCode(int code);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;

private:
    int m_code = 0;
};

// Names the menu item that already answers to a key code; empty when the key is free.
using UserCommandKeyHolder = std::function<QString(int code)>;

// "Uživatelský příkaz": one user command. "Ok" refuses an empty name, a name another
// command already has (the names given to the constructor) and a key another item holds.
class TForm44 : public QDialog
{
    Q_OBJECT

public:
    TForm44(const QStringList &takenNames, QWidget *parent);

    // Set before setFields: a new command is offered Ctrl+Shift+A only when it is free.
    void setKeyHolder(UserCommandKeyHolder holder) { m_keyHolder = std::move(holder); }

    // The program filter of the path button: the Windows one as written, and all files.
    static QString programFilter();

    // active is always set in what fields() returns.
    UserCommand fields() const;
    void setFields(const UserCommand &command);

    QLineEdit *Edit2 = nullptr;
    HotKeyEdit *HotKey1 = nullptr;
    QRadioButton *RadioButton1 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QPlainTextEdit *Memo2 = nullptr;
    QRadioButton *RadioButton2 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QPushButton *SpeedButton1 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;

private:
    void okClicked();
    void pickProgram();

    QStringList m_takenNames;
    UserCommandKeyHolder m_keyHolder;
};

// "Příkazy": the active user commands in slot order, each item standing for its own slot,
// with buttons to add, edit and delete them. Works on the settings record it is given.
class TForm45 : public QDialog
{
    Q_OBJECT

public:
    TForm45(TSettings &settings, QWidget *parent);

    // Names the program's own item holding a key; the other user commands' keys are
    // added by the dialog itself.
    void setKeyHolder(UserCommandKeyHolder holder) { m_menuKeyHolder = std::move(holder); }

    // The slot of the chosen item, 0 when none is chosen.
    int chosenSlot() const;

    void Button1Click(); // "&Přidat.."
    void Button2Click(); // "&Upravit.."
    void Button3Click(); // "&Smazat"

    QListWidget *ListBox1 = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QPushButton *Button3 = nullptr;
    QPushButton *Button4 = nullptr;

private:
    void rebuildList(int selectSlot = 0);
    // Runs the command dialog for the slot; true when it was stored.
    bool editSlot(int slot, bool isNew);

    TSettings &m_settings;
    UserCommandKeyHolder m_menuKeyHolder;
};
