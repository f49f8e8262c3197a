#include "platform/HotkeySystem.h"

bool HotkeySystem::isSupportedKey(int virtualKey) {
    return (virtualKey >= 48 && virtualKey <= 57) || (virtualKey >= 65 && virtualKey <= 90) ||
           (virtualKey >= 112 && virtualKey <= 123) || (virtualKey >= 33 && virtualKey <= 36) || virtualKey == 45;
}
