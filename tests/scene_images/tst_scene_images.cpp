// The compiled-in images as the scene addresses them, and the mouse layout
// module against the pictures and the lit overlays it describes.
#include <QImage>
#include <QJSEngine>
#include <QJSValue>
#include <QRect>
#include <QtTest>

namespace {

// How far a highlighted button's glow reaches beyond its bounds.
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

QImage litOverlay(int key, int ratio)
{
    return mouseImage(QStringLiteral("key%1_hl").arg(key), ratio);
}

QRect rectOf(const QJSValue &r)
{
    return QRect(r.property("x").toInt(), r.property("y").toInt(), r.property("width").toInt(),
                 r.property("height").toInt());
}

struct Button {
    QString view;
    QRect rect;
    QRect overlay;   // the canvas box the lit overlay covers
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
            const QJSValue a = b.property("anchor");
            buttons.append({b.property("view").toString(), rectOf(b.property("rect")),
                            rectOf(b.property("overlay")),
                            QPoint(a.property("x").toInt(), a.property("y").toInt())});
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
                overlays.append(litOverlay(k, 1));
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

    void litOverlaysLineUpWithTheBase_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("ratio");
        for (int k = 1; k <= buttons.size(); ++k)
            for (int ratio : {1, 2})
                QTest::addRow("key%d@%dx", k, ratio) << k << ratio;
    }

    void litOverlaysLineUpWithTheBase()
    {
        QFETCH(int, key);
        QFETCH(int, ratio);
        const Button &b = buttons.at(key - 1);
        const QImage base = mouseImage(b.view, ratio);
        const QImage lit = litOverlay(key, ratio);
        const QPoint origin = b.overlay.topLeft() * ratio;   // where the overlay goes on the base

        QCOMPARE(qAlpha(lit.pixel(b.anchor * ratio - origin)), 255);

        int opaque = 0, edge = 0;
        qint64 red[2] = {}, blue[2] = {};
        for (int y = 0; y < lit.height(); ++y) {
            for (int x = 0; x < lit.width(); ++x) {
                const QRgb q = lit.pixel(x, y);
                // The box ends where the glow has faded: it cuts nothing off.
                if (x == 0 || y == 0 || x == lit.width() - 1 || y == lit.height() - 1)
                    edge = qMax(edge, qAlpha(q));
                if (qAlpha(q) != 255)
                    continue;
                // Lit only where the base shows the mouse, and there the base
                // shows the shell's grey.
                const QRgb p = base.pixel(origin + QPoint(x, y));
                QVERIFY2(qAlpha(p) == 255, qPrintable(QStringLiteral("no base at %1,%2").arg(x).arg(y)));
                ++opaque;
                red[0] += qRed(p);
                blue[0] += qBlue(p);
                red[1] += qRed(q);
                blue[1] += qBlue(q);
            }
        }
        QVERIFY2(edge <= 2, qPrintable(QStringLiteral("alpha %1 at the border").arg(edge)));
        // The button fills a fair part of its bounds; lit, it is the accent
        // blue.
        const QSize size = b.rect.size() * ratio;
        QVERIFY(opaque > size.width() * size.height() / 3);
        QVERIFY(blue[1] > red[1] * 2);
        QVERIFY(blue[0] < red[0] * 5 / 4);
    }
};

QTEST_GUILESS_MAIN(TestSceneImages)
#include "tst_scene_images.moc"
