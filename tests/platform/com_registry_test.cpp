#include <fstream>
#include <sstream>

#include "machine_fixture.h"

namespace {

// {11111111-2222-3333-4455-66778899AABB}
constexpr CLSID kOtherClsid = {
    0x11111111, 0x2222, 0x3333, {0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB}};

using ClassRegistry = MachineTest;

std::string RegistryText(const std::string& machine) {
    std::ifstream in(machine + "/Registry/classes.txt");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(ClassRegistry, RegistrationIsPersistedInTheMachineFolderAndReadBack) {
    const std::string text = RegistryText(m_folder);
    EXPECT_NE(text.find("{6C1F2B7A-3E55-4C1B-9D2E-7A0B1C2D3E4F}\tPlatform.TestServer\t"),
              std::string::npos)
        << text;

    // A lookup reads the file afresh: a registration written by another process (here:
    // appended by hand) is seen at once.
    std::ofstream(m_folder + "/Registry/classes.txt", std::ios::app)
        << "{11111111-2222-3333-4455-66778899AABB}\tOther.Class\t/nowhere.so\n";
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(OLESTR("Other.Class"), &clsid), S_OK);
    EXPECT_EQ(clsid, kOtherClsid);
    ASSERT_EQ(CLSIDFromProgID(OLESTR("platform.testserver"), &clsid), S_OK)
        << "ProgIDs match without regard to case";
    EXPECT_EQ(clsid, kTestServerClsid);
}

TEST_F(ClassRegistry, ALaterRegistrationReplacesTheSameProgIdOrClass) {
    ASSERT_EQ(EmuRegisterClass("PLATFORM.TESTSERVER", kOtherClsid, "/elsewhere.so"), S_OK);
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(OLESTR("Platform.TestServer"), &clsid), S_OK);
    EXPECT_EQ(clsid, kOtherClsid);
    ASSERT_EQ(EmuRegisterClass("Renamed.Server", kOtherClsid, "/elsewhere.so"), S_OK);
    EXPECT_EQ(CLSIDFromProgID(OLESTR("PLATFORM.TESTSERVER"), &clsid), CO_E_CLASSSTRING);
    ASSERT_EQ(CLSIDFromProgID(OLESTR("Renamed.Server"), &clsid), S_OK);
    EXPECT_EQ(clsid, kOtherClsid);
}

