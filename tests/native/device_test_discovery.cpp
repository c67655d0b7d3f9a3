// Finding the module among the HID interfaces and the states of the link.
#include <utility>

#include "device/module_commands.h"
#include "device/report_exchange.h"
#include "device_test_support.h"

namespace {

using DiscoveryTest = DeviceTest;

void ExpectLinkOn(const std::string& path) {
    EXPECT_EQ(g_hidLink.linkUp, 1);
    SimHandleState device = SimHandle(g_hidLink.device);
    EXPECT_TRUE(device.open);
    EXPECT_EQ(device.path, path);
    EXPECT_EQ(device.queued, 0);
}

TEST_F(DiscoveryTest, Qx206IsChosenWhenBothModelsArePresent) {
    SimAddDevice(SimModule(MODEL_QX209));
    int qx206 = AddModule(MODEL_QX206);
    EXPECT_EQ(ConnectModule(MODEL_QX206), MODEL_QX206);
    ExpectLinkOn(PathOf(qx206));
    EXPECT_EQ(g_hidLink.lastProductId, MODEL_QX206);
    EXPECT_EQ(SimCount().openHandles, 1);
}

TEST_F(DiscoveryTest, FirstOfTwoModulesOfOneModelInEnumerationOrderIsOpened) {
    int first = AddModule(MODEL_QX209);
    AddModule(MODEL_QX209);
    EXPECT_EQ(ConnectModule(MODEL_QX209), MODEL_QX209);
    ExpectLinkOn(PathOf(first));
}

TEST_F(DiscoveryTest, OnlyQx209IsFoundByTheSecondCall) {
    int qx209 = AddModule(MODEL_QX209);
    EXPECT_EQ(ConnectModule(MODEL_QX206), 0);
    EXPECT_EQ(g_hidLink.linkUp, 0);
    EXPECT_EQ(ConnectModule(MODEL_QX209), MODEL_QX209);
    ExpectLinkOn(PathOf(qx209));
}

TEST_F(DiscoveryTest, ProductId0x207OfTheModuleVendorIsNeverConnected) {
    SimAddDevice(SimModule(0x207));
    EXPECT_EQ(ConnectModule(MODEL_QX206), 0);
    EXPECT_EQ(ConnectModule(MODEL_QX209), 0);
    EXPECT_EQ(g_hidLink.linkUp, 0);
    EXPECT_EQ(g_hidLink.lastProductId, 0);
    EXPECT_EQ(SimCount().openHandles, 0);
}

TEST_F(DiscoveryTest, PassesOverDevicesThatAreNotTheModuleAndOpensNoneOfThem) {
    SimDevice unidentified = SimModule(MODEL_QX206);
    unidentified.identityReadable = false;
    for (const SimDevice& device :
         {SimForeignDevice(0x046D, 0xC52B), SimForeignDevice(0x046D, MODEL_QX206), unidentified,
          SimForeignDevice(MODULE_VENDOR_ID, MODEL_QX209)}) {
        SimAddDevice(device);
    }
    int module = AddModule(MODEL_QX206);
    EXPECT_EQ(ConnectModule(MODEL_QX206), MODEL_QX206);
    ExpectLinkOn(PathOf(module));
    EXPECT_EQ(SimCount().openHandles, 1);
}

TEST_F(DiscoveryTest, ReportLengthsDecideWhetherADeviceIsTakenAsTheModule) {
    struct Case {
        int output;
        int input;
        bool taken;
    };
    const Case cases[] = {{9, 7, true},  {65, 65, true}, {12, 10, true}, {8, 9, false},
                          {9, 6, false}, {66, 9, false}, {9, 66, false}, {0, 0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.output << "/" << c.input);
        StartOver();
        SimDevice odd = SimModule(MODEL_QX206);
        odd.outputLength = c.output;
        odd.inputLength = c.input;
        int oddPosition = SimAddDevice(odd);
        int plain = AddModule(MODEL_QX206);
        EXPECT_EQ(ConnectModule(MODEL_QX206), MODEL_QX206);
        ExpectLinkOn(PathOf(c.taken ? oddPosition : plain));
        EXPECT_EQ(g_hidLink.outputReportLength, c.taken ? c.output : 9);
        EXPECT_EQ(g_hidLink.inputReportLength, c.taken ? c.input : 9);
    }
}

TEST_F(DiscoveryTest, UnreadableCapabilitiesOrAHandleRefusedEndTheSearchUnfound) {
    for (int failure = 0; failure < 2; ++failure) {
        SCOPED_TRACE(failure == 0 ? "capabilities" : "handle");
        StartOver();
        SimDevice broken = SimModule(MODEL_QX206);
        broken.capsReadable = failure != 0;
        broken.opensForReports = failure == 0;
        SimAddDevice(broken);
        AddModule(MODEL_QX206);
        EXPECT_EQ(ConnectModule(MODEL_QX206), 0);
        EXPECT_EQ(g_hidLink.device, nullptr);
        EXPECT_EQ(g_hidLink.linkUp, 0);
        EXPECT_EQ(SimCount().openHandles, 0);
        EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 0);
        EXPECT_TRUE(SimWrites().empty());
    }
}

