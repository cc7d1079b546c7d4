#pragma once

class CommandRegistry;
class MainMenu;
class Workspace;
struct TSettings;

// The menu "Uživatelské příkazy": item n shows user command n of the settings, visible
// only when the command is active, with its key unless an item earlier in menu order
// (any item of the menu table, or a user command with a smaller number) has that key.
void refreshUserCommandMenu(MainMenu &menu, const TSettings &settings);

// Registers "Upravit..." (the list dialog, after which the menu is refreshed) and
// refreshes the menu once; the fifteen items run the user commands of the workspace.
void bindUserCommands(MainMenu &menu, CommandRegistry &commands, Workspace &workspace);
