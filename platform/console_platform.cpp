#include "platform/console_platform.h"

namespace {

void printLine(std::FILE* f, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), f);
    std::fputc('\n', f);
}

}  // namespace

MsgAnswer ConsolePlatform::messageBox(std::string_view text, std::string_view caption, MsgIcon icon,
                                      MsgButtons buttons) {
    if (icon == MsgIcon::Error) ++errors_;
    if (icon == MsgIcon::Warning) ++warnings_;
    std::string line;
    if (!caption.empty()) {
        line.append(caption);
        line.append(": ");
    }
    line.append(ui_PlainText(text));
    // Multi-line message boxes read better on one line each on a console.
    for (char& c : line)
        if (c == '\r') c = ' ';
    printLine(err_, line);
    switch (buttons) {
    case MsgButtons::Ok: return MsgAnswer::Ok;
    case MsgButtons::OkCancel: return answer_ == MsgAnswer::Yes ? MsgAnswer::Ok : answer_;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel: return answer_ == MsgAnswer::Ok ? MsgAnswer::Yes : answer_;
    }
    return MsgAnswer::Ok;
}

void ConsolePlatform::lineError(std::string_view file, int line, std::string_view text, std::string_view) {
    ++errors_;
    std::string out(file);
    out += ':';
    out += std::to_string(line);
    out += ": ";
    out.append(ui_PlainText(text));
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    printLine(err_, out);
}

std::optional<std::string> ConsolePlatform::fileDialog(const FileDialogRequest&) {
    if (fileAnswers_.empty()) return std::nullopt;
    std::string p = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
    return p;
}

int ConsolePlatform::runDialog(std::string_view, DialogProc&) {
    // No dialogs on a console: every dialog counts as cancelled.
    return kIdCancel;
}

void ConsolePlatform::debugOutput(std::string_view text) { printLine(err_, text); }

void ConsolePlatform::statusOpen(std::string_view) {
    // A console has no box to build: the progress lines are all it shows.
}

void ConsolePlatform::statusLine(std::string_view text) {
    if (verbose_) printLine(err_, text);
}