TEST_F(DiscoveryTest, DeviceChangeSearchWhileConnectedReplacesTheHandle) {
    ConnectQx206();
    HidDevice* old = g_hidLink.device;
    SimAddDevice(SimForeignDevice(0x046D, 0xC52B));
    std::swap(SimDevices()[0], SimDevices()[1]);  // the new device enumerates first
    const int module = 1;

    EXPECT_EQ(ConnectModule(MODEL_QX206), MODEL_QX206);
    ExpectLinkOn(PathOf(module));
    EXPECT_NE(g_hidLink.device, old);
    EXPECT_FALSE(SimHandle(old).open);
    EXPECT_EQ(SimCount().openHandles, 1);
    EXPECT_EQ(SimCount().enumerations, 2);
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 1);
}

// The four states of the link and the ways between them.
TEST_F(DiscoveryTest, LinkStatesFromStartToRediscovery) {
    EXPECT_EQ(g_hidLink.linkUp, 0);
    EXPECT_EQ(SimCount().openHandles, 0);
    EXPECT_EQ(g_hidLink.device, nullptr);

    SimDevice device = SimModule(MODEL_QX206);
    device.outputLength = 12;
    device.inputLength = 10;
    int module = SimAddDevice(device);
    ASSERT_EQ(ConnectModule(MODEL_QX206), MODEL_QX206);
    ExpectLinkOn(PathOf(module));
    EXPECT_EQ(g_hidLink.outputReportLength, 12);
    EXPECT_EQ(g_hidLink.inputReportLength, 10);
    EXPECT_EQ(SimCount().openHandles, 1);

    // An I/O failure takes the link down and keeps the handle.
    HidDevice* old = g_hidLink.device;
    SimDevices()[module].silent = true;
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(g_hidLink.linkUp, 0);
    EXPECT_EQ(g_hidLink.device, old);
    EXPECT_TRUE(SimHandle(old).open);

    // A failed search leaves the handle of the lost module alone, whether it
    // found no device at all or only others.
    SimUnplug(module);
    EXPECT_EQ(ConnectModule(MODEL_QX206), 0);
    EXPECT_EQ(g_hidLink.device, old);
    SimAddDevice(SimForeignDevice(0x046D, 0xC52B));
    EXPECT_EQ(ConnectModule(MODEL_QX206), 0);
    EXPECT_EQ(g_hidLink.device, old);
    EXPECT_TRUE(SimHandle(old).open);
    EXPECT_EQ(SimCount().openHandles, 1);

    // The next transaction searches once and brings the link up anew.
    SimDevices()[module].silent = false;
    SimReplug(module);
    int searches = SimCount().enumerations;
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 1);
    EXPECT_EQ(SimCount().enumerations, searches + 1);
    ExpectLinkOn(PathOf(module));
    EXPECT_FALSE(SimHandle(old).open);
    EXPECT_NE(g_hidLink.device, old);
    EXPECT_EQ(SimCount().openHandles, 1);
    EXPECT_EQ(g_hidLink.lastProductId, MODEL_QX206);
}

