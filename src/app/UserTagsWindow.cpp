#include "UserTagsWindow.h"

#include "app/TForm1.h"
#include "commands/InsertCommands.h"
#include "dialogs/UserTags.h"

#include <QAction>

using namespace Qt::StringLiterals;

TUserTags *userTagsWindow(TForm1 &window)
{
    return window.findChild<TUserTags *>(QString(), Qt::FindDirectChildrenOnly);
}

TUserTags *showUserTagsWindow(TForm1 &window)
{
    TUserTags *tags = userTagsWindow(window);
    if (!tags) {
        tags = new TUserTags(&window);
        QObject::connect(tags, &TUserTags::insertRequested, &window,
                         [&window](const QString &opening, const QString &closing) {
                             InsertUserTag(window, opening, closing);
                         });
        // Placed over the frame, at its right edge.
        const QRect frame = window.geometry();
        tags->move(frame.right() - tags->width() - 24, frame.top() + 80);
    }
    tags->show();
    tags->raise();
    tags->activateWindow();
    return tags;
}

void bindUserTags(TForm1 &window)
{
    QObject::connect(window.action(u"ToolUserTags"_s), &QAction::triggered, &window,
                     [&window] { showUserTagsWindow(window); });
    window.openUserTagFile = [&window](const QString &path) {
        showUserTagsWindow(window)->loadFile(path);
    };
    // A dragged user tag stands for its own line, even when two share a description.
    auto previous = window.userTagDefinition;
    window.userTagDefinition = [&window, previous](const QString &text) {
        if (TUserTags *tags = userTagsWindow(window)) {
            if (const QString dropped = tags->draggedDropText(); !dropped.isEmpty())
                return dropped;
        }
        return previous ? previous(text) : text;
    };
    window.userTagsCloseQuery = [&window] {
        TUserTags *tags = userTagsWindow(window);
        if (!tags || !tags->querySave())
            return !tags;
        // The question was answered; the window goes with the frame without asking again.
        tags->discardChanges();
        return true;
    };
}
