// The library as a server: class factories, live-object and lock counting,
// verbs and the property pages the control names. These tests link the core
// alone, so the windows (About box, pages) are absent here.

#include "TestSupport.h"

namespace veer::test {
namespace {

ComPtr<IClassFactory> factoryOf(const Guid& clsid, Status* result = nullptr)
{
    ComPtr<IClassFactory> factory;
    Status s = DllGetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.put()));
    if (result)
        *result = s;
    return factory;
}

TEST(VeerServer, TheFactoryMakesControlsByClassIdentifier)
{
    Status s = E_FAIL;
    auto factory = factoryOf(CLSID_Veer, &s);
    ASSERT_EQ(s, S_OK);
    ASSERT_TRUE(factory);

    ComPtr<IVeer> control;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IVeer, reinterpret_cast<void**>(control.put())), S_OK);
    std::int16_t angle = 0;
    control->get_Angle(&angle);
    EXPECT_EQ(angle, 60); // a new control with its defaults
    Guid clsid;
    control.as<IPersistStreamInit>(IID_IPersistStreamInit)->GetClassID(&clsid);
    EXPECT_EQ(clsid, CLSID_Veer);

    // Each call makes a new object.
    ComPtr<IVeer> other;
    factory->CreateInstance(nullptr, IID_IVeer, reinterpret_cast<void**>(other.put()));
    EXPECT_NE(other.get(), control.get());

    void* out = &s;
    EXPECT_EQ(factory->CreateInstance(control.get(), IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
}

TEST(VeerServer, UnknownClassesAndInterfacesAreRefused)
{
    void* out = &out;
    const Guid unknown{0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    EXPECT_EQ(DllGetClassObject(unknown, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(DllGetClassObject(CLSID_StockFontPage, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(DllGetClassObject(CLSID_Veer, IID_IVeer, &out), E_NOINTERFACE);
    EXPECT_EQ(DllGetClassObject(CLSID_Veer, IID_IClassFactory, nullptr), E_POINTER);
    // The page needs the library's windows, which this build has not.
    EXPECT_EQ(DllGetClassObject(CLSID_VeerPage, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
}

TEST(VeerServer, CanUnloadOnlyWhenNoObjectAndNoLockIsAlive)
{
    ASSERT_EQ(DllCanUnloadNow(), S_OK) << "an earlier test left an object alive";
    auto factory = factoryOf(CLSID_Veer);
    EXPECT_EQ(DllCanUnloadNow(), S_OK); // holding a factory does not keep the library

    ComPtr<IUnknown> control;
    factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(control.put()));
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    {
        // Objects a control makes count too: its font, and the font's sink.
        auto veer = control.as<IVeer>(IID_IVeer);
        auto site = make<TestSite>();
        veer.as<IVeerControl>(IID_IVeerControl)->SetClientSite(site.get());
        veer.as<IVeerControl>(IID_IVeerControl)->SetClientSite(nullptr);
        ComPtr<IFont> font;
        veer->get_Font(font.put());
        control.reset();
        EXPECT_EQ(DllCanUnloadNow(), S_FALSE) << "the font is still held";
    }
    EXPECT_EQ(DllCanUnloadNow(), S_OK);

    factory->LockServer(true);
    factory->LockServer(true);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    factory->LockServer(false);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    factory->LockServer(false);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
    factory->LockServer(false); // one unlock too many changes nothing
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST(VeerServer, VerbsWithoutWindowsAndThePagesTheControlNames)
{
    auto c = newControl();
    // Verbs 0 and 1 open windows; the core alone has none.
    EXPECT_EQ(c->DoVerb(VERB_PROPERTIES), E_NOTIMPL);
    EXPECT_EQ(c->DoVerb(VERB_ABOUT), E_NOTIMPL);
    EXPECT_EQ(c->DoVerb(OLEIVERB_PROPERTIES), E_NOTIMPL);
    EXPECT_EQ(c->AboutBox(), E_NOTIMPL);
    for (std::int32_t verb : {OLEIVERB_SHOW, OLEIVERB_UIACTIVATE, OLEIVERB_INPLACEACTIVATE, OLEIVERB_HIDE})
        EXPECT_EQ(c->DoVerb(verb), S_OK) << verb;
    EXPECT_EQ(c->DoVerb(OLEIVERB_OPEN), E_NOTIMPL);
    EXPECT_EQ(c->DoVerb(7), E_NOTIMPL);

    std::vector<Guid> pages;
    auto specify = ComPtr<IVeer>(c.get()).as<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages);
    ASSERT_TRUE(specify);
    ASSERT_EQ(specify->GetPages(&pages), S_OK);
    EXPECT_EQ(pages, (std::vector<Guid>{CLSID_VeerPage, CLSID_StockColorPage, CLSID_StockFontPage}));
}

} // namespace
} // namespace veer::test
