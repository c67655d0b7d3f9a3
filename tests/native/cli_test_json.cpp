// --json of list, read and show, parsed back: every field as the text
// output shows it.
#include "cli_test_support.h"
#include "json_reader.h"

namespace {

using CliJsonTest = CliTest;

Json Parsed(const std::string& text) {
    Json value;
    EXPECT_TRUE(JsonReader(text).Read(&value)) << text;
    return value;
}

TEST_F(CliJsonTest, ListGivesModelFirmwareAndPathOfEachModule) {
    int first = AddModule(MODEL_QX209, 0x1A);
    SimAddDevice(SimForeignDevice(0x046D, 0xC077));
    int silent = AddModule(MODEL_QX206);
    SimDevices()[silent].silent = true;
    EXPECT_EQ(Run({"list", "--json"}), EXIT_DEVICE_FAILURE);
    Json list = Parsed(console_.out);
    ASSERT_EQ(list.kind, Json::Array);
    ASSERT_EQ(list.items.size(), 2u);
    EXPECT_EQ(list[0]["model"].text, "QX209");
    EXPECT_EQ(list[0]["firmware"].text, "1.10");
    EXPECT_EQ(list[0]["path"].text, DevicePath(first));
    EXPECT_EQ(list[1]["model"].text, "QX206");
    EXPECT_EQ(list[1]["firmware"].kind, Json::Null);
    EXPECT_EQ(list[1]["path"].text, DevicePath(silent));

    EXPECT_EQ(Run({"list", "--json", "--all-hid"}), EXIT_DONE);
    Json all = Parsed(console_.out);
    ASSERT_EQ(all.items.size(), 3u);
    EXPECT_EQ(all[1]["vendor"].text, "046D");
    EXPECT_EQ(all[1]["product"].text, "C077");
    EXPECT_EQ(all[1]["module"].kind, Json::Null);
    EXPECT_EQ(all[2]["module"].text, "QX206");
    ASSERT_EQ(all[2]["reports"].items.size(), 2u);
    EXPECT_EQ(all[2]["reports"][0].number, 9);
    EXPECT_EQ(all[2]["path"].text, DevicePath(silent));
}

TEST_F(CliJsonTest, ReadGivesOneObjectPerModuleWithLabelsAndBothLayers) {
    int first = AddModule(MODEL_QX206, 0x12);
    int second = AddModule(MODEL_QX209, 0x21);
    SimDevices()[first].words[0] = 0x0106;
    SimDevices()[second].words[15] = 0x0090;
    EXPECT_EQ(Run({"read", "--all", "--json"}), EXIT_DONE) << console_.err;
    Json modules = Parsed(console_.out);
    ASSERT_EQ(modules.items.size(), 2u);
    const Json& qx206 = modules[0];
    EXPECT_EQ(qx206["model"].text, "QX206");
    EXPECT_EQ(qx206["firmware"].text, "1.2");
    EXPECT_EQ(qx206["path"].text, DevicePath(first));
    ASSERT_EQ(qx206["labels"].items.size(), 8u);
    EXPECT_EQ(qx206["labels"][0].text, "> Black     ");
    EXPECT_EQ(qx206["labels"][7].text, "   Not Use ");
    ASSERT_EQ(qx206["normal"].items.size(), 8u);
    ASSERT_EQ(qx206["shift"].items.size(), 8u);
    EXPECT_EQ(qx206["normal"][0]["code"].text, "0106");
    EXPECT_EQ(qx206["normal"][0]["text"].text, "<Ctrl><C>");
    EXPECT_EQ(qx206["normal"][1]["code"].text, "0000");
    EXPECT_EQ(qx206["normal"][1]["text"].text, "");
    const Json& qx209 = modules[1];
    EXPECT_EQ(qx209["labels"][0].text, "Pin No.  2 ");
    EXPECT_EQ(qx209["shift"][7]["code"].text, "0090");
    EXPECT_EQ(qx209["shift"][7]["text"].text, "<\xC7\xD1/\xBF\xB5>");
}

TEST_F(CliJsonTest, ShowGivesTheFileAndItsTable) {
    WriteFile("back\\slash \"q\".kbd", "0028 0\r\n0 0 0 0 0 0 0 002A\r\n");
    EXPECT_EQ(Run({"show", "--json", PathOf("back\\slash \"q\".kbd")}), EXIT_DONE) << console_.err;
    Json shown = Parsed(console_.out);
    EXPECT_EQ(shown["file"].text, PathOf("back\\slash \"q\".kbd"));
    EXPECT_EQ(shown["labels"][3].text, "Pin No.  5 ");
    EXPECT_EQ(shown["normal"][0]["text"].text, "<Enter>");
    EXPECT_EQ(shown["shift"][7]["text"].text, "<Back Space>");
    EXPECT_EQ(shown["shift"][6]["code"].text, "0000");
}

TEST_F(CliJsonTest, NoModuleGivesAnEmptyArray) {
    EXPECT_EQ(Run({"list", "--json"}), EXIT_NO_MODULE);
    EXPECT_EQ(Parsed(console_.out).kind, Json::Array);
    EXPECT_TRUE(Parsed(console_.out).items.empty());
    EXPECT_EQ(Err(), std::vector<std::string>{"usbkbdctl: no module found in change mode"});
}

}  // namespace
