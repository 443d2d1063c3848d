// Fuzzes the items.def reader: both passes, every keyword, the scrambled form, the lookups.
#include "fuzz/defs_fuzz_support.h"
#include "gamedata/itemdef.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_StartCore();
    const std::string& path = fuzz_WriteInput(data, size, "itemdef_fuzz");
    if (itemdef_Load(path.c_str())) {
        for (std::int32_t i = 0; i < itemdef_Count(); ++i) {
            const ItemDef* d = itemdef_At(i);
            if (itemdef_FindByName(d->name) > i || itemdef_FindByType(d->typeNumber) > i) __builtin_trap();
        }
    }
    return 0;
}
