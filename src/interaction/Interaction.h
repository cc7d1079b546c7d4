#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>

class QDialog;
class QPrinter;
class QWidget;

// The one door through which the program talks to the user modally: message boxes,
// questions, file, colour, directory, input and print dialogs, and modal element dialogs.
// The program installs the real one; tests install a scripted one and answer for the user.
class Interaction
{
public:
    enum class Answer { Yes, No, Cancel };
    enum class Buttons { YesNo, YesNoCancel };

    virtual ~Interaction() = default;

    virtual void showError(const QString &text) = 0;
    virtual void showInfo(const QString &text) = 0;
    virtual Answer ask(const QString &text, Buttons buttons) = 0;
    // A question whose buttons say what they do; the index of the button pressed, or -1
    // when the box was closed without one. The last button is the one Escape presses.
    virtual int choose(const QString &text, const QStringList &buttons) = 0;
    // The same with the button Enter presses named (an index into buttons), for questions
    // where the first button is not the safe answer.
    virtual int chooseWithDefault(const QString &text, const QStringList &buttons, int defaultButton)
    {
        Q_UNUSED(defaultButton);
        return choose(text, buttons);
    }

    // Filters are given as "Caption|*.a;*.b|Caption|*.c"; an empty result means Cancel.
    virtual QString openFileName(const QString &filter, const QString &directory = {},
                                 const QString &caption = {}) = 0;
    virtual QString saveFileName(const QString &filter, const QString &proposedName = {},
                                 const QString &caption = {}) = 0;
    virtual QString existingDirectory(const QString &caption, const QString &directory = {}) = 0;
    virtual std::optional<QColor> color(const QColor &initial) = 0;
    // A one-line prompt; its field takes at most MaxPromptLength characters.
    static constexpr int MaxPromptLength = 255;
    virtual std::optional<QString> text(const QString &caption, const QString &label,
                                        const QString &initial = {}) = 0;
    // A prompt for a password or a passphrase: what is typed shows as dots, and nothing is
    // offered. Answers that stand in for the user take it as a text prompt.
    virtual std::optional<QString> secret(const QString &caption, const QString &label)
    {
        return text(caption, label);
    }
    virtual bool printSetup(QPrinter &printer) = 0;
    virtual bool print(QPrinter &printer) = 0;

    // Runs an element dialog modally; returns QDialog::Accepted or Rejected.
    virtual int exec(QDialog &dialog) = 0;
};

// The installed interaction; the real one unless a test replaced it.
Interaction &ui();
// Installs another interaction (not owned) and returns the one it replaces; nullptr
// brings back the real one.
Interaction *setInteraction(Interaction *interaction);
// The window that modal boxes are centred on.
void setDialogParent(QWidget *parent);

// Turns "Caption|*.a;*.b|Other|*.c" into Qt's name filters, one per caption, with the
// patterns matching as on Windows ("*.*" is every file, "*.htm" also lists ".html").
QStringList qtFileFilters(const QString &filter);
// Where a file dialog starts for this directory or proposed file: there when it is an
// absolute path that exists, else the folder used last, else the user's home.
QString fileDialogStart(const QString &path);
void rememberFileDialogFolder(const QString &folder);

// A tool window of the main window: opens centred over it, and Escape closes it.
void placeToolWindow(QWidget &window);
