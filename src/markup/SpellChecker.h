#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

class Hunspell;

// A Hunspell dictionary installed on the system: its language name ("cs_CZ") and files.
struct SpellDictionary
{
    QString name;
    QString affPath;
    QString dicPath;
};

// The folders Debian's dictionary packages install into.
QStringList defaultDictionaryFolders();
// The dictionaries found in the folders (a .dic beside its .aff), sorted by name; the first
// folder wins when two hold the same language.
QList<SpellDictionary> installedDictionaries(const QStringList &folders = defaultDictionaryFolders());
// "Čeština (cs_CZ)", "Angličtina (en_US)", the bare name for other languages.
QString dictionaryCaption(const QString &name);

// The language checking uses when the user chose none.
inline const QString DefaultSpellLanguage = QStringLiteral("cs_CZ");

// Checks words with a Hunspell dictionary, a personal word list (a plain UTF-8 file, one
// word a line, kept in the user's data folder) and the words ignored for the session.
// Hunspell takes words in its dictionary's own encoding (UTF-8 or ISO-8859-2 for Czech, as
// the .aff file says); the conversion happens here.
class SpellChecker : public QObject
{
    Q_OBJECT

public:
    explicit SpellChecker(QObject *parent = nullptr);
    ~SpellChecker() override;

    // Loads a dictionary; false (with no dictionary) when its files cannot be read.
    bool load(const SpellDictionary &dictionary);
    // Loads it on another thread: a large dictionary takes half a second, which the start
    // of the program should not wait for. Every word counts as right until it is in;
    // wordsChanged follows then. A later load or unload replaces it.
    void loadInBackground(const SpellDictionary &dictionary);
    bool isLoading() const { return m_loader != nullptr; }
    // Waits for a load in the background to finish (tests).
    void waitUntilLoaded();
    void unload();
    bool isLoaded() const { return m_hunspell != nullptr; }
    QString language() const { return m_language; }

    bool isCorrect(QStringView word) const;
    // At most max suggestions, best first.
    QStringList suggestions(const QString &word, int max = 8) const;

    // The personal list is read from this file; words added go there.
    void setPersonalListPath(const QString &path);
    QString personalListPath() const { return m_personalPath; }
    // Adds the word to the personal list file; false when the file cannot be written (the
    // word is still taken as correct for the session).
    bool addToPersonalList(const QString &word);
    // The word is right for the rest of the session, in any case: "přílyš" ignored, a
    // sentence's "Přílyš" is not marked either.
    void ignoreAll(const QString &word);

    // The personal list in the user's data folder.
    static QString defaultPersonalListPath();

Q_SIGNALS:
    // Words that were wrong may be right now, or the other way round: marks need checking
    // again.
    void wordsChanged();

private:
    bool lookUp(const QString &word) const;
    QByteArray toDictionary(const QString &word, bool *representable) const;
    QString fromDictionary(const std::string &word) const;
    void forgetAnswers();
    void adoptLoaded();
    void adoptEncoding();
    void stopLoader();

    std::shared_ptr<Hunspell> m_hunspell;
    class QThread *m_loader = nullptr;
    std::shared_ptr<Hunspell> m_loaded; // written by the loader thread only until it ends
    SpellDictionary m_loading;
    QString m_language;
    enum class Encoding { Utf8, Latin2, Latin1 } m_encoding = Encoding::Utf8;
    QString m_personalPath;
    QSet<QString> m_personal;
    QSet<QString> m_ignored; // in lower case
    // A page repeats its words: each is looked up once.
    mutable QHash<QString, bool> m_answers;
};
