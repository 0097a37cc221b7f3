#include "testmodules.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

static bool copyTree(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + source.mid(from.size());
        if (it.fileInfo().isDir()) {
            if (!QDir().mkpath(target))
                return false;
        } else if (!QFile::copy(source, target)) {
            return false;
        }
    }
    return true;
}

TestModules::TestModules()
{
    if (!dir.isValid())
        return;
    ok = true;
    for (const char *sub : {"setting", "macro", "gun", "i18n"}) {
        const QString name = QString::fromLatin1(sub);
        ok = ok && copyTree(sourceModules() + '/' + name, dir.path() + "/modules/" + name);
    }
    previousCurrent = QDir::currentPath();
    ok = ok && QDir::setCurrent(dir.path());
}

TestModules::~TestModules()
{
    if (!previousCurrent.isEmpty())
        QDir::setCurrent(previousCurrent);
}

QString TestModules::path(const QString &relative) const
{
    return dir.path() + "/modules/" + relative;
}

QString TestModules::sourceModules()
{
    return QStringLiteral(R770_SOURCE_MODULES);
}

QStringList longMacroSteps()
{
    QStringList steps{"1,A"};
    for (int i = 0; i < 200; ++i)
        steps << "0,1";
    steps << "2,A";
    for (int i = 0; i < 49; ++i)
        steps << "1,B" << "2,B";
    return steps;
}
