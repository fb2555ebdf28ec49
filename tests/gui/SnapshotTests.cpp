// The stand-in host's headless editor path: PNG snapshots through the offscreen view container.
#include <gtest/gtest.h>

#include <cairo.h>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "AAX_CHostServices.h"
#include "FakeHost.h"
#include "GUI/RovuRiza_AnimKnobVST.h"
#include "GUI/RovuRiza_GUI_VST.h"
#include "GUI/RovuRiza_View.h"
#include "HostEditor.h"

using guitest::FakeInstanceHost;
using guitest::FakeParameters;
using tavelo::host::HostEditor;

namespace
{
struct SurfaceDeleter
{
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

Surface LoadPNG(const std::string& path)
{
    Surface surface(cairo_image_surface_create_from_png(path.c_str()));
    EXPECT_EQ(cairo_surface_status(surface.get()), CAIRO_STATUS_SUCCESS) << path;
    return surface;
}

uint32_t Pixel(cairo_surface_t* surface, int x, int y)
{
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    return *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
}

AAX_CCreateObjectProc EditorFactory()
{
    return reinterpret_cast<AAX_CCreateObjectProc>(&RovuRiza_GUI::Create);
}

class SnapshotTest : public ::testing::Test
{
protected:
    void SetUp() override { AAX_CHostServices::Set(&host); }
    void TearDown() override { AAX_CHostServices::Set(nullptr); }

    std::string TempPath(const char* name)
    {
        return (std::filesystem::temp_directory_path() /
                (std::string("tavelo_gui_") + std::to_string(getpid()) + "_" + name))
            .string();
    }

    FakeParameters params;
    FakeInstanceHost host{&params};
};

TEST_F(SnapshotTest, GainAtFullDiffersOnlyInsideTheGainKnobWhichShowsTheLastFrame)
{
    HostEditor editor(EditorFactory(), &host);
    ASSERT_TRUE(editor.Create()) << editor.Error();
    ASSERT_TRUE(editor.OpenOffscreen()) << editor.Error();
    const AAX_Point size = editor.ViewSize();
    ASSERT_EQ(size.horz, RovuRiza_View::Background()->getWidth());
    ASSERT_EQ(size.vert, RovuRiza_View::Background()->getHeight());

    const std::string atDefault = TempPath("default.png");
    const std::string atFull = TempPath("gain_full.png");
    ASSERT_TRUE(editor.WritePNG(atDefault));
    params.values["Gain"] = 1.0;
    ASSERT_EQ(editor.ParameterUpdated("Gain"), AAX_SUCCESS);
    ASSERT_TRUE(editor.WritePNG(atFull));

    Surface before = LoadPNG(atDefault);
    Surface after = LoadPNG(atFull);
    const int width = cairo_image_surface_get_width(before.get());
    const int height = cairo_image_surface_get_height(before.get());
    ASSERT_EQ(width, static_cast<int>(size.horz));
    ASSERT_EQ(height, static_cast<int>(size.vert));

    VSTGUI::CBitmap* strip = RovuRiza_View::KnobStrip();
    const int knobWidth = static_cast<int>(strip->getWidth());
    const int knobHeight = static_cast<int>(strip->getHeight()) / 131;
    const int left = 63, top = 455;
    int changedInside = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const bool inside =
                x >= left && x < left + knobWidth && y >= top && y < top + knobHeight;
            const bool same = Pixel(before.get(), x, y) == Pixel(after.get(), x, y);
            if (!inside)
                ASSERT_TRUE(same) << "pixel " << x << "," << y << " outside the Gain knob changed";
            else if (!same)
                ++changedInside;
        }
    EXPECT_GT(changedInside, 20);

