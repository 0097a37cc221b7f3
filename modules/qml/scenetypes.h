#pragma once

// The program's classes that the scene's files name as types, so that
// qmllint checks their use and qmlcachegen compiles it. The program creates
// the objects and hands them to the scene; the scene never makes one.

#include "myqquickview.h"

#include <QtQml/qqmlregistration.h>

// The controller, which the scene receives as "ui_View".
struct ControllerType
{
    Q_GADGET
    QML_FOREIGN(myQQuickView)
    QML_NAMED_ELEMENT(Controller)
    QML_UNCREATABLE("The program hands the scene its controller as ui_View.")
};
