// Reference counting, view-tree ownership, hit testing, mouse routing and resources.

#include "test_support.h"

#include <gtest/gtest.h>

using namespace VSTGUI;
using namespace vstgui_test;

namespace
{

[[maybe_unused]] ::testing::Environment* const cacheRelease =
    ::testing::AddGlobalTestEnvironment(new GraphicsCacheRelease);

int liveViews = 0;

struct CountedView : CView
{
    explicit CountedView(const CRect& r) : CView(r) { ++liveViews; }
    ~CountedView() override { --liveViews; }
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState&) override
    {
        events.push_back("down " + std::to_string(int(where.x)) + "," +
                         std::to_string(int(where.y)));
        return result;
    }
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState&) override
    {
        events.push_back("moved " + std::to_string(int(where.y)));
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseUp(CPoint&, const CButtonState&) override
    {
        events.push_back("up");
        return kMouseEventHandled;
    }
    CMouseEventResult result{kMouseEventHandled};
    std::vector<std::string> events;
};

struct CountedFrame : CFrame
{
    CountedFrame(const CRect& r, VSTGUIEditorInterface* e) : CFrame(r, e) { ++liveViews; }
    ~CountedFrame() override { --liveViews; }
};

} // namespace

TEST(ReferenceCounting, StartsAtOneAndForgetDeletesAtZero)
{
    liveViews = 0;
    auto* view = new CountedView(CRect(0, 0, 10, 10));
    EXPECT_EQ(view->getNbReference(), 1);
    view->remember();
    EXPECT_EQ(view->getNbReference(), 2);
    view->forget();
    EXPECT_EQ(liveViews, 1);
    view->forget();
    EXPECT_EQ(liveViews, 0);
}

TEST(ReferenceCounting, ContainerAdoptsAddedViewsAndReleasesThem)
{
    liveViews = 0;
    auto* container = new CViewContainer(CRect(0, 0, 100, 100));
    auto* a = new CountedView(CRect(0, 0, 10, 10));
    auto* b = new CountedView(CRect(10, 0, 20, 10));
    EXPECT_TRUE(container->addView(a));
    EXPECT_TRUE(container->addView(b));
    // Adoption: the creator's reference now belongs to the container.
    EXPECT_EQ(a->getNbReference(), 1);
    EXPECT_EQ(container->getNbViews(), 2);
    EXPECT_EQ(a->getParentView(), container);

    // removeView without forget hands the reference back to the caller.
    EXPECT_TRUE(container->removeView(a, false));
    EXPECT_EQ(liveViews, 2);
    EXPECT_EQ(a->getParentView(), nullptr);
    a->forget();
    EXPECT_EQ(liveViews, 1);

    EXPECT_FALSE(container->removeView(a)); // not a child any more
    container->forget();
    EXPECT_EQ(liveViews, 0);
}

TEST(ReferenceCounting, AddingAViewTwiceOrToASecondParentFailsAndKeepsItAlive)
{
    liveViews = 0;
    auto* first = new CViewContainer(CRect(0, 0, 100, 100));
    auto* second = new CViewContainer(CRect(0, 0, 100, 100));
    auto* v = new CountedView(CRect(0, 0, 10, 10));
    first->addView(v);
    EXPECT_FALSE(first->addView(v)); // a mistaken second add must not free the child
    EXPECT_FALSE(second->addView(v));
    EXPECT_EQ(v->getNbReference(), 1);
    EXPECT_EQ(first->getNbViews(), 1);
    EXPECT_EQ(second->getNbViews(), 0);
    EXPECT_FALSE(first->addView(nullptr));
    first->forget();
    second->forget();
    EXPECT_EQ(liveViews, 0);
}

TEST(Frame, CloseRemovesChildrenAndReleasesTheFrame)
{
    liveViews = 0;
    RecordingEditor editor;
    auto* frame = new CountedFrame(CRect(0, 0, 200, 100), &editor);
    ASSERT_TRUE(frame->open(nullptr));
    EXPECT_FALSE(frame->open(nullptr)); // already open
    frame->addView(new CountedView(CRect(0, 0, 10, 10)));
    frame->addView(new CountedView(CRect(10, 0, 20, 10)));
    EXPECT_EQ(liveViews, 3);
    frame->close();
    EXPECT_EQ(liveViews, 0);
}

