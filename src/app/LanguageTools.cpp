#include "app/LanguageTools.h"

#include "app/DocumentManager.h"
#include "app/MainMenu.h"
#include "settings/TSettings.h"
#include "editor/HtmlDocument.h"
#include "editor/SpellMarker.h"
#include "editor/TForm2.h"
#include "markup/HtmlCheck.h"
#include "tools/HtmlCheckPanel.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

LanguageTools::LanguageTools(const Frame &frame, const QStringList &dictionaryFolders)
    : QObject(&frame.window)
    , m_menu(frame.menu)
    , m_documents(frame.documents)
    , m_dictionaries(installedDictionaries(dictionaryFolders))
{
    setObjectName(u"LanguageTools"_s);
    m_checker.setPersonalListPath(SpellChecker::defaultPersonalListPath());
    m_language = m_documents.settings().SpellCheck;
    // Says in the status bar, for as long as it is so, that the chosen language has no
    // dictionary here: nothing is checked then, and never in another language.
    if (auto *main = qobject_cast<QMainWindow *>(&frame.window)) {
        m_missingDictionary = new QLabel(main->statusBar());
        m_missingDictionary->setObjectName(u"SpellingMissing"_s);
        m_missingDictionary->setFrameShape(QFrame::StyledPanel);
        m_missingDictionary->setFrameShadow(QFrame::Sunken);
        m_missingDictionary->hide();
        // After the frame's own panels, before the page's encoding.
        main->statusBar()->addWidget(m_missingDictionary);
    }
    buildSpellingMenu();
    applySpelling();
    connect(&m_documents, &DocumentManager::activeDocumentChanged, this,
            &LanguageTools::attachMarkers);

    // The panel goes under the documents, beside the side panel: the document area and
    // the panel share a column of their own.
    m_panel = new HtmlCheckPanel;
    m_panel->hide();
    // The documents may already stand in a splitter of their own (beside the live preview)
    // inside the column.
    auto *column = frame.window.findChild<QSplitter *>(u"DocumentColumn"_s);
    if (!column) {
        auto *parent = qobject_cast<QSplitter *>(frame.documentArea.parentWidget());
        column = parent && parent->orientation() == Qt::Vertical ? parent : nullptr;
    }
    if (column) {
        column->addWidget(m_panel);
    } else {
        column = new QSplitter(Qt::Vertical);
        column->setObjectName(u"DocumentColumn"_s);
        column->setChildrenCollapsible(false);
        const int index = frame.splitter.indexOf(&frame.documentArea);
        frame.splitter.replaceWidget(index, column);
        frame.splitter.setStretchFactor(index, 1); // the documents take the room, as before
        column->addWidget(&frame.documentArea);
        column->addWidget(m_panel);
        column->setStretchFactor(0, 1);
        frame.documentArea.show();
    }
    connect(m_panel, &HtmlCheckPanel::positionChosen, this, &LanguageTools::goToFinding);
}

LanguageTools *LanguageTools::of(const QWidget &window)
{
    return window.findChild<LanguageTools *>(u"LanguageTools"_s, Qt::FindDirectChildrenOnly);
}

void LanguageTools::buildSpellingMenu()
{
    QAction *item = m_menu.action(Cmd::OptSpelling);
    if (m_dictionaries.isEmpty()) {
        // Nothing to check with: the item says why, and nothing else changes.
        item->setText(u"Kontrola pravopisu – není nainstalován žádný slovník (balíček hunspell-cs)"_s);
        item->setEnabled(false);
        return;
    }
    m_spellMenu = new QMenu(qobject_cast<QWidget *>(parent()));
    m_spellMenu->setObjectName(u"SpellMenu"_s);
    QAction *on = m_spellMenu->addAction(u"Zapnuta"_s);
    on->setObjectName(u"SpellOn"_s);
    on->setCheckable(true);
    connect(on, &QAction::toggled, this, [this](bool checked) {
        setSpelling(checked ? (m_language.isEmpty() ? DefaultSpellLanguage : m_language)
                            : QString());
    });
    m_spellMenu->addSeparator();
    m_languageGroup = new QActionGroup(m_spellMenu);
    for (const SpellDictionary &d : m_dictionaries) {
        QAction *language = m_spellMenu->addAction(dictionaryCaption(d.name));
        language->setObjectName(u"Spell_"_s + d.name);
        language->setCheckable(true);
        language->setData(d.name);
        m_languageGroup->addAction(language);
        connect(language, &QAction::triggered, this, [this, name = d.name] { setSpelling(name); });
    }
    // The chosen language whose dictionary is not installed: shown chosen, not choosable.
    m_missingItem = m_spellMenu->addAction(QString());
    m_missingItem->setObjectName(u"SpellMissing"_s);
    m_missingItem->setCheckable(true);
    m_missingItem->setChecked(true);
    m_missingItem->setEnabled(false);
    m_missingItem->setVisible(false);
    item->setMenu(m_spellMenu);
}

void LanguageTools::setSpelling(const QString &language)
{
    if (!language.isEmpty())
        m_language = language;
    m_documents.settings().SpellCheck = language;
    applySpelling();
}

