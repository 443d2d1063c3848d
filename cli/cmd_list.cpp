// sortie-cli list: the editor's printed listings of a mission metafile, on standard output
// or into a file.
#include "cli/cli.h"

#include "core/file.h"
#include "logic/listings.h"
#include "mission/metafile.h"
#include "mission/mission.h"

#include <charconv>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: sortie-cli list events MISSION.mis [-o OUT.txt]\n"
    "       sortie-cli list event N MISSION.mis [-o OUT.txt]\n"
    "       sortie-cli list groups|waypoints|areas MISSION.mis [-o OUT.txt]\n"
    "\n"
    "Writes the listing the editor prints: all events, event N (counted from 0), the groups,\n"
    "the waypoint paths or the area triggers. The header names MISSION.mis as given and is\n"
    "dated now, or from SOURCE_DATE_EPOCH (UTC) when that is set. The wording comes from\n"
    "text.bin under the data folder (--data); point counts and the areas in use are worked\n"
    "out from the mission's markers, which needs items.def there too.\n"
    "-o writes the listing to a file (through a temporary beside it) instead of stdout.\n";

enum class Listing { Events, Event, Groups, Waypoints, Areas };

struct ListArgs {
    Listing listing = Listing::Events;
    int event = -1;
    std::string mission;
    std::string out;
};

bool parseListing(const std::string& word, Listing& listing) {
    if (word == "events")
        listing = Listing::Events;
    else if (word == "event")
        listing = Listing::Event;
    else if (word == "groups")
        listing = Listing::Groups;
    else if (word == "waypoints")
        listing = Listing::Waypoints;
    else if (word == "areas")
        listing = Listing::Areas;
    else
        return false;
    return true;
}

bool parseIndex(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && p == end;
}

// Prints the usage and the complaint; false, for parseArgs to return.
bool usageError(const std::string& message) {
    std::fputs(kUsage, stderr);
    cli_Fail(kExitUsage, message);
    return false;
}

// Fills a from the arguments; a usage message and false when they do not fit.
bool parseArgs(const CliArgs& args, ListArgs& a) {
    std::vector<std::string> words;
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& s = args[i];
        if (!options || s == "--") {
            if (!options) words.push_back(s);
            options = false;
        } else if (s == "-o" || s == "--output") {
            if (i + 1 >= args.size()) return usageError("list: -o needs a file name");
            a.out = args[++i];
        } else if (s.size() > 1 && s[0] == '-' && !(s[1] >= '0' && s[1] <= '9')) {
            return usageError("list: unknown option " + s);
        } else {
            words.push_back(s);
        }
    }
    if (words.empty() || !parseListing(words[0], a.listing)) {
        return usageError("list: say which listing: events, event N, groups, waypoints or areas");
    }
    std::size_t next = 1;
    if (a.listing == Listing::Event) {
        if (words.size() < 2 || !parseIndex(words[1], a.event)) {
            return usageError("list event: needs the event's number");
        }
        next = 2;
    }
    if (words.size() != next + 1) {
        return usageError("list: needs exactly one mission file");
    }
    a.mission = words[next];
    return true;
}

}  // namespace

int cmd_List(CliContext& ctx, const CliArgs& args) {
    if (cli_WantsHelp(args)) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    ListArgs a;
    if (!parseArgs(args, a)) return kExitUsage;
    if (!a.out.empty() && cli_OutputIsInput("list", a.mission, a.out)) return kExitUsage;
    if (cli_RefuseBinaryMission("list", a.mission)) return kExitBadInput;

    CliGameData data;
    if (!cli_LoadGameData(ctx, kCliDataTexts | kCliDataItems, data)) return kExitBadInput;
    if (!data.texts)
        std::fprintf(stderr, "sortie-cli: list: no text.bin under %s: the wording reads \"Bad Texttool String\"\n",
                     ctx.dataDir.c_str());

    auto m = std::make_unique<Mission>();
    MetafileReadOptions options;
    options.loadTerrain = false;  // a listing draws nothing
    const int errorsBefore = ctx.console ? ctx.console->errorCount() : 0;
    if (metafile_Read(*m, a.mission.c_str(), options) != 1) {
        // A bad line has been reported as FILE:LINE already.
        if (!ctx.console || ctx.console->errorCount() == errorsBefore)
            std::fprintf(stderr, "%s: cannot be read as a mission metafile\n", a.mission.c_str());
        return kExitBadInput;
    }
    const ListingStamp stamp = list_Stamp(a.mission, metafile_HeaderTime());
    std::ostringstream out;
    switch (a.listing) {
    case Listing::Events: list_WriteAllEvents(out, *m, stamp); break;
    case Listing::Event:
        if (!list_WriteEvent(out, *m, a.event, stamp))
            return cli_Fail(kExitBadInput, "list event: " + a.mission + " has no event " + std::to_string(a.event) +
                                               " (it has " + std::to_string(m->event_count) + ")");
        break;
    case Listing::Groups: list_WriteGroups(out, *m, stamp); break;
    case Listing::Waypoints: list_WriteWaypoints(out, *m, stamp); break;
    case Listing::Areas: list_WriteAreaTriggers(out, *m, stamp); break;
    }
    const std::string text = out.str();
    if (a.out.empty()) {
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
            return cli_Fail(kExitBadInput, "list: cannot write to standard output");
        return kExitOk;
    }
    if (!file_WriteAtomic(a.out, text.data(), text.size()))
        return cli_Fail(kExitBadInput, "list: " + cli_CannotWrite(a.out));
    return kExitOk;
}
