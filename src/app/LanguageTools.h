#pragma once

#include "markup/SpellChecker.h"

#include <QObject>
#include <QPointer>

class HtmlDocument;
class HtmlCheckPanel;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class DocumentManager;
class MainMenu;
class QSplitter;
class TForm2;

// Spelling and the HTML check in the frame: the "Kontrola pravopisu" submenu of "Možnosti"
// (on and off, the language from the dictionaries installed), the marks in every document,
// and "Zkontrolovat HTML" of "Nástroje" with its panel under the documents.
class LanguageTools : public QObject
{
    Q_OBJECT

public:
    // The places it takes in the frame: the menu items, the document area whose column
    // gets the check panel, and the splitter that holds that area.
    struct Frame
    {
        QWidget &window;
        MainMenu &menu;
        DocumentManager &documents;
        QWidget &documentArea;
        QSplitter &splitter;
    };

    // dictionaryFolders: where dictionaries are looked for (tests give their own).
    LanguageTools(const Frame &frame, const QStringList &dictionaryFolders);

    static LanguageTools *of(const QWidget &window);

    SpellChecker &checker() { return m_checker; }
    HtmlCheckPanel *panel() const { return m_panel; }
    // The status bar's word that the chosen language has no dictionary; shown only then.
    QLabel *missingDictionaryLabel() const { return m_missingDictionary; }
    const QList<SpellDictionary> &dictionaries() const { return m_dictionaries; }

    // Turns checking on in the language (one of the dictionaries) or off (empty), as the
    // menu does, and keeps the choice in the settings.
    void setSpelling(const QString &language);
    // Checks the active document's text and shows the findings; nothing without a document.
    void checkActiveDocument();

private:
    void buildSpellingMenu();
    void attachMarkers();
    void applySpelling();
    void goToFinding(int line, int column);
    const SpellDictionary *dictionaryNamed(const QString &name) const;
    // Checking is on and the chosen language's dictionary is here.
    bool isChecking() const;

    MainMenu &m_menu;
    DocumentManager &m_documents;
    SpellChecker m_checker;
    QList<SpellDictionary> m_dictionaries;
    QString m_language; // the language turning checking on picks
    QMenu *m_spellMenu = nullptr;
    QActionGroup *m_languageGroup = nullptr;
    QAction *m_missingItem = nullptr;
    QLabel *m_missingDictionary = nullptr;
    HtmlCheckPanel *m_panel = nullptr;
    QPointer<HtmlDocument> m_checkedDocument;
    bool m_dictionaryQueued = false; // the first page's dictionary waits for the event loop
};

// "Slovník pro kontrolu pravopisu Čeština (cs_CZ) není nainstalován (balíček hunspell-cs):
// pravopis se nekontroluje."
QString missingDictionaryText(const QString &language);

// Installs the tools on the frame, with the system's dictionaries.
LanguageTools *installLanguageTools(const LanguageTools::Frame &frame);

// Puts the caret at a 1-based line and column (a column past the line's end stops at its
// end) and scrolls it into view.
void moveCaretTo(HtmlDocument &buffer, int line, int column);
