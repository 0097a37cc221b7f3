#pragma once

#include <QObject>

class myQQuickView;
class QScreen;
class QWidget;

// Builds the view, loads the scene and offers the scene the window
// operations it needs, as "ui_Ctl".
class Ui_Controler : public QObject
{
    Q_OBJECT

public:
    explicit Ui_Controler(QObject *parent = nullptr);

    // Called once by the host window's constructor.
    void setupView(QWidget *host);

    QWidget *hostWidget = nullptr;
    myQQuickView *view = nullptr;

    // Scales the scene down where it does not fit the screen's available
    // area (aspect kept; never up) and sizes the window to it.
    void fitToScreen(const QScreen *screen);
    double sceneScale() const { return scale; }

public slots:
    void onMinimize();
    void onClose();
    void onXChanged(int dx);
    void onYChanged(int dy);
    void setBusy(int busyTime);
    void setBusy();
    // Ends the program (the scene's quit question was answered).
    void quit();

private:
    double scale = 1.0;
};
