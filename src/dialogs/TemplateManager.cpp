#include "TemplateManager.h"

#include "interaction/Interaction.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

QStringList templateNames(const QString &folder)
{
    QStringList names;
    const QStringList files =
        QDir(folder).entryList({u"*.sab"_s}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QString &file : files) {
        const qsizetype dot = file.lastIndexOf(u'.');
        names << file.left(dot);
    }
    return names;
}

QString templatePath(const QString &folder, const QString &name)
{
    return QDir(folder).filePath(name + u".sab"_s);
}

TemplateManager::TemplateManager(const QString &folder, QWidget *parent)
    : QDialog(parent)
    , m_folder(folder)
{
    setObjectName(u"TemplateManager"_s);
    setWindowTitle(u"Nový dokument podle šablony"_s);

    auto *picture = new QLabel(this);
    picture->setObjectName(u"Image1"_s);
    picture->setPixmap(style()->standardIcon(QStyle::SP_FileDialogContentsView).pixmap(48, 48));
    auto *hint = new QLabel(u"Novou šablonu vytvoříte tak že uložíte soubor, který chcete "
                            u"použít jako šablonu do adresáře SABLONY s příponou *.sab"_s,
                            this);
    hint->setObjectName(u"Label1"_s);
    hint->setWordWrap(true);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(u"ListBox1"_s);

    CloseButton = new QPushButton(u"Zavřít"_s, this);
    CloseButton->setObjectName(u"CloseButton"_s);
    DeleteButton = new QPushButton(u"Smazat"_s, this);
    DeleteButton->setObjectName(u"DeleteButton"_s);
    CreateButton = new QPushButton(u"Vytvořit"_s, this);
    CreateButton->setObjectName(u"CreateButton"_s);
    CreateButton->setDefault(true);

    auto *top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addWidget(hint, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);
    buttons->addWidget(DeleteButton);
    buttons->addWidget(CreateButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(ListBox1, 1);
    layout->addLayout(buttons);
    resize(380, 320);

    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(DeleteButton, &QPushButton::clicked, this, &TemplateManager::deleteSelected);
    connect(CreateButton, &QPushButton::clicked, this, &TemplateManager::createFromSelected);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this,
            &TemplateManager::createFromSelected);
    fillList();
}

void TemplateManager::fillList()
{
    ListBox1->clear();
    ListBox1->addItems(templateNames(m_folder));
}

QString TemplateManager::selectedName() const
{
    const QListWidgetItem *item = ListBox1->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void TemplateManager::deleteSelected()
{
    const QString name = selectedName();
    if (name.isEmpty())
        return;
    // A template is a page the user made; one click beside "Vytvořit" must not lose it.
    if (ui().chooseWithDefault(u"Smazat šablonu „%1“?"_s.arg(name), {u"Smazat"_s, u"Zrušit"_s}, 1) != 0)
        return;
    QFile file(templatePath(m_folder, name));
    if (!file.remove())
        ui().showError(u"Šablonu „%1“ nelze smazat.\r\n%2"_s.arg(name, file.errorString()));
    fillList();
}

void TemplateManager::createFromSelected()
{
    m_chosen = selectedName();
    accept();
}
