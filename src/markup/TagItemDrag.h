#pragma once

#include <QString>

class QMimeData;

// A tag item dragged from the tag tree or a tag list to a document carries its text in a
// format of the program's own. The editor takes drops of that format (besides its own
// text moved inside it); files and other programs' data go on to the main window.
QString tagItemMimeType();
void putTagItem(QMimeData &data, const QString &itemText);
// The dragged item's text, empty when the data carries no tag item.
QString tagItemText(const QMimeData *data);
