// The compiled-in images as the scene addresses them (each lit overlay the
// size of its box), and the mouse layout module's hit areas against the
// lit overlays it describes.
#include <QImage>
#include <QJSEngine>
#include <QJSValue>
#include <QRect>
#include <QtTest>

namespace {

QString resource(const QString &section, const QString &name, int ratio)
{
    const QString file = name + (ratio == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png"));
    if (section.isEmpty())
        return QStringLiteral(":/modules/img/") + file;
    return QStringLiteral(":/%1/modules/img/skin1/%1/%2").arg(section, file);
}

QRect rectOf(const QJSValue &r)
{
    return QRect(r.property("x").toInt(), r.property("y").toInt(), r.property("width").toInt(),
                 r.property("height").toInt());
}

struct Button {
    QString view;
    QRect overlay;   // the canvas box the lit overlay covers
};

} // namespace

class TestSceneImages : public QObject
{
    Q_OBJECT

private:
    QJSEngine engine;
    QJSValue layout;
    QList<Button> buttons;

private slots:
    void initTestCase()
    {
        layout = engine.importModule(QStringLiteral(R770_MOUSE_LAYOUT));
        QVERIFY2(!layout.isError(), qPrintable(layout.toString()));
        const QJSValue list = layout.property("buttons");
        QVERIFY(list.isArray());
        for (int i = 0; i < list.property("length").toInt(); ++i) {
            const QJSValue b = list.property(i);
            buttons.append({b.property("view").toString(), rectOf(b.property("overlay"))});
        }
        QCOMPARE(buttons.size(), 8); // the mouse's eight keys, each with a place on the pictures
    }

    void everyImageAtItsAddress_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        auto row = [](const QString &section, const QString &name, QSize size) {
            QTest::newRow(qPrintable(section + '/' + name)) << section << name << size;
        };
        row({}, "background", {1024, 640});
        row({}, "titlebar", {1024, 48});
        row({}, "titlelogo", {28, 28});
        row("index", "startlogo", {240, 240});
        row("gun", "target", {160, 64});
        for (int g = 0; g < 6; ++g)
            row("gun", QStringLiteral("gun%1").arg(g), {160, 64});
        row("mouse", "top", {360, 400});
        row("mouse", "side", {360, 400});
        // Each lit overlay is the size of its box.
        for (int k = 1; k <= buttons.size(); ++k)
            row("mouse", QStringLiteral("key%1_hl").arg(k), buttons.at(k - 1).overlay.size());
    }

    void everyImageAtItsAddress()
    {
        QFETCH(QString, section);
        QFETCH(QString, name);
        QFETCH(QSize, size);
        for (int ratio : {1, 2}) {
            const QImage image(resource(section, name, ratio));
            QVERIFY2(!image.isNull(), qPrintable(resource(section, name, ratio)));
            QCOMPARE(image.size(), size * ratio);
        }
    }

    // Where a button's lit look is opaque, placed at its box, buttonAt()
    // finds that button; where no lit look of the view reaches, it finds none.
    void hitAreasFollowTheDrawing_data()
    {
        QTest::addColumn<QString>("view");
        QTest::newRow("top") << "top";
        QTest::newRow("side") << "side";
    }

    void hitAreasFollowTheDrawing()
    {
        QFETCH(QString, view);
        QList<int> keys;
        QList<QImage> overlays;
        for (int k = 1; k <= buttons.size(); ++k) {
            if (buttons.at(k - 1).view == view) {
                keys.append(k - 1);
                overlays.append(QImage(resource("mouse", QStringLiteral("key%1_hl").arg(k), 1))
                                    .convertToFormat(QImage::Format_ARGB32));
            }
        }
        QJSValue buttonAt = layout.property("buttonAt");
        QMap<int, int> checked, wrong;   // by the button drawn there, -1 for none
        for (int y = 0; y < 400; y += 2) {
            for (int x = 0; x < 360; x += 2) {
                int drawn = -1;
                bool glow = false;
                for (int i = 0; i < overlays.size(); ++i) {
                    const QPoint at = QPoint(x, y) - buttons.at(keys[i]).overlay.topLeft();
                    const int alpha = overlays[i].valid(at) ? qAlpha(overlays[i].pixel(at)) : 0;
                    if (alpha == 255)
                        drawn = keys[i];
                    else if (alpha > 0)
                        glow = true;
                }
                if (drawn < 0 && glow)
                    continue;    // smoothed outlines and glow may fall either way
                ++checked[drawn];
                if (buttonAt.call({view, x + 0.5, y + 0.5}).toInt() != drawn)
                    ++wrong[drawn];
            }
        }
        // Rounded corners, hit as square ones, are in the glow; one point in a
        // hundred of slack for the renderer's smoothing.
        for (auto it = checked.cbegin(); it != checked.cend(); ++it)
            QVERIFY2(wrong.value(it.key()) * 100 < it.value(),
                     qPrintable(QStringLiteral("button %1: %2 of %3 points")
                                    .arg(it.key() + 1).arg(wrong.value(it.key())).arg(it.value())));
    }

};

QTEST_GUILESS_MAIN(TestSceneImages)
#include "tst_scene_images.moc"
