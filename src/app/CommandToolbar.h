#pragma once

#include <QToolBar>

class MainMenu;
class QToolButton;

// The command toolbar ("Panel1") above the palette: buttons that trigger menu items or run
// their own commands, and the frame's second Save button whose picture is the modified
// mark.
class CommandToolbar : public QToolBar
{
    Q_OBJECT

public:
    CommandToolbar(MainMenu &menu, QWidget *parent);

    // A button by its objectName ("SaveButton", "AutoIndentButton" ...).
    QToolButton *button(const QString &objectName) const;
    // The active document was changed, or holds its file as read.
    void showModified(bool modified);
    // The picture the status bar shows for a modified document.
    QPixmap modifiedMark() const;
    // A selection was made or cleared in the active document.
    void showSelection(bool selected);
    bool autoIndentOn() const;
    void setAutoIndent(bool on);

Q_SIGNALS:
    // The user switched automatic indentation on or off with the button.
    void autoIndentClicked(bool on);

private:
    void addButtons(MainMenu &menu);

    QToolButton *m_mainSaveButton = nullptr;
};