TEST(Frame, ForgettingAnOpenFrameClosesIt)
{
    liveViews = 0;
    auto* frame = new CountedFrame(CRect(0, 0, 50, 50), nullptr);
    frame->open(nullptr, kOffscreen);
    frame->addView(new CountedView(CRect(0, 0, 10, 10)));
    frame->forget();
    EXPECT_EQ(liveViews, 0);
}

TEST(Frame, SizeAndPositionFollowTheWindowOnlyWhileOpen)
{
    auto* frame = new CFrame(CRect(5, 7, 105, 57), nullptr);
    CRect r;
    EXPECT_FALSE(frame->getSize(&r)); // not open: not visible
    EXPECT_FALSE(frame->getSize(nullptr));
    EXPECT_EQ(frame->getViewSize(), CRect(0, 0, 100, 50));
    frame->open(nullptr);
    ASSERT_TRUE(frame->getSize(r));
    EXPECT_EQ(r, CRect(5, 7, 105, 57));
    EXPECT_TRUE(frame->setSize(300, 200));
    EXPECT_FALSE(frame->setSize(300, 200)); // unchanged
    EXPECT_TRUE(frame->setPosition(0, 0));
    ASSERT_TRUE(frame->getSize(&r));
    EXPECT_EQ(r, CRect(0, 0, 300, 200));
    EXPECT_EQ(frame->getPlatformFrame()->getPlatformType(), kOffscreen);
    frame->close();
}

TEST(Frame, GetViewAtFindsTheTopMostDirectChild)
{
    auto* frame = new CFrame(CRect(0, 0, 200, 200), nullptr);
    frame->open(nullptr);
    auto* under = new CountedView(CRect(0, 0, 100, 100));
    auto* over = new CountedView(CRect(50, 50, 150, 150));
    auto* inner = new CViewContainer(CRect(150, 0, 200, 50));
    auto* deep = new CountedView(CRect(0, 0, 10, 10)); // at 150,0 in the frame
    inner->addView(deep);
    frame->addView(under);
    frame->addView(over);
    frame->addView(inner);
    EXPECT_EQ(frame->getViewAt(CPoint(10, 10)), under);
    EXPECT_EQ(frame->getViewAt(CPoint(60, 60)), over);      // later children are on top
    EXPECT_EQ(frame->getViewAt(CPoint(150, 150)), nullptr); // right/bottom edges are outside
    EXPECT_EQ(frame->getViewAt(CPoint(155, 5)), inner);
    EXPECT_EQ(frame->getViewAt(CPoint(155, 5), GetViewOptions(GetViewOptions::kDeep)), deep);
    under->setViewSize(CRect(0, 100, 40, 140)); // moved: hit where it is now
    EXPECT_EQ(frame->getViewAt(CPoint(10, 10)), nullptr);
    EXPECT_EQ(frame->getViewAt(CPoint(10, 120)), under);
    under->setViewSize(CRect(0, 0, 100, 100));
    over->setVisible(false);
    EXPECT_EQ(frame->getViewAt(CPoint(60, 60)), under);
    EXPECT_EQ(deep->getFrame(), frame); // attached through the inner container
    frame->close();
}

