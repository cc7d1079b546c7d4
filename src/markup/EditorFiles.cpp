#include "markup/EditorFiles.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

bool isEditorOwnFile(const QString &fileName, const QString &backupExtension)
{
    const QString extension = backupExtension.startsWith(u'.') ? backupExtension.mid(1) : backupExtension;
    if (!extension.isEmpty() && fileName.size() > extension.size() + 1
        && fileName.endsWith(u'.' + extension, Qt::CaseInsensitive))
        return true;
    // A save's temporary file: the page's whole name and six random letters or digits, at
    // least one of them a capital or a digit (a word such as "backup" is a real extension).
    static const QRegularExpression saving(u"^.+\\.[^.]+\\.(?=[a-z]*[A-Z0-9])[A-Za-z0-9]{6}$"_s);
    static const QRegularExpression recovery(u"^.+-\\d+\\.rec$"_s);
    return saving.match(fileName).hasMatch() || recovery.match(fileName).hasMatch();
}
