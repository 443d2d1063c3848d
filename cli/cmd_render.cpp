// sortie-cli render: a mission's map as the editor draws it, written as a PNG file.
#include "cli/cli.h"

#include "gamedata/model.h"
#include "mapview/render.h"
#include "mapview/view.h"
#include "mapview/gesture.h"
#include "mapview/zoom.h"
#include "mission/metafile.h"
#include "mission/mission.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: sortie-cli render MISSION.mis -o MAP.png [--size WxH] [--scale S] [--zoom Z | --fit]\n"
    "         [--center X,Y] [--mode color|elevation|edges] [--grid SIZE | --no-grid]\n"
    "         [--show LIST] [--select IDS] [--by type|side]\n"
    "\n"
    "Draws the map of MISSION.mis as the editor shows it in a map pane of WxH pixels\n"
    "(default 800x600) and writes it to MAP.png. The terrain, items.def and the models come\n"
    "from the data folder (--data). Without options the view is the editor's at start-up.\n"
    "\n"
    "  --scale S       device pixels per pane pixel, 0.25 to 8: the same view drawn at S\n"
    "                  times the resolution (a screen's pixel ratio; the PNG is S times\n"
    "                  as wide and high)\n"
    "  --zoom Z        map pixels per world unit (1/256 metre), 0.0001 to 1000\n"
    "  --fit           zoom and centre so that every item is on the map, with a margin\n"
    "  --center X,Y    world point at the centre, in 1/256 metre\n"
    "  --mode M        color (colour map), elevation or edges\n"
    "  --grid SIZE     grid spacing in 1/256 metre (131072 is 512 m); --no-grid hides it\n"
    "  --show LIST     comma-separated changes to what the map shows, applied in order to\n"
    "                  the start-up set: a word turns its layer on, -word turns it off;\n"
    "                  all, none, or a number (0x...) for the whole set. Words: vehicles,\n"
    "                  decorations, people, markers, buildings, objects, cones, areas,\n"
    "                  water, detail, teams and each team by the editor's word: neutral,\n"
    "                  blue, red, yellow, violet (good and evil are blue and red)\n"
    "  --select IDS    comma-separated item ids drawn as the selection\n"
    "  --by type|side  item colours by kind (default) or by team\n";

struct RenderArgs {
    std::string mission;
    std::string out;
    int width = 800, height = 600;
    float scale = 1.0f;
    bool fit = false;
    bool zoomGiven = false;
    float zoom = kZoomStartup;
    bool centreGiven = false;
    std::int32_t cx = 0, cy = 0;
    std::int32_t mode = kMapModeColour;
    bool grid = true;
    std::int32_t gridSize = kGridSizeStartup;
    std::uint32_t show = kShowFlagsStartup;
    std::vector<std::int32_t> select;
    std::int32_t viewBy = kViewByType;
};

bool usageError(const std::string& message) {
    std::fputs(kUsage, stderr);
    cli_Fail(kExitUsage, "render: " + message);
    return false;
}

template <typename T>
bool parseNumber(std::string_view text, T& value) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && p == end;
}

