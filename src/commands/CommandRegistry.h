#pragma once

#include "commands/CommandIds.h"
#include "commands/InsertArgs.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

class FindReplaceCommands;
class Interaction;
class Workspace;

// What a menu command does: a function of the workspace and of the seam it asks through.
using Command = std::function<void(Workspace &, Interaction &)>;

// The commands by their identifiers. The frame binds each menu item to the command of its
// identifier; a test runs any of them on a workspace without building the frame.
class CommandRegistry
{
public:
    // Registers the command of an identifier; a later registration replaces it.
    void add(CommandId id, Command command);
    bool contains(CommandId id) const { return m_commands.contains(id.toString()); }
    bool contains(const QString &id) const { return m_commands.contains(id); }
    // Runs the command with the interaction installed for its questions; false when no
    // command has the identifier.
    bool run(CommandId id, Workspace &workspace, Interaction &interaction) const;
    bool run(const QString &id, Workspace &workspace, Interaction &interaction) const;
    // Runs an insertion as a palette button or a toolbar button runs it, with the
    // interaction installed for its dialogs.
    void run(Insertion command, Workspace &workspace, Interaction &interaction,
             const InsertArgs &args = {}) const;
    QStringList ids() const { return m_commands.keys(); }

private:
    QHash<QString, Command> m_commands;
};

// Registers the commands that need nothing but the workspace and the seam: the documents,
// editing, insertion, the user commands and the tools that stand on their own.
void addWorkspaceCommands(CommandRegistry &registry);
// Registers "Najít", "Najít další" and "Zaměnit" on the search state they share, which
// the caller owns.
void addSearchCommands(CommandRegistry &registry, FindReplaceCommands &search);

// The insertion step of a menu item or a button: while the table window stands open it
// composes the table, row and cell tags; other arguments are the caller's.
void runInsertion(Workspace &workspace, Insertion command, InsertArgs args = {});
