// The event sink's DWebBrowserEvents2 face: its identity and reference count, and Invoke
// with real argument arrays, well-formed and malformed.
#include <gtest/gtest.h>

#include <vector>

#include "AddonState.h"
#include "ComIds.h"
#include "EventSinkEvents.h"
#include "EventSinkInvoke.h"
#include "EventSource.h"
#include "Substitutes.h"
#include "TestFiles.h"

namespace {

constexpr DISPID kDocumentComplete = 259;
constexpr DISPID kWindowStateChanged = 283;

using substitute::Dispatch;
using substitute::Int;

VARIANT DispatchRef(IDispatch** dispatch) {
    VARIANT v;
    ::VariantInit(&v);
    V_VT(&v) = VT_BYREF | VT_DISPATCH;
    V_DISPATCHREF(&v) = dispatch;
    return v;
}
VARIANT UnknownPointer(IUnknown* unknown) {
    VARIANT v;
    ::VariantInit(&v);
    V_VT(&v) = VT_UNKNOWN;
    V_UNKNOWN(&v) = unknown;
    return v;
}
// A URL argument as the browser sends it: a reference to a VARIANT holding a BSTR.
struct Url {
    VARIANT inner;
    VARIANT outer;
    Url() {
        ::VariantInit(&inner);
        V_VT(&inner) = VT_BSTR;
        V_BSTR(&inner) = ::SysAllocString(L"http://example.invalid/");
        ::VariantInit(&outer);
        V_VT(&outer) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&outer) = &inner;
    }
    ~Url() { ::VariantClear(&inner); }
};

// The arguments last first, as Invoke receives them.
DISPPARAMS Params(std::vector<VARIANT>& args) {
    return DISPPARAMS{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
}

// Preview objects that are only ever compared, never used.
CZoomPreview* const kThisTab = reinterpret_cast<CZoomPreview*>(0x1000);
CZoomPreview* const kOtherTab = reinterpret_cast<CZoomPreview*>(0x2000);

// Runs with the calling thread's preview object in the process's table; leaves the
// add-on's state as it found it.
class SinkOnTheProcessState : public ::testing::Test {
protected:
    void SetUp() override {
        Addon().eventSink.previewTable.Add(::GetCurrentThreadId(), kThisTab);
        Addon().currentPreview = kOtherTab;
    }
    void TearDown() override {
        Addon().eventSink.previewTable.Remove(::GetCurrentThreadId());
        Addon().currentPreview = nullptr;
    }
    HRESULT Invoke(DISPID id, DISPPARAMS* params, REFIID riid = IID_NULL) {
        return EventSinkEvents()->Invoke(id, riid, LOCALE_USER_DEFAULT, DISPATCH_METHOD, params, nullptr, nullptr,
                                         nullptr);
    }
};

// A target whose current tab shows the given browser.
struct TabTarget : EventSinkTarget {
    IWebBrowser2* browser = nullptr;
    void TabBecameVisible() override {}
    IWebBrowser2* CurrentTabBrowser() override { return browser; }
};

class SinkDocumentComplete : public StoredZoomTest {
protected:
    substitute::WebBrowser tab;
    substitute::Document frame;
    TabTarget target;
    void SetUp() override {
        StoredZoomTest::SetUp();
        target.browser = tab.AsBrowser();
    }
    // The zoom commands that reached the tab, as their percent values.
    std::vector<LONG> ZoomsSet() const {
        std::vector<LONG> zooms;
        for (const auto& call : tab.execCalls) zooms.push_back(call.inputValue);
        return zooms;
    }
};

}  // namespace

TEST(SinkIdentity, AnswersTheThreeInterfacesOfADispatchSinkOnly) {
    DWebBrowserEvents2* sink = EventSinkEvents();
    EXPECT_EQ(sink, EventSinkEvents());
    for (REFIID iid : {IID_IUnknown, IID_IDispatch, comid::kWebBrowserEvents2}) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(sink->QueryInterface(iid, &out), S_OK);
        EXPECT_EQ(out, static_cast<void*>(sink));
    }
    for (REFIID iid : {comid::kWebBrowser2, comid::kConnectionPointContainer, IID_IClassFactory, IID_NULL}) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(sink->QueryInterface(iid, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(sink->QueryInterface(IID_IDispatch, nullptr), E_POINTER);
}

TEST(SinkIdentity, CountsNoReferencesAndOffersNoTypeInformation) {
    DWebBrowserEvents2* sink = EventSinkEvents();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(sink->AddRef(), 1u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(sink->Release(), 1u);
    UINT count = 7;
    EXPECT_EQ(sink->GetTypeInfoCount(&count), E_NOTIMPL);
    ITypeInfo* info = nullptr;
    EXPECT_EQ(sink->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), E_NOTIMPL);
    LPOLESTR name = const_cast<LPOLESTR>(L"DocumentComplete");
    DISPID id = 0;
    EXPECT_EQ(sink->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), E_NOTIMPL);
}

