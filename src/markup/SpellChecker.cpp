#include "markup/SpellChecker.h"

#include "markup/GuardedFile.h"
#include "markup/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <hunspell.hxx>

#include <map>
#include <mutex>

#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

QStringList defaultDictionaryFolders()
{
    return {u"/usr/share/hunspell"_s, u"/usr/share/myspell/dicts"_s, u"/usr/share/myspell"_s};
}

QList<SpellDictionary> installedDictionaries(const QStringList &folders)
{
    std::map<QString, SpellDictionary> found;
    for (const QString &folder : folders) {
        const QDir dir(folder);
        for (const QFileInfo &aff : dir.entryInfoList({u"*.aff"_s}, QDir::Files | QDir::Readable)) {
            const QString dic = dir.filePath(aff.completeBaseName() + u".dic"_s);
            if (!QFileInfo(dic).isReadable() || found.count(aff.completeBaseName()))
                continue;
            found[aff.completeBaseName()] = {aff.completeBaseName(), aff.absoluteFilePath(),
                                             QFileInfo(dic).absoluteFilePath()};
        }
    }
    QList<SpellDictionary> list;
    for (const auto &entry : found)
        list.append(entry.second);
    return list;
}

QString dictionaryCaption(const QString &name)
{
    static const QHash<QString, QString> languages = {
        {u"cs"_s, u"Čeština"_s}, {u"sk"_s, u"Slovenština"_s}, {u"en"_s, u"Angličtina"_s},
        {u"de"_s, u"Němčina"_s}, {u"pl"_s, u"Polština"_s},    {u"fr"_s, u"Francouzština"_s},
    };
    const QString language = languages.value(name.section(u'_', 0, 0));
    return language.isEmpty() ? name : u"%1 (%2)"_s.arg(language, name);
}

SpellChecker::SpellChecker(QObject *parent)
    : QObject(parent)
{
}

SpellChecker::~SpellChecker()
{
    stopLoader();
}

namespace {

bool readable(const SpellDictionary &dictionary)
{
    QFile aff(dictionary.affPath);
    return aff.open(QIODevice::ReadOnly) && QFileInfo(dictionary.dicPath).isReadable();
}

// A dictionary is read once per process and shared by every checker (each main window
// and each test has one); checkers only look words up, from the main thread.
std::shared_ptr<Hunspell> openDictionary(const SpellDictionary &dictionary)
{
    static std::mutex mutex;
    static std::map<QString, std::shared_ptr<Hunspell>> opened;
    const QString key = dictionary.affPath + u'\n' + dictionary.dicPath;
    {
        const std::lock_guard lock(mutex);
        if (const auto it = opened.find(key); it != opened.end())
            return it->second;
    }
    auto hunspell = std::make_shared<Hunspell>(QFile::encodeName(dictionary.affPath).constData(),
                                               QFile::encodeName(dictionary.dicPath).constData());
    const std::lock_guard lock(mutex);
    return opened.emplace(key, std::move(hunspell)).first->second;
}

} // namespace

void SpellChecker::stopLoader()
{
    if (!m_loader)
        return;
    m_loader->disconnect(this);
    m_loader->wait();
    delete m_loader;
    m_loader = nullptr;
    m_loaded.reset();
}

void SpellChecker::loadInBackground(const SpellDictionary &dictionary)
{
    stopLoader();
    unload();
    if (!readable(dictionary))
        return;
    m_loading = dictionary;
    m_loader = QThread::create([this, dictionary] {
        // Reading a dictionary keeps a core busy for a while, and it starts with the
        // first page opened, when that page and the X server want both cores: at its
        // normal priority a megabyte page took input again noticeably later. Not the idle
        // class, whose thread a busy machine may hold back for seconds: the program waits
        // for the reading when the language changes or it quits.
        setpriority(PRIO_PROCESS, gettid(), 10);
        m_loaded = openDictionary(dictionary);
    });
    connect(m_loader, &QThread::finished, this, &SpellChecker::adoptLoaded);
    m_loader->start();
}

void SpellChecker::waitUntilLoaded()
{
    if (!m_loader)
        return;
    m_loader->wait();
    adoptLoaded();
}

void SpellChecker::adoptLoaded()
{
    if (!m_loader)
        return;
    m_loader->wait();
    delete m_loader;
    m_loader = nullptr;
    m_hunspell = std::move(m_loaded);
    m_language = m_loading.name;
    adoptEncoding();
}

bool SpellChecker::load(const SpellDictionary &dictionary)
{
    stopLoader();
    unload();
    if (!readable(dictionary))
        return false;
    m_hunspell = openDictionary(dictionary);
    m_language = dictionary.name;
    adoptEncoding();
    return true;
}