    // Where the strip's last frame is opaque, the snapshot shows exactly that frame.
    Surface film = LoadPNG(RovuRiza_View::KnobStrip()->getPath());
    int compared = 0;
    for (int y = 0; y < knobHeight; ++y)
        for (int x = 0; x < knobWidth; ++x)
        {
            const uint32_t source = Pixel(film.get(), x, 130 * knobHeight + y);
            if ((source >> 24) != 0xFF) continue;
            ASSERT_EQ(Pixel(after.get(), left + x, top + y), source) << x << "," << y;
            ++compared;
        }
    EXPECT_GT(compared, knobWidth * knobHeight / 2);
    if (std::getenv("TAVELO_KEEP_SNAPSHOTS")) return; // for looking at them
    std::filesystem::remove(atDefault);
    std::filesystem::remove(atFull);
}

TEST_F(SnapshotTest, HostShortcutArmsAParameterAndHighlightsFollowTheAutomationState)
{
    HostEditor editor(EditorFactory(), &host);
    ASSERT_TRUE(editor.OpenOffscreen()) << editor.Error();
    auto* gui = static_cast<RovuRiza_GUI*>(editor.Editor());
    RovuRiza_View* view = gui->GetRovuRizaView();
    ASSERT_NE(view, nullptr);
    VSTGUI::IPlatformFrame& platform = *view->getPlatformFrame();

    // Control + Command click: the host's; the knob does not move and no edit starts.
    platform.injectMouseDown(VSTGUI::CPoint(93, 485),
                             VSTGUI::kLButton | VSTGUI::kControl | VSTGUI::kApple);
    platform.injectMouseMoved(VSTGUI::CPoint(93, 440),
                              VSTGUI::kLButton | VSTGUI::kControl | VSTGUI::kApple);
    platform.injectMouseUp(VSTGUI::CPoint(93, 440), VSTGUI::kControl | VSTGUI::kApple);
    EXPECT_TRUE(params.log.empty());
    EXPECT_TRUE(editor.IsArmed("Gain"));
    const auto& mouse = editor.Container()->MouseLog();
    ASSERT_EQ(mouse.size(), 3u);
    EXPECT_EQ(mouse[0], "down Gain 0xa taken");
    EXPECT_EQ(mouse[1], "drag Gain 0xa taken");
    EXPECT_EQ(mouse[2], "up Gain 0xa taken");

    editor.Timer();
    EXPECT_TRUE(view->GainKnob()->isHighLite());
    EXPECT_EQ(view->GainKnob()->getCoronaColor(), VSTGUI::CColor(0, 200, 0, 255));
    editor.SetTouched("Gain", true);
    editor.Timer();
    EXPECT_EQ(view->GainKnob()->getCoronaColor(), VSTGUI::CColor(200, 0, 0, 255));
    editor.SetTouched("Gain", false);
    editor.ToggleArmed("Gain");
    editor.Timer();
    editor.Timer(); // unchanged state: not sent again
    EXPECT_FALSE(view->GainKnob()->isHighLite());
    EXPECT_EQ(editor.HighlightLog(),
              (std::vector<std::string>{"Gain 1 2", "Gain 1 0", "Gain 0 2"}));

    // A plain click is refused, so the toolkit gets it.
    platform.injectMouseDown(VSTGUI::CPoint(93, 485), VSTGUI::kLButton);
    platform.injectMouseUp(VSTGUI::CPoint(93, 485), 0);
    EXPECT_EQ(editor.Container()->MouseLog().back(), "up Gain 0x0 refused");
    EXPECT_EQ(params.log, (std::vector<std::string>{"touch Gain", "release Gain"}));
}
} // namespace

namespace
{
TEST(PageTableTest, ListsEveryParameterExactlyOnce)
{
    const VSTGUI::BundleInfo* bundle =
        VSTGUI::bundleOfAddress(reinterpret_cast<const void*>(&RovuRiza_GUI::Create));
    ASSERT_NE(bundle, nullptr);
    const std::string path = bundle->resourcesPath + "/DudE.xml";
    std::FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr) << path;
    std::string text;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        text.append(buffer, n);
    std::fclose(file);
    for (const char* id :
         {"MasterBypassID", "Gain", "Tremolo", "Tone", "Rate", "Volume", "Sound", "Pickup"})
    {
        const std::string attribute = std::string("parameter=\"") + id + "\"";
        const size_t first = text.find(attribute);
        EXPECT_NE(first, std::string::npos) << id;
        EXPECT_EQ(text.find(attribute, first + 1), std::string::npos) << id;
    }
    size_t slots = 0;
    for (size_t at = text.find("<Slot "); at != std::string::npos; at = text.find("<Slot ", at + 1))
        ++slots;
    EXPECT_EQ(slots, 8u);
}
} // namespace
