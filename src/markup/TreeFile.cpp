#include "TreeFile.h"
#include "markup/CodePages.h"


namespace {

bool isIndent(QChar c)
{
    return c == u'\t' || c == u' ';
}

} // namespace

TreeFileResult parseTreeText(QStringView text, const TreeLevelError &levelError)
{
    TreeFileResult result;
    // The nearest earlier node of each depth on the path to the last node read, so a
    // shallower line finds the parent it shares with that node.
    QList<int> lastAtDepth;
    const QString normalized = normalizeLineBreaks(text);
    for (QStringView line : QStringView(normalized).split(u"\r\n")) {
        if (line == u"\x1A" || line.trimmed().isEmpty())
            continue;
        int depth = 0;
        while (depth < line.size() && isIndent(line[depth]))
            ++depth;
        const QString nodeText = line.mid(depth).toString();
        if (result.nodes.isEmpty()) {
            // The first line is a top-level node however far it is indented.
            depth = 0;
        } else if (depth > result.nodes.last().depth + 1) {
            result.error = levelError(depth, nodeText);
            return result;
        }
        const int parent = depth == 0 ? -1 : lastAtDepth[depth - 1];
        lastAtDepth.resize(depth);
        lastAtDepth.append(int(result.nodes.size()));
        result.nodes.append({depth, nodeText, parent});
    }
    return result;
}

QString tagTreeNodeName(QStringView text)
{
    auto isNameChar = [](QChar c) { return c.isLetterOrNumber() || c == u'-' || c == u':'; };
    qsizetype from = 0;
    while (from < text.size() && !isNameChar(text[from]))
        ++from;
    qsizetype to = from;
    while (to < text.size() && isNameChar(text[to]))
        ++to;
    return text.sliced(from, to - from).toString();
}
