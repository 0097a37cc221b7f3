#include "inputhook.h"

// Placeholder until the capture lands: nothing is installed.

InputHook::InputHook(bool nonUsHash) : useNonUsHash(nonUsHash) {}
InputHook::~InputHook() = default;
bool InputHook::installHooks() { return false; }
void InputHook::removeHooks() {}
void InputHook::setKeyboardCallback(KeyboardCallback, void *) {}
void InputHook::setMouseCallback(MouseCallback, void *) {}
void InputHook::setCopyDataCallback(CopyDataCallback, QCoreApplication *, void *) {}
