#include "markup/TagItemDrag.h"

#include <QMimeData>

using namespace Qt::StringLiterals;

QString tagItemMimeType()
{
    return u"application/x-brisko-tag-item"_s;
}

void putTagItem(QMimeData &data, const QString &itemText)
{
    data.setData(tagItemMimeType(), itemText.toUtf8());
}

QString tagItemText(const QMimeData *data)
{
    if (!data || !data->hasFormat(tagItemMimeType()))
        return {};
    return QString::fromUtf8(data->data(tagItemMimeType()));
}
