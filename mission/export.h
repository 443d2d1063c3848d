// The binary mission: the game-ready form of a page. One little-endian file of fixed-size
// records: a header, the items split into four sections by kind, the waypoint, group and
// wav tables, and the events flattened into an event table plus all trigger and action rows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Mission;

// Record sizes and the fixed table lengths of the file.
constexpr std::size_t kBmsHeaderSize = 520;
constexpr std::size_t kBmsItemSize = 96;
constexpr std::size_t kBmsWaypointSize = 136;
constexpr std::size_t kBmsGroupSize = 32;
constexpr std::size_t kBmsWavSize = 20;
constexpr std::size_t kBmsEventSize = 24;
constexpr std::size_t kBmsRowSize = 32;
constexpr int kBmsWaypoints = 128;
constexpr int kBmsGroups = 64;
constexpr int kBmsWavs = 32;
constexpr int kBmsWaypointPoints = 32;
// The file of a mission with nothing in it.
constexpr std::size_t kBmsEmptySize =
    kBmsHeaderSize + kBmsWaypoints * kBmsWaypointSize + kBmsGroups * kBmsGroupSize + kBmsWavs * kBmsWavSize + 12;

// What the game accepts per item section.
constexpr int kBmsMaxDecor = 1024;
constexpr int kBmsMaxMarkers = 512;
constexpr int kBmsMaxPersons = 256;
constexpr int kBmsMaxItems = 1024;

// The sunset values the header carries (copied from the loaded sunset table).
struct BmsSky {
    char clouds[16] = {};
    char skygrad[16] = {};
    std::int32_t skyheight = 0;
    std::int32_t horizon = 0;  // 16.16 fixed point
    std::uint8_t gamma = 0, sat = 0, r = 0, g = 0, b = 0;
};

// Writes the page as a binary mission. A copy of the page's tables is sorted by type and
// waypoint number, and its waypoint paths and each event's first-row indices are worked out
// from that copy; the page itself is left as it is. Section limits are warned about through
// message boxes and cut. Written to a temporary file beside path and renamed into place: 1
// on success, 0 when the file could not be written (the previous file, if any, is untouched).
int mission_ExportBinary(const Mission& m, const char* path);
// As above with the sky values given (null: looked up in the loaded sunset table).
int mission_ExportBinaryWithSky(const Mission& m, const char* path, const BmsSky* sky);
// The bytes mission_ExportBinary writes, without writing them (tests, benchmarks).
std::vector<std::uint8_t> mission_ExportBinaryBytes(const Mission& m, const BmsSky* sky);

// The sky values for a sunset number: the loaded sunset table's entry with that id, else its
// first entry, else all zero.
BmsSky export_SkyFor(std::int32_t sunsetNumber);

// ---------------------------------------------------------------------------------------
// Reading a binary mission back (sortie-cli dump-bms and tests). Every size is checked
// against the bytes at hand; a short or inconsistent file is refused with a message that
// says where it ends.

struct BmsHeader {
    std::uint8_t magic[4] = {};
    std::string name, designer, terrain, cnvFile, ttFile;
    std::int32_t terrainColor = 0, attrib = 0, visibleIf = 0, notvisibleIf = 0, arty = 0;
    std::int32_t waterLevel = 0, fogLevel = 0, fogColor = 0;
    std::int8_t defaultEquipment[4] = {};
    std::int32_t itemCount = 0, decorCount = 0, markerCount = 0, personCount = 0;
    std::int32_t eventCount = 0, weatherType = 0;
    std::int8_t subgoalsWin[4] = {}, subgoalsLose[4] = {};
    std::string clouds, skygrad;
    std::int32_t skyheight = 0, horizon = 0;
    std::uint8_t gamma = 0, sat = 0, r = 0, g = 0, b = 0;
    std::int32_t windSpeed = 0, windDirection = 0;
    std::string briefing;
};

struct BmsItem {
    std::int32_t typeId, nameIndex, id, bmsiAttributes, x, y, z, wpdistance;
    std::int32_t waccuracy, perception, perfectionist, edistances[2];
    std::int16_t heading, pitch, fov, movetimer, crouchtimer, shoottimer, attention;
    std::uint8_t alertState, team, nomorethan, nolessthan, weaponType, sweaponType, groupId;
    std::uint8_t waypointId, wpnumber, obliqueness, mapSymbol;
    std::int32_t groupRel, advancetimer, ttoolindex;
};

struct BmsWaypoint {
    std::int32_t attrib = 0, count = 0;
    std::int32_t markers[kBmsWaypointPoints] = {};
};

struct BmsGroup {
    std::int32_t flags = 0, commander = 0, fourth = 0;
};

struct BmsEvent {
    std::int32_t attrib, firstTrigger, firstAction;
    std::int16_t reset50, delay50;
    std::uint8_t triggerCount, actionCount;
};

struct BmsFile {
    BmsHeader header;
    std::vector<BmsItem> sections[4];  // items, decor, markers, persons
    BmsWaypoint waypoints[kBmsWaypoints];
    BmsGroup groups[kBmsGroups];
    std::string wavNames[kBmsWavs];
    std::int32_t eventTotal = 0, triggerTotal = 0, actionTotal = 0;
    std::vector<BmsEvent> events;
    std::vector<std::array<std::int32_t, 8>> triggers;
    std::vector<std::array<std::int32_t, 8>> actions;
};

// Parses size bytes at data. true on success; false with error saying what is missing and
// at which offset (or which count does not fit).
bool bms_Parse(const std::uint8_t* data, std::size_t size, BmsFile& out, std::string& error);

// One line per record, every field named (sortie-cli dump-bms).
std::string bms_Dump(const BmsFile& f);
