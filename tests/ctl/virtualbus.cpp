#include "virtualbus.h"
#include "hexbytes.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace virtualbus {

namespace {

QByteArray bytesOf(const QJsonValue &value)
{
    return QByteArray::fromHex(value.toString().toLatin1());
}

// Writes every state field into a JSON object.
struct Writer
{
    QJsonObject json;
    void operator()(const char *name, uint8_t &value) { json.insert(QLatin1String(name), value); }
    template <size_t N>
    void operator()(const char *name, std::array<uint8_t, N> &value)
    {
        json.insert(QLatin1String(name), hexBytes(value));
    }
    template <size_t N, size_t M>
    void operator()(const char *name, std::array<std::array<uint8_t, N>, M> &value)
    {
        QJsonArray list;
        for (auto &row : value)
            list << hexBytes(row);
        json.insert(QLatin1String(name), list);
    }
    void operator()(const char *name, std::map<uint8_t, vr770::Bytes> &value)
    {
        QJsonObject map;
        for (auto &[type, block] : value)
            map.insert(QString::number(type), hexBytes(block));
        json.insert(QLatin1String(name), map);
    }
};

// Takes the fields a JSON object names; the others stay.
struct Reader
{
    const QJsonObject &json;
    void operator()(const char *name, uint8_t &value)
    {
        if (json.contains(QLatin1String(name)))
            value = uint8_t(json.value(QLatin1String(name)).toInt());
    }
    template <size_t N>
    void operator()(const char *name, std::array<uint8_t, N> &value)
    {
        if (json.contains(QLatin1String(name)))
            copy(bytesOf(json.value(QLatin1String(name))), value);
    }
    template <size_t N, size_t M>
    void operator()(const char *name, std::array<std::array<uint8_t, N>, M> &value)
    {
        const QJsonArray list = json.value(QLatin1String(name)).toArray();
        for (int i = 0; i < list.size() && size_t(i) < M; ++i)
            copy(bytesOf(list.at(i)), value[size_t(i)]);
    }
    void operator()(const char *name, std::map<uint8_t, vr770::Bytes> &value)
    {
        const QJsonObject map = json.value(QLatin1String(name)).toObject();
        for (auto it = map.begin(); it != map.end(); ++it) {
            const QByteArray block = bytesOf(it.value());
            value[uint8_t(it.key().toInt())] = vr770::Bytes(block.begin(), block.end());
        }
    }
    template <size_t N>
    static void copy(const QByteArray &from, std::array<uint8_t, N> &to)
    {
        for (size_t i = 0; i < N && int(i) < from.size(); ++i)
            to[i] = uint8_t(from.at(int(i)));
    }
};

template <typename Visitor>
void visit(vr770::MouseState &s, Visitor &v)
{
    v("reportRate", s.reportRate);
    v("currentKeyMatrix", s.currentKeyMatrix);
    v("keyboardOptions", s.keyboardOptions);
    v("gunData", s.gunData);
    v("liftOffStage", s.liftOffStage);
    v("liftOffEnable", s.liftOffEnable);
    v("currentDpi", s.currentDpi);
    v("fixedLedColor", s.fixedLedColor);
    v("ledEffect", s.ledEffect);
    v("ledEffectOption1", s.ledEffectOption1);
    v("ledEffectOption2", s.ledEffectOption2);
    v("ledStageColors", s.ledStageColors);
    v("dpiStageCount", s.dpiStageCount);
    v("dpiStageCodes", s.dpiStageCodes);
    v("keyMatrices", s.keyMatrices);
    v("macros", s.macros);
    v("currentProfile", s.currentProfile);
    v("profileReportRate", s.profileReportRate);
    v("profileDpi", s.profileDpi);
    v("keyMatrixBlocks", s.keyMatrixBlocks);
    v("profiles", s.profiles);
}

const std::map<QString, vr770::Call> calls = {{"open", vr770::Call::Open},
                                              {"sendFeatureReport", vr770::Call::SendFeatureReport},
                                              {"getFeatureReport", vr770::Call::GetFeatureReport},
                                              {"write", vr770::Call::Write},
                                              {"read", vr770::Call::Read}};

} // namespace

QJsonObject stateToJson(const vr770::MouseState &state)
{
    vr770::MouseState copy = state;
    Writer writer;
    visit(copy, writer);
    return writer.json;
}

void applyJson(vr770::MouseState &state, const QJsonObject &json)
{
    Reader reader{json};
    visit(state, reader);
}

bool setUp(const QString &path, std::vector<vr770::VirtualR770> &mice, QString *why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    const QJsonArray list = QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("mice")).toArray();
    for (const QJsonValue &value : list) {
        const QJsonObject m = value.toObject();
        vr770::MouseConfig config;
        if (m.value(QStringLiteral("commandSet")).toString() == QLatin1String("hid560"))
            config.commandSet = vr770::CommandSet::Hid560;
        config.scrambling = m.value(QStringLiteral("scrambling")).toBool(config.scrambling);
        config.secrecyCode = m.value(QStringLiteral("secrecyCode")).toString(QString::fromStdString(config.secrecyCode)).toStdString();
        vr770::VirtualR770 mouse = vr770::addMouse(config);
        if (!mouse.isValid()) {
            *why = QStringLiteral("invalid mouse configuration");
            return false;
        }
        vr770::MouseState state = mouse.state();
        applyJson(state, m.value(QStringLiteral("state")).toObject());
        mouse.setState(state);
        mouse.setOpenRefused(m.value(QStringLiteral("openRefused")).toBool());
        for (const QJsonValue &fault : m.value(QStringLiteral("failCalls")).toArray()) {
            const QJsonObject f = fault.toObject();
            const auto call = calls.find(f.value(QStringLiteral("call")).toString());
            if (call == calls.end()) {
                *why = QStringLiteral("unknown fault ") + QString::fromUtf8(QJsonDocument(f).toJson());
                return false;
            }
            mouse.failCall(vr770::Interface::Command, call->second, f.value(QStringLiteral("nth")).toInt(1));
        }
        mice.push_back(mouse);
    }
    return true;
}

bool writeLog(const QString &path, const std::vector<vr770::VirtualR770> &mice)
{
    QJsonArray list;
    for (const vr770::VirtualR770 &mouse : mice) {
        QJsonArray frames;
        for (const vr770::Bytes &frame : mouse.receivedFrames())
            frames << hexBytes(frame);
        list << QJsonObject{{QStringLiteral("frames"), frames},
                            {QStringLiteral("transfers"), int(mouse.transfers().size())},
                            {QStringLiteral("state"), stateToJson(mouse.state())}};
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly)
           && file.write(QJsonDocument(QJsonObject{{QStringLiteral("mice"), list}}).toJson()) >= 0;
}

} // namespace virtualbus