std::vector<std::string_view> splitCommas(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = text.find(',', start);
        const std::size_t end = comma == std::string_view::npos ? text.size() : comma;
        parts.push_back(text.substr(start, end - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return parts;
}

struct ShowWord {
    const char* word;
    std::uint32_t bits;
};
constexpr ShowWord kShowWords[] = {
    {"vehicles", kShowVehicles},
    {"decorations", kShowDecorations},
    {"people", kShowPeople},
    {"markers", kShowMarkers},
    {"buildings", kShowBuildings},
    {"objects", kShowObjects},
    {"cones", kShowCones},
    {"areas", kShowAreas},
    {"water", kShowWater},
    {"detail", kShowDetail},
    {"neutral", kShowTeamNeutral},
    {"blue", kShowTeamGood},
    {"red", kShowTeamEvil},
    {"yellow", kShowTeamYellow},
    {"violet", kShowTeamViolet},
    {"good", kShowTeamGood},
    {"evil", kShowTeamEvil},
    {"teams", kShowTeamNeutral | kShowTeamGood | kShowTeamEvil | kShowTeamYellow | kShowTeamViolet},
};

bool applyShow(std::string_view list, std::uint32_t& flags) {
    for (std::string_view word : splitCommas(list)) {
        if (word.empty()) return false;
        if (word == "all") {
            flags = 0xFFFFFFFFu;
            continue;
        }
        if (word == "none") {
            flags = 0;
            continue;
        }
        if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
            std::uint32_t v = 0;
            const char* end = word.data() + word.size();
            auto [p, ec] = std::from_chars(word.data() + 2, end, v, 16);
            if (ec != std::errc() || p != end) return false;
            flags = v;
            continue;
        }
        bool off = false;
        if (word[0] == '-') {
            off = true;
            word.remove_prefix(1);
        } else if (word[0] == '+') {
            word.remove_prefix(1);
        }
        const ShowWord* found = nullptr;
        for (const ShowWord& w : kShowWords)
            if (word == w.word) found = &w;
        if (!found) return false;
        flags = off ? (flags & ~found->bits) : (flags | found->bits);
    }
    return true;
}

bool parseArgs(const CliArgs& args, RenderArgs& a) {
    std::vector<std::string> files;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& s = args[i];
        if (!options || s == "--") {
            if (!options) files.push_back(s);
            options = false;
            continue;
        }
        const auto value = [&](std::string& v) {
            if (i + 1 >= args.size()) return false;
            v = args[++i];
            return true;
        };
        std::string v;
        if (s == "-o" || s == "--output") {
            if (!value(a.out)) return usageError("-o needs a file name");
        } else if (s == "--size") {
            if (!value(v)) return usageError("--size needs WxH");
            const std::size_t x = v.find('x');
            if (x == std::string::npos || !parseNumber(std::string_view(v).substr(0, x), a.width) ||
                !parseNumber(std::string_view(v).substr(x + 1), a.height) || a.width < 1 || a.height < 1 ||
                a.width > 16384 || a.height > kMapSurfaceMaxRows)
                return usageError("--size wants WxH, 1x1 to 16384x" + std::to_string(kMapSurfaceMaxRows) + ", not " +
                                  v);
        } else if (s == "--scale") {
            if (!value(v) || !parseNumber(std::string_view(v), a.scale) ||
                !(a.scale >= kMapScaleMin && a.scale <= kMapScaleMax))
                return usageError("--scale wants a number from 0.25 to 8");
        } else if (s == "--zoom") {
            if (!value(v) || !parseNumber(std::string_view(v), a.zoom) || !(a.zoom >= kZoomMin && a.zoom <= kZoomMax))
                return usageError("--zoom wants a number from 0.0001 to 1000");
            a.zoomGiven = true;
        } else if (s == "--fit") {
            a.fit = true;
        } else if (s == "--center" || s == "--centre") {
            const auto parts = value(v) ? splitCommas(v) : std::vector<std::string_view>{};
            if (parts.size() != 2 || !parseNumber(parts[0], a.cx) || !parseNumber(parts[1], a.cy))
                return usageError("--center wants X,Y in 1/256 metre");
            a.centreGiven = true;
        } else if (s == "--mode") {
            if (!value(v)) return usageError("--mode needs color, elevation or edges");
            if (v == "color" || v == "colour")
                a.mode = kMapModeColour;
            else if (v == "elevation")
                a.mode = kMapModeElevation;
            else if (v == "edges")
                a.mode = kMapModeEdges;
            else
                return usageError("--mode is color, elevation or edges, not " + v);
        } else if (s == "--grid") {
            if (!value(v) || !parseNumber(std::string_view(v), a.gridSize) || a.gridSize < 1)
                return usageError("--grid wants a spacing of at least 1 (1/256 metre)");
            a.grid = true;
        } else if (s == "--no-grid") {
            a.grid = false;
        } else if (s == "--show") {
            if (!value(v) || !applyShow(v, a.show)) return usageError("--show: cannot read the list " + v);
        } else if (s == "--select") {
            if (!value(v)) return usageError("--select needs item ids");
            for (std::string_view id : splitCommas(v)) {
                std::int32_t n = 0;
                if (!parseNumber(id, n)) return usageError("--select wants comma-separated item ids, not " + v);
                a.select.push_back(n);
            }
        } else if (s == "--by") {
            if (!value(v)) return usageError("--by needs type or side");
            if (v == "type")
                a.viewBy = kViewByType;
            else if (v == "side")
                a.viewBy = kViewBySide;
            else
                return usageError("--by is type or side, not " + v);
        } else if (s.size() > 1 && s[0] == '-') {
            return usageError("unknown option " + s);
        } else {
            files.push_back(s);
        }
    }
    if (files.size() != 1) return usageError("needs exactly one mission file");
    if (a.out.empty()) return usageError("needs -o MAP.png");
    if (a.fit && (a.zoomGiven || a.centreGiven)) return usageError("--fit chooses the zoom and centre itself");
    a.mission = files[0];
    return true;
}

}  // namespace

