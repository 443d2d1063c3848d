#include "gamedata/itemdef.h"

#include "core/mem.h"
#include "core/text.h"
#include "gamedata/defwords.h"
#include "core/parser.h"

#include <cstdio>
#include <cstring>
#include <limits>

namespace {

// The seed items.def is scrambled with when it is stored in its "SCR" form.
constexpr std::uint32_t kItemsDefSeed = 0x3C5E7A19;

struct AttributeWord {
    const char* word;
    std::uint32_t bit;
};

// The two " DV" words differ only in their trailing blanks; the file writes them in quotes.
constexpr AttributeWord kAttributeWords[] = {
    {"good", kItemAttrGood},     {"evil", kItemAttrEvil},       {"aidata", kItemAttrAiData}, {"fo", kItemAttrFo},
    {"movecb", kItemAttrMoveCb}, {"powerup", kItemAttrPowerup}, {"flesh", kItemAttrFlesh},   {"NoAK", kItemAttrNoAK},
    {" DV   ", kItemAttrDv1},    {"snap", kItemAttrSnap},       {"pfoil", kItemAttrPfoil},   {"train", kItemAttrTrain},
    {"S&D", kItemAttrSnD},       {" DV    ", kItemAttrDv2},
};

struct KindWord {
    const char* word;
    std::int32_t type;
};

constexpr KindWord kKindWords[] = {
    {"person", kItemPerson}, {"vehicle", kItemVehicle}, {"building", kItemBuilding}, {"decoration", kItemDecoration},
    {"marker", kItemMarker}, {"object", kItemObject},   {"effect", kItemEffect},
};

template <std::size_t N>
void setText(char (&field)[N], const char* value) {
    defs_CopyName(field, N, value, N - 1);
}

// The definition the second pass is filling, and the table it fills.
struct SecondPass {
    ItemDefTable* table;
    std::int32_t current = 0;
};

std::int32_t applyLine(SecondPass& pass, const LineTokens& line) {
    const char* key = line.at(0);
    const char* arg = line.at(1);

    if (defs_SameWord(key, "end")) {
        // Never step past the end of the table: surplus "end" lines would otherwise make
        // the following lines write behind the last definition.
        if (pass.current < pass.table->count) ++pass.current;
        return 0;
    }

    // Every other keyword acts on the current definition; beyond the table it is still
    // checked (an unknown word stays an error) but changes nothing.
    ItemDef* def = (pass.current < pass.table->count) ? &pass.table->defs[pass.current] : nullptr;
    ItemDef scratch{};
    ItemDef& d = def ? *def : scratch;

    if (defs_SameWord(key, "begin")) {
        defs_CopyName(d.name, sizeof d.name, arg, kItemBeginNameMax);
    } else if (defs_SameWord(key, "id")) {
        d.typeNumber = defs_Clamp32(std::int64_t{defs_ReadInt(arg)} - 100000);
    } else if (defs_SameWord(key, "graphic")) {
        setText(d.graphic, arg);
    } else if (defs_SameWord(key, "husk")) {
        setText(d.husk, arg);
    } else if (defs_SameWord(key, "chr_file")) {
        setText(d.chrFile, arg);
    } else if (defs_SameWord(key, "anim_def")) {
        setText(d.animDef, arg);
    } else if (defs_SameWord(key, "ai_function")) {
        setText(d.aiFunction, arg);
    } else if (defs_SameWord(key, "move_function")) {
        setText(d.moveFunction, arg);
    } else if (defs_SameWord(key, "acceleration")) {
        d.acceleration = itemdef_AccelerationFromFile(defs_ReadInt(arg));
    } else if (defs_SameWord(key, "turn_rate")) {
        d.turnRate = itemdef_TurnRateFromDegrees(defs_ReadInt(arg));
    } else if (defs_SameWord(key, "axle_dist")) {
        d.axleDistance = defs_Fixed16(defs_ReadDecimal(arg));
    } else if (defs_SameWord(key, "phrase_set")) {
        d.phraseSet = defs_ReadInt(arg);
    } else if (defs_SameWord(key, "face_set")) {
        d.faceSet = defs_ReadInt(arg);
    } else if (defs_SameWord(key, "interrupt_sound_id")) {
        d.interruptSound = defs_ReadInt(arg);
    } else if (defs_SameWord(key, "extra")) {
        d.extra = defs_ReadInt(arg);
    } else if (defs_SameWord(key, "tm8type")) {
        d.tm8Type = defs_ReadInt(arg);
    } else if (defs_SameWord(key, "hp")) {
        d.hitPoints[0] = defs_ReadInt(arg);
        if (line.count > 2) d.hitPoints[1] = defs_ReadInt(line.at(2));
    } else if (defs_SameWord(key, "type")) {
        for (const auto& k : kKindWords)
            if (defs_SameWord(arg, k.word)) {
                d.type = k.type;
                break;
            }
    } else if (defs_SameWord(key, "attrib:")) {
        for (int i = 1; i < line.count; ++i)
            for (const auto& a : kAttributeWords)
                if (defs_SameWord(line.at(i), a.word)) {
                    d.attributes |= a.bit;
                    break;
                }
    } else if (defs_SameWord(key, "ambient")) {
        for (auto& slot : d.ambient)
            if (slot.name[0] == '\0') {
                setText(slot.name, arg);
                if (line.count > 2) slot.number = defs_ReadInt(line.at(2));
                break;
            }
    } else {
        return 1;
    }
    return 0;
}

ItemDefTable gTable;

}  // namespace

