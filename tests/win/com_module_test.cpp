// The server module's entry points: exports, class factory, unload rule.
#include <gtest/gtest.h>

#include "ComTestSupport.h"

namespace vellomar::testing {
namespace {

TEST(ServerModule, ExportsByNameAndOrdinal) {
    const TOcxModule& ocx = Ocx();
    ASSERT_TRUE(ocx.Loaded());
    const char* names[] = {"DllUnregisterServer", "DllRegisterServer", "DllCanUnloadNow",
                           "DllGetClassObject"};
    for (int ordinal = 1; ordinal <= 4; ++ordinal) {
        SCOPED_TRACE(names[ordinal - 1]);
        FARPROC byName = GetProcAddress(ocx.Handle(), names[ordinal - 1]);
        ASSERT_NE(nullptr, byName);
        EXPECT_EQ(byName, GetProcAddress(ocx.Handle(), MAKEINTRESOURCEA(ordinal)));
    }
}

TEST(ServerModule, OtherClassesAreNotAvailable) {
    const CLSID other = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, Ocx().GetClassObject(other, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, Ocx().GetClassObject(IID_IVellomarX, IID_IUnknown, &out));
    EXPECT_EQ(nullptr, out);
}

TEST(ServerModule, FactoryOffersOnlyItsInterfaces) {
    TComPtr<IUnknown> unknown;
    EXPECT_EQ(S_OK, Ocx().GetClassObject(CLSID_VellomarX, IID_IUnknown, unknown.PutVoid()));
    TComPtr<IDispatch> dispatch;
    EXPECT_EQ(E_NOINTERFACE, Ocx().GetClassObject(CLSID_VellomarX, IID_IDispatch, dispatch.PutVoid()));
    EXPECT_FALSE(dispatch);
}

TEST(ServerModule, FactoryRefusesAggregation) {
    TComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, Ocx().GetClassObject(CLSID_VellomarX, IID_IClassFactory, factory.PutVoid()));
    TComPtr<IUnknown> control;
    EXPECT_EQ(CLASS_E_NOAGGREGATION,
              factory->CreateInstance(factory.Get(), IID_IUnknown, control.PutVoid()));
    EXPECT_FALSE(control);
}

TEST(ServerModule, OneFactoryServesManyControls) {
    TComPtr<IClassFactory> first, second;
    ASSERT_EQ(S_OK, Ocx().GetClassObject(CLSID_VellomarX, IID_IClassFactory, first.PutVoid()));
    ASSERT_EQ(S_OK, Ocx().GetClassObject(CLSID_VellomarX, IID_IClassFactory, second.PutVoid()));
    EXPECT_EQ(first.Get(), second.Get());
    TComPtr<IVellomarX> a, b;
    ASSERT_EQ(S_OK, first->CreateInstance(nullptr, IID_IVellomarX, a.PutVoid()));
    ASSERT_EQ(S_OK, first->CreateInstance(nullptr, IID_IVellomarX, b.PutVoid()));
    EXPECT_NE(a.Get(), b.Get());
}

TEST(ServerModule, CanUnloadOnlyWhenNothingIsAlive) {
    const TOcxModule& ocx = Ocx();
    ASSERT_EQ(S_OK, ocx.CanUnloadNow());

    TComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, ocx.GetClassObject(CLSID_VellomarX, IID_IClassFactory, factory.PutVoid()));
    EXPECT_EQ(S_FALSE, ocx.CanUnloadNow()) << "the factory is referenced";

    TComPtr<IVellomarX> control;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IVellomarX, control.PutVoid()));
    factory.Reset();
    EXPECT_EQ(S_FALSE, ocx.CanUnloadNow()) << "a control is alive";
    control.Reset();
    EXPECT_EQ(S_OK, ocx.CanUnloadNow());

    ASSERT_EQ(S_OK, ocx.GetClassObject(CLSID_VellomarX, IID_IClassFactory, factory.PutVoid()));
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    factory.Reset();
    EXPECT_EQ(S_FALSE, ocx.CanUnloadNow()) << "the server is locked";
    ASSERT_EQ(S_OK, ocx.GetClassObject(CLSID_VellomarX, IID_IClassFactory, factory.PutVoid()));
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    factory.Reset();
    EXPECT_EQ(S_OK, ocx.CanUnloadNow());
}

TEST(ServerModule, ControlIdentityAndInterfaces) {
    TComPtr<IVellomarX> control = Ocx().CreateControl();
    ASSERT_TRUE(control);
    TComPtr<IUnknown> viaControl, viaDispatch;
    TComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, control.As(IID_IUnknown, viaControl));
    ASSERT_EQ(S_OK, control.As(IID_IDispatch, dispatch));
    ASSERT_EQ(S_OK, dispatch.As(IID_IUnknown, viaDispatch));
    EXPECT_EQ(viaControl.Get(), viaDispatch.Get());

    TComPtr<IProvideClassInfo2> classInfo;
    ASSERT_EQ(S_OK, control.As(IID_IProvideClassInfo2, classInfo));
    GUID source = GUID_NULL;
    EXPECT_EQ(S_OK, classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source));
    EXPECT_TRUE(IsEqualGUID(DIID_IVellomarXEvents, source));
    TComPtr<ITypeInfo> coclass;
    ASSERT_EQ(S_OK, classInfo->GetClassInfo(coclass.Put()));
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(S_OK, coclass->GetTypeAttr(&attr));
    EXPECT_TRUE(IsEqualGUID(CLSID_VellomarX, attr->guid));
    coclass->ReleaseTypeAttr(attr);

    TComPtr<ISupportErrorInfo> errorInfo;
    ASSERT_EQ(S_OK, control.As(IID_ISupportErrorInfo, errorInfo));
    EXPECT_EQ(S_OK, errorInfo->InterfaceSupportsErrorInfo(IID_IVellomarX));
    EXPECT_EQ(S_FALSE, errorInfo->InterfaceSupportsErrorInfo(IID_IClassFactory));

    TComPtr<IClassFactory> notOffered;
    EXPECT_EQ(E_NOINTERFACE, control.As(IID_IClassFactory, notOffered));
}

TEST(ServerModule, ReleasingTheLastReferenceFreesTheControl) {
    TComPtr<IVellomarX> control = Ocx().CreateControl();
    ASSERT_TRUE(control);
    EXPECT_EQ(1u, RefCount(control.Get()));
    IVellomarX* raw = control.Get();
    EXPECT_EQ(2u, raw->AddRef());
    EXPECT_EQ(1u, raw->Release());
}

}  // namespace
}  // namespace vellomar::testing