const SpellDictionary *LanguageTools::dictionaryNamed(const QString &name) const
{
    for (const SpellDictionary &d : m_dictionaries) {
        if (d.name == name)
            return &d;
    }
    return nullptr;
}

bool LanguageTools::isChecking() const
{
    return !m_documents.settings().SpellCheck.isEmpty() && dictionaryNamed(m_language);
}

QString missingDictionaryText(const QString &language)
{
    QString text = u"Slovník pro kontrolu pravopisu %1 není nainstalován"_s.arg(
        dictionaryCaption(language));
    if (language.startsWith(u"cs"_s))
        text += u" (balíček hunspell-cs)"_s;
    return text + u": pravopis se nekontroluje."_s;
}

void LanguageTools::applySpelling()
{
    if (m_dictionaries.isEmpty())
        return;
    const QString wanted = m_documents.settings().SpellCheck;
    const bool on = !wanted.isEmpty();
    const SpellDictionary *dictionary = on ? dictionaryNamed(wanted) : nullptr;
    // The dictionary takes tens of megabytes and a processor for a while: it is read once
    // there is a page to check (see attachMarkers), not while the program starts.
    if (dictionary && !m_documents.documents().isEmpty() && m_checker.language() != dictionary->name
        && !(m_checker.isLoading() && m_language == dictionary->name))
        m_checker.loadInBackground(*dictionary);
    if (on)
        m_language = wanted;
    // A language without its dictionary checks nothing: never another language instead.
    const bool missing = on && !dictionary;
    if (missing)
        m_checker.unload();
    if (QAction *check = m_spellMenu->findChild<QAction *>(u"SpellOn"_s)) {
        const QSignalBlocker quiet(check);
        check->setChecked(on);
    }
    for (QAction *a : m_languageGroup->actions())
        a->setChecked(a->data().toString() == m_language);
    m_missingItem->setText(dictionaryCaption(m_language) + u" – slovník není nainstalován"_s);
    m_missingItem->setVisible(!m_language.isEmpty() && !dictionaryNamed(m_language));
    if (m_missingDictionary) {
        m_missingDictionary->setText(
            u"Chybí slovník %1: pravopis se nekontroluje"_s.arg(dictionaryCaption(m_language)));
        m_missingDictionary->setToolTip(missingDictionaryText(m_language)
                                        + u" Jiný jazyk lze zvolit v nabídce Možnosti → Kontrola pravopisu."_s);
        m_missingDictionary->setVisible(missing);
    }
    attachMarkers();
}

void LanguageTools::attachMarkers()
{
    if (m_dictionaries.isEmpty())
        return;
    const bool on = isChecking();
    // The first page asks for the dictionary put off at start, once the page is in: read
    // while the page went in, the two fought over the process's memory and a megabyte
    // page took input again later.
    if (on && !m_documents.documents().isEmpty() && !std::exchange(m_dictionaryQueued, true)) {
        QTimer::singleShot(0, this, [this] {
            m_dictionaryQueued = false;
            if (isChecking() && !m_documents.documents().isEmpty()
                && m_checker.language().isEmpty() && !m_checker.isLoading())
                m_checker.loadInBackground(*dictionaryNamed(m_language));
        });
    }
    for (HtmlDocument *doc : m_documents.documents()) {
        TForm2 *window = m_documents.window(doc);
        if (!window)
            continue;
        SpellMarker *marker = SpellMarker::of(*window->RichEdit1);
        if (!marker && !on)
            continue;
        if (!marker)
            marker = new SpellMarker(*window->RichEdit1, m_checker);
        marker->setEnabled(on);
    }
}

void LanguageTools::checkActiveDocument()
{
    HtmlDocument *doc = m_documents.activeDocument();
    if (!doc)
        return;
    m_checkedDocument = doc;
    m_panel->showMessages(doc->caption(), checkHtml(doc->GetText()));
}

void LanguageTools::goToFinding(int line, int column)
{
    HtmlDocument *doc = m_checkedDocument;
    if (!doc)
        return;
    if (TForm2 *window = m_documents.window(doc)) {
        if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
            m_documents.area().setActiveSubWindow(sub);
    }
    moveCaretTo(*doc, line, column);
    m_documents.focusDocument(*doc);
    // The status bar follows the caret the jump moved, as it follows keys and clicks.
    const auto [caretLine, caretColumn] = doc->CaretLineColumn();
    m_documents.setStatusText(3, QString::number(caretLine) + u':' + QString::number(caretColumn));
}

LanguageTools *installLanguageTools(const LanguageTools::Frame &frame)
{
    return new LanguageTools(frame, defaultDictionaryFolders());
}

void moveCaretTo(HtmlDocument &buffer, int line, int column)
{
    const int lineIndex = std::clamp(line - 1, 0, buffer.lineCount() - 1);
    const QString text = buffer.LineText(lineIndex);
    int inLine = std::clamp(column - 1, 0, int(text.size()));
    // Never between the two halves of a character beyond the Basic Multilingual Plane:
    // what is typed there would split it.
    if (inLine > 0 && inLine < text.size() && text[inLine].isLowSurrogate()
        && text[inLine - 1].isHighSurrogate())
        --inLine;
    buffer.SetSelStart(buffer.LineStart(lineIndex) + inLine);
    buffer.SetSelLength(0); // a view shows the caret it moved to
}
