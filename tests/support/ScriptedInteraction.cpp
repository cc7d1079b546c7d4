#include "ScriptedInteraction.h"

#include <QDialog>
#include <QEventLoop>
#include <QTimer>
#include <QTest>

using namespace Qt::StringLiterals;

ScriptedInteraction::ScriptedInteraction()
    : m_previous(setInteraction(this))
{
}

ScriptedInteraction::~ScriptedInteraction()
{
    setInteraction(m_previous);
}

ScriptedInteraction &ScriptedInteraction::answer(Answer a)
{
    m_steps.push_back({Kind::Answer, a, {}, {}, {}, false, {}});
    return *this;
}

ScriptedInteraction &ScriptedInteraction::choice(int index)
{
    Step step{Kind::Choice, Answer::Cancel, {}, {}, {}, false, {}};
    step.index = index;
    m_steps.push_back(std::move(step));
    return *this;
}

ScriptedInteraction &ScriptedInteraction::openFile(const QString &path)
{
    m_steps.push_back({Kind::Open, Answer::Cancel, path, {}, {}, false, {}});
    return *this;
}

ScriptedInteraction &ScriptedInteraction::saveFile(const QString &path)
{
    m_steps.push_back({Kind::Save, Answer::Cancel, path, {}, {}, false, {}});
    return *this;
}

ScriptedInteraction &ScriptedInteraction::directory(const QString &path)
{
    m_steps.push_back({Kind::Directory, Answer::Cancel, path, {}, {}, false, {}});
    return *this;
}

ScriptedInteraction &ScriptedInteraction::pickColor(std::optional<QColor> color)
{
    m_steps.push_back({Kind::Color, Answer::Cancel, {}, color, {}, false, {}});
    return *this;
}

ScriptedInteraction &ScriptedInteraction::enterText(std::optional<QString> text)
{
    m_steps.push_back({Kind::Text, Answer::Cancel, {}, {}, std::move(text), false, {}});
    return *this;
}

ScriptedInteraction &ScriptedInteraction::printAnswer(bool ok)
{
    m_steps.push_back({Kind::Print, Answer::Cancel, {}, {}, {}, ok, {}});
    return *this;
}

ScriptedInteraction &ScriptedInteraction::dialog(DialogDriver driver)
{
    m_steps.push_back({Kind::Dialog, Answer::Cancel, {}, {}, {}, false, std::move(driver)});
    return *this;
}

bool ScriptedInteraction::take(Kind kind, const QString &what, Step &step)
{
    log << what;
    if (m_steps.empty() || m_steps.front().kind != kind) {
        unexpected << what;
        // The test did not script this box: it fails now, naming it, instead of going on
        // with an answer the user never gave.
        QTest::qFail(qPrintable(u"unscripted "_s + what), __FILE__, __LINE__);
        return false;
    }
    step = std::move(m_steps.front());
    m_steps.pop_front();
    return true;
}

void ScriptedInteraction::showError(const QString &text)
{
    log << u"error: "_s + text;
    errors << text;
    if (errorBoxOpenMs > 0) {
        QEventLoop box;
        QTimer::singleShot(errorBoxOpenMs, &box, &QEventLoop::quit);
        box.exec();
    }
}

void ScriptedInteraction::showInfo(const QString &text)
{
    log << u"info: "_s + text;
    infos << text;
}

Interaction::Answer ScriptedInteraction::ask(const QString &text, Buttons buttons)
{
    questions << text;
    Step step;
    if (!take(Kind::Answer, u"ask: "_s + text, step))
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    return step.answer;
}

int ScriptedInteraction::chooseWithDefault(const QString &text, const QStringList &buttons, int defaultButton)
{
    const int picked = choose(text, buttons);
    lastDefaultButton = defaultButton;
    return picked;
}

int ScriptedInteraction::choose(const QString &text, const QStringList &buttons)
{
    lastDefaultButton = 0;
    questions << text;
    Step step;
    if (!take(Kind::Choice, u"choose: "_s + text + u'|' + buttons.join(u'|'), step))
        return -1;
    return step.index;
}

