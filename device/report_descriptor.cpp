// A descriptor is a run of items. A short item is one prefix byte (data size
// in bits 0-1: 0, 1, 2 or 4 bytes; type in bits 2-3: main, global, local;
// tag in bits 4-7) and its little-endian data; a long item (prefix 0xFE,
// data size, tag, data) declares nothing a report length depends on and is
// skipped. Every Input or Output main item adds report size x report count
// bits to the report of the current report ID.
#include "device/report_descriptor.h"

#include <array>

namespace {

constexpr uint8_t LONG_ITEM_PREFIX = 0xFE;
constexpr size_t LONG_ITEM_HEADER = 2;  // data size and tag after the prefix
constexpr int REPORT_ID_COUNT = 256;
constexpr int PUSH_DEPTH = 8;
constexpr uint64_t MAX_REPORT_BITS = static_cast<uint64_t>(MAX_REPORT_LENGTH - 1) * 8;

enum ItemType { ITEM_MAIN = 0, ITEM_GLOBAL = 1, ITEM_LOCAL = 2 };

enum MainTag {
    TAG_INPUT = 0x8,
    TAG_OUTPUT = 0x9,
    TAG_COLLECTION = 0xA,
    TAG_FEATURE = 0xB,
    TAG_END_COLLECTION = 0xC
};

// Global tags 0x0 to 0x6 (usage page, logical and physical extents, unit
// exponent, unit) carry nothing a length depends on.
enum GlobalTag {
    TAG_UNIT = 0x6,
    TAG_REPORT_SIZE = 0x7,
    TAG_REPORT_ID = 0x8,
    TAG_REPORT_COUNT = 0x9,
    TAG_PUSH = 0xA,
    TAG_POP = 0xB
};

struct Item {
    int type = 0;
    int tag = 0;
    uint32_t value = 0;
};

// The global items that decide lengths; Push and Pop save and restore them.
struct Globals {
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint32_t reportId = 0;  // 0 until a Report ID item names one
};

using ReportBits = std::array<uint64_t, REPORT_ID_COUNT>;

struct Parser {
    Globals globals;
    std::array<Globals, PUSH_DEPTH> pushed;
    int pushDepth = 0;
    size_t openCollections = 0;
    bool namesReportIds = false;
    bool hasReportWithoutId = false;
    ReportBits inputBits = {};
    ReportBits outputBits = {};
};

enum class ItemRead { Short, Long, Malformed };

uint32_t LittleEndian(const uint8_t* data, size_t size) {
    uint32_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= static_cast<uint32_t>(data[i]) << (8 * i);
    return value;
}

// Reads the item at *position (which is before end) and moves past it.
ItemRead ReadItem(const uint8_t* descriptor, size_t size, size_t* position, Item* item) {
    const uint8_t prefix = descriptor[*position];
    const size_t left = size - *position - 1;
    const uint8_t* data = descriptor + *position + 1;
    if (prefix == LONG_ITEM_PREFIX) {
        if (left < LONG_ITEM_HEADER || left - LONG_ITEM_HEADER < data[0]) {
            return ItemRead::Malformed;
        }
        *position += 1 + LONG_ITEM_HEADER + data[0];
        return ItemRead::Long;
    }
    static const size_t DATA_SIZES[] = {0, 1, 2, 4};
    const size_t dataSize = DATA_SIZES[prefix & 0x3];
    if (left < dataSize) return ItemRead::Malformed;
    item->type = (prefix >> 2) & 0x3;
    item->tag = prefix >> 4;
    item->value = LittleEndian(data, dataSize);
    *position += 1 + dataSize;
    return ItemRead::Short;
}

void NoteReport(Parser* parser) {
    if (parser->globals.reportId == 0) parser->hasReportWithoutId = true;
}

bool AddBits(Parser* parser, ReportBits* bits) {
    NoteReport(parser);
    const uint64_t added =
        static_cast<uint64_t>(parser->globals.reportSize) * parser->globals.reportCount;
    uint64_t& total = (*bits)[parser->globals.reportId];
    if (added > MAX_REPORT_BITS - total) return false;
    total += added;
    return true;
}

bool ApplyMain(Parser* parser, const Item& item) {
    switch (item.tag) {
        case TAG_INPUT:
            return AddBits(parser, &parser->inputBits);
        case TAG_OUTPUT:
            return AddBits(parser, &parser->outputBits);
        case TAG_FEATURE:
            NoteReport(parser);
            return true;
        case TAG_COLLECTION:
            ++parser->openCollections;
            return true;
        case TAG_END_COLLECTION:
            if (parser->openCollections == 0) return false;
            --parser->openCollections;
            return true;
        default:
            return false;
    }
}

bool SetReportId(Parser* parser, uint32_t reportId) {
    if (reportId == 0 || reportId >= REPORT_ID_COUNT) return false;
    parser->globals.reportId = reportId;
    parser->namesReportIds = true;
    return true;
}

bool Push(Parser* parser) {
    if (parser->pushDepth == PUSH_DEPTH) return false;
    parser->pushed[parser->pushDepth++] = parser->globals;
    return true;
}

bool Pop(Parser* parser) {
    if (parser->pushDepth == 0) return false;
    parser->globals = parser->pushed[--parser->pushDepth];
    return true;
}

bool ApplyGlobal(Parser* parser, const Item& item) {
    switch (item.tag) {
        case TAG_REPORT_SIZE:
            parser->globals.reportSize = item.value;
            return true;
        case TAG_REPORT_COUNT:
            parser->globals.reportCount = item.value;
            return true;
        case TAG_REPORT_ID:
            return SetReportId(parser, item.value);
        case TAG_PUSH:
            return Push(parser);
        case TAG_POP:
            return Pop(parser);
        default:
            return item.tag <= TAG_UNIT;
    }
}

// Local items (usages, designators, strings, delimiters) leave lengths alone.
bool Apply(Parser* parser, const Item& item) {
    switch (item.type) {
        case ITEM_MAIN:
            return ApplyMain(parser, item);
        case ITEM_GLOBAL:
            return ApplyGlobal(parser, item);
        case ITEM_LOCAL:
            return true;
        default:
            return false;
    }
}

int LengthOf(const ReportBits& bits) {
    uint64_t longest = 0;
    for (uint64_t reportBits : bits) longest = reportBits > longest ? reportBits : longest;
    return longest == 0 ? 0 : 1 + static_cast<int>((longest + 7) / 8);
}

bool ParseItems(const uint8_t* descriptor, size_t size, Parser* parser) {
    size_t position = 0;
    while (position < size) {
        Item item;
        ItemRead read = ReadItem(descriptor, size, &position, &item);
        if (read == ItemRead::Malformed) return false;
        if (read == ItemRead::Short && !Apply(parser, item)) return false;
    }
    return true;
}

}  // namespace

bool ParseReportDescriptor(const uint8_t* descriptor, size_t size, ReportLengths* lengths) {
    if (descriptor == nullptr || size == 0) return false;
    Parser parser;
    if (!ParseItems(descriptor, size, &parser)) return false;
    if (parser.openCollections != 0) return false;
    if (parser.namesReportIds && parser.hasReportWithoutId) return false;
    lengths->outputLength = LengthOf(parser.outputBits);
    lengths->inputLength = LengthOf(parser.inputBits);
    lengths->numbered = parser.namesReportIds;
    return true;
}
