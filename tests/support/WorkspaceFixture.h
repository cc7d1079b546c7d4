#pragma once

#include "app/DocumentManager.h"
#include "commands/CommandRegistry.h"
#include "commands/FindReplace.h"
#include "settings/TSettings.h"

#include <array>
#include <memory>

// The workspace the commands run in, without any window: a document manager with
// documents alone, the settings of a private configuration file (never the user's), and
// the status-bar texts kept here. It starts with a number of empty documents. The menu's
// commands that need no frame run here by their identifiers.
struct WorkspaceFixture
{
    explicit WorkspaceFixture(int documents = 1);
    ~WorkspaceFixture();

    DocumentManager &workspace() { return *m_documents; }
    TSettings &settings() { return m_settings; }
    HtmlDocument *doc() { return m_documents->activeDocument(); }
    HtmlDocument &buffer() { return *m_documents->activeDocument(); }
    // Replaces the active document's text without marking it modified.
    void setText(const QString &text, int selStart = 0, int selLength = 0);
    QString statusText(int panel) const { return m_status[panel]; }

    // The workspace's commands, with the search commands on the fixture's search state.
    CommandRegistry &commands() { return m_commands; }
    FindReplaceCommands &search() { return *m_search; }
    // Runs the menu command of that identifier, answered by the installed interaction;
    // false when no command has it.
    bool run(CommandId id);
    // Runs an insertion as a palette or toolbar button runs it.
    void insert(Insertion command, const InsertArgs &args = {});
    // Runs the insertions of the palette's button with that caption on that tab (two for
    // "TR&&TD"), as a click on it does; false when the palette has no such button.
    bool pressPaletteButton(const QString &tab, const QString &caption);

    QString iniPath;

private:
    // The settings outlive the documents.
    TSettings m_settings;
    std::unique_ptr<DocumentManager> m_documents;
    std::unique_ptr<FindReplaceCommands> m_search;
    CommandRegistry m_commands;
    std::array<QString, 4> m_status;
};
