#pragma once

#include <QList>
#include <QString>

#include <functional>

// One line of a tree file: its depth in the tree, its text, and the node it hangs under.
struct TreeFileNode
{
    int depth = 0;
    QString text;
    int parent = -1; // index of the parent node in the list, -1 for a top-level node
};

struct TreeFileResult
{
    QList<TreeFileNode> nodes; // the nodes read before any error, in file order
    QString error;             // empty when the whole file was read
    bool ok() const { return error.isEmpty(); }
};

// The message for a line that lies more than one level deeper than the line before it;
// each tree that reads such files words it its own way.
using TreeLevelError = std::function<QString(int depth, const QString &text)>;

// Reads tree lines: the number of leading tabs or blanks is a line's depth, the rest its
// text. The first line is a top-level node; a line may go at most one level deeper than
// the line before it, otherwise reading stops there with levelError's text. A line that
// holds only the end-of-file mark (character 26) and lines with nothing but blanks are
// skipped. Lines may end in CR LF, LF or CR.
TreeFileResult parseTreeText(QStringView text, const TreeLevelError &levelError);

// The name a tag-tree node is found by: the element of "<video>,</video>", the attribute of
// 'poster=","', the word of a value; the first run of letters, digits, "-" and ":".
QString tagTreeNodeName(QStringView text);