TEST(Frame, MouseGestureGoesToTheViewThatTookTheDown)
{
    auto* frame = new CFrame(CRect(0, 0, 200, 200), nullptr);
    frame->open(nullptr);
    auto* inner = new CViewContainer(CRect(100, 100, 200, 200));
    auto* target = new CountedView(CRect(10, 10, 50, 50)); // 110..150 in the frame
    auto* other = new CountedView(CRect(0, 0, 50, 50));
    inner->addView(target);
    frame->addView(inner);
    frame->addView(other);
    IPlatformFrame* platform = frame->getPlatformFrame();

    platform->injectMouseDown(CPoint(120, 130), kLButton);
    platform->injectMouseMoved(CPoint(10, 10), kLButton); // leaves the view: still its gesture
    platform->injectMouseUp(CPoint(10, 10), kLButton);
    platform->injectMouseMoved(CPoint(120, 130), 0); // no gesture: nobody gets it
    std::vector<std::string> expected{"down 20,30", "moved -90", "up"};
    EXPECT_EQ(target->events, expected);
    EXPECT_TRUE(other->events.empty());

    CPoint where;
    ASSERT_TRUE(frame->getCurrentMouseLocation(where));
    EXPECT_EQ(where, CPoint(120, 130));

    // A view that wants no more events after the down gets no move or up.
    target->events.clear();
    target->result = kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    platform->injectMouseDown(CPoint(120, 130), kLButton);
    platform->injectMouseMoved(CPoint(120, 100), kLButton);
    platform->injectMouseUp(CPoint(120, 100), kLButton);
    EXPECT_EQ(target->events, std::vector<std::string>{"down 20,30"});
    frame->close();
}

TEST(Frame, RemovingTheViewInTheMiddleOfAGestureIsSafe)
{
    liveViews = 0;
    auto* frame = new CountedFrame(CRect(0, 0, 100, 100), nullptr);
    frame->open(nullptr);
    auto* v = new CountedView(CRect(0, 0, 50, 50));
    frame->addView(v);
    frame->getPlatformFrame()->injectMouseDown(CPoint(5, 5), kLButton);
    frame->removeView(v);
    frame->getPlatformFrame()->injectMouseMoved(CPoint(6, 6), kLButton);
    frame->getPlatformFrame()->injectMouseUp(CPoint(6, 6), kLButton);
    EXPECT_EQ(liveViews, 1);
    frame->close();
    EXPECT_EQ(liveViews, 0);
}

TEST(Resources, BitmapsLoadFromTheBoundBundle)
{
    TempResources resources(131, 20, 10);
    ASSERT_NE(gBundleRef, nullptr);
    EXPECT_EQ(gBundleRef->resourcesPath, resources.dir);
    int32_t loadsBefore = CBitmap::getLoadCount();
    auto* strip = new CBitmap(CResourceDescription("strip.png"));
    EXPECT_TRUE(strip->isLoaded());
    EXPECT_EQ(strip->getWidth(), 20);
    EXPECT_EQ(strip->getHeight(), 1310);
    EXPECT_EQ(CBitmap::getLoadCount(), loadsBefore + 1);

    auto* missing = new CBitmap(CResourceDescription("no-such-file.png"));
    EXPECT_FALSE(missing->isLoaded());
    EXPECT_EQ(missing->getWidth(), 0);

    // Views share a bitmap by reference.
    auto* view = new CView(CRect(0, 0, 10, 10));
    view->setBackground(strip);
    EXPECT_EQ(strip->getNbReference(), 2);
    view->forget();
    EXPECT_EQ(strip->getNbReference(), 1);
    strip->forget();
    missing->forget();

    EXPECT_EQ(bundleForResourcesPath("/no/such/folder"), nullptr);
    EXPECT_EQ(bundleForResourcesPath(nullptr), nullptr);
}

TEST(Resources, WithoutABundleOnlyAbsolutePathsLoad)
{
    TempResources resources;
    std::string absolute = resources.dir + "/strip.png";
    gBundleRef = nullptr;
    auto* relative = new CBitmap(CResourceDescription("strip.png"));
    auto* byPath = new CBitmap(CResourceDescription(absolute.c_str()));
    EXPECT_FALSE(relative->isLoaded());
    EXPECT_TRUE(byPath->isLoaded());
    relative->forget();
    byPath->forget();
}

TEST(Resources, BundleOfAddressNeedsAResourcesFolderBesideTheBinaryFolder)
{
    // The test binary is not inside a bundle.
    EXPECT_EQ(bundleOfAddress(reinterpret_cast<const void*>(&bundleOfAddress)), nullptr);
    EXPECT_EQ(bundleOfAddress(nullptr), nullptr);
}
