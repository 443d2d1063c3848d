#include "platform/number_fields.h"

#include "core/number.h"
#include "core/text.h"

namespace {

constexpr const char* kMsg = "Dialog Message";

// A label's text as a field name: without the mnemonic marks and the closing colon.
std::string fieldName(std::string text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] != '&') continue;
        out.push_back(text[i]);
    }
    while (!out.empty() && (out.back() == ':' || out.back() == ' ')) out.pop_back();
    return out;
}

}  // namespace

std::optional<double> ui_NumberIn(std::string_view text, const NumberRange& range) {
    const std::optional<double> v = number_Strict(text, range.decimal);
    if (!v || *v < range.min || *v > range.max) return std::nullopt;
    return v;
}

std::string ui_NumberMessage(std::string_view name, const NumberRange& range) {
    const long long lo = range.min, hi = range.max;
    return range.decimal ? text_Printf(kMsg, "NUMBER_RANGE_DECIMAL", {name, lo, hi})
                         : text_Printf(kMsg, "NUMBER_RANGE", {name, lo, hi});
}

void ui_RefuseNumber(Dialog& dlg, int id, const NumberRange& range) {
    const std::string name = fieldName(range.label >= 0 ? dlg.text(range.label) : std::string());
    ui_MessageBox(ui_NumberMessage(name, range), text_Get(kMsg, "NUMBER_REFUSED"), MsgIcon::Warning, MsgButtons::Ok);
    dlg.setFocus(id);
}

bool ui_CheckNumbers(Dialog& dlg, const NumberRangeAdjust& adjust) {
    for (int id : dlg.numberFields()) {
        if (!dlg.edited(id) || !dlg.isEnabled(id)) continue;
        std::optional<NumberRange> range = dlg.numberRange(id);
        if (!range) continue;
        if (adjust) range = adjust(id, *range);
        if (!ui_NumberIn(dlg.text(id), *range)) {
            ui_RefuseNumber(dlg, id, *range);
            return false;
        }
    }
    return true;
}
