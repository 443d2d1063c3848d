// Item definitions: every kind of thing a mission can place, read from items.def at start-up.
// Placed items refer to a definition by its index in the table; mission files refer to it by
// its type number.
#pragma once

#include <cstddef>
#include <cstdint>

struct Model;      // gamedata/model.h
struct TextTable;  // core/text.h

// Field lengths fixed by the definition record (each includes the terminating NUL).
constexpr std::size_t kItemNameSize = 64;
constexpr std::size_t kItemBeginNameMax = 62;  // a `begin` name keeps at most this many chars
constexpr std::size_t kItemTableNameMax = 63;  // a name from the names table keeps this many
constexpr std::size_t kItemFileNameSize = 16;  // graphic, husk, chr_file, anim_def
constexpr std::size_t kItemFunctionSize = 12;  // ai_function, move_function
constexpr std::size_t kItemAmbientNameSize = 12;
constexpr int kItemAmbientSlots = 4;

// The `type` values. Stored as a plain 32-bit integer because mission files carry it.
constexpr std::int32_t kItemVehicle = 1;
constexpr std::int32_t kItemDecoration = 2;
constexpr std::int32_t kItemPerson = 3;
constexpr std::int32_t kItemMarker = 4;
constexpr std::int32_t kItemBuilding = 5;
constexpr std::int32_t kItemObject = 6;
constexpr std::int32_t kItemEffect = 8;

// Attribute bits (`attrib:` words). Low byte:
constexpr std::uint32_t kItemAttrGood = 0x0001;
constexpr std::uint32_t kItemAttrEvil = 0x0002;
constexpr std::uint32_t kItemAttrAiData = 0x0004;
constexpr std::uint32_t kItemAttrFo = 0x0008;
constexpr std::uint32_t kItemAttrMoveCb = 0x0010;
constexpr std::uint32_t kItemAttrPowerup = 0x0020;
constexpr std::uint32_t kItemAttrFlesh = 0x0040;
constexpr std::uint32_t kItemAttrNoAK = 0x0080;
// Second byte:
constexpr std::uint32_t kItemAttrDv1 = 0x0100;  // written " DV   " (three trailing spaces)
constexpr std::uint32_t kItemAttrSnap = 0x0200;
constexpr std::uint32_t kItemAttrPfoil = 0x0400;
constexpr std::uint32_t kItemAttrTrain = 0x0800;
constexpr std::uint32_t kItemAttrSnD = 0x1000;
constexpr std::uint32_t kItemAttrDv2 = 0x2000;  // written " DV    " (four trailing spaces)
// Definitions carrying either of these are left out of the item pick lists unless /SHOWALL.
constexpr std::uint32_t kItemAttrHiddenMask = kItemAttrDv1 | kItemAttrDv2;

struct ItemAmbient {
    char name[kItemAmbientNameSize];
    std::int32_t number;
};

// One item definition. Every field is zero until items.def sets it.
struct ItemDef {
    char name[kItemNameSize];         // `begin`, then replaced by the item name pass
    std::int32_t typeNumber;          // `id` minus 100000
    std::uint32_t attributes;         // kItemAttr* bits; only the low two bytes are used
    std::int32_t type;                // kItemVehicle ... kItemEffect
    char graphic[kItemFileNameSize];  // model file name
    char husk[kItemFileNameSize];     // destroyed-state model
    char chrFile[kItemFileNameSize];
    char animDef[kItemFileNameSize];
    Model* model;  // loaded on first use (gamedata/model.h); null until then
    char aiFunction[kItemFunctionSize];
    char moveFunction[kItemFunctionSize];
    std::int32_t hitPoints[2];
    std::int32_t phraseSet;
    std::int32_t faceSet;
    std::int32_t acceleration;  // file value x 1024
    std::int32_t turnRate;      // 1024ths of a full turn
    std::int32_t axleDistance;  // 16.16 fixed point
    ItemAmbient ambient[kItemAmbientSlots];
    std::int32_t interruptSound;
    std::int32_t extra;
    std::int32_t tm8Type;
};

// The item definition table: one block of the main pool, replaced as a whole on each load.
struct ItemDefTable {
    ItemDef* defs = nullptr;
    std::int32_t count = 0;
};
ItemDefTable& itemdef_Table();

// Forgets the table without releasing it (tests, after the pools were reset).
void itemdef_Reset();

// Releases the current table and takes a zeroed one of count definitions from the main pool
// ("Item Defs", alignment 16). Null, with an empty table, when the pool refuses. Used by the
// loader; tests use it to set up definitions directly.
ItemDef* itemdef_Allocate(std::int32_t count);

// Reads items.def (or the given name) through the file layer, in clear or scrambled form.
// 1 when the table was built (even when a bad line stopped the second pass), 0 when the main
// pool refused the table.
int itemdef_Load(const char* fileName = "items.def");

// Replaces each definition's name with its "KZ7 Item Names" entry, when it has one. names may
// be null.
void itemdef_NamePass(const TextTable* names);

// Index of the first definition whose name matches without regard to ASCII case; 0 when none.
std::int32_t itemdef_FindByName(const char* name);
// Index of the first definition with that type number; 0 when none or the table is empty.
std::int32_t itemdef_FindByType(std::int32_t typeNumber);

std::int32_t itemdef_Count();
// The definition at index; null when index is outside the table.
ItemDef* itemdef_At(std::int32_t index);

// Whether a definition belongs in the item pick lists (hidden ones only with /SHOWALL).
bool itemdef_Listed(const ItemDef& def, bool showAll);

// The conversions items.def values go through (exposed for the tools and tests).
// Degrees to 1024ths of a full turn: 90 gives 256, 360 gives 1024.
std::int32_t itemdef_TurnRateFromDegrees(std::int32_t degrees);
// The file's acceleration times 1024.
std::int32_t itemdef_AccelerationFromFile(std::int32_t value);

// The items.def word for a type value ("vehicle", ...), "" for none. For listings.
const char* itemdef_KindName(std::int32_t type);
