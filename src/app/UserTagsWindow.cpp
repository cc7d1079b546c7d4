#include "UserTagsWindow.h"

#include "app/FilePanel.h"
#include "app/TForm1.h"
#include "commands/ChosenInsertions.h"
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
                             InsertUserTag(window.workspace(), opening, closing);
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

namespace {

// The user-tags window's part in the frame: a dragged user tag stands for its own line,
// even when two share a description; an unsaved list is asked about when the program is
// left.
class UserTagsBinding final : public QObject, public DroppedTagSource, public CloseGuard
{
public:
    explicit UserTagsBinding(TForm1 &window)
        : QObject(&window)
        , m_window(window)
    {
    }

    QString droppedText(const QString &text) override
    {
        if (TUserTags *tags = userTagsWindow(m_window)) {
            if (const QString dropped = tags->draggedDropText(); !dropped.isEmpty())
                return dropped;
        }
        return text;
    }

    bool mayClose() override
    {
        TUserTags *tags = userTagsWindow(m_window);
        if (!tags || !tags->querySave())
            return !tags;
        // The question was answered; the window goes with the frame without asking again.
        tags->discardChanges();
        return true;
    }

private:
    TForm1 &m_window;
};

} // namespace

void bindUserTags(TForm1 &window)
{
    window.commands().add(Cmd::ToolUserTags,
                          [&window](Workspace &, Interaction &) { showUserTagsWindow(window); });
    if (auto *files = window.findChild<FilePanel *>())
        QObject::connect(files, &FilePanel::userTagFileOpened, &window,
                         [&window](const QString &path) {
                             showUserTagsWindow(window)->loadFile(path);
                         });
    auto *binding = new UserTagsBinding(window);
    window.workspace().setDroppedTagSource(binding);
    window.setCloseGuard(binding);
}
