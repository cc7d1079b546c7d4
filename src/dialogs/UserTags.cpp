#include "UserTags.h"

#include "dialogs/FieldBinding.h"
#include "interaction/Interaction.h"
#include "markup/TagItemDrag.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

// --- TForm20 -----------------------------------------------------------------------------

TForm20::TForm20(const QString &title, QWidget *parent) : QDialog(parent)
{
    setObjectName(u"TForm20"_s);
    setWindowTitle(title);
    auto *form = new QFormLayout;
    auto edit = [this, form](const char *name, const QString &label, const QString &hint) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QLatin1StringView(name));
        e->setToolTip(hint);
        e->setMinimumWidth(280);
        form->addRow(label, e);
        return e;
    };
    Edit1 = edit("Edit1", u"Popis tagu"_s, u"Zde napište krátkou charakteristiku uživatelského tagu"_s);
    Edit2 = edit("Edit2", u"Počateční tag"_s, u"Sem napište počáteční část tagu"_s);
    Edit3 = edit("Edit3", u"Ukončovací tag"_s, u"Sem napište tu část tagu, která celý tag uzavírá"_s);

    auto *ok = new QPushButton(u"Ok"_s, this);
    ok->setObjectName(u"Button1"_s);
    ok->setDefault(true);
    auto *back = new QPushButton(u"Zpět"_s, this);
    back->setObjectName(u"Button2"_s);
    connect(ok, &QPushButton::clicked, this, &TForm20::okClicked);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(back);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    Edit1->setFocus();
}

namespace {

const FieldBindings<UserTagEntry> &userTagFields()
{
    static const FieldBindings<UserTagEntry> fields{{&UserTagEntry::description, "Edit1"},
                                                    {&UserTagEntry::opening, "Edit2"},
                                                    {&UserTagEntry::closing, "Edit3"}};
    return fields;
}

} // namespace

UserTagEntry TForm20::fields() const
{
    return userTagFields().read(*this);
}

void TForm20::setFields(const UserTagEntry &entry)
{
    userTagFields().write(*this, entry);
}

void TForm20::okClicked()
{
    if (const QString error = userTagCommaError(fields()); !error.isEmpty()) {
        ui().showError(error);
        return;
    }
    accept();
}

// --- the list ------------------------------------------------------------------------------

UserTagList::UserTagList(QWidget *parent) : QListWidget(parent)
{
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

QMimeData *UserTagList::mimeData(const QList<QListWidgetItem *> &items) const
{
    QMimeData *data = QListWidget::mimeData(items);
    if (data && !items.isEmpty())
        putTagItem(*data, items.first()->text());
    return data;
}

void UserTagList::startDrag(Qt::DropActions supportedActions)
{
    // The drop happens inside the drag, so the row is known while the editor asks for it.
    m_draggedRow = currentRow();
    QListWidget::startDrag(supportedActions);
    m_draggedRow = -1;
}

// --- button pictures ---------------------------------------------------------------------

namespace {

QIcon drawButtonPicture(int number)
{
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor paper(255, 255, 245), ink(40, 40, 40), tag(190, 20, 20);
    auto page = [&] {
        QPainterPath path;
        path.moveTo(4, 2);
        path.lineTo(12, 2);
        path.lineTo(16, 6);
        path.lineTo(16, 18);
        path.lineTo(4, 18);
        path.closeSubpath();
        p.setPen(ink);
        p.setBrush(paper);
        p.drawPath(path);
        p.drawLine(QPointF(12, 2), QPointF(12, 6));
        p.drawLine(QPointF(12, 6), QPointF(16, 6));
    };
    auto angle = [&](const QString &text, QColor color) {
        QFont font = p.font();
        font.setPixelSize(9);
        font.setBold(true);
        p.setFont(font);
        p.setPen(color);
        p.drawText(QRectF(0, 5, 20, 12), Qt::AlignCenter, text);
    };
    switch (number) {
    case 1: // new file
        page();
        break;
    case 2: // open file: a folder
        p.setPen(ink);
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(QRectF(2, 6, 16, 11));
        p.drawRect(QRectF(2, 4, 7, 3));
        break;
    case 3: // save file: a diskette
        p.setPen(ink);
        p.setBrush(QColor(60, 90, 160));
        p.drawRect(QRectF(2, 2, 16, 16));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5, 2, 10, 6));
        p.drawRect(QRectF(5, 11, 10, 7));
        break;
    case 4: // new tag
        angle(u"<+>"_s, tag);
        break;
    case 5: // edit tag: a pencil over a tag
        angle(u"<>"_s, tag);
        p.setPen(QPen(QColor(200, 150, 30), 3));
        p.drawLine(QPointF(5, 17), QPointF(16, 4));
        break;
    case 6: // delete tag
        angle(u"<>"_s, tag);
        p.setPen(QPen(Qt::red, 2));
        p.drawLine(QPointF(4, 4), QPointF(16, 16));
        p.drawLine(QPointF(16, 4), QPointF(4, 16));
        break;
    default: // insert tag: a tag going into a page
        page();
        angle(u"<>"_s, tag);
        break;
    }
    return QIcon(pixmap);
}

} // namespace