QString ScriptedInteraction::openFileName(const QString &filter, const QString &, const QString &)
{
    Step step;
    return take(Kind::Open, u"open: "_s + filter, step) ? step.path : QString();
}

QString ScriptedInteraction::saveFileName(const QString &filter, const QString &proposedName,
                                          const QString &)
{
    lastProposedName = proposedName;
    Step step;
    return take(Kind::Save, u"save: "_s + filter + u'|' + proposedName, step) ? step.path
                                                                               : QString();
}

QString ScriptedInteraction::existingDirectory(const QString &caption, const QString &)
{
    Step step;
    return take(Kind::Directory, u"dir: "_s + caption, step) ? step.path : QString();
}

std::optional<QColor> ScriptedInteraction::color(const QColor &)
{
    Step step;
    return take(Kind::Color, u"color"_s, step) ? step.color : std::nullopt;
}

std::optional<QString> ScriptedInteraction::text(const QString &caption, const QString &label,
                                                 const QString &initial)
{
    lastInitialText = initial;
    Step step;
    return take(Kind::Text, u"text: "_s + caption + u'|' + label, step) ? step.text
                                                                          : std::nullopt;
}

bool ScriptedInteraction::printSetup(QPrinter &)
{
    Step step;
    return take(Kind::Print, u"setup"_s, step) && step.ok;
}

bool ScriptedInteraction::print(QPrinter &)
{
    Step step;
    return take(Kind::Print, u"print"_s, step) && step.ok;
}

int ScriptedInteraction::exec(QDialog &dialog)
{
    Step step;
    if (!take(Kind::Dialog, u"dialog: "_s + dialog.windowTitle(), step))
        return QDialog::Rejected;
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    step.driver(dialog);
    dialog.hide();
    return dialog.result();
}

void RefusingInteraction::refuse(const QString &what)
{
    QTest::qFail(qPrintable(u"unscripted "_s + what), __FILE__, __LINE__);
}

void RefusingInteraction::showError(const QString &text)
{
    refuse(u"error: "_s + text);
}

void RefusingInteraction::showInfo(const QString &text)
{
    refuse(u"info: "_s + text);
}

Interaction::Answer RefusingInteraction::ask(const QString &text, Buttons)
{
    refuse(u"ask: "_s + text);
    return Answer::Cancel;
}

int RefusingInteraction::choose(const QString &text, const QStringList &)
{
    refuse(u"choose: "_s + text);
    return -1;
}

QString RefusingInteraction::openFileName(const QString &filter, const QString &, const QString &)
{
    refuse(u"open: "_s + filter);
    return {};
}

QString RefusingInteraction::saveFileName(const QString &filter, const QString &, const QString &)
{
    refuse(u"save: "_s + filter);
    return {};
}

QString RefusingInteraction::existingDirectory(const QString &caption, const QString &)
{
    refuse(u"dir: "_s + caption);
    return {};
}

std::optional<QColor> RefusingInteraction::color(const QColor &)
{
    refuse(u"color"_s);
    return std::nullopt;
}

std::optional<QString> RefusingInteraction::text(const QString &caption, const QString &,
                                                 const QString &)
{
    refuse(u"text: "_s + caption);
    return std::nullopt;
}

bool RefusingInteraction::printSetup(QPrinter &)
{
    refuse(u"setup"_s);
    return false;
}

bool RefusingInteraction::print(QPrinter &)
{
    refuse(u"print"_s);
    return false;
}

int RefusingInteraction::exec(QDialog &dialog)
{
    refuse(u"dialog: "_s + dialog.windowTitle());
    return QDialog::Rejected;
}

void endScript(std::unique_ptr<ScriptedInteraction> &script)
{
    const bool answered = script->allAnswered();
    script.reset();
    QVERIFY2(answered, "a scripted answer was left over");
}
