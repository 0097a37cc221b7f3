#include "autoprofiles.h"

#include "fileops.h"

#include <QFile>
#include <QStringConverter>

namespace autoprofiles {

namespace {
const QString mainGroup = QStringLiteral("autoProfiles");
const QString programsGroup = QStringLiteral("programs");

std::optional<int> slotFromText(const QString &text)
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (!ok || number < 1 || number > SlotCount)
        return std::nullopt;
    return number - 1;
}

bool fail(QString *why, const QString &text)
{
    if (why)
        *why = text;
    return false;
}
} // namespace

const Rule *Rules::find(const QString &program) const
{
    for (const Rule &rule : rules)
        if (rule.program.compare(program, Qt::CaseInsensitive) == 0)
            return &rule;
    return nullptr;
}

bool Rules::add(const QString &program, int slot, QString *why)
{
    if (!isValidProgram(program))
        return fail(why, QStringLiteral("'%1' cannot be a program name").arg(program));
    if (slot < 0 || slot >= SlotCount)
        return fail(why, QStringLiteral("no profile %1").arg(slot + 1));
    for (Rule &rule : rules) {
        if (rule.program.compare(program, Qt::CaseInsensitive) == 0) {
            rule = {program, slot};
            return true;
        }
    }
    rules.append({program, slot});
    return true;
}

bool Rules::remove(const QString &program, int slot)
{
    for (qsizetype i = 0; i < rules.size(); ++i) {
        if (rules[i].slot == slot && rules[i].program.compare(program, Qt::CaseInsensitive) == 0) {
            rules.removeAt(i);
            return true;
        }
    }
    return false;
}

bool Rules::operator==(const Rules &other) const
{
    if (enabled != other.enabled || fallback != other.fallback || rules.size() != other.rules.size())
        return false;
    for (qsizetype i = 0; i < rules.size(); ++i)
        if (rules[i].program != other.rules[i].program || rules[i].slot != other.rules[i].slot)
            return false;
    return true;
}

bool isValidProgram(const QString &name)
{
    if (name.trimmed().isEmpty() || name != name.trimmed() || name.size() > 255)
        return false;
    if (name.startsWith(u'[') || name.startsWith(u';') || name.startsWith(u'#'))
        return false;
    for (const QChar c : name)
        if (c == u'=' || c.category() == QChar::Other_Control || c == QChar::ReplacementCharacter)
            return false;
    return true;
}

std::optional<Rules> parse(const QByteArray &bytes, QString *why)
{
    auto decoder = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    if (decoder.hasError()) {
        fail(why, QStringLiteral("not UTF-8 text"));
        return std::nullopt;
    }
    Rules rules;
    QString group;
    bool sawEnabled = false, sawFallback = false;
    int lineNumber = 0;
    for (QString line : text.split(u'\n')) {
        ++lineNumber;
        line = line.trimmed();
        const auto bad = [&](const QString &what) {
            fail(why, QStringLiteral("line %1: %2").arg(lineNumber).arg(what));
            return std::nullopt;
        };
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']'))
                return bad(QStringLiteral("malformed group"));
            group = line.mid(1, line.size() - 2).trimmed();
            if (group != mainGroup && group != programsGroup)
                return bad(QStringLiteral("unknown group [%1]").arg(group));
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            return bad(QStringLiteral("not a key=value line"));
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (group == mainGroup && key == QLatin1String("enabled") && !sawEnabled) {
            if (value != QLatin1String("true") && value != QLatin1String("false"))
                return bad(QStringLiteral("enabled must be true or false"));
            rules.enabled = value == QLatin1String("true");
            sawEnabled = true;
        } else if (group == mainGroup && key == QLatin1String("fallback") && !sawFallback) {
            if (!value.isEmpty()) {
                const std::optional<int> slot = slotFromText(value);
                if (!slot)
                    return bad(QStringLiteral("fallback must be a profile 1 to %1").arg(SlotCount));
                rules.fallback = *slot;
            }
            sawFallback = true;
        } else if (group == programsGroup) {
            const std::optional<int> slot = slotFromText(value);
            if (!slot || !isValidProgram(key))
                return bad(QStringLiteral("'%1' is not a program tied to a profile 1 to %2").arg(line).arg(SlotCount));
            if (rules.find(key))
                return bad(QStringLiteral("'%1' is tied twice").arg(key));
            rules.rules.append({key, *slot});
        } else {
            return bad(QStringLiteral("unknown or repeated key '%1'").arg(key));
        }
    }
    return rules;
}

QByteArray serialize(const Rules &rules)
{
    QString text = QLatin1Char('[') + mainGroup + QLatin1String("]\n");
    text += QStringLiteral("enabled=%1\n").arg(rules.enabled ? QLatin1String("true") : QLatin1String("false"));
    text += QStringLiteral("fallback=%1\n").arg(rules.fallback >= 0 ? QString::number(rules.fallback + 1) : QString());
    if (!rules.rules.isEmpty()) {
        text += QLatin1Char('[') + programsGroup + QLatin1String("]\n");
        for (const Rule &rule : rules.rules)
            text += rule.program + QLatin1Char('=') + QString::number(rule.slot + 1) + QLatin1Char('\n');
    }
    return text.toUtf8();
}

int slotFor(const Rules &rules, const Window &window)
{
    for (const QString &name : {window.program, window.instance, window.wmClass}) {
        if (name.isEmpty())
            continue;
        if (const Rule *rule = rules.find(name))
            return rule->slot;
    }
    return rules.fallback;
}

Loaded load(const QString &path)
{
    Loaded result;
    QFile file(path);
    if (!file.exists())
        return result;
    result.state = State::Damaged;
    if (file.size() > MaxFileBytes) {
        result.why = QStringLiteral("larger than %1 KiB").arg(MaxFileBytes / 1024);
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.why = file.errorString();
        return result;
    }
    const QByteArray bytes = file.read(MaxFileBytes + 1);
    if (bytes.size() > MaxFileBytes) {
        result.why = QStringLiteral("larger than %1 KiB").arg(MaxFileBytes / 1024);
        return result;
    }
    if (std::optional<Rules> rules = parse(bytes, &result.why)) {
        result.rules = *rules;
        result.state = State::Loaded;
    }
    return result;
}

bool save(const QString &path, const Rules &rules, QString *why)
{
    return fileops::writeChecked(path, serialize(rules), true, why);
}

QString defaultPath()
{
    return QStringLiteral("./modules/setting/autoProfiles.bin");
}

} // namespace autoprofiles

namespace autoprofiles {

bool change(const QString &path, int currentSlot, const std::function<bool(Rules &, QString *)> &edit,
            QString *why)
{
    Loaded loaded = load(path);
    Rules rules = loaded.state == State::Loaded ? loaded.rules : Rules();
    if (loaded.state != State::Loaded && currentSlot >= 0 && currentSlot < SlotCount)
        rules.fallback = currentSlot;
    if (!edit(rules, why))
        return false;
    return save(path, rules, why);
}

} // namespace autoprofiles
