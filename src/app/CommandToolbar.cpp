#include "app/CommandToolbar.h"

#include "app/DesktopIntegration.h"
#include "app/MainMenu.h"
#include "commands/CommandIds.h"

#include <QAction>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

struct Button
{
    const char *name;
    const char16_t *hint;
    const char *icon; // a picture of the resource file, or none for a text caption
    const char16_t *caption;
    const CommandId *command; // the menu item the button triggers, if any
};

const Button kButtons[] = {
    {"NewButton", u"Nový dokument", "new", nullptr, &Cmd::FileNew},
    {"OpenButton", u"Otevřít dokument", "open", nullptr, &Cmd::FileOpen},
    {"SaveButton", u"Uložit dokument", "save", nullptr, &Cmd::FileSave},
    {"SaveAsButton", u"Uložit dokument pod jménem", "saveas", nullptr, &Cmd::FileSaveAs},
    {"ExternalBrowserButton", u"Otevřít v externím prohlížeči", "browser", nullptr, nullptr},
    {"ColorizeButton", u"Kolorování tagu", "colorize", nullptr, &Cmd::ToolColorize},
    {"CommentButton", u"Vložit komentář", nullptr, u"!", nullptr},
    {"ColorButton", u"Vloží barvu", "color", nullptr, nullptr},
    {"UndoButton", u"Zpět", "undo", nullptr, &Cmd::EditUndo},
    {"CutButton", u"Výjmout", "cut", nullptr, &Cmd::EditCut},
    {"CopyButton", u"Kopírovat", "copy", nullptr, &Cmd::EditCopy},
    {"PasteButton", u"Vložit", "paste", nullptr, &Cmd::EditPaste},
    {"WizardButton", u"Zarovnat text dokumentu vlevo", "wizard", nullptr, nullptr},
    {"CheckButton", u"Kontrola syntaxe HTML", "check", nullptr, nullptr},
    {"SidePanelButton", u"Skrýt/Ukázat panel zdrojů", "panel", nullptr, nullptr},
    {"AutoIndentButton", u"Automatické odsazování", "indent", nullptr, nullptr},
};

QToolButton *makeButton(QWidget *parent, const QString &name, const QString &hint)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setAccessibleName(hint); // a screen reader has no picture to read
    button->setAutoRaise(true);
    return button;
}

} // namespace

CommandToolbar::CommandToolbar(MainMenu &menu, QWidget *parent)
    : QToolBar(parent)
{
    setObjectName(u"Panel1"_s);
    setMovable(false);
    setFloatable(false);
    setIconSize(QSize(20, 20));
    toggleViewAction()->setVisible(false);
    addButtons(menu);
    button(u"SaveButton"_s)->setEnabled(false);
    showSelection(false);
    button(u"SidePanelButton"_s)->setCheckable(true);
    QToolButton *autoIndent = button(u"AutoIndentButton"_s);
    autoIndent->setCheckable(true);
    connect(autoIndent, &QToolButton::clicked, this, &CommandToolbar::autoIndentClicked);

    // The second Save button on the frame itself; its picture is the modified mark.
    m_mainSaveButton = makeButton(this, u"MainSaveButton"_s, u"Uložit dokument"_s);
    m_mainSaveButton->setIcon(pngIcon(u":/icons/save.png"_s));
    connect(m_mainSaveButton, &QToolButton::clicked, menu.action(Cmd::FileSave), &QAction::trigger);
    addSeparator();
    addWidget(m_mainSaveButton);
}

void CommandToolbar::addButtons(MainMenu &menu)
{
    for (const Button &b : kButtons) {
        QToolButton *button = makeButton(this, QLatin1StringView(b.name), QString::fromUtf16(b.hint));
        if (b.icon)
            button->setIcon(pngIcon(u":/icons/"_s + QLatin1StringView(b.icon) + u".png"_s));
        else
            button->setText(QString::fromUtf16(b.caption));
        if (b.command)
            connect(button, &QToolButton::clicked, menu.action(*b.command), &QAction::trigger);
        addWidget(button);
    }
}

QToolButton *CommandToolbar::button(const QString &objectName) const
{
    // Only the toolbar's own buttons: a search of the whole window (hundreds of palette
    // buttons) ran each time a document's modified state changed, which colouring a page
    // does many times.
    return findChild<QToolButton *>(objectName, Qt::FindDirectChildrenOnly);
}

void CommandToolbar::showModified(bool modified)
{
    button(u"SaveButton"_s)->setEnabled(modified);
}

QPixmap CommandToolbar::modifiedMark() const
{
    return m_mainSaveButton->icon().pixmap(16, 16);
}

void CommandToolbar::showSelection(bool selected)
{
    button(u"CutButton"_s)->setEnabled(selected);
    button(u"CopyButton"_s)->setEnabled(selected);
}

bool CommandToolbar::autoIndentOn() const
{
    return button(u"AutoIndentButton"_s)->isChecked();
}

void CommandToolbar::setAutoIndent(bool on)
{
    button(u"AutoIndentButton"_s)->setChecked(on);
}
