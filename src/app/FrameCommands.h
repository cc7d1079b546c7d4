#pragma once

#include <functional>

class CommandRegistry;
class CommandToolbar;
class DocumentArea;
class DocumentManager;
class MainMenu;
class PaletteBar;
class QMainWindow;
class SidePanel;

// What the frame's own commands act on.
struct FrameParts
{
    QMainWindow &window;
    MainMenu &menu;
    CommandRegistry &commands;
    DocumentManager &documents;
    CommandToolbar &toolbar;
    PaletteBar &palette;
    SidePanel &sidePanel;
    DocumentArea &documentArea;
    // Shows or hides the side panel; its menu item and toolbar button follow.
    std::function<void(bool)> showSidePanel;
    std::function<void()> showTips;
};

// Registers the commands that act on the frame itself: leaving the program, the panels,
// word wrap, the arrangement of the windows, the side panel's pages, the recent files, the
// tips and the about box.
void addFrameCommands(const FrameParts &frame);