TEST_F(ClassRegistry, UnregisteredOrHiddenClassesAreNotFound) {
    CLSID clsid = kOtherClsid;
    EXPECT_EQ(CLSIDFromProgID(OLESTR("No.Such.Class"), &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(clsid, IID_NULL);

    EmuSetFaultClassNotRegistered(TRUE);
    EXPECT_EQ(CLSIDFromProgID(OLESTR("Platform.TestServer"), &clsid), CO_E_CLASSSTRING);
    EmuClearFaults();
    EXPECT_EQ(CLSIDFromProgID(OLESTR("Platform.TestServer"), &clsid), S_OK);

    EXPECT_EQ(EmuUnregisterClass("platform.testserver"), S_OK);
    EXPECT_EQ(EmuUnregisterClass("Platform.TestServer"), S_FALSE);
    EXPECT_EQ(CLSIDFromProgID(OLESTR("Platform.TestServer"), &clsid), CO_E_CLASSSTRING);
}

TEST_F(ClassRegistry, BadRegistrationsAreRefusedAndChangeNothing) {
    const std::string before = RegistryText(m_folder);
    EXPECT_EQ(EmuRegisterClass(nullptr, kOtherClsid, "/x.so"), E_INVALIDARG);
    EXPECT_EQ(EmuRegisterClass("", kOtherClsid, "/x.so"), E_INVALIDARG);
    EXPECT_EQ(EmuRegisterClass("A\tB", kOtherClsid, "/x.so"), E_INVALIDARG);
    EXPECT_EQ(EmuRegisterClass("A", kOtherClsid, "/x\n.so"), E_INVALIDARG);
    EXPECT_EQ(EmuRegisterClass("A", kOtherClsid, ""), E_INVALIDARG);
    EXPECT_EQ(EmuRegisterClass("A", IID_NULL, "/x.so"), E_INVALIDARG);
    EXPECT_EQ(RegistryText(m_folder), before);

    EmuSetMachineFolder(nullptr);
    EXPECT_EQ(EmuGetMachineFolder(), nullptr);
    EXPECT_EQ(EmuRegisterClass("A", kOtherClsid, "/x.so"), E_UNEXPECTED);
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(OLESTR("Platform.TestServer"), &clsid), CO_E_CLASSSTRING);
    EmuSetMachineFolder(m_folder.c_str());
    EXPECT_STREQ(EmuGetMachineFolder(), m_folder.c_str());
}

TEST_F(ClassRegistry, DamagedLinesAreSkipped) {
    std::ofstream(m_folder + "/Registry/classes.txt", std::ios::app)
        << "garbage without tabs\n{not-a-guid}\tBad.Guid\t/x.so\n";
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(OLESTR("Bad.Guid"), &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(CLSIDFromProgID(OLESTR("Platform.TestServer"), &clsid), S_OK);
}

TEST(ClassIdText, RoundTripsAndRejectsMalformedText) {
    OLECHAR text[39];
    ASSERT_EQ(StringFromGUID2(kOtherClsid, text, 39), 39);
    EXPECT_EQ(std::u16string(text), u"{11111111-2222-3333-4455-66778899AABB}");
    EXPECT_EQ(StringFromGUID2(kOtherClsid, text, 38), 0);
    CLSID parsed;
    ASSERT_EQ(CLSIDFromString(OLESTR("{11111111-2222-3333-4455-66778899aabb}"), &parsed), S_OK);
    EXPECT_EQ(parsed, kOtherClsid);
    ASSERT_EQ(CLSIDFromProgID(OLESTR("{11111111-2222-3333-4455-66778899AABB}"), &parsed), S_OK);
    EXPECT_EQ(parsed, kOtherClsid);
    const char16_t* malformed[] = {
        u"",
        u"{11111111-2222-3333-4455-66778899AABB",
        u"11111111-2222-3333-4455-66778899AABB",
        u"{1111111G-2222-3333-4455-66778899AABB}",
        u"{+1111111-2222-3333-4455-66778899AABB}",
        u"{11111111-2222-3333-4455-66778899AABB}x",
    };
    for (size_t i = 0; i < sizeof malformed / sizeof malformed[0]; ++i) {
        parsed = kOtherClsid;
        EXPECT_EQ(CLSIDFromString(malformed[i], &parsed), CO_E_CLASSSTRING) << "case " << i;
        EXPECT_EQ(parsed, IID_NULL) << "case " << i;
    }
    EXPECT_EQ(CLSIDFromString(nullptr, &parsed), E_INVALIDARG);
}

TEST(InterfaceIds, HaveTheirWindowsValues) {
    OLECHAR text[39];
    const std::pair<const IID*, std::u16string> ids[] = {
        {&IID_IUnknown, u"{00000000-0000-0000-C000-000000000046}"},
        {&IID_IClassFactory, u"{00000001-0000-0000-C000-000000000046}"},
        {&IID_IRunnableObject, u"{00000126-0000-0000-C000-000000000046}"},
        {&IID_IDispatch, u"{00020400-0000-0000-C000-000000000046}"},
        {&IID_IErrorInfo, u"{1CF2B120-547D-101B-8E65-08002B2BD119}"},
        {&IID_NULL, u"{00000000-0000-0000-0000-000000000000}"},
    };
    for (const auto& id : ids) {
        ASSERT_EQ(StringFromGUID2(*id.first, text, 39), 39);
        EXPECT_EQ(std::u16string(text), id.second);
    }
}

}  // namespace
