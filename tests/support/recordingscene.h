#pragma once

#include "myqquickview.h"

#include <QUrl>

// Replaces the view's scene by one that records the program's calls into it
// (recording_scene.qml; the test adds it with r770_add_recording_scene).
inline void useRecordingScene(myQQuickView &view)
{
    view.setSource(QUrl(QStringLiteral("qrc:/recording_scene.qml")));
}
