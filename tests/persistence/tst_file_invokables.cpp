// The controller's file operations as the scene reaches them: by name,
// with the scene's argument types, and with the file dialogs answered by a
// test double.

#include "deviceeventtexts.h"
#include "filedialogs.h"
#include "freshread.h"
#include "myqquickview.h"
#include "testmodules.h"

#include <QApplication>
#include <QFile>
#include <QMetaMethod>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>
#include <memory>

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

struct DialogCall
{
    QString kind, caption, dir, filter;
};

// Answers every dialog with `answer` and records how it was asked.
class ScriptedDialogs : public FileDialogs
{
public:
    explicit ScriptedDialogs(QList<DialogCall> *calls) : calls(calls) {}
    QString answer;

    QString openFileName(QWidget *, const QString &caption, const QString &dir,
                         const QString &filter) override
    {
        calls->append({"open", caption, dir, filter});
        return answer;
    }
    QString saveFileName(QWidget *, const QString &caption, const QString &dir,
                         const QString &filter) override
    {
        calls->append({"save", caption, dir, filter});
        return answer;
    }

private:
    QList<DialogCall> *calls;
};

// A view on a private copy of the runtime folder, with scripted dialogs.
struct Fixture
{
    TestModules modules;
    std::unique_ptr<myQQuickView> view;
    QList<DialogCall> calls;
    ScriptedDialogs *dialogs = nullptr;

    Fixture()
    {
        view = std::make_unique<myQQuickView>();
        auto scripted = std::make_unique<ScriptedDialogs>(&calls);
        dialogs = scripted.get();
        view->setFileDialogs(std::move(scripted));
    }

    // Calls an invokable by name with the arguments converted to its
    // parameter types, as the scene does; the result as a QVariant.
    QVariant invoke(const char *name, QVariantList args = {})
    {
        const QMetaObject *meta = view->metaObject();
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod method = meta->method(i);
            if (method.name() != name || method.parameterCount() != args.size())
                continue;
            QGenericArgument a[10];
            for (int p = 0; p < args.size(); ++p) {
                const QMetaType type = method.parameterMetaType(p);
                if (type.id() == QMetaType::QVariant) {
                    a[p] = QGenericArgument("QVariant", &args[p]);
                } else {
                    if (!args[p].convert(type))
                        return QVariant();
                    a[p] = QGenericArgument(type.name(), args[p].constData());
                }
            }
            const QMetaType returnType = method.returnMetaType();
            QVariant plain(returnType.id() == QMetaType::Void || returnType.id() == QMetaType::QVariant
                               ? QMetaType() : returnType, nullptr);
            QVariant wrapped;
            QGenericReturnArgument r;
            if (returnType.id() == QMetaType::QVariant)
                r = QGenericReturnArgument("QVariant", &wrapped);
            else if (returnType.id() != QMetaType::Void)
                r = QGenericReturnArgument(returnType.name(), plain.data());
            if (!method.invoke(view.get(), Qt::DirectConnection, r, a[0], a[1], a[2], a[3], a[4]))
                qWarning() << "invoke failed" << name;
            return returnType.id() == QMetaType::QVariant ? wrapped : plain;
        }
        qWarning() << "no invokable" << name;
        return QVariant();
    }
    template <typename R, typename... Args>
    R call(const char *name, Args... args)
    {
        return invoke(name, {QVariant::fromValue(args)...}).template value<R>();
    }
    template <typename... Args>
    bool run(const char *name, Args... args)
    {
        invoke(name, {QVariant::fromValue(args)...});
        return true;
    }

    QVariant profileValue(const char *key)
    {
        return call<QVariant>("getData", QVariant(key), false);
    }
};

void drainEvents()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

class TestFileInvokables : public QObject
{
    Q_OBJECT

private slots:
    void profileDialogs();
    void profileImportResetAndCopy();
    void macroOperationsByName();
    void macroDialogs();
    void nameListsRecoilAndAimByName();
    void languageByName();
};

