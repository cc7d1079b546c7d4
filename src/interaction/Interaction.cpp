#include "Interaction.h"

#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

QPointer<QWidget> g_parent;

class WidgetInteraction final : public Interaction
{
public:
    void showError(const QString &text) override
    {
        QMessageBox::critical(g_parent, QString(), text);
    }
    void showInfo(const QString &text) override
    {
        QMessageBox::information(g_parent, QString(), text);
    }
    Answer ask(const QString &text, Buttons buttons) override
    {
        auto standard = QMessageBox::Yes | QMessageBox::No;
        if (buttons == Buttons::YesNoCancel)
            standard |= QMessageBox::Cancel;
        switch (QMessageBox::question(g_parent, QString(), text, standard)) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
        }
    }
    int choose(const QString &text, const QStringList &buttons) override
    {
        QMessageBox box(QMessageBox::Question, QString(), text, QMessageBox::NoButton, g_parent);
        box.setTextFormat(Qt::PlainText);
        QList<QAbstractButton *> added;
        for (const QString &caption : buttons)
            added << box.addButton(caption, QMessageBox::AcceptRole);
        if (!added.isEmpty()) {
            box.setDefaultButton(qobject_cast<QPushButton *>(added.first()));
            box.setEscapeButton(added.last());
        }
        box.exec();
        return int(added.indexOf(box.clickedButton()));
    }
    QString openFileName(const QString &filter, const QString &directory,
                         const QString &caption) override
    {
        return QFileDialog::getOpenFileName(g_parent, caption, directory, qtFileFilter(filter));
    }
    QString saveFileName(const QString &filter, const QString &proposedName,
                         const QString &caption) override
    {
        return QFileDialog::getSaveFileName(g_parent, caption, proposedName, qtFileFilter(filter));
    }
    QString existingDirectory(const QString &caption, const QString &directory) override
    {
        return QFileDialog::getExistingDirectory(g_parent, caption, directory);
    }
    std::optional<QColor> color(const QColor &initial) override
    {
        const QColor c = QColorDialog::getColor(initial, g_parent);
        if (!c.isValid())
            return std::nullopt;
        return c;
    }
    std::optional<QString> text(const QString &caption, const QString &label,
                                const QString &initial) override
    {
        QInputDialog dialog(g_parent);
        dialog.setWindowTitle(caption);
        dialog.setLabelText(label);
        dialog.setInputMode(QInputDialog::TextInput);
        dialog.setTextValue(initial);
        // The one-line prompt holds at most 255 characters, as users of it expect.
        if (auto *field = dialog.findChild<QLineEdit *>())
            field->setMaxLength(MaxPromptLength);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.textValue();
    }
    bool printSetup(QPrinter &printer) override
    {
        QPageSetupDialog dialog(&printer, g_parent);
        return dialog.exec() == QDialog::Accepted;
    }
    bool print(QPrinter &printer) override
    {
        QPrintDialog dialog(&printer, g_parent);
        dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange
                          | QAbstractPrintDialog::PrintSelection);
        return dialog.exec() == QDialog::Accepted;
    }
    int exec(QDialog &dialog) override { return dialog.exec(); }
};

WidgetInteraction g_widgets;
Interaction *g_installed = nullptr;

} // namespace

Interaction &ui()
{
    return g_installed ? *g_installed : g_widgets;
}

Interaction *setInteraction(Interaction *interaction)
{
    return std::exchange(g_installed, interaction);
}

void setDialogParent(QWidget *parent)
{
    g_parent = parent;
}

QString qtFileFilter(const QString &filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString caption = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        // Qt reads the patterns from the last bracket, so they are always appended.
        out << caption + u" ("_s + patterns + u')';
    }
    return out.join(u";;"_s);
}
