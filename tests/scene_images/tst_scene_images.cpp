// The compiled-in images as the scene addresses them, and the mouse layout
// module against the overlays it describes.
#include <QImage>
#include <QJSEngine>
#include <QJSValue>
#include <QRect>
#include <QtTest>

namespace {

// How far a highlighted button's glow may reach beyond its hit rectangle.
constexpr int kGlow = 12;

QString resource(const QString &section, const QString &name, int ratio)
{
    const QString file = name + (ratio == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png"));
    if (section.isEmpty())
        return QStringLiteral(":/modules/img/") + file;
    return QStringLiteral(":/%1/modules/img/skin1/%1/%2").arg(section, file);
}

QImage mouseImage(const QString &name, int ratio)
{
    return QImage(resource(QStringLiteral("mouse"), name, ratio)).convertToFormat(QImage::Format_ARGB32);
}

struct Button {
    QString view;
    QRect rect;
    QPoint anchor;
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
            const QJSValue r = b.property("rect"), a = b.property("anchor");
            buttons.append({b.property("view").toString(),
                            QRect(r.property("x").toInt(), r.property("y").toInt(),
                                  r.property("width").toInt(), r.property("height").toInt()),
                            QPoint(a.property("x").toInt(), a.property("y").toInt())});
        }
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
        for (int k = 1; k <= 8; ++k) {
            row("mouse", QStringLiteral("key%1").arg(k), {360, 400});
            row("mouse", QStringLiteral("key%1_hl").arg(k), {360, 400});
        }
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

    void layoutDescribesTheMouse()
    {
        const QJSValue canvas = layout.property("canvas");
        QCOMPARE(canvas.property("width").toInt(), 360);
        QCOMPARE(canvas.property("height").toInt(), 400);
        QCOMPARE(buttons.size(), 8);
        const QStringList views = {"top", "top", "top", "side", "side", "top", "top", "top"};
        QJSValue buttonAt = layout.property("buttonAt");
        for (int i = 0; i < buttons.size(); ++i) {
            QCOMPARE(buttons[i].view, views[i]);
            QVERIFY(buttons[i].rect.contains(buttons[i].anchor));
            const QPoint a = buttons[i].anchor;
            QCOMPARE(buttonAt.call({views[i], a.x(), a.y()}).toInt(), i);
        }
        QCOMPARE(buttonAt.call({"top", 5, 5}).toInt(), -1);
        QCOMPARE(buttonAt.call({"side", 128, 232}).toInt(), -1);   // the thumb rest below the buttons
    }

    // Where a button's normal look is drawn, buttonAt() finds that button;
    // where no overlay of the view is drawn, it finds none.
    void hitAreasFollowTheDrawing_data()
    {
        QTest::addColumn<QString>("view");
        QTest::newRow("top") << "top";
        QTest::newRow("side") << "side";
    }

    void hitAreasFollowTheDrawing()
    {
        QFETCH(QString, view);
        QList<QImage> overlays;
        QList<int> keys;
        for (int k = 1; k <= 8; ++k) {
            if (buttons.at(k - 1).view == view) {
                overlays.append(mouseImage(QStringLiteral("key%1").arg(k), 1));
                keys.append(k - 1);
            }
        }
        QJSValue buttonAt = layout.property("buttonAt");
        int checked = 0, wrong = 0;
        for (int y = 0; y < 400; y += 2) {
            for (int x = 0; x < 360; x += 2) {
                int drawn = -1;
                bool edge = false;
                for (int i = 0; i < overlays.size(); ++i) {
                    const int alpha = qAlpha(overlays[i].pixel(x, y));
                    if (alpha == 255)
                        drawn = keys[i];
                    else if (alpha > 0)
                        edge = true;
                }
                if (edge)
                    continue;    // smoothed outlines may fall either way
                ++checked;
                const int hit = buttonAt.call({view, x + 0.5, y + 0.5}).toInt();
                if (hit != drawn)
                    ++wrong;
            }
        }
        // Rounded corners are hit as square ones.
        QVERIFY2(wrong * 200 < checked, qPrintable(QStringLiteral("%1 of %2 points").arg(wrong).arg(checked)));
    }

    void overlaysMatchTheirButtons_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("ratio");
        for (int k = 1; k <= 8; ++k)
            for (int ratio : {1, 2})
                QTest::addRow("key%d@%dx", k, ratio) << k << ratio;
    }

    void overlaysMatchTheirButtons()
    {
        QFETCH(int, key);
        QFETCH(int, ratio);
        const Button &b = buttons.at(key - 1);
        const QImage base = mouseImage(b.view, ratio);
        const QImage normal = mouseImage(QStringLiteral("key%1").arg(key), ratio);
        const QImage lit = mouseImage(QStringLiteral("key%1_hl").arg(key), ratio);
        const QRect rect(b.rect.topLeft() * ratio, b.rect.size() * ratio);
        const QPoint anchor = b.anchor * ratio;

        // Opaque at the anchor.
        QCOMPARE(qAlpha(normal.pixel(anchor)), 255);
        QCOMPARE(qAlpha(lit.pixel(anchor)), 255);

        // Transparent away from the button: one pixel of edge smoothing for
        // the normal look, the glow for the lit one.
        const QRect normalBounds = rect.adjusted(-ratio, -ratio, ratio, ratio);
        const QRect litBounds = rect.adjusted(-(kGlow + 1) * ratio, -(kGlow + 1) * ratio,
                                              (kGlow + 1) * ratio, (kGlow + 1) * ratio);
        int opaque = 0;
        qint64 red[2] = {}, blue[2] = {};
        for (int y = 0; y < normal.height(); ++y) {
            for (int x = 0; x < normal.width(); ++x) {
                const QRgb p = normal.pixel(x, y), q = lit.pixel(x, y);
                if (!normalBounds.contains(x, y))
                    QVERIFY2(qAlpha(p) == 0, qPrintable(QStringLiteral("normal at %1,%2").arg(x).arg(y)));
                if (!litBounds.contains(x, y))
                    QVERIFY2(qAlpha(q) == 0, qPrintable(QStringLiteral("lit at %1,%2").arg(x).arg(y)));
                if (qAlpha(q) == 255) {
                    red[1] += qRed(q);
                    blue[1] += qBlue(q);
                }
                if (qAlpha(p) != 255)
                    continue;
                // Where the normal look covers the base, it shows what the base shows.
                ++opaque;
                red[0] += qRed(p);
                blue[0] += qBlue(p);
                const QRgb b = base.pixel(x, y);
                QVERIFY2(qAbs(qRed(p) - qRed(b)) <= 3 && qAbs(qGreen(p) - qGreen(b)) <= 3
                             && qAbs(qBlue(p) - qBlue(b)) <= 3,
                         qPrintable(QStringLiteral("base differs at %1,%2").arg(x).arg(y)));
            }
        }
        // The button fills a fair part of its bounds; lit, it is the accent
        // blue, normal it is the shell's grey.
        QVERIFY(opaque > rect.width() * rect.height() / 3);
        QVERIFY(blue[1] > red[1] * 2);
        QVERIFY(blue[0] < red[0] * 5 / 4);
    }
};

QTEST_GUILESS_MAIN(TestSceneImages)
#include "tst_scene_images.moc"
