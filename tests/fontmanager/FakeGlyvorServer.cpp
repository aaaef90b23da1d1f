#include "FakeGlyvorServer.h"

#include <stdlib.h>

#include <filesystem>

namespace {

// {0D5B7C21-4E3A-4F6B-8A9D-1C2E3F405162}: the fake's own class, not the real server's.
const CLSID kFakeGlyvorClsid = {
    0x0d5b7c21, 0x4e3a, 0x4f6b, {0x8a, 0x9d, 0x1c, 0x2e, 0x3f, 0x40, 0x51, 0x62}};

}  // namespace

class FakeGlyvorFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG refs = --m_refs;
        if (refs == 0) delete this;
        return refs;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        FakeGlyvor* glyvor = new FakeGlyvor;
        const HRESULT hr = glyvor->QueryInterface(riid, object);
        if (SUCCEEDED(hr)) {
            if (m_created != nullptr) m_created->Release();
            m_created = glyvor;  // keeps the creation reference, to inspect it later
        } else {
            glyvor->Release();
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

    FakeGlyvor* created() const { return m_created; }
    void Forget() {
        if (m_created != nullptr) m_created->Release();
        m_created = nullptr;
    }

private:
    ULONG m_refs = 1;
    FakeGlyvor* m_created = nullptr;
};

void FakeGlyvorServerTest::SetUp() {
    char folder[] = "/tmp/lumaro-fontmanager-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    m_machine = folder;
    EmuSetMachineFolder(m_machine.c_str());
    m_comInitialized = SUCCEEDED(CoInitialize(nullptr));
    ASSERT_EQ(EmuRegisterClass("Glyvor.Document", kFakeGlyvorClsid,
                               (m_machine + "/FakeGlyvor.so").c_str()),
              S_OK);
    m_factory = new FakeGlyvorFactory;
    ASSERT_EQ(CoRegisterClassObject(kFakeGlyvorClsid, m_factory, CLSCTX_INPROC_SERVER,
                                    REGCLS_MULTIPLEUSE, &m_factoryCookie),
              S_OK);
    // Counting starts after the set-up's own calls.
    BalancedCountsTest::SetUp();
}

void FakeGlyvorServerTest::TearDown() {
    m_connection.ReleaseGlyvorConnection();
    BalancedCountsTest::TearDown();
    if (m_running != nullptr) {
        RevokeActiveObject(m_runningCookie, nullptr);
        EXPECT_EQ(m_running->refs(), 1u) << "the running instance's references are unbalanced";
        m_running->Release();
    }
    if (m_factory != nullptr) {
        if (m_factory->created() != nullptr) {
            EXPECT_EQ(m_factory->created()->refs(), 1u) << "created object kept alive";
        }
        m_factory->Forget();
        CoRevokeClassObject(m_factoryCookie);
        m_factory->Release();
    }
    EmuUnregisterClass("Glyvor.Document");
    if (m_comInitialized) CoUninitialize();
    EmuSetMachineFolder(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(m_machine, ignored);
}

FakeGlyvor* FakeGlyvorServerTest::StartRunningInstance() {
    m_running = new FakeGlyvor;
    EXPECT_EQ(
        RegisterActiveObject(m_running, kFakeGlyvorClsid, ACTIVEOBJECT_WEAK, &m_runningCookie),
        S_OK);
    return m_running;
}

FakeGlyvor* FakeGlyvorServerTest::Created() const {
    return m_factory != nullptr ? m_factory->created() : nullptr;
}

FakeGlyvor* FakeGlyvorServerTest::Server() const {
    return m_running != nullptr ? m_running : Created();
}
