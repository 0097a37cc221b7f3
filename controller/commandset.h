#pragma once

// The two command sets of the mouse family. Operations with two variants
// pick one by the configured chip type ("560" selects hid560).
enum class CommandSet { hid553, hid560 };
