#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

// The key-code table of the scene: the 133 USB usage codes it knows (keys,
// modifiers and the five mouse buttons), each with its built-in name, in
// table order. A language file may rename them position by position.
namespace keycodes {

struct Key
{
    std::uint8_t code;
    QString name;
};

const std::vector<Key> &table();

// The code of the first key of that name (the backslash, listed twice,
// gives 0x31); 0 for an unknown name.
std::uint8_t codeOf(QStringView name);
// The name of a code; empty for a code the table lacks.
QString nameOf(std::uint8_t code);

// Codes of the mouse buttons, after every keyboard code.
constexpr std::uint8_t firstMouseButton = 0xF0;
// The modifiers left Ctrl to right Win.
constexpr std::uint8_t firstModifier = 0xE0;
constexpr std::uint8_t lastModifier = 0xE7;

} // namespace keycodes
