#include "app/EditorViews.h"

#include "app/DocumentManager.h"
#include "app/MainMenu.h"
#include "app/ProgramDir.h"
#include "editor/TForm2.h"
#include "markup/Completion.h"
#include "markup/TextFile.h"
#include "markup/TreeFile.h"
#include "settings/SettingsModel.h"

#include <QMdiSubWindow>

using namespace Qt::StringLiterals;

EditorViews::EditorViews(SettingsModel &settings, DocumentManager &documents, const MainMenu &menu,
                         std::function<bool()> autoIndentOn, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_documents(documents)
    , m_menu(menu)
    , m_autoIndentOn(std::move(autoIndentOn))
{
    m_settings.follow(this,
                      {u"User/EditFont", u"Colors/Vyska", u"Colors/TEXT", u"Colors/TAG",
                       u"User/Tab", u"User/Alt_Enter", u"User/Alt_Enter_Text"},
                      [this] { applyEditorSettings(); });
    // The code's colours, the typing aids and the markup style reach the views without
    // moving anyone's caret: the bar of a first start changes the style while pages are open.
    m_settings.follow(this,
                      {u"Colors/CssSelector", u"Colors/CssProperty", u"Colors/CssValue",
                       u"Colors/CssComment", u"Colors/JsKeyword", u"Colors/JsString",
                       u"Colors/JsNumber", u"Colors/JsComment", u"User/LineNumbers", u"User/TagPairs",
                       u"User/CloseTags", u"User/RenamePairs", u"User/Completion", u"User/MarkupStyle"},
                      [this] { applyKeyOptions(); });
}

void EditorViews::prepare(TForm2 &window)
{
    window.document().setEditorFont(font());
    window.RichEdit1->setKeyOptions(keyOptions());
}

void EditorViews::applyKeyOptions()
{
    const EditorKeyOptions keys = keyOptions();
    for (HtmlDocument *doc : m_documents.documents()) {
        if (TForm2 *window = m_documents.window(doc))
            window->RichEdit1->setKeyOptions(keys);
    }
}

void EditorViews::applyEditorSettings()
{
    const QFont editorFont = font();
    for (HtmlDocument *doc : m_documents.documents()) {
        doc->setEditorFont(editorFont);
        doc->SetSelStart(0); // nothing selected, caret at the start
    }
    applyKeyOptions();
}

void EditorViews::prepareForFirstDocument() const
{
    // An editor laid out in the editor's font has fontconfig find the face, slow the first
    // time; a sub-window has the style make the icons of its menu, kept from then on.
    HtmlDocument document;
    EditorBuffer editor(document);
    document.setEditorFont(font());
    const QMdiSubWindow window;
}

QFont EditorViews::font() const
{
    // A missing face such as "Courier New" falls back to a monospace one; the setting keeps
    // its name.
    const TSettings &s = m_settings.values();
    QFont editorFont(s.EditFont, std::max(s.Vyska, 1));
    editorFont.setStyleHint(QFont::Monospace);
    return editorFont;
}

EditorKeyOptions EditorViews::keyOptionsOf(const TSettings &s)
{
    EditorKeyOptions keys;
    keys.textColor = s.TEXT;
    keys.tagColor = s.TAG;
    keys.tabText = s.TabText();
    keys.ctrlEnterInserts = s.Alt_Enter;
    keys.ctrlEnterText = s.Alt_Enter_Text;
    keys.codeColors = SyntaxColors::fromSettings(s);
    keys.aids.lineNumbers = s.LineNumbers;
    keys.aids.tagPairs = s.TagPairs;
    keys.aids.closeTags = s.CloseTags;
    keys.aids.renamePairs = s.RenamePairs;
    keys.aids.completion = s.Completion;
    keys.aids.style = s.markupStyle();
    return keys;
}

EditorKeyOptions EditorViews::keyOptions()
{
    const TSettings &s = m_settings.values();
    EditorKeyOptions keys = keyOptionsOf(s);
    keys.autoIndent = m_autoIndentOn;
    if (s.Completion && (!m_tagVocabulary || m_tagVocabularyStyle != keys.aids.style)) {
        // The tag tree's file of the markup style: its elements, their attributes and their
        // values. A file that cannot be read leaves the list empty; the tag tree tells about it.
        const QString name = keys.aids.style == MarkupStyle::Html5 ? u"data/html5.dat"_s : u"data/html4.dat"_s;
        const TextFileResult file = readTextFile(programDir() + name);
        const TreeFileResult tree = parseTreeText(file.text, [](int, const QString &) { return QString(); });
        m_tagVocabulary = std::make_shared<const TagVocabulary>(TagVocabulary::fromTree(tree.nodes));
        m_tagVocabularyStyle = keys.aids.style;
    }
    keys.aids.vocabulary = m_tagVocabulary;
    // Asked for every key typed: the menu's list of its keys, each held by the one item that
    // took it, answers at once, where going through the menu's items slowed every key.
    keys.isCommandShortcut = [this](const QKeySequence &key) { return m_menu.shortcutTaken(key); };
    return keys;
}
