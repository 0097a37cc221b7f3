#pragma once

#include <QVariant>

// Values as the scene hands them over, made plain. A JavaScript array or
// object passed to a QVariant parameter arrives wrapped in a QJSValue, at the
// top or nested inside a list; the settings layer cannot store that wrapper.
// Lists come back as QVariantList, objects as QVariantMap, at every depth.
QVariant plainSceneValue(const QVariant &value);
QVariantList plainSceneList(const QVariantList &list);
