#pragma once

// The scene is a fixed-size 2D interface: Qt Quick's software renderer draws
// it without loading an OpenGL stack, which would hold most of the
// process's memory and start-up time. Qt's own QT_QUICK_BACKEND (or its
// older name QMLSCENE_DEVICE) still picks another renderer when set.
// Must run before the first Qt Quick window or widget is created.
void chooseSceneRenderer();
