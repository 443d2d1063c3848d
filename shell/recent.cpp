#include "shell/recent.h"

#include "platform/ui.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

std::string recent_Normal(const std::string& path) {
    if (path.empty()) return {};
    std::error_code ec;
    fs::path p = fs::absolute(fs::path(path), ec);
    if (!ec) p = fs::weakly_canonical(p, ec);
    if (ec) {
        ec.clear();
        p = fs::absolute(fs::path(path), ec);
        if (ec) p = fs::path(path);
        p = p.lexically_normal();
    }
    return p.string();
}

void recent_Remove(std::vector<std::string>& list, const std::string& path) {
    const std::string key = recent_Normal(path);
    list.erase(std::remove_if(list.begin(), list.end(), [&](const std::string& e) { return recent_Normal(e) == key; }),
               list.end());
}

void recent_Add(std::vector<std::string>& list, const std::string& path) {
    const std::string key = recent_Normal(path);
    if (key.empty()) return;
    recent_Remove(list, key);
    list.insert(list.begin(), key);
    if (list.size() > std::size_t(kRecentMax)) list.resize(std::size_t(kRecentMax));
}

std::vector<std::string> recent_Load() {
    const std::vector<std::string> kept = platform().settings().list(kRecentSettingsList);
    // Oldest first, so each newer entry goes in front of the older ones. Only absolute paths
    // are the list's: anything else was not written by the editor.
    std::vector<std::string> list;
    std::size_t dropped = 0;
    for (auto it = kept.rbegin(); it != kept.rend(); ++it) {
        if (fs::path(*it).is_absolute())
            recent_Add(list, *it);
        else
            ++dropped;
    }
    if (dropped > 0)
        std::fprintf(stderr, "sortie: %zu entr%s of the recent files that %s not absolute paths %s ignored\n", dropped,
                     dropped == 1 ? "y" : "ies", dropped == 1 ? "is" : "are", dropped == 1 ? "was" : "were");
    return list;
}

void recent_Store(const std::vector<std::string>& list) { platform().settings().setList(kRecentSettingsList, list); }

bool recent_Note(const std::string& path) {
    const std::vector<std::string> was = recent_Load();
    std::vector<std::string> list = was;
    recent_Add(list, path);
    if (list == was) return false;
    recent_Store(list);
    return true;
}