void TestFileInvokables::profileDialogs()
{
    Fixture f;
    QVERIFY(f.modules.isValid());
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    const QByteArray before = f.modules.path("setting/p2.bin").isEmpty() ? QByteArray()
                                                                         : contents(f.modules.path("setting/p2.bin"));

    QVERIFY(!f.call<bool>("loadProfile", 1));
    QVERIFY(f.run("saveProfile", 1));
    QCOMPARE(f.calls.size(), 2);
    QCOMPARE(f.calls.at(0).kind, QStringLiteral("open"));
    QCOMPARE(f.calls.at(0).caption, QStringLiteral("Open File"));
    QCOMPARE(f.calls.at(0).filter, QStringLiteral("Profile(*.pf)"));
    QCOMPARE(f.calls.at(0).dir, desktop);
    QCOMPARE(f.calls.at(1).kind, QStringLiteral("save"));
    QCOMPARE(f.calls.at(1).caption, QStringLiteral("Save File"));
    QCOMPARE(f.calls.at(1).filter, QStringLiteral("Profile(*.pf)"));
    QCOMPARE(contents(f.modules.path("setting/p2.bin")), before);

    // Export over an existing file replaces it; a slot outside 0 to 9 asks nothing.
    const QString target = f.modules.root() + "/mine.pf";
    QVERIFY(writeFile(target, "[stale]\nkey=1\n"));
    f.dialogs->answer = target;
    QVERIFY(f.run("saveProfile", 1));
    QCOMPARE(contents(target), before);
    QVERIFY(writeFile(target, "[stale]\nkey=1\n"));
    QVERIFY(f.run("saveProfile", 10));
    QVERIFY(!f.call<bool>("loadProfile", -1));
    QCOMPARE(f.calls.size(), 3);
    QCOMPARE(contents(target), QByteArray("[stale]\nkey=1\n"));
}

void TestFileInvokables::profileImportResetAndCopy()
{
    Fixture f;
    const QString imported = f.modules.root() + "/import.pf";
    QVERIFY(writeFile(imported, "[mouse]\ndpiCount=4\nmouseRate=12\n"));
    f.dialogs->answer = imported;
    QVERIFY(f.call<bool>("loadProfile", 0));
    QCOMPARE(f.profileValue("mouse/dpiCount").toInt(), 4);
    QCOMPARE(contents(f.modules.path("setting/p1.bin")), contents(imported));

    // Importing the slot's own file keeps it.
    f.dialogs->answer = f.modules.path("setting/p1.bin");
    QVERIFY(f.call<bool>("loadProfile", 0));
    QCOMPARE(contents(f.modules.path("setting/p1.bin")), contents(imported));

    // A pending edit of the replaced object never reaches the new file.
    f.run("setData", QVariant("mouse/dpiCount"), QVariant(5));
    QVERIFY(f.run("resetProfile", 0));
    drainEvents();
    QCOMPARE(f.profileValue("mouse/dpiCount").toInt(), 6);
    QCOMPARE(contents(f.modules.path("setting/p1.bin")), contents(f.modules.path("setting/pD.bin")));

    f.run("setCurrentProfile", 3);
    f.run("setData", QVariant("mouse/mouseRate"), QVariant(33));
    QVERIFY(f.run("copyProfile", 0, 3));
    QCOMPARE(contents(f.modules.path("setting/p1.bin")), contents(f.modules.path("setting/p4.bin")));
    f.run("setCurrentProfile", 0);
    QCOMPARE(f.profileValue("mouse/mouseRate").toInt(), 33);

    const QByteArray p4 = contents(f.modules.path("setting/p4.bin"));
    QVERIFY(f.run("copyProfile", 3, 3));
    QVERIFY(f.run("copyProfile", 3, 12));
    QVERIFY(f.run("resetProfile", 10));
    QCOMPARE(contents(f.modules.path("setting/p4.bin")), p4);
}

void TestFileInvokables::macroOperationsByName()
{
    Fixture f;
    QCOMPARE(f.call<QVariant>("createMacroIni", QVariant("Macro_0"), QVariant(0)), QVariant(true));
    QCOMPARE(f.call<QVariant>("saveMacroIni", QVariant("Macro_0"), QStringList{"1,A", "0,50", "2,A"},
                              QVariant(3)),
             QVariant(true));
    QCOMPARE(f.call<QStringList>("loadMacroIni", QVariant("Macro_0")),
             (QStringList{"1,A", "0,50", "2,A", "3"}));
    QCOMPARE(FreshRead::read(f.modules.path("macro/Macro_0.bin"), "macro/0").text, QStringLiteral("1,A"));

    f.run("setData", QVariant("mouseMacroKey/2"), QVariant("Macro_0"));
    f.run("setDataList", QVariant("mouseKeyMatrix/2"), QVariantList{4, 0, 2, 0});
    QCOMPARE(f.call<QVariant>("modifyMacroNameUpdateProfile", QVariant("Macro_0"), QVariant("Jump")),
             QVariant(true));
    QCOMPARE(f.profileValue("mouseMacroKey/2").toString(), QStringLiteral("Jump"));

    QVERIFY(f.run("deleteMacroUpdateProfile", QVariant("Jump")));
    QCOMPARE(f.call<QVariantList>("mouseGetKeydefine", QVariant(2), false),
             f.call<QVariantList>("mouseGetKeydefine", QVariant(2), true));
    QCOMPARE(f.call<QVariant>("deleteMacroIni", QVariant("Jump")), QVariant(true));
    QCOMPARE(f.call<QVariant>("deleteMacroIni", QVariant("Jump")), QVariant(false));
    QVERIFY(f.call<QStringList>("loadMacroIni", QVariant("Jump")).isEmpty());

    QCOMPARE(f.call<QVariant>("createMacroIni", QVariant("../../escape"), QVariant(0)), QVariant(false));
    QVERIFY(!QFile::exists(f.modules.root() + "/escape.bin"));
}