std::int32_t itemdef_TurnRateFromDegrees(std::int32_t degrees) {
    // Degrees to 65536ths of a turn (truncated toward zero), then down to 1024ths with an
    // arithmetic shift, which rounds toward minus infinity. 64-bit, so large values cannot
    // overflow on the way.
    std::int64_t sixteenths = std::int64_t{degrees} * 65536 / 360;
    return defs_Clamp32(sixteenths >> 6);
}

std::int32_t itemdef_AccelerationFromFile(std::int32_t value) { return defs_Clamp32(std::int64_t{value} * 1024); }

ItemDefTable& itemdef_Table() { return gTable; }

void itemdef_Reset() { gTable = ItemDefTable{}; }

ItemDef* itemdef_Allocate(std::int32_t count) {
    if (gTable.defs) mem_Free(gTable.defs);
    gTable = ItemDefTable{};
    if (count <= 0) return nullptr;
    if (static_cast<std::uint64_t>(count) * sizeof(ItemDef) > std::numeric_limits<std::uint32_t>::max()) return nullptr;
    auto bytes = static_cast<std::uint32_t>(count * sizeof(ItemDef));
    void* block = mem_GetMemEx(bytes, 16, 0, "Item Defs");
    if (!block) return nullptr;
    std::memset(block, 0, bytes);
    gTable.defs = static_cast<ItemDef*>(block);
    gTable.count = count;
    return gTable.defs;
}

int itemdef_Load(const char* fileName) {
    // Release the previous table first: a failed load leaves no stale definitions behind.
    itemdef_Allocate(0);

    // First pass: count the definitions. Nothing here is an error.
    std::int32_t begins = 0;
    parser_ReadLayerFile(
        fileName,
        [&begins](const LineTokens* line, int) -> std::int32_t {
            if (line && defs_SameWord(line->at(0), "begin") && begins < std::numeric_limits<std::int32_t>::max())
                ++begins;
            return 0;
        },
        kItemsDefSeed);

    if (begins == 0) return 1;  // nothing to hold (also a missing file): an empty table
    if (!itemdef_Allocate(begins)) return 0;

    // Second pass: fill the definitions. A bad line has already been shown by the parser;
    // what was read up to it stays and the table still counts as built.
    SecondPass pass{&gTable};
    parser_ReadLayerFile(
        fileName, [&pass](const LineTokens* line, int) -> std::int32_t { return line ? applyLine(pass, *line) : 0; },
        kItemsDefSeed);
    return 1;
}

void itemdef_NamePass(const TextTable* names) {
    if (!names) return;
    for (std::int32_t i = 0; i < gTable.count; ++i) {
        ItemDef& d = gTable.defs[i];
        char key[32];
        std::snprintf(key, sizeof key, "STR_ITM%04i", static_cast<int>(d.typeNumber));
        const TextEntry* entry = text_Find(names, "KZ7 Item Names", key);
        if (!entry) continue;
        const char* text = text_EntryText(names, entry);
        if (!text || !*text) continue;
        defs_CopyName(d.name, sizeof d.name, text, kItemTableNameMax);
    }
}

std::int32_t itemdef_FindByName(const char* name) {
    if (!name) return 0;
    for (std::int32_t i = 0; i < gTable.count; ++i)
        if (defs_SameWord(gTable.defs[i].name, name)) return i;
    return 0;
}

std::int32_t itemdef_FindByType(std::int32_t typeNumber) {
    for (std::int32_t i = 0; i < gTable.count; ++i)
        if (gTable.defs[i].typeNumber == typeNumber) return i;
    return 0;
}

std::int32_t itemdef_Count() { return gTable.count; }

ItemDef* itemdef_At(std::int32_t index) {
    if (index < 0 || index >= gTable.count) return nullptr;
    return &gTable.defs[index];
}

bool itemdef_Listed(const ItemDef& def, bool showAll) { return showAll || (def.attributes & kItemAttrHiddenMask) == 0; }

const char* itemdef_KindName(std::int32_t type) {
    for (const auto& k : kKindWords)
        if (k.type == type) return k.word;
    return "";
}
