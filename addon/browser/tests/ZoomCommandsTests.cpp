// SetBrowserZoom, GetBrowserZoom, SaveZoomFactor and ArePageImagesReady on a
// substitute browser. The stored zoom factor is the registry on Windows and the in-memory
// record on the host.
#include <gtest/gtest.h>

#include <climits>

#include "SubstituteBrowser.h"
#include "TestFiles.h"
#include "ZoomCommands.h"

namespace {

using States = std::vector<std::optional<std::int32_t>>;
constexpr HResult kRefused = kResultUnexpected;  // what Wine's WebBrowser answers

class ZoomCommands : public StoredZoomTest {};

}  // namespace

TEST_F(ZoomCommands, SetSendsTheOpticalZoomCommandAndStoresPercentTimesAThousand) {
    SubstituteBrowser browser;
    EXPECT_EQ(SetBrowserZoom(&browser, 100), kResultOk);
    EXPECT_EQ(StoredZoomFactor(), 100000u);
    EXPECT_EQ(SetBrowserZoom(&browser, 250), kResultOk);
    EXPECT_EQ(StoredZoomFactor(), 250000u);
    EXPECT_EQ(browser.calls, (std::vector<std::string>{"ExecOpticalZoom(100)", "ExecOpticalZoom(250)"}));
    EXPECT_EQ(browser.zoom, 250);
}

TEST_F(ZoomCommands, SetOnANullBrowserReturnsOneAndStoresNothing) {
    EXPECT_EQ(SetBrowserZoom(static_cast<IBrowserHost*>(nullptr), 150), 1);
    EXPECT_EQ(StoredZoomFactor(), std::nullopt);
}

TEST_F(ZoomCommands, SetStoresTheZoomEvenWhenTheBrowserRefusesIt) {
    SubstituteBrowser browser;
    browser.setZoomResult = kRefused;
    EXPECT_EQ(SetBrowserZoom(&browser, 175), kRefused);
    EXPECT_EQ(StoredZoomFactor(), 175000u);
    EXPECT_EQ(browser.zoom, 100);
}

TEST_F(ZoomCommands, SetSendsTheCommandBeforeStoring) {
    struct Observing : SubstituteBrowser {
        std::optional<std::uint32_t> storedDuringCommand;
        HResult ExecOpticalZoom(std::int32_t percent) override {
            storedDuringCommand = StoredZoomFactor();
            return SubstituteBrowser::ExecOpticalZoom(percent);
        }
    } browser;
    SetBrowserZoom(&browser, 100);
    SetBrowserZoom(&browser, 300);
    EXPECT_EQ(browser.storedDuringCommand, 100000u);
    EXPECT_EQ(StoredZoomFactor(), 300000u);
}

TEST_F(ZoomCommands, SetDoesNotClamp) {
    SubstituteBrowser browser;
    SetBrowserZoom(&browser, 900);
    EXPECT_EQ(StoredZoomFactor(), 900000u);
    EXPECT_EQ(browser.calls.back(), "ExecOpticalZoom(900)");
    SetBrowserZoom(&browser, 5);
    EXPECT_EQ(StoredZoomFactor(), 5000u);
}

TEST(ZoomFactorData, IsPercentTimesAThousandIn32BitArithmetic) {
    EXPECT_EQ(ZoomFactorData(100), 100000u);
    EXPECT_EQ(ZoomFactorData(0), 0u);
    EXPECT_EQ(ZoomFactorData(-5), static_cast<std::uint32_t>(-5000));
    // Beyond the range of a 32-bit product the value wraps, as the platform's would.
    EXPECT_EQ(ZoomFactorData(INT_MAX), static_cast<std::uint32_t>(INT_MAX) * 1000u);
    EXPECT_EQ(ZoomFactorData(INT_MIN), 0u);
}

TEST(GetBrowserZoom, ReadsTheBrowsersZoom) {
    SubstituteBrowser browser;
    browser.zoom = 175;
    std::int32_t percent = 0;
    EXPECT_EQ(GetBrowserZoom(browser, percent), kResultOk);
    EXPECT_EQ(percent, 175);
}

