#include "ScriptText.h"

using namespace Qt::StringLiterals;

QString scriptNodeInsertText(const QString &nodeText, bool hasChildren)
{
    QString text = u' ' + nodeText;
    if (!nodeText.endsWith(u')') && !hasChildren)
        text += u'=';
    return text;
}

QString scriptNodeDropText(const QString &nodeText, bool hasChildren)
{
    QString text = nodeText;
    if (hasChildren)
        text += u'.';
    if (!text.endsWith(u')') && !text.endsWith(u'.'))
        text += u'=';
    return text;
}

QString wrapScript(const QString &script)
{
    return u"<SCRIPT>\r\n"_s + script + u"\r\n</SCRIPT>"_s;
}
