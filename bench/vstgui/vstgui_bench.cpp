// Redraw cost of an editor-sized frame: artwork, five film-strip knobs, a readout and two
// menus, drawn offscreen with the same code the X11 backend uses.

#include "vstgui/vstgui.h"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <memory>

using namespace VSTGUI;

namespace
{

// A 700 x 560 editor with generated artwork (no files needed).
struct Editor
{
    Editor()
    {
        background = new CBitmap(700, 560);
        strip = new CBitmap(60, 60 * 131);
        paint(background, 0.3);
        paint(strip, 0.6);
        frame = new CFrame(CRect(0, 0, 700, 560), nullptr);
        frame->open(nullptr, kOffscreen);
        frame->setBackground(background);
        for (int i = 0; i < 5; ++i)
        {
            CCoord left = 63 + i * 130;
            knobs[i] = new CAnimKnob(CRect(left, 455, left + 60, 515), nullptr, 3 + i, 131, 60,
                                     strip, CPoint(left, 455));
            frame->addView(knobs[i]);
        }
        auto* label = new CTextLabel(CRect(322, 428, 510, 443), "Gain 37.00");
        label->setBackColor(kTransparentCColor);
        label->setFrameColor(kTransparentCColor);
        frame->addView(label);
        for (int m = 0; m < 2; ++m)
        {
            auto* menu = new COptionMenu(m ? CRect(6, 420, 165, 440) : CRect(14, 14, 270, 34),
                                         nullptr, 8 + m, nullptr, nullptr, k3DIn);
            menu->setFont(kNormalFontVeryBig);
            menu->setBackColor(kTransparentCColor);
            menu->setFrameColor(kTransparentCColor);
            for (int e = 0; e < (m ? 2 : 28); ++e)
                menu->addEntry("6 Senn + 57 - Newer");
            menu->setCurrent(0);
            frame->addView(menu);
        }
    }
    ~Editor()
    {
        frame->close();
        background->forget();
        strip->forget();
    }
    static void paint(CBitmap* bitmap, double grey)
    {
        cairo_t* cr = cairo_create(bitmap->getCairoSurface());
        cairo_set_source_rgb(cr, grey, grey, grey);
        cairo_paint(cr);
        cairo_destroy(cr);
    }

    CBitmap* background;
    CBitmap* strip;
    CFrame* frame;
    CAnimKnob* knobs[5];
};

void BM_FullRedraw(benchmark::State& state)
{
    Editor editor;
    IPlatformFrame* platform = editor.frame->getPlatformFrame();
    for (auto _ : state)
    {
        editor.frame->invalid();
        platform->redrawInvalid();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMicrosecond);

void BM_OneKnobTurned(benchmark::State& state)
{
    Editor editor;
    IPlatformFrame* platform = editor.frame->getPlatformFrame();
    platform->redrawInvalid();
    float value = 0;
    for (auto _ : state)
    {
        value = value > 0.99f ? 0.f : value + 0.01f;
        editor.knobs[0]->setValue(value);
        editor.knobs[0]->invalid();
        platform->redrawInvalid();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_OneKnobTurned)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