int cmd_Render(CliContext& ctx, const CliArgs& args) {
    if (cli_WantsHelp(args)) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    RenderArgs a;
    if (!parseArgs(args, a)) return kExitUsage;
    if (cli_OutputIsInput("render", a.mission, a.out)) return kExitUsage;
    if (cli_RefuseBinaryMission("render", a.mission)) return kExitBadInput;

    CliGameData data;
    if (!cli_LoadGameData(ctx, kCliDataTexts | kCliDataItems, data)) return kExitBadInput;
    if (!data.items)
        std::fprintf(stderr, "sortie-cli: render: no items.def under %s: items are drawn without models\n",
                     ctx.dataDir.c_str());

    auto page = std::make_unique<Mission>();
    const int errorsBefore = ctx.console ? ctx.console->errorCount() : 0;
    if (metafile_Read(*page, a.mission.c_str()) != 1) {
        if (!ctx.console || ctx.console->errorCount() == errorsBefore)
            std::fprintf(stderr, "%s: cannot be read as a mission metafile\n", a.mission.c_str());
        return kExitBadInput;
    }
    std::vector<std::int32_t> defs;
    for (std::int32_t i = 0; i < std::clamp(page->item_count, 0, kMaxItems); ++i)
        defs.push_back(mission_DefIndex(page->items[std::size_t(i)]));
    model_LoadForDefs(defs);

    ViewState view = view_StartupState();
    view.show_flags = a.show;
    view.map_mode = a.mode;
    view.grid_shown = a.grid ? 1 : 0;
    view.grid_size = a.gridSize;
    view.view_by = a.viewBy;
    if (a.zoomGiven) view.zoom = a.zoom;
    if (a.centreGiven) {
        view.center_x = a.cx;
        view.center_y = a.cy;
    }
    if (a.fit && !zoom_FitItems(*page, a.width, a.height, view))
        std::fprintf(stderr, "sortie-cli: render: %s has no items to fit; the start-up view is drawn\n",
                     a.mission.c_str());

    mission_ClearSelection(*page);
    for (std::int32_t id : a.select) {
        std::int32_t found = -1;
        for (std::int32_t i = 0; i < std::clamp(page->item_count, 0, kMaxItems) && found < 0; ++i)
            if (page->items[std::size_t(i)].id == id) found = i;
        if (found < 0)
            return cli_Fail(kExitBadInput, "render: " + a.mission + " has no item with id " + std::to_string(id));
        mission_Select(*page, found);
    }

    MapSurface surface;
    if (!mapsurface_Create(surface, a.width, a.height, a.scale))
        return cli_Fail(kExitBadInput,
                        "render: no memory for a " + std::to_string(a.width) + "x" + std::to_string(a.height) + " map");
    auto clipboard = std::make_unique<Mission>();
    render_Draw(surface, view, GestureState{}, *page, *clipboard);

    // The pane shows the bitmap's left part; the bitmap is up to 16 pane pixels wider.
    const int shownWidth = std::min(surface.width, int(std::ceil(double(a.width) * surface.scale)));
    if (!cli_WritePng(a.out, surface.bits.data(), shownWidth, surface.height, surface.stride / 4))
        return cli_Fail(kExitBadInput, "render: " + cli_CannotWrite(a.out));
    return kExitOk;
}
