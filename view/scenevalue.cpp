#include "scenevalue.h"

#include <QJSValue>

QVariantList plainSceneList(const QVariantList &list)
{
    QVariantList out;
    out.reserve(list.size());
    for (const QVariant &element : list)
        out << plainSceneValue(element);
    return out;
}

QVariant plainSceneValue(const QVariant &value)
{
    const int id = value.metaType().id();
    if (id == qMetaTypeId<QJSValue>())
        return plainSceneValue(value.value<QJSValue>().toVariant());
    if (id == QMetaType::QVariantList)
        return plainSceneList(value.toList());
    if (id == QMetaType::QVariantMap) {
        QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            it.value() = plainSceneValue(it.value());
        return map;
    }
    return value;
}