void TestFileInvokables::macroDialogs()
{
    Fixture f;
    QVERIFY(!f.call<bool>("loadMacroFile", QVariant("Macro_1")));
    QCOMPARE(f.calls.size(), 1);
    QCOMPARE(f.calls.at(0).caption, QStringLiteral("Open File"));
    QCOMPARE(f.calls.at(0).filter, QStringLiteral("Macro(*.mc)"));

    const QString source = f.modules.root() + "/in.mc";
    QVERIFY(writeFile(source, "[config]\ntotal=1\nrepeat=2\n[macro]\n0=\"1,Q\"\n"));
    f.dialogs->answer = source;
    QVERIFY(f.call<bool>("loadMacroFile", QVariant("Macro_1")));
    QCOMPARE(f.call<QStringList>("loadMacroIni", QVariant("Macro_1")), (QStringList{"1,Q", "2"}));

    // An unsafe name is refused before any dialog.
    QVERIFY(!f.call<bool>("loadMacroFile", QVariant("a/b")));
    QCOMPARE(f.calls.size(), 2);

    const QString target = f.modules.root() + "/out.mc";
    f.dialogs->answer = target;
    QVERIFY(f.run("saveMacroFile", QVariant("Macro_1")));
    QCOMPARE(f.calls.last().kind, QStringLiteral("save"));
    QCOMPARE(f.calls.last().caption, QStringLiteral("Save File"));
    QCOMPARE(f.calls.last().filter, QStringLiteral("Macro(*.mc)"));
    QCOMPARE(contents(target), contents(source));
}

void TestFileInvokables::nameListsRecoilAndAimByName()
{
    Fixture f;
    QCOMPARE(f.call<QVariant>("updataNameList", QVariant(0), QStringList{"Macro_0"}), QVariant(true));
    QCOMPARE(f.call<QVariantList>("getNameList", QVariant(0)),
             (QVariantList{QStringLiteral("Macro_0"), QStringLiteral("loadertolvik")}));
    QCOMPARE(f.call<QVariant>("updataNameList", QVariant(7), QStringList{"x"}), QVariant(true));
    QVERIFY(f.call<QVariantList>("getNameList", QVariant(7)).isEmpty());

    QCOMPARE(f.call<QVariantList>("getGunData", QVariant(0)).value(0).toString(), QStringLiteral("M416"));
    f.run("mouseSaveGundata", QVariant(0), QVariantList{"M416", "L-Click", 9, 0, 5, 0});
    QCOMPARE(f.call<QVariantList>("getGunData", QVariant(0)).value(4).toString(), QStringLiteral("5"));
    f.run("modifyGundata", QVariant(1), QVariantList{"Groza", "L-Click", 9, 0, 5, 0, "M416"});
    QVERIFY(f.call<QStringList>("getGunDataKey").contains("Groza"));
    f.run("mouseSaveGundata", QVariant(1), QVariantList{"AKM"});
    QCOMPARE(f.call<QVariantList>("getGunData", QVariant(1)).size(), 6);

    f.run("setCurrentProfile", 2);
    QCOMPARE(f.call<QVariant>("getXYSensitive", QVariant(1)).toInt(), 4);
    QCOMPARE(f.call<QVariant>("getselectGun", QVariant(0)), QVariant(QString()));
    f.run("setXYSensitive", QVariant(1), QVariant(7));
    f.run("setSelectGun", QVariant(0), QVariant("AKM"));
    QCOMPARE(f.call<QVariant>("getXYSensitive", QVariant(1)).toInt(), 7);
    QCOMPARE(f.call<QVariant>("getselectGun", QVariant(0)).toString(), QStringLiteral("AKM"));
    f.run("setCurrentProfile", 0);
    QCOMPARE(f.call<QVariant>("getXYSensitive", QVariant(1)).toInt(), 4);
}

void TestFileInvokables::languageByName()
{
    Fixture f;
    deviceEventTexts().reset();
    const QStringList other = f.call<QStringList>("getLangStrings", QString("other"), QString("ChineseSimplified"));
    QCOMPARE(other.size(), 8);
    QCOMPARE(deviceEventTexts().at(0), other.at(0));
    QCOMPARE(deviceEventTexts().at(7), other.at(7));
    QCOMPARE(f.call<QStringList>("getLangStrings", QString("keyCode"), QString("English")).size(), 133);
    deviceEventTexts().reset();
}

int main(int argc, char **argv)
{
    int exitCode = 1;
    if (FreshRead::handle(argc, argv, &exitCode))
        return exitCode;
    QApplication app(argc, argv);
    TestFileInvokables test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_file_invokables.moc"
