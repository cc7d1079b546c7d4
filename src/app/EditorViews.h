#pragma once

#include "editor/EditorBuffer.h"
#include "markup/MarkupStyle.h"

#include <QObject>

#include <functional>
#include <memory>

class DocumentManager;
class MainMenu;
class SettingsModel;
class TagVocabulary;
struct TSettings;
class TForm2;

// What the documents' views take from the settings: the editor's font, the keys' options,
// the code colours and the typing aids. It follows those settings and gives every open view
// the new ones; a new document window gets them as it is made.
class EditorViews : public QObject
{
    Q_OBJECT

public:
    EditorViews(SettingsModel &settings, DocumentManager &documents, const MainMenu &menu,
                std::function<bool()> autoIndentOn, QObject *parent = nullptr);

    QFont font() const;
    EditorKeyOptions keyOptions();
    // What of the keys' options the settings alone say: colours, Tab and Ctrl+Enter, the
    // code colours and which typing aids are on.
    static EditorKeyOptions keyOptionsOf(const TSettings &settings);
    // A window just made: its view takes the font and the keys' options.
    void prepare(TForm2 &window);

    // Finds the editor's font and loads what a document window first needs, so the first
    // page opened does not wait for them. Meant for a moment the user is not waiting on.
    void prepareForFirstDocument() const;

private:
    void applyEditorSettings();
    void applyKeyOptions();

    SettingsModel &m_settings;
    DocumentManager &m_documents;
    const MainMenu &m_menu;
    std::function<bool()> m_autoIndentOn;
    // The names the editors offer as the user types, read at the first need.
    std::shared_ptr<const TagVocabulary> m_tagVocabulary;
    MarkupStyle m_tagVocabularyStyle = MarkupStyle::Html4;
};
