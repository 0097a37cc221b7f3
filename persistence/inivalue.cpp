#include "inivalue.h"

#include <QStringList>

namespace ini {

static bool isList(const QVariant &v)
{
    const int id = v.metaType().id();
    return id == QMetaType::QVariantList || id == QMetaType::QStringList;
}

// A list element as text; an element that is itself a list keeps its
// values, joined the way the file joins list values.
static QString elementText(const QVariant &element)
{
    if (!isList(element))
        return element.toString();
    QStringList inner;
    for (const QVariant &v : element.toList())
        inner << elementText(v);
    return inner.join(QLatin1String(", "));
}

QVariantList toList(const QVariant &stored)
{
    // QVariant(QString).toList() would split the text into characters.
    return isList(stored) ? stored.toList() : QVariantList();
}

QVariant storable(const QVariant &value)
{
    if (!isList(value))
        return value;
    const QVariantList list = value.toList();
    if (list.isEmpty())
        return QVariant();
    if (list.size() == 1)
        return list.first().toString();
    QStringList texts;
    texts.reserve(list.size());
    for (const QVariant &element : list)
        texts << elementText(element);
    return texts;
}

void setValue(QSettings &settings, const QString &key, const QVariant &value)
{
    settings.setValue(key, storable(value));
}

} // namespace ini