TEST_F(SinkOnTheProcessState, AVisibleTabBecomesCurrent) {
    struct Case {
        const char* name;
        VARTYPE maskType;
        LONG mask;
        VARTYPE flagsType;
        LONG flags;
        bool becomesCurrent;
    } cases[] = {
        {"shown", VT_I4, 1, VT_I4, 1, true},
        {"shown, unsigned", VT_UI4, 1, VT_UINT, 1, true},
        {"shown, int", VT_INT, 1, VT_INT, 1, true},
        {"hidden", VT_I4, 1, VT_I4, 0, false},
        {"bit not valid", VT_I4, 0, VT_I4, 1, false},
        {"flags as a 16-bit integer", VT_I4, 1, VT_I2, 1, false},
        {"flags by reference", VT_I4, 1, VT_BYREF | VT_I4, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Addon().currentPreview = kOtherTab;
        std::vector<VARIANT> args{Int(c.maskType, c.mask), Int(c.flagsType, c.flags)};
        DISPPARAMS params = Params(args);
        EXPECT_EQ(Invoke(kWindowStateChanged, &params), S_OK);
        EXPECT_EQ(Addon().currentPreview.load(), c.becomesCurrent ? kThisTab : kOtherTab);
    }
}

TEST_F(SinkOnTheProcessState, AVisibleTabWithoutPreviewLeavesNoCurrentTab) {
    Addon().eventSink.previewTable.Remove(::GetCurrentThreadId());
    std::vector<VARIANT> args{Int(VT_I4, 1), Int(VT_I4, 1)};
    DISPPARAMS params = Params(args);
    EXPECT_EQ(Invoke(kWindowStateChanged, &params), S_OK);
    EXPECT_EQ(Addon().currentPreview.load(), nullptr);
}

TEST_F(SinkOnTheProcessState, AnotherInterfaceIdIsRefusedAndChangesNothing) {
    std::vector<VARIANT> args{Int(VT_I4, 1), Int(VT_I4, 1)};
    DISPPARAMS params = Params(args);
    EXPECT_EQ(Invoke(kWindowStateChanged, &params, IID_IDispatch), HRESULT(0x80020001));
    EXPECT_EQ(Invoke(kWindowStateChanged, &params, comid::kWebBrowserEvents2), DISP_E_UNKNOWNINTERFACE);
    EXPECT_EQ(Addon().currentPreview.load(), kOtherTab);
}

TEST_F(SinkOnTheProcessState, MissingArgumentsChangeNothing) {
    VARIANT one = Int(VT_I4, 1);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    DISPPARAMS tooFew{&one, nullptr, 1, 0};
    DISPPARAMS countWithoutArray{nullptr, nullptr, 2, 0};
    for (DISPPARAMS* params : {static_cast<DISPPARAMS*>(nullptr), &none, &tooFew, &countWithoutArray}) {
        EXPECT_EQ(Invoke(kWindowStateChanged, params), S_OK);
        EXPECT_EQ(Invoke(kDocumentComplete, params), S_OK);
        EXPECT_EQ(Addon().currentPreview.load(), kOtherTab);
    }
}

TEST(SinkOnTheProcess, ADocumentCompleteWithoutCurrentTabDoesNothing) {
    substitute::WebBrowser tab;
    Addon().currentPreview = nullptr;
    Url url;
    std::vector<VARIANT> args{url.outer, Dispatch(tab.AsBrowser())};
    DISPPARAMS params = Params(args);
    EXPECT_EQ(EventSinkEvents()->Invoke(kDocumentComplete, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr,
                                        nullptr),
              S_OK);
    EXPECT_TRUE(tab.execCalls.empty());
    EXPECT_EQ(tab.refs, 1u);
}

TEST_F(SinkDocumentComplete, TheTabsOwnDocumentResetsItsZoom) {
    Url url;
    IDispatch* self = tab.AsBrowser();
    std::vector<std::vector<VARIANT>> forms{{url.outer, Dispatch(self)}, {url.outer, DispatchRef(&self)}};
    for (auto& args : forms) {
        DISPPARAMS params = Params(args);
        EXPECT_EQ(InvokeSinkEvent(kDocumentComplete, IID_NULL, &params, target), S_OK);
    }
    EXPECT_EQ(ZoomsSet(), (std::vector<LONG>{100, 100}));
    EXPECT_EQ(StoredZoomFactor(), 100000u);
    EXPECT_EQ(tab.refs, 1u);
}

TEST_F(SinkDocumentComplete, FramesOtherTabsMalformedArgumentsAndNoTabDoNothing) {
    Url url;
    substitute::WebBrowser otherTab;
    IDispatch* nowhere = nullptr;
    IDispatch* self = tab.AsBrowser();
    std::vector<std::vector<VARIANT>> cases{
        {url.outer, Dispatch(frame.AsDispatch())},
        {url.outer, Dispatch(otherTab.AsBrowser())},
        {url.outer, Dispatch(nullptr)},
        {url.outer, DispatchRef(nullptr)},
        {url.outer, DispatchRef(&nowhere)},
        {url.outer, UnknownPointer(static_cast<IUnknown*>(self))},
        {url.outer, Int(VT_I4, 0)},
        {Dispatch(self)},
    };
    for (auto& args : cases) {
        DISPPARAMS params = Params(args);
        EXPECT_EQ(InvokeSinkEvent(kDocumentComplete, IID_NULL, &params, target), S_OK);
    }
    EXPECT_TRUE(tab.execCalls.empty());
    EXPECT_EQ(StoredZoomFactor(), std::nullopt);
    EXPECT_EQ(tab.refs, 1u);
    EXPECT_EQ(frame.refs, 1u);
    target.browser = nullptr;  // no current tab: nothing to compare with
    std::vector<VARIANT> own{url.outer, Dispatch(self)};
    DISPPARAMS params = Params(own);
    EXPECT_EQ(InvokeSinkEvent(kDocumentComplete, IID_NULL, &params, target), S_OK);
    EXPECT_TRUE(tab.execCalls.empty());
}
