// The large sample mission: a whole valley of the greenvale terrain filled with forests,
// villages, patrols, convoys and supply dumps, for measuring the editor on a full page. Every
// section stays within what the binary export takes, so the export runs without warnings.
#include "data/tools/kit.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// A small deterministic generator (xorshift), the same on every machine.
struct Rng {
    std::uint32_t s;
    std::uint32_t next() {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return s;
    }
    int range(int lo, int hi) { return lo + static_cast<int>(next() % static_cast<std::uint32_t>(hi - lo + 1)); }
};

constexpr int kM = 256;

struct Item {
    int type;
    int x, y;  // metres on the terrain: x east 0..1023, y north -1023..0
    int heading = 0;
    int team = 0;
    int group = 0;
    int waypoint = 0;
    int wpnumber = 0;
    int layer = 0;
    int fov = 0;
    int weapon = 0;
    int nameIndex = 0;
};

void line(std::string& out, const char* fmt, auto... args) {
    char buf[256];
    std::snprintf(buf, sizeof buf, fmt, args...);
    out += buf;
    out += "\r\n";
}

}  // namespace

std::string kit_LargeMission(std::uint32_t seed, int total) {
    Rng rng{seed ? seed : 1};
    std::vector<Item> items;
    auto add = [&](Item it) { items.push_back(it); };

    // Shares of each binary-export section, kept under its limit.
    const int decorBudget = total * 1015 / 2800;  // decorations and buildings, at most 1024
    const int markerBudget = total * 500 / 2800;  // at most 512
    const int personBudget = total * 250 / 2800;  // at most 256
    const int itemBudget = total * 1020 / 2800;   // vehicles, objects, effects: at most 1024

    // Villages: buildings in clusters, with fences and monuments.
    const int villages[6][2] = {{200, -250}, {640, -300}, {820, -700}, {300, -760}, {520, -520}, {120, -900}};
    int decor = 0;
    for (const auto& v : villages) {
        for (int b = 0; b < 14; ++b)
            add({5001 + rng.range(0, 5), v[0] + rng.range(-60, 60), v[1] + rng.range(-60, 60), rng.range(0, 3) * 90});
        add({1042, v[0], v[1], 0});
        for (int f = 0; f < 8; ++f) add({1004, v[0] - 70 + f * 8, v[1] - 72, 90});
        decor += 23;
    }
    // Forests of pines and oaks, rocks on the hills, sandbags at the positions.
    while (decor < decorBudget) {
        const int cx = rng.range(40, 980), cy = -rng.range(40, 980);
        const int n = rng.range(10, 30);
        for (int t = 0; t < n && decor < decorBudget; ++t, ++decor) {
            const int r = rng.range(0, 9);
            const int type = r < 6 ? 1001 : r < 8 ? 1002 : r < 9 ? 1003 : 1005;
            add({type, cx + rng.range(-40, 40), cy + rng.range(-40, 40), rng.range(0, 359)});
        }
    }
    // Patrols: squads of people, each a group on its own waypoint path.
    int persons = 0, markers = 0, group = 1, path = 1;
    while (persons + 8 <= personBudget && group < 64 && path < 128) {
        const bool blue = group % 2 == 1;
        const int cx = rng.range(80, 940), cy = -rng.range(80, 940);
        const int size = rng.range(4, 8);
        for (int p = 0; p < size; ++p, ++persons) {
            Item it{blue ? 3001 + 2 * rng.range(0, 1) : 3002 + 2 * rng.range(0, 1),
                    cx + p * 3,
                    cy + rng.range(-4, 4),
                    rng.range(0, 359),
                    blue ? 1 : 2,
                    group};
            it.fov = 90 + 10 * rng.range(0, 6);
            it.weapon = rng.range(1, 4);
            it.nameIndex = rng.range(0, 15);
            it.waypoint = path;
            add(it);
        }
        const int points = rng.range(4, 12);
        for (int k = 0; k < points && markers < markerBudget - 20; ++k, ++markers) {
            // A path point stays on the terrain, inside its edge.
            const int px = cx + rng.range(-120, 120), py = cy + rng.range(-120, 120);
            Item wp{6005, std::clamp(px, -1020, 1020), std::clamp(py, -1020, 1020), 0};
            wp.waypoint = path;
            wp.wpnumber = k;
            add(wp);
        }
        ++group;
        ++path;
    }
    // Area triggers: two corner markers each.
    for (int a = 1; a <= 10; ++a, markers += 2) {
        const int cx = rng.range(100, 900), cy = -rng.range(100, 900);
        Item m1{6013, cx - 30, cy - 30, 0};
        m1.wpnumber = a;
        Item m2{6013, cx + 30, cy + 30, 0};
        m2.wpnumber = a;
        add(m1);
        add(m2);
    }
    // Start points and other markers fill the rest of the marker section.
    const int otherMarkers[] = {6001, 6003, 6002, 6004, 6090, 6091, 6094, 6096, 6097, 6098};
    while (markers < markerBudget) {
        add({otherMarkers[rng.range(0, 9)], rng.range(30, 990), -rng.range(30, 990), rng.range(0, 3) * 90});
        ++markers;
    }
    // Vehicles in convoys along the road, supply dumps of crates and drums.
    int others = 0;
    for (int c = 0; c < 12 && others < itemBudget; ++c)
        for (int v = 0; v < 8; ++v, ++others) {
            const int x = 40 + c * 80 + v * 9;
            add({2001 + rng.range(0, 5), x, -820 + x / 5, 75, (v % 2) ? 2 : 1});
        }
    const int dumpTypes[] = {4001, 4002, 4043, 4044, 4002, 4001};
    while (others < itemBudget) {
        const int cx = rng.range(50, 970), cy = -rng.range(50, 970);
        for (int d = 0; d < 20 && others < itemBudget; ++d, ++others)
            add({dumpTypes[rng.range(0, 5)], cx + (d % 5) * 2, cy + (d / 5) * 2, 0});
    }

    std::string out;
    line(out, "// mission metafile, saved on 6/1/2026, 12: 0");
    line(out, "");
    line(out, "");
    line(out, "begin general_information");
    line(out, "name \"Valley of a Thousand Trees\"");
    line(out, "designer \"Sortie sample kit\"");
    line(out, "terrain greenvale");
    line(out, "cnv_file valley");
    line(out, "tt_file valley");
    line(out, "terrain_color 0");
    line(out, "attrib %d", (1 << 24) | (1 << 29));
    line(out, "visible_if 0");
    line(out, "notvisible_if 0");
    line(out, "arty 3");
    line(out, "water_level 0");
    line(out, "fog_level 0");
    line(out, "fog_color 0");
    line(out, "weather_type 0");
    line(out, "lowest_elev 0");
    line(out, "num_items %d", static_cast<int>(items.size()));
    line(out, "num_events 2");
    line(out, "subgoals_win 5 1 -1 -1");
    line(out, "subgoals_lose 0 8 -1 -1");
    line(out, "sunset 3");
    line(out, "default_equipment 11 1 31 6");
    line(out, "wind 12 270");
    line(out, "wp_names_blue 0 0 0 0 0 0 0 0");
    line(out, "wp_names_red 0 0 0 0 0 0 0 0");
    line(out, "end general_information");
    line(out, "");
    for (int a = 1; a <= 10; ++a) {
        line(out, "begin areatrig %d", a);
        line(out, "description \"Sector %d\"", a);
        line(out, "color %d", a % 17);
        line(out, "end areatrig");
        line(out, "");
    }
    for (int w = 1; w < path; ++w) {
        line(out, "begin waypoint %d", w);
        line(out, "description \"Patrol %d\"", w);
        line(out, "color %d", w % 17);
        if (w % 3 == 0) line(out, "attrib 1");
        line(out, "end waypoint");
        line(out, "");
    }
    for (int g = 1; g < group; ++g) {
        line(out, "begin group %d", g);
        line(out, "description \"%s squad %d\"", g % 2 ? "Blue" : "Red", (g + 1) / 2);
        line(out, "end group");
        line(out, "");
    }
    line(out, "begin event 0");
    line(out, "name \"Blue squads wiped out\"");
    line(out, "begin triggers 1");
    line(out, "0 1 4 1 0 0 0 0");
    line(out, "end triggers");
    line(out, "begin actions 1");
    line(out, "0 9 0 0 0 0 0 0");
    line(out, "end actions");
    line(out, "end event");
    line(out, "");
    line(out, "begin event 1");
    line(out, "name \"Red squads wiped out\"");
    line(out, "begin triggers 1");
    line(out, "0 1 4 2 0 0 0 0");
    line(out, "end triggers");
    line(out, "begin actions 1");
    line(out, "0 8 0 0 0 0 0 0");
    line(out, "end actions");
    line(out, "end event");
    line(out, "");
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Item& it = items[i];
        line(out, "begin item %d", static_cast<int>(i));
        line(out, "id %d", static_cast<int>(i) + 1);
        line(out, "type_id %d", it.type);
        line(out, "position %d %d %d", it.x * kM, it.y * kM, 0);
        if (it.heading) line(out, "facing %d 0", it.heading);
        if (it.team) line(out, "team %d", it.team);
        if (it.nameIndex) line(out, "name_index %d", it.nameIndex);
        if (it.weapon) line(out, "weapon_type %d", it.weapon);
        if (it.group) line(out, "group_id %d", it.group);
        if (it.waypoint) line(out, "waypoint_id %d", it.waypoint);
        if (it.wpnumber) line(out, "wpnumber %d", it.wpnumber);
        if (it.fov) line(out, "fov %d", it.fov);
        line(out, "end item");
        line(out, "");
    }
    return out;
}
