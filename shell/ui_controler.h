#pragma once

#include <QObject>
#include <QVariant>

class myQQuickView;
class QQmlEngine;
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

    // Automatic profiles, for the profile manager. The rules as
    // { on, notice, fallback, rules: [{ program, profile }] } (profile
    // numbers as the scene's), notice "damaged", "x11only", "nothing" or "".
    Q_INVOKABLE QVariantMap autoProfileRules() const;
    // The applications with windows open now: [{ title, program }], one per
    // program.
    Q_INVOKABLE QVariantList openApplications() const;
    // Changes a rule: "add" or "remove" `program` for `profile`, or
    // "fallback" to `profile`. "" when stored, else why not.
    Q_INVOKABLE QString changeAutoProfile(const QString &action, const QString &program, int profile);

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
    // Makes the theme's font family the application's, for every text.
    static void useThemeFont(QQmlEngine *engine);

    double scale = 1.0;
};
