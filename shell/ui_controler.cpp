#include "ui_controler.h"

#include "autoprofileswitcher.h"
#include "configfile.h"
#include "inivalue.h"
#include "myqquickview.h"
#include "scenerenderer.h"
#include "widget.h"

#include <QFont>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QScreen>
#include <QSettings>
#include <QUrl>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <memory>

// The scene module's type registration (generated). The module is a static
// library: calling it keeps the registration, with the controller's type,
// in the program.
void qml_register_types_modules_qml();

Ui_Controler::Ui_Controler(QObject *parent) : QObject(parent) {}

void Ui_Controler::setupView(QWidget *host)
{
    if (host->objectName().isEmpty())
        host->setObjectName(QStringLiteral("Widget"));
    hostWidget = host;
    host->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    host->setWindowOpacity(1.0);
    host->setAttribute(Qt::WA_TranslucentBackground);
    host->setStyleSheet(QStringLiteral("background:transparent;"));

    chooseSceneRenderer();
    qml_register_types_modules_qml();
    view = new myQQuickView(host);
    view->setObjectName(QStringLiteral("ui_View"));
    useThemeFont(view->engine());
    view->setSource(QUrl(QStringLiteral("qrc:/modules/qml/main.qml")));

    QQmlContext *context = view->rootContext();
    context->setContextProperty(QStringLiteral("ui_View"), view);
    if (auto *window = qobject_cast<Widget *>(host))
        context->setContextProperty(QStringLiteral("hid"), &window->hidThread);
    context->setContextProperty(QStringLiteral("ui_Ctl"), this);

    host->resize(view->size());
    fitToScreen(QGuiApplication::primaryScreen());

    const QSettings config(configfile::path(), ini::formatFor(configfile::path()));
    host->setWindowTitle(config.value(QStringLiteral("common/name"), QString()).toString());
}

void Ui_Controler::useThemeFont(QQmlEngine *engine)
{
    // The texts take their family from the application font, set before the
    // scene is made; the family is the theme's.
    QQmlComponent reader(engine);
    reader.setData("import QtQml\nimport modules.qml\n"
                   "QtObject { readonly property string family: Theme.fontFamily }", QUrl());
    std::unique_ptr<QObject> theme(reader.create());
    const QString family = theme ? theme->property("family").toString() : QString();
    if (family.isEmpty())
        return;
    QFont font = QGuiApplication::font();
    font.setFamily(family);
    QGuiApplication::setFont(font);
}

void Ui_Controler::fitToScreen(const QScreen *screen)
{
    QQuickItem *root = view ? view->rootObject() : nullptr;
    if (!root || !screen || !hostWidget || root->width() <= 0 || root->height() <= 0)
        return;
    const QRect area = screen->availableGeometry();
    scale = std::min({1.0, area.width() / root->width(), area.height() / root->height()});
    root->setTransformOrigin(QQuickItem::TopLeft);
    root->setScale(scale);
    const QSize size(int(std::floor(root->width() * scale)), int(std::floor(root->height() * scale)));
    view->resize(size);
    hostWidget->resize(size);
    // A scaled window starts inside the area, where all of it can be seen.
    if (scale < 1.0)
        hostWidget->move(area.topLeft() + QPoint((area.width() - size.width()) / 2,
                                                 (area.height() - size.height()) / 2));
}

void Ui_Controler::onMinimize()
{
    if (hostWidget)
        hostWidget->showMinimized();
}

void Ui_Controler::onClose()
{
    if (!hostWidget)
        return;
    // Without a tray a hidden program could neither come back nor be
    // ended: closing the window ends it.
    auto *window = qobject_cast<Widget *>(hostWidget);
    if (window && !Widget::systemTrayAvailable()) {
        window->quitAsked();
        return;
    }
    hostWidget->setVisible(false);
}

void Ui_Controler::onXChanged(int dx)
{
    if (hostWidget)
        hostWidget->move(hostWidget->x() + int(std::lround(dx * scale)), hostWidget->y());
}

void Ui_Controler::onYChanged(int dy)
{
    if (hostWidget)
        hostWidget->move(hostWidget->x(), hostWidget->y() + int(std::lround(dy * scale)));
}

void Ui_Controler::setBusy(int busyTime)
{
    if (view)
        view->setBusy(busyTime);
}

void Ui_Controler::setBusy()
{
    setBusy(0);
}

void Ui_Controler::quit()
{
    if (auto *window = qobject_cast<Widget *>(hostWidget))
        window->exitSYS();
}

namespace {
AutoProfileSwitcher *switcherOf(QWidget *host)
{
    auto *window = qobject_cast<Widget *>(host);
    return window ? window->autoProfiles() : nullptr;
}
} // namespace

QVariantMap Ui_Controler::autoProfileRules() const
{
    AutoProfileSwitcher *switcher = switcherOf(hostWidget);
    if (!switcher)
        return {};
    const autoprofiles::Loaded &loaded = switcher->rules();
    QVariantList rules;
    for (const autoprofiles::Rule &rule : loaded.rules.rules)
        rules << QVariantMap{{QStringLiteral("program"), rule.program}, {QStringLiteral("profile"), rule.slot}};
    QString notice = switcher->notice();
    notice = notice.section(QLatin1Char(':'), 0, 0);
    return {{QStringLiteral("on"), switcher->isOn()},
            {QStringLiteral("notice"), notice},
            {QStringLiteral("fallback"), loaded.rules.fallback},
            {QStringLiteral("rules"), rules}};
}

QVariantList Ui_Controler::openApplications() const
{
    QVariantList found;
    AutoProfileSwitcher *switcher = switcherOf(hostWidget);
    if (!switcher)
        return found;
    for (const autoprofiles::Window &window : switcher->windows().openWindows()) {
        // Our own window is no application to tie a profile to.
        if (window.program.isEmpty() || window.pid == QCoreApplication::applicationPid())
            continue;
        found << QVariantMap{{QStringLiteral("title"), window.title.isEmpty() ? window.wmClass : window.title},
                             {QStringLiteral("program"), window.program}};
    }
    return found;
}

QString Ui_Controler::changeAutoProfile(const QString &action, const QString &program, int profile)
{
    AutoProfileSwitcher *switcher = switcherOf(hostWidget);
    if (!switcher || !view)
        return QStringLiteral("unavailable");
    QString why;
    autoprofiles::change(switcher->path(), view->currentProfile, [&](autoprofiles::Rules &rules, QString *reason) {
        if (action == QLatin1String("add"))
            return rules.add(program.trimmed(), profile, reason);
        if (action == QLatin1String("remove")) {
            rules.remove(program, profile);
            return true;
        }
        if (action == QLatin1String("fallback") && profile >= 0 && profile < autoprofiles::SlotCount) {
            rules.fallback = profile;
            return true;
        }
        *reason = QStringLiteral("unknown change");
        return false;
    }, &why);
    return why;
}