void SpellChecker::adoptEncoding()
{
    const QString encoding =
        QString::fromLatin1(m_hunspell->get_dict_encoding()).toUpper().remove(u'-');
    if (encoding == u"UTF8"_s)
        m_encoding = Encoding::Utf8;
    else if (encoding == u"ISO88592"_s)
        m_encoding = Encoding::Latin2;
    else
        m_encoding = Encoding::Latin1;
    forgetAnswers();
    Q_EMIT wordsChanged();
}

void SpellChecker::unload()
{
    stopLoader();
    if (!m_hunspell)
        return;
    m_hunspell.reset();
    m_language.clear();
    forgetAnswers();
    Q_EMIT wordsChanged();
}

QByteArray SpellChecker::toDictionary(const QString &word, bool *representable) const
{
    *representable = true;
    switch (m_encoding) {
    case Encoding::Utf8:
        return word.toUtf8();
    case Encoding::Latin2: {
        // The encoder writes a character it has no byte for as a reference: such a word
        // is not in the dictionary.
        const QByteArray bytes = Iso88592::encode(word);
        *representable = bytes.size() == word.size();
        return bytes;
    }
    case Encoding::Latin1:
        for (QChar c : word)
            *representable = *representable && c.unicode() < 256;
        return word.toLatin1();
    }
    return {};
}

QString SpellChecker::fromDictionary(const std::string &word) const
{
    const QByteArrayView bytes(word.data(), qsizetype(word.size()));
    switch (m_encoding) {
    case Encoding::Utf8:
        return QString::fromUtf8(bytes);
    case Encoding::Latin2:
        return Iso88592::decode(bytes);
    case Encoding::Latin1:
        return QString::fromLatin1(bytes);
    }
    return {};
}

bool SpellChecker::lookUp(const QString &word) const
{
    bool representable = true;
    const QByteArray bytes = toDictionary(word, &representable);
    return representable && m_hunspell->spell(bytes.toStdString());
}

bool SpellChecker::isCorrect(QStringView view) const
{
    if (!m_hunspell)
        return true;
    const QString word = view.toString();
    const auto known = m_answers.constFind(word);
    if (known != m_answers.cend())
        return *known;
    // A word of the personal list written in lower case is right at a sentence's start too;
    // an ignored word is right in any case.
    const QString lower = word.toLower();
    const bool correct = m_personal.contains(word) || m_personal.contains(lower)
                         || m_ignored.contains(lower) || lookUp(word);
    m_answers.insert(word, correct);
    return correct;
}

QStringList SpellChecker::suggestions(const QString &word, int max) const
{
    QStringList out;
    if (!m_hunspell || max <= 0)
        return out;
    bool representable = true;
    const QByteArray bytes = toDictionary(word, &representable);
    if (!representable)
        return out;
    for (const std::string &s : m_hunspell->suggest(bytes.toStdString())) {
        const QString suggestion = fromDictionary(s);
        if (!suggestion.isEmpty() && !out.contains(suggestion))
            out.append(suggestion);
        if (out.size() >= max)
            break;
    }
    return out;
}

void SpellChecker::setPersonalListPath(const QString &path)
{
    m_personalPath = path;
    m_personal.clear();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
        for (QString line : lines) {
            line = line.trimmed();
            if (!line.isEmpty())
                m_personal.insert(line);
        }
    }
    forgetAnswers();
    Q_EMIT wordsChanged();
}

bool SpellChecker::addToPersonalList(const QString &word)
{
    const QString clean = word.trimmed();
    if (clean.isEmpty())
        return true;
    m_personal.insert(clean);
    forgetAnswers();
    Q_EMIT wordsChanged();
    if (m_personalPath.isEmpty())
        return false;
    QDir().mkpath(QFileInfo(m_personalPath).absolutePath());
    // The whole list is written anew through a temporary file, so a failed write never
    // leaves it half written.
    QFile old(m_personalPath);
    QByteArray content;
    if (old.open(QIODevice::ReadOnly))
        content = old.readAll();
    old.close();
    if (!content.isEmpty() && !content.endsWith('\n'))
        content += '\n';
    content += clean.toUtf8() + '\n';
    return commitFile(m_personalPath, content).isEmpty();
}

void SpellChecker::ignoreAll(const QString &word)
{
    m_ignored.insert(word.toLower());
    // The same word in other cases was judged before.
    forgetAnswers();
    Q_EMIT wordsChanged();
}

QString SpellChecker::defaultPersonalListPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
           + u"/osobni-slovnik.txt"_s;
}

void SpellChecker::forgetAnswers()
{
    m_answers.clear();
}
