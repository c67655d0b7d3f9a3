#include "cli/progress.h"

#include "files/printable_text.h"
#include "model/key_table.h"

Progress::Progress(Console& console, const std::string& what, const std::string& path)
    : console_(console),
      shown_(console.ErrIsTerminal()),
      prefix_(PrintableText(path) + ": " + what + " ") {
    Count(0);
}

Progress::~Progress() {
    if (shown_) console_.Err("\r" + std::string(width_, ' ') + "\r");
}

void Progress::Count(int done) {
    if (!shown_) return;
    std::string line = prefix_ + std::to_string(done) + "/" + std::to_string(TABLE_SIZE);
    width_ = line.size();
    console_.Err("\r" + line);
}
