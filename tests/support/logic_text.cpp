#include "support/logic_text.h"

#include "support/text_tables.h"

#include <gtest/gtest.h>

ScopedLogicText::ScopedLogicText(std::string_view extraSource, bool withVocab)
    : previous_(text_Tables()), previousCurrent_(text_Current()) {
    std::string source(extraSource);
    source += "\n";
    source += test_ReadSourceFile("data/text/logic.txt");
    ui_ = test_TableFromSource(source);
    EXPECT_NE(ui_, nullptr);
    if (withVocab) {
        vocab_ = test_TableFromSource(test_ReadSourceFile("data/text/vocab_kz7wpn.txt"));
        EXPECT_NE(vocab_, nullptr);
    }
    text_Tables().ui = ui_;
    text_Tables().vocab = vocab_;
    text_SetCurrent(ui_);
}

ScopedLogicText::~ScopedLogicText() {
    text_Tables() = previous_;
    text_SetCurrent(previousCurrent_);
    text_FreeTable(vocab_);
    text_FreeTable(ui_);
}