TEST(GetBrowserZoom, ABrowserThatRefusesTheCommandYields100AndItsFailure) {
    SubstituteBrowser browser;
    browser.zoom = 250;
    browser.queryWritesZoom = false;
    browser.queryZoomResult = kRefused;
    std::int32_t percent = -1;
    EXPECT_EQ(GetBrowserZoom(browser, percent), kRefused);
    EXPECT_EQ(percent, 100);
    // The output starts as 100 before the browser is asked.
    EXPECT_EQ(browser.calls, std::vector<std::string>{"QueryOpticalZoom(100)"});
}

TEST(GetBrowserZoom, AlwaysWritesWhatTheBrowserLeftEvenWithAFailure) {
    SubstituteBrowser browser;
    browser.zoom = 80;
    browser.queryZoomResult = kResultFail;
    std::int32_t percent = 0;
    EXPECT_EQ(GetBrowserZoom(browser, percent), kResultFail);
    EXPECT_EQ(percent, 80);
}

TEST(ArePageImagesReady, ThreeImagesOfWhichOnlyTheLastHasFinishedAreReady) {
    SubstituteBrowser browser;
    browser.images = SubstituteBrowser::Images({1, 3, 4});
    EXPECT_TRUE(ArePageImagesReady(&browser));
}

TEST(ArePageImagesReady, APageWhoseLastImageIsStillLoadingIsNotReady) {
    SubstituteBrowser browser;
    browser.images = SubstituteBrowser::Images({4, 4, 3});
    EXPECT_FALSE(ArePageImagesReady(&browser));
}

TEST(ArePageImagesReady, APageWithoutImagesIsNotReady) {
    SubstituteBrowser browser;
    browser.images = SubstituteBrowser::Images({});
    EXPECT_FALSE(ArePageImagesReady(&browser));
}

TEST(ArePageImagesReady, NoDocumentOrNoCollectionCountsAsReady) {
    SubstituteBrowser browser;
    browser.images = PageImages{};  // no document
    EXPECT_TRUE(ArePageImagesReady(&browser));
    browser.images.document = true;  // a document, but get_images gave no collection
    browser.images.imagesResult = kResultFail;
    EXPECT_TRUE(ArePageImagesReady(&browser));
    EXPECT_TRUE(ArePageImagesReady(static_cast<IBrowserHost*>(nullptr)));
}

TEST(ArePageImagesReady, ACollectionThatCannotBeReadIsNotReady) {
    SubstituteBrowser browser;
    browser.images = SubstituteBrowser::Images({4});
    browser.images.imagesResult = kResultFalse;  // a collection, with a result other than S_OK
    EXPECT_FALSE(ArePageImagesReady(&browser));

    browser.images = SubstituteBrowser::Images({4});
    browser.images.lengthResult = kResultFalse;
    EXPECT_FALSE(ArePageImagesReady(&browser));

    browser.images = SubstituteBrowser::Images({4});
    browser.images.length = -1;
    EXPECT_FALSE(ArePageImagesReady(&browser));
}

TEST(ArePageImagesReady, TheLastImageWhoseStateCouldBeReadDecides) {
    SubstituteBrowser browser;
    browser.images = SubstituteBrowser::Images({3, 4, std::nullopt, std::nullopt});
    EXPECT_TRUE(ArePageImagesReady(&browser));
    browser.images = SubstituteBrowser::Images({4, 1, std::nullopt});
    EXPECT_FALSE(ArePageImagesReady(&browser));
    browser.images = SubstituteBrowser::Images({std::nullopt, std::nullopt});
    EXPECT_FALSE(ArePageImagesReady(&browser));
}

TEST(ArePageImagesReady, AsksTheBrowserOnce) {
    SubstituteBrowser browser;
    browser.images = SubstituteBrowser::Images({4});
    ArePageImagesReady(&browser);
    EXPECT_EQ(browser.calls, std::vector<std::string>{"ReadPageImages"});
}
