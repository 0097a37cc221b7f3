#include "pointersettings.h"

#include <gio/gio.h>

namespace {

// GNOME keeps the pointer speed and (since GNOME 42) the double-click time
// here; older desktops kept the double-click time in the settings daemon's
// schema. Wheel scroll lines have no desktop-wide value.
constexpr const char *mouseSchema = "org.gnome.desktop.peripherals.mouse";
constexpr const char *legacyMouseSchema = "org.gnome.settings-daemon.peripherals.mouse";
constexpr const char *speedKey = "speed";
constexpr const char *doubleClickKey = "double-click";

// Whether an installed schema of that id has key.
bool schemaHasKey(const char *schemaId, const char *key)
{
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    if (!source)
        return false;
    GSettingsSchema *schema = g_settings_schema_source_lookup(source, schemaId, TRUE);
    if (!schema)
        return false;
    const bool hasKey = g_settings_schema_has_key(schema, key);
    g_settings_schema_unref(schema);
    return hasKey;
}

// A GSettings object for the schema that holds key, or null when no
// installed schema has it (g_settings_new would abort on a missing schema).
GSettings *settingsWithKey(const char *schemaId, const char *key)
{
    return schemaHasKey(schemaId, key) ? g_settings_new(schemaId) : nullptr;
}

bool writeValue(const char *const *schemaIds, const char *key, GVariant *value)
{
    g_variant_ref_sink(value);
    bool written = false;
    for (const char *const *id = schemaIds; *id && !written; ++id) {
        GSettings *settings = settingsWithKey(*id, key);
        if (!settings)
            continue;
        written = g_settings_set_value(settings, key, value);
        g_settings_sync();
        g_object_unref(settings);
    }
    g_variant_unref(value);
    return written;
}

class DesktopPointerSettings : public PointerSettings
{
public:
    bool setMouseSpeed(unsigned speed) override
    {
        static const char *const schemas[] = {mouseSchema, nullptr};
        return writeValue(schemas, speedKey,
                          g_variant_new_double(pointervalues::desktopSpeed(speed)));
    }

    bool setDoubleClickTime(unsigned milliseconds) override
    {
        static const char *const schemas[] = {mouseSchema, legacyMouseSchema, nullptr};
        return writeValue(schemas, doubleClickKey,
                          g_variant_new_int32(static_cast<gint32>(milliseconds)));
    }

    bool setWheelScrollLines(unsigned) override { return false; }

    bool has(Setting setting) const override
    {
        switch (setting) {
        case Setting::Speed:
            return schemaHasKey(mouseSchema, speedKey);
        case Setting::DoubleClickTime:
            return schemaHasKey(mouseSchema, doubleClickKey) || schemaHasKey(legacyMouseSchema, doubleClickKey);
        case Setting::WheelScrollLines:
            return false;
        }
        return false;
    }
};

} // namespace

std::unique_ptr<PointerSettings> createPointerSettings()
{
    return std::make_unique<DesktopPointerSettings>();
}
