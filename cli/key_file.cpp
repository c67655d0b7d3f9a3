#include "cli/key_file.h"

#include <vector>

#include "files/file_io.h"
#include "files/hex_value.h"
#include "files/kbd_file.h"
#include "files/kbd_text.h"

namespace {

constexpr size_t VALUES_PER_LINE = 8;
constexpr size_t LINE_COUNT = 2;
constexpr size_t MOST_DIGITS = 8;

// One to eight hexadecimal digits, after an optional 0x.
bool IsKeyCodeWord(const std::string& word) {
    size_t start = word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X') ? 2 : 0;
    size_t digits = word.size() - start;
    if (digits == 0 || digits > MOST_DIGITS) return false;
    for (size_t i = start; i < word.size(); ++i) {
        if (HexDigitValue(word[i]) < 0) return false;
    }
    return true;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at = text.find(separator); at != std::string::npos;
         at = text.find(separator, start)) {
        parts.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    parts.push_back(text.substr(start));
    return parts;
}

// The fault of one line (its CR taken off), "" when it reads as it looks.
std::string CheckLine(const std::string& line) {
    if (line.empty()) return "";
    std::vector<std::string> words = Split(line, ' ');
    if (words.size() > VALUES_PER_LINE) return "more than eight values";
    for (const std::string& word : words) {
        if (word.empty()) return "values are not separated by single blanks";
        if (!IsKeyCodeWord(word)) return "\"" + word + "\" is not a hexadecimal key code word";
    }
    return "";
}

std::string CheckText(const std::string& text) {
    if (text.empty()) return "is empty";
    if (text.size() > KEY_TEXT_READ_LIMIT) return "is longer than a .kbd file can be";
    if (text.find('\0') != std::string::npos) return "holds a zero byte";
    std::vector<std::string> lines = Split(text, '\n');
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string line = lines[i];
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (i >= LINE_COUNT && !line.empty()) return "has more than two lines";
        std::string fault = i < LINE_COUNT ? CheckLine(line) : "";
        if (!fault.empty()) return "line " + std::to_string(i + 1) + ": " + fault;
    }
    return "";
}

}  // namespace

bool UsableFileName(const Argument& name, std::string* fault) {
    if (name.exact) return true;
    *fault = "the file name \"" + name.text + "\" has characters that code page 949 lacks";
    return false;
}

std::string LoadCheckedKeyFile(const std::string& path) {
    char bytes[KEY_TEXT_READ_LIMIT + 1];
    size_t length = 0;
    if (!ReadFileStart(path.c_str(), bytes, sizeof bytes, &length)) {
        return "cannot read " + path + (FileExists(path.c_str()) ? "" : ": no such file");
    }
    std::string fault = CheckText(std::string(bytes, length));
    if (!fault.empty()) return path + ": " + fault + "; not a .kbd file";
    ParseKeyText(bytes, length);
    return "";
}

bool KeyFileExists(const std::string& path) {
    return FileExists(path.c_str());
}

std::string SaveKeyFileTold(const std::string& path) {
    return SaveKeyFile(path.c_str()) ? "" : "cannot write " + path;
}
