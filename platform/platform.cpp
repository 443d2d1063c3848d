#include "platform/console_platform.h"
#include "platform/ui.h"

namespace {

Platform* g_platform = nullptr;
thread_local Platform* t_platform = nullptr;

Platform& defaultPlatform() {
    static ConsolePlatform console;
    return console;
}

}  // namespace

Platform& platform() {
    if (t_platform) return *t_platform;
    return g_platform ? *g_platform : defaultPlatform();
}

void platform_Set(Platform* p) { g_platform = p; }

void platform_SetForThread(Platform* p) { t_platform = p; }

MsgAnswer ui_MessageBox(std::string_view text, std::string_view caption, MsgIcon icon, MsgButtons buttons) {
    return platform().messageBox(text, caption, icon, buttons);
}

std::string ui_FilterExtension(const FileFilter& filter) {
    std::string ext = filter.pattern.substr(0, filter.pattern.find(';'));
    const std::size_t dot = ext.rfind('.');
    if (dot == std::string::npos) return {};
    ext = ext.substr(dot + 1);
    if (ext.find_first_of("*?") != std::string::npos) return {};
    return ext;
}

bool ui_SortsBefore(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); };
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = lower(a[i]), cb = lower(b[i]);
        if (ca != cb) return ca < cb;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;  // same letters: a fixed order between cases
}

int ui_SortedIndex(const std::vector<std::string>& texts, std::string_view text) {
    int i = 0;
    for (const std::string& t : texts) {
        if (ui_SortsBefore(text, t)) return i;
        ++i;
    }
    return i;
}

std::string ui_PathText(std::string_view path) {
    std::string out;
    out.reserve(path.size() + 2);
    out += kUiPathBegin;
    for (const char c : path) out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    out += kUiPathEnd;
    return out;
}

std::string ui_PlainText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    ui_ForEachPart(text, [&out](std::string_view part, bool) { out.append(part); });
    return out;
}
