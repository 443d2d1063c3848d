#include "core/reset.h"

#include "core/file.h"
#include "core/mem.h"
#include "core/parser.h"
#include "core/text.h"

void core_ResetLayer() {
    // The tables and the registry hold pool blocks: they go before the pools do.
    text_FreeTables();
    text_SetCurrent(nullptr);
    file_Reset();
    parser_State() = LineParser{};
    mem_Shutdown();
}
