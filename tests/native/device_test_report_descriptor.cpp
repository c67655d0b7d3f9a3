// Report lengths from report descriptors, and the refusal of malformed ones.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "device/report_descriptor.h"
#include "test_descriptors.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The lengths ParseReportDescriptor gives; every call reads from a buffer of
// exactly the descriptor's size, so that a read past its end is caught by
// the sanitizers.
struct Parsed {
    bool accepted;
    ReportLengths lengths;
};

Parsed Parse(const Bytes& descriptor) {
    Parsed parsed = {false, {}};
    std::vector<uint8_t> exact(descriptor);
    parsed.accepted = ParseReportDescriptor(exact.data(), exact.size(), &parsed.lengths);
    return parsed;
}

void ExpectLengths(const Bytes& descriptor, int output, int input, bool numbered) {
    Parsed parsed = Parse(descriptor);
    ASSERT_TRUE(parsed.accepted);
    EXPECT_EQ(parsed.lengths.outputLength, output);
    EXPECT_EQ(parsed.lengths.inputLength, input);
    EXPECT_EQ(parsed.lengths.numbered, numbered);
}

Bytes Joined(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

// A collection around the items, as every real descriptor has one.
Bytes InCollection(const Bytes& items) {
    return Joined({{0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01}, items, {0xC0}});
}

TEST(ReportDescriptorTest, RealDevicesGetTheLengthsWindowsGivesThem) {
    {
        SCOPED_TRACE("keyboard module");
        ExpectLengths(ModuleDescriptor(), 9, 9, false);
    }
    {
        SCOPED_TRACE("boot keyboard");
        ExpectLengths(BootKeyboardDescriptor(), 2, 9, false);
    }
    {
        SCOPED_TRACE("numbered reports");
        ExpectLengths(NumberedDescriptor(), 5, 8, true);
    }
}

TEST(ReportDescriptorTest, BitsOfOneReportArePackedAcrossItemsAndRoundedUpToBytes) {
    struct Case {
        const char* what;
        Bytes items;
        int input;
    };
    const Case cases[] = {
        {"3 + 5 bits", {0x75, 0x03, 0x95, 0x01, 0x81, 0x02, 0x75, 0x05, 0x81, 0x01}, 2},
        {"1 bit", {0x75, 0x01, 0x95, 0x01, 0x81, 0x02}, 2},
        {"9 bits", {0x75, 0x03, 0x95, 0x03, 0x81, 0x02}, 3},
        {"4-byte data",
         {0x77, 0x10, 0x00, 0x00, 0x00, 0x97, 0x03, 0x00, 0x00, 0x00, 0x81, 0x02},
         7},
        {"count 0", {0x75, 0x08, 0x95, 0x00, 0x81, 0x02}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ExpectLengths(InCollection(c.items), 0, c.input, false);
    }
}

TEST(ReportDescriptorTest, EachKindTakesItsLongestReportOverAllReportIds) {
    // Report 1: 2 input bytes, 6 output bytes; report 2: 5 input bytes, 1
    // output byte; feature reports count for neither.
    const Bytes items = {0x75, 0x08, 0x85, 0x01, 0x95, 0x02, 0x81, 0x02, 0x95,
                         0x06, 0x91, 0x02, 0x95, 0x20, 0xB1, 0x02, 0x85, 0x02,
                         0x95, 0x05, 0x81, 0x02, 0x95, 0x01, 0x91, 0x02};
    ExpectLengths(InCollection(items), 7, 6, true);
}

TEST(ReportDescriptorTest, PushAndPopSaveAndRestoreSizeCountAndReportId) {
    // Report 1 with 8 x 2 bits; pushed, report 2 with 16 x 4 bits (8 bytes);
    // popped back to report 1 and 8 x 2 bits, which report 1 (4 bytes now)
    // takes. Had the pop left report 2 current, that would grow to 10 bytes.
    const Bytes items = {0x85, 0x01, 0x75, 0x08, 0x95, 0x02, 0x81, 0x02, 0xA4, 0x85,
                         0x02, 0x75, 0x10, 0x95, 0x04, 0x81, 0x02, 0xB4, 0x81, 0x02};
    ExpectLengths(InCollection(items), 0, 9, true);
}

TEST(ReportDescriptorTest, LongItemsAndLocalItemsLeaveTheLengthsAlone) {
    const Bytes module = ModuleDescriptor();
    // A long item with 3 data bytes, then one with none, after the first
    // Input item; and a run of local items (usage minimum and maximum,
    // designator, string index, delimiter) before the Output item.
    Bytes withLong = module;
    const Bytes longItems = {0xFE, 0x03, 0x10, 0x81, 0x02, 0xC0, 0xFE, 0x00, 0x11};
    withLong.insert(withLong.begin() + 20, longItems.begin(), longItems.end());
    Bytes withLocals = module;
    const Bytes locals = {0x19, 0x01, 0x29, 0x08, 0x39, 0x00, 0x79, 0x02, 0xA9, 0x01, 0xA9, 0x00};
    withLocals.insert(withLocals.begin() + 20, locals.begin(), locals.end());
    for (const Bytes& descriptor : {withLong, withLocals}) {
        ExpectLengths(descriptor, 9, 9, false);
    }
}

TEST(ReportDescriptorTest, ReportsUpToTheLargestLengthAreTakenAndLongerOnesRefused) {
    // Report Size 8 with a 2-byte count: 65534 bytes is the longest report.
    const Bytes longest = InCollection({0x75, 0x08, 0x96, 0xFE, 0xFF, 0x81, 0x02});
    ExpectLengths(longest, 0, MAX_REPORT_LENGTH, false);
    const Bytes tooLong = InCollection({0x75, 0x08, 0x96, 0xFF, 0xFF, 0x81, 0x02});
    EXPECT_FALSE(Parse(tooLong).accepted);
    // Two items that fit alone but not together, in one report.
    const Bytes twoHalves = InCollection({0x75, 0x08, 0x96, 0x00, 0x80, 0x91, 0x02, 0x91, 0x02});
    EXPECT_FALSE(Parse(twoHalves).accepted);
    // The largest size and count, whose product overflows 32 bits.
    const Bytes huge =
        InCollection({0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02});
    EXPECT_FALSE(Parse(huge).accepted);
}

TEST(ReportDescriptorTest, TruncatedDescriptorsAreRefused) {
    const Bytes module = ModuleDescriptor();
    // Cut inside the Usage Page item, inside Logical Maximum, and just
    // before the End Collection; then a long item cut in its header and in
    // its data.
    for (size_t size : {size_t{1}, size_t{2}, size_t{10}, size_t{11}, module.size() - 1}) {
        SCOPED_TRACE(size);
        EXPECT_FALSE(Parse(Bytes(module.begin(), module.begin() + size)).accepted);
    }
    for (const Bytes& cut : {Bytes{0xFE}, Bytes{0xFE, 0x04}, Bytes{0xFE, 0x04, 0x10, 0x01, 0x02}}) {
        EXPECT_FALSE(Parse(Joined({module, cut})).accepted);
    }
    EXPECT_FALSE(Parse({}).accepted);
    ReportLengths lengths;
    EXPECT_FALSE(ParseReportDescriptor(nullptr, 0, &lengths));
}

TEST(ReportDescriptorTest, HostileItemsAreRefusedAndLeaveTheLengthsAsTheyWere) {
    struct Case {
        const char* what;
        Bytes descriptor;
    };
    const Bytes input8 = {0x75, 0x08, 0x95, 0x08, 0x81, 0x02};
    const Bytes push = {0xA4};
    const Case cases[] = {
        {"report ID 0", InCollection({0x85, 0x00})},
        {"report ID 256", InCollection({0x86, 0x00, 0x01})},
        {"pop without push", InCollection({0xB4})},
        {"nine pushes",
         InCollection(Joined({push, push, push, push, push, push, push, push, push}))},
        {"end collection without collection", Joined({input8, {0xC0}})},
        {"collection never ended", Joined({{0xA1, 0x01}, input8})},
        {"reserved item type", InCollection({0x0C})},
        {"unknown main item", InCollection({0xD0})},
        {"unknown global item", InCollection({0xC5, 0x01})},
        {"report without ID beside numbered ones",
         InCollection(Joined({input8, {0x85, 0x01}, input8}))},
        {"popped back to no report ID",
         InCollection(Joined({push, {0x85, 0x01}, input8, {0xB4}, input8}))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReportLengths lengths;
        lengths.outputLength = 11;
        lengths.inputLength = 12;
        lengths.numbered = true;
        std::vector<uint8_t> exact(c.descriptor);
        EXPECT_FALSE(ParseReportDescriptor(exact.data(), exact.size(), &lengths));
        EXPECT_EQ(lengths.outputLength, 11);
        EXPECT_EQ(lengths.inputLength, 12);
        EXPECT_TRUE(lengths.numbered);
    }
}

TEST(ReportDescriptorTest, EightPushesAreTakenAndPoppedInTurn) {
    // Each push saves a report count one higher; the pops give them back in
    // turn, so the Input items after them add 8 + 7 + ... + 1 bytes.
    Bytes items = {0x75, 0x08};
    for (uint8_t count = 1; count <= 8; ++count) {
        items.insert(items.end(), {0x95, count, 0xA4});
    }
    for (int pop = 0; pop < 8; ++pop) items.insert(items.end(), {0xB4, 0x81, 0x02});
    ExpectLengths(InCollection(items), 0, 1 + 36, false);
}

}  // namespace
