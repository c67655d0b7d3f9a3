// The key table as the tool shows it: a text table of both layers with the
// model's row labels and the display texts, or the same as JSON.
#pragma once

#include <cstdint>
#include <string>

// "QX209" for 0x209.
std::string ModelName(int productId);

// "0106" for 0x0106: the key code word as the file writer writes it.
std::string KeyWordText(int32_t code);

// "2.1" for 0x21, "1.10" for 0x1A.
std::string FirmwareText(int version);

// A JSON string of a code page 949 text; control characters and DEL are
// written as \u escapes.
std::string JsonString(const std::string& text);

// The table's heading and its eight slot lines, each ended by a line break.
std::string TableText(int labelModelId);

// The members "labels", "normal" and "shift" of a JSON object, without braces.
std::string TableJsonMembers(int labelModelId);
