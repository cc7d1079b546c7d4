#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

// The page templates: every ".sab" file of a folder; a template's name is its file name
// without the extension.
QStringList templateNames(const QString &folder);
QString templatePath(const QString &folder, const QString &name);

// "Nový dokument podle šablony": lists the templates, deletes one, or picks one for a new
// document. It never opens documents itself; the caller reads chosenTemplate() after OK.
class TemplateManager : public QDialog
{
    Q_OBJECT

public:
    explicit TemplateManager(const QString &folder, QWidget *parent = nullptr);

    // The template picked with "Vytvořit"; empty when none was selected.
    QString chosenTemplate() const { return m_chosen; }

    QListWidget *ListBox1 = nullptr;
    QPushButton *CloseButton = nullptr;
    QPushButton *DeleteButton = nullptr;
    QPushButton *CreateButton = nullptr;

private:
    void fillList();
    void deleteSelected();
    void createFromSelected();
    QString selectedName() const;

    QString m_folder;
    QString m_chosen;
};
