#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

std::vector<std::uint8_t> test_BuildTableBytes(std::string_view source) {
    TextSource parsed;
    TextSourceError error;
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(text_ParseSource(source, parsed, error)) << "line " << error.line << ": " << error.message;
    EXPECT_TRUE(text_BuildTable(parsed, bytes));
    return bytes;
}

TextTable* test_TableFromSource(std::string_view source) {
    const auto bytes = test_BuildTableBytes(source);
    return text_LoadTableFromMemory(bytes.data(), bytes.size());
}

std::string test_ReadSourceFile(const std::string& relativePath) {
    std::ifstream in(std::string(SORTIE_SOURCE_DIR) + "/" + relativePath, std::ios::binary);
    EXPECT_TRUE(in) << relativePath;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ScopedTextTable::ScopedTextTable(std::string_view source)
    : table_(test_TableFromSource(source)), previous_(text_Current()) {
    EXPECT_NE(table_, nullptr);
    text_SetCurrent(table_);
}

ScopedTextTable::~ScopedTextTable() {
    text_SetCurrent(previous_);
    text_FreeTable(table_);
}