TEST_F(DiscoveryTest, RediscoveryLooksOnlyForTheLastProductId) {
    int qx206 = ConnectQx206();
    SimUnplug(qx206);
    int qx209 = AddModule(MODEL_QX209);

    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(g_hidLink.linkUp, 0);
    EXPECT_EQ(g_hidLink.lastProductId, MODEL_QX206);
    EXPECT_TRUE(SimWrites().empty());

    // The device-change search connects the new model.
    EXPECT_EQ(ConnectModule(MODEL_QX206), 0);
    EXPECT_EQ(ConnectModule(MODEL_QX209), MODEL_QX209);
    EXPECT_EQ(g_hidLink.lastProductId, MODEL_QX209);
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 1);
    ASSERT_EQ(SimWrites().size(), 1u);
    EXPECT_EQ(SimWrites()[0].path, PathOf(qx209));
}

// A link made for one module of several stays on it: a lost link comes back
// up on that module alone, and a full search afterwards looks at all again.
TEST_F(DiscoveryTest, ModuleConnectedByItsPathIsTheOnlyOneReopened) {
    int first = AddModule(MODEL_QX209);
    int second = AddModule(MODEL_QX209);
    std::vector<HidDeviceInfo> listed = HidEnumerate();
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(ConnectModuleAt(listed[1]), MODEL_QX209);
    ExpectLinkOn(PathOf(second));

    SimUnplug(second);
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(g_hidLink.linkUp, 0);
    EXPECT_TRUE(SimWrites().empty());

    SimReplug(second);
    EXPECT_EQ(Transact(CMD_VERSION, 0, 0, 0, 0, 0), 1);
    ExpectLinkOn(PathOf(second));

    EXPECT_EQ(ConnectModule(MODEL_QX209), MODEL_QX209);
    ExpectLinkOn(PathOf(first));
    ASSERT_EQ(SimWrites().size(), 1u);
    EXPECT_EQ(SimWrites()[0].path, PathOf(second));
}

TEST_F(DiscoveryTest, ModuleListedWithReportsThatDoNotFitIsNotConnectedByItsPath) {
    SimDevice module = SimModule(MODEL_QX206);
    module.outputLength = 8;
    SimAddDevice(module);
    EXPECT_EQ(ConnectModuleAt(HidEnumerate().at(0)), 0);
    EXPECT_EQ(g_hidLink.linkUp, 0);
    EXPECT_EQ(SimCount().openHandles, 0);
}

// The main window's search over one listing chooses as the two searches
// over a listing each did: QX206 first, whatever stands before either.
struct BusCase {
    const char* name;
    std::vector<SimDevice> devices;
};

SimDevice With(SimDevice device, void (*change)(SimDevice*)) {
    change(&device);
    return device;
}

std::vector<BusCase> BusCases() {
    SimDevice qx206 = SimModule(MODEL_QX206);
    SimDevice qx209 = SimModule(MODEL_QX209);
    SimDevice foreign = SimForeignDevice(0x046D, 0xC077);
    SimDevice mute206 = With(qx206, [](SimDevice* d) { d->capsReadable = false; });
    SimDevice unfit206 = With(qx206, [](SimDevice* d) { d->outputLength = 8; });
    SimDevice kept206 = With(qx206, [](SimDevice* d) { d->opensForReports = false; });
    return {{"both, QX209 first", {foreign, qx209, qx206}},
            {"only QX209", {foreign, qx209}},
            {"QX206 without lengths", {mute206, qx209, qx206}},
            {"QX206 that does not fit", {unfit206, qx209, qx206}},
            {"QX206 that cannot be opened", {kept206, qx206, qx209}},
            {"no module", {foreign, unfit206}},
            {"empty bus", {}}};
}

// What a search connected: its result, the path of the link and whether it is up.
std::string Outcome(int model) {
    return std::to_string(model) + " " +
           (g_hidLink.device ? SimHandle(g_hidLink.device).path : "") + " " +
           std::to_string(g_hidLink.linkUp);
}

TEST_F(DiscoveryTest, OneListingChoosesAsTwoSearchesDid) {
    for (const BusCase& bus : BusCases()) {
        SCOPED_TRACE(bus.name);
        for (const SimDevice& device : bus.devices) SimAddDevice(device);
        int model = ConnectModule(MODEL_QX206);
        if (model == 0) model = ConnectModule(MODEL_QX209);
        std::string twoSearches = Outcome(model);
        StartOver();

        for (const SimDevice& device : bus.devices) SimAddDevice(device);
        EXPECT_EQ(Outcome(ConnectModuleOf(MODEL_QX206, MODEL_QX209)), twoSearches);
        EXPECT_EQ(SimCount().enumerations, 1);
        StartOver();
    }
}

}  // namespace
