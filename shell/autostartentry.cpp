#include "autostartentry.h"

#include "commandline.h"

#include <QList>

namespace autostartentry {
namespace {

// The escapes of a desktop entry's string values.
QString escapeValue(QString value)
{
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    value.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    value.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    value.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return value;
}

} // namespace

QString execArgument(const QString &programPath)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = false;
    for (QChar c : programPath)
        quote = quote || reserved.contains(c);
    QString argument;
    if (quote) {
        argument += QLatin1Char('"');
        for (QChar c : programPath) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$')
                || c == QLatin1Char('\\'))
                argument += QLatin1Char('\\');
            argument += c;
        }
        argument += QLatin1Char('"');
    } else {
        argument = programPath;
    }
    argument.replace(QLatin1Char('%'), QLatin1String("%%"));
    return escapeValue(argument);
}

QByteArray text(const QString &programPath)
{
    QString entry = QStringLiteral("[Desktop Entry]\n"
                                   "Type=Application\n"
                                   "Name=R770 Mouse Settings\n"
                                   "Comment=Settings of the BRAXTEL SOLVAR MOUSE R770\n"
                                   "Icon=com.braxtel.r770\n");
    // The option tells a start at login from one by the user.
    entry += QStringLiteral("Exec=") + execArgument(programPath) + QLatin1Char(' ')
             + QLatin1String(commandline::atLoginOption) + QLatin1Char('\n');
    // Makes the entry inert once the program is removed.
    entry += QStringLiteral("TryExec=") + escapeValue(programPath) + QLatin1Char('\n');
    entry += QStringLiteral("Terminal=false\n"
                            "X-GNOME-Autostart-enabled=true\n");
    return entry.toUtf8();
}

bool isActive(const QByteArray &entry)
{
    bool inMainGroup = false;
    for (QByteArray line : entry.split('\n')) {
        line = line.trimmed();
        if (line.startsWith('[')) {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const int eq = line.indexOf('=');
        if (!inMainGroup || eq < 0)
            continue;
        const QByteArray key = line.left(eq).trimmed();
        const QByteArray value = line.mid(eq + 1).trimmed();
        if ((key == "Hidden" && value == "true")
            || (key == "X-GNOME-Autostart-enabled" && value == "false"))
            return false;
    }
    return true;
}

} // namespace autostartentry