void UserTagList::keyPressEvent(QKeyEvent *event)
{
    // The list would take Delete's character for a search among its items.
    if (event->key() == Qt::Key_Insert || event->key() == Qt::Key_Delete) {
        event->ignore();
        return;
    }
    QListWidget::keyPressEvent(event);
}

// --- TUserTags ---------------------------------------------------------------------------

TUserTags::TUserTags(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(u"TUserTags"_s);
    setWindowTitle(u"Uživatelské tagy"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(260, 340);

    ListBox1 = new UserTagList(this);
    ListBox1->setObjectName(u"ListBox1"_s);
    connect(ListBox1, &QListWidget::currentRowChanged, this, &TUserTags::showEntry);
    connect(ListBox1, &QListWidget::itemClicked, this,
            [this] { showEntry(ListBox1->currentRow()); });
    connect(ListBox1, &QListWidget::itemActivated, this, [this] { insertTag(); });

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(1);
    buttons->addWidget(addButton(1, u"Nový soubor"_s, [this] { newFile(); }));
    buttons->addWidget(addButton(2, u"Otevřít soubor"_s, [this] { openFile(); }));
    buttons->addWidget(addButton(3, u"Uložit soubor"_s, [this] { saveFile(); }));
    buttons->addSpacing(6);
    buttons->addWidget(addButton(4, u"Nový tag"_s, [this] { newTag(); }));
    buttons->addWidget(addButton(5, u"Upravit tag"_s, [this] { editTag(); }));
    buttons->addWidget(addButton(6, u"Smazat tag"_s, [this] { deleteTag(); }));
    buttons->addWidget(addButton(7, u"Vložit tag"_s, [this] { insertTag(); }));
    buttons->addStretch();

    StatusBar1 = new QLabel(this);
    StatusBar1->setObjectName(u"StatusBar1"_s);
    StatusBar1->setFrameShape(QFrame::StyledPanel);
    StatusBar1->setTextFormat(Qt::PlainText);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(ListBox1, 1);
    layout->addLayout(buttons);
    layout->addWidget(StatusBar1);
}

QToolButton *TUserTags::addButton(int number, const QString &hint, std::function<void()> action)
{
    auto *button = new QToolButton(this);
    button->setObjectName(u"SpeedButton"_s + QString::number(number));
    button->setToolTip(hint);
    button->setIcon(drawButtonPicture(number));
    button->setIconSize(QSize(20, 20));
    button->setAutoRaise(true);
    // Tab reaches the buttons and Space presses them: the window is also used without a mouse.
    button->setFocusPolicy(Qt::TabFocus);
    button->setAccessibleName(hint);
    connect(button, &QToolButton::clicked, this, [this, action = std::move(action)] {
        action();
        takeKeyboardBack();
    });
    return button;
}

QString TUserTags::fileFilter()
{
    return u"Uživatelské tagy (*.tag)|*.tag"_s;
}

QString TUserTags::statusText() const
{
    return StatusBar1->text();
}

UserTagEntry TUserTags::entry(int row) const
{
    return row >= 0 && row < m_lines.size() ? parseUserTagLine(m_lines[row]) : UserTagEntry{};
}

QString TUserTags::draggedDropText() const
{
    const int row = ListBox1->draggedRow();
    return row >= 0 && row < m_lines.size() ? userTagDropText(entry(row)) : QString();
}

void TUserTags::setLines(const QStringList &lines)
{
    m_lines = lines;
    ListBox1->clear();
    for (const QString &line : std::as_const(m_lines))
        ListBox1->addItem(parseUserTagLine(line).description);
}

void TUserTags::addLine(const QString &line)
{
    const qsizetype at = userTagInsertPosition(m_lines, line);
    m_lines.insert(at, line);
    ListBox1->insertItem(int(at), parseUserTagLine(line).description);
    ListBox1->setCurrentRow(int(at));
}

void TUserTags::showEntry(int row)
{
    if (row < 0 || row >= m_lines.size())
        return;
    const UserTagEntry e = entry(row);
    StatusBar1->setText(e.opening + u".."_s + e.closing);
}

bool TUserTags::querySave()
{
    if (!m_modified)
        return true;
    if (ui().ask(u"Soubor byl změněn, chcete jej uložit?"_s, Interaction::Buttons::YesNo)
        != Interaction::Answer::Yes)
        return true;
    // Yes must not lose the list when the save does not happen.
    return saveFile();
}

void TUserTags::newFile()
{
    if (!querySave())
        return;
    setLines({});
    m_fileName.clear();
    m_modified = true;
}

void TUserTags::openFile()
{
    if (!querySave())
        return;
    const QString path = ui().openFileName(fileFilter());
    // A cancelled dialog leaves the list as it was.
    if (!path.isEmpty())
        readFile(path);
}

bool TUserTags::loadFile(const QString &path)
{
    if (!querySave())
        return false;
    readFile(path);
    return true;
}

void TUserTags::readFile(const QString &path)
{
    setLines({});
    m_fileName.clear();
    const UserTagFileRead read = readUserTagFile(path);
    if (!read.ok) {
        // No file name is kept, so a later save cannot replace the unread file.
        ui().showError(read.error);
        return;
    }
    setLines(read.lines);
    m_fileName = path;
}

bool TUserTags::saveFile()
{
    StatusBar1->setText(u"Ukladá se soubor ..."_s);
    QString path = m_fileName;
    if (path.isEmpty()) {
        path = ui().saveFileName(fileFilter());
        if (path.isEmpty()) {
            StatusBar1->clear();
            return false;
        }
        if (QFileInfo(path).suffix().isEmpty())
            path += u".tag"_s;
    }
    if (const QString error = writeUserTagFile(path, m_lines); !error.isEmpty()) {
        StatusBar1->clear();
        ui().showError(error);
        return false;
    }
    m_fileName = path;
    m_modified = false;
    StatusBar1->setText(u"Soubor byl uložen ..."_s);
    return true;
}

void TUserTags::newTag()
{
    TForm20 dialog(u"Nový tag"_s, this);
    if (ui().exec(dialog) != QDialog::Accepted)
        return;
    addLine(dialog.line());
    m_modified = true;
}

void TUserTags::editTag()
{
    const int row = ListBox1->currentRow();
    if (row < 0 || row >= m_lines.size())
        return;
    TForm20 dialog(u"Upravit tag"_s, this);
    dialog.setFields(entry(row));
    if (ui().exec(dialog) == QDialog::Accepted) {
        m_lines.removeAt(row);
        delete ListBox1->takeItem(row);
        addLine(dialog.line());
    }
    m_modified = true;
}

void TUserTags::deleteTag()
{
    const int row = ListBox1->currentRow();
    if (row < 0 || row >= m_lines.size())
        return;
    m_lines.removeAt(row);
    delete ListBox1->takeItem(row);
    m_modified = true;
    if (!m_lines.isEmpty())
        ListBox1->setCurrentRow(0);
}

void TUserTags::insertTag()
{
    const int row = ListBox1->currentRow();
    if (row < 0 || row >= m_lines.size())
        return;
    showEntry(row);
    const UserTagEntry e = entry(row);
    Q_EMIT insertRequested(e.opening, e.closing);
}

void TUserTags::closeEvent(QCloseEvent *event)
{
    if (querySave())
        event->accept();
    else
        event->ignore();
}

void TUserTags::takeKeyboardBack()
{
    // A closed dialog hands the keyboard to whichever window the window manager picks, and
    // some never pick a tool window: the next key would go into the page.
    if (isVisible() && !isActiveWindow()) {
        raise();
        activateWindow();
    }
}

void TUserTags::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    // Insert and Delete add and remove a tag, as the buttons do.
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        switch (event->key()) {
        case Qt::Key_Insert:
            newTag();
            takeKeyboardBack();
            return;
        case Qt::Key_Delete:
            deleteTag();
            return;
        default:
            break;
        }
    }
    QWidget::keyPressEvent(event);
}
