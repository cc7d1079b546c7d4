#pragma once

#include "interaction/Interaction.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <memory>

// Answers for the user: tests queue what the user would answer, in order, and read back
// what the program showed. Installs itself for its lifetime.
class ScriptedInteraction final : public Interaction
{
public:
    using DialogDriver = std::function<void(QDialog &)>;

    ScriptedInteraction();
    ~ScriptedInteraction() override;

    // The next question, file, directory, colour, text, print or dialog call gets this.
    ScriptedInteraction &answer(Answer a);
    // The next choose() call gets the button of this index (-1: the box was closed).
    ScriptedInteraction &choice(int index);
    ScriptedInteraction &openFile(const QString &path);
    ScriptedInteraction &saveFile(const QString &path);
    ScriptedInteraction &directory(const QString &path);
    ScriptedInteraction &pickColor(std::optional<QColor> color);
    ScriptedInteraction &enterText(std::optional<QString> text);
    ScriptedInteraction &printAnswer(bool ok);
    // The driver sets the dialog's controls and presses its buttons; exec() then returns
    // the dialog's result.
    ScriptedInteraction &dialog(DialogDriver driver);

    // "error: ...", "info: ...", "ask: ...", "choose: <text>|<button>|<button>...", "open: <filter>", "save: <filter>|<name>",
    // "dir: ...", "color", "text: <caption>|<label>", "print", "setup", "dialog: <title>".
    QStringList log;
    QStringList errors;
    QStringList infos;
    QStringList questions;
    // Calls that came with no answer queued, or a different one.
    QStringList unexpected;
    // The button Enter would have pressed in the last choose() box.
    int lastDefaultButton = -1;

    bool allAnswered() const { return m_steps.empty(); }

    void showError(const QString &text) override;
    void showInfo(const QString &text) override;
    Answer ask(const QString &text, Buttons buttons) override;
    int choose(const QString &text, const QStringList &buttons) override;
    int chooseWithDefault(const QString &text, const QStringList &buttons, int defaultButton) override;
    QString openFileName(const QString &filter, const QString &directory,
                         const QString &caption) override;
    QString saveFileName(const QString &filter, const QString &proposedName,
                         const QString &caption) override;
    QString existingDirectory(const QString &caption, const QString &directory) override;
    std::optional<QColor> color(const QColor &initial) override;
    std::optional<QString> text(const QString &caption, const QString &label,
                                const QString &initial) override;
    bool printSetup(QPrinter &printer) override;
    bool print(QPrinter &printer) override;
    int exec(QDialog &dialog) override;

    QString lastProposedName;
    // How long an error box stays open, its own event loop running, as when the user
    // leaves it on the screen; 0 answers at once.
    int errorBoxOpenMs = 0;
    QString lastInitialText; // of the last one-line prompt

private:
    enum class Kind { Answer, Choice, Open, Save, Directory, Color, Text, Print, Dialog };
    struct Step
    {
        Kind kind;
        Answer answer = Answer::Cancel;
        QString path;
        std::optional<QColor> color;
        std::optional<QString> text;
        bool ok = false;
        DialogDriver driver;
        int index = -1;
    };
    bool take(Kind kind, const QString &what, Step &step);

    std::deque<Step> m_steps;
    Interaction *m_previous = nullptr;
};

// Ends a test's scripted session: the script goes (bringing back the one before it), and
// an answer the program never asked for fails the test. Whatever may still ask on its way
// out (a main window) is to be reset before.
void endScript(std::unique_ptr<ScriptedInteraction> &script);

// The interaction of a test run before any test scripts one: every box, question or
// dialog fails the running test at once, naming it, instead of waiting for a user who is
// not there.
class RefusingInteraction final : public Interaction
{
public:
    void showError(const QString &text) override;
    void showInfo(const QString &text) override;
    Answer ask(const QString &text, Buttons buttons) override;
    int choose(const QString &text, const QStringList &buttons) override;
    QString openFileName(const QString &filter, const QString &, const QString &) override;
    QString saveFileName(const QString &filter, const QString &, const QString &) override;
    QString existingDirectory(const QString &caption, const QString &) override;
    std::optional<QColor> color(const QColor &) override;
    std::optional<QString> text(const QString &caption, const QString &, const QString &) override;
    bool printSetup(QPrinter &) override;
    bool print(QPrinter &) override;
    int exec(QDialog &dialog) override;

private:
    static void refuse(const QString &what);
};
