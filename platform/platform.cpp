#include "platform/console_platform.h"
#include "platform/ui.h"

namespace {

Platform* g_platform = nullptr;

Platform& defaultPlatform() {
    static ConsolePlatform console;
    return console;
}

}  // namespace

Platform& platform() { return g_platform ? *g_platform : defaultPlatform(); }

void platform_Set(Platform* p) { g_platform = p; }

MsgAnswer ui_MessageBox(std::string_view text, std::string_view caption, MsgIcon icon,
                        MsgButtons buttons) {
    return platform().messageBox(text, caption, icon, buttons);
}
