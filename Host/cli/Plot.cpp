#include "Plot.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>

#include "SignalAnalysis.h"

namespace tavelo::cli
{
namespace
{

struct Rect
{
    double x, y, w, h;
};

struct Axis
{
    double lo, hi;
    bool log;
    double map(double v, double p0, double p1) const
    {
        double t = log ? (std::log10(std::max(v, 1e-30)) - std::log10(lo)) /
                             (std::log10(hi) - std::log10(lo))
                       : (v - lo) / (hi - lo);
        return p0 + t * (p1 - p0);
    }
};

const double kPalette[][3] = {
    {0.10, 0.35, 0.75}, {0.85, 0.40, 0.10}, {0.20, 0.60, 0.25}, {0.55, 0.25, 0.65}};
const char* const kPaletteNames[] = {"blue", "orange", "green", "purple"};

void drawText(cairo_t* cr, double x, double y, const std::string& text, double size,
              bool centred = false)
{
    cairo_select_font_face(cr, "FreeSans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text.c_str(), &ext);
    cairo_move_to(cr, centred ? x - ext.width / 2 - ext.x_bearing : x, y);
    cairo_show_text(cr, text.c_str());
}

// Frame, grid lines and tick labels of one chart area.
void drawFrame(cairo_t* cr, const Rect& r, const Axis& ax, const Axis& ay,
               const std::vector<double>& xTicks, const std::vector<double>& yTicks, bool labels,
               const char* yUnit)
{
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, r.x, r.y, r.w, r.h);
    cairo_fill(cr);
    cairo_set_line_width(cr, 0.5);
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
    for (double t : xTicks)
    {
        double px = ax.map(t, r.x, r.x + r.w);
        cairo_move_to(cr, px, r.y);
        cairo_line_to(cr, px, r.y + r.h);
    }
    for (double t : yTicks)
    {
        double py = ay.map(t, r.y + r.h, r.y);
        cairo_move_to(cr, r.x, py);
        cairo_line_to(cr, r.x + r.w, py);
    }
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, r.x, r.y, r.w, r.h);
    cairo_stroke(cr);
    if (!labels) return;
    char buf[32];
    for (double t : xTicks)
    {
        if (ax.log)
            std::snprintf(buf, sizeof buf, t >= 1000 ? "%gk" : "%g", t >= 1000 ? t / 1000 : t);
        else
            std::snprintf(buf, sizeof buf, "%g", t);
        drawText(cr, ax.map(t, r.x, r.x + r.w), r.y + r.h + 11, buf, 9, true);
    }
    for (double t : yTicks)
    {
        std::snprintf(buf, sizeof buf, "%g%s", t, yUnit);
        drawText(cr, r.x - 34, ay.map(t, r.y + r.h, r.y) + 3, buf, 9);
    }
}

void drawCurve(cairo_t* cr, const Rect& r, const Axis& ax, const Axis& ay, const Curve& c,
               const double rgb[3], double width)
{
    cairo_save(cr);
    cairo_rectangle(cr, r.x, r.y, r.w, r.h);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, rgb[0], rgb[1], rgb[2]);
    cairo_set_line_width(cr, width);
    bool started = false;
    for (size_t k = 0; k < c.x.size() && k < c.y.size(); ++k)
    {
        if (!std::isfinite(c.y[k])) continue;
        double px = ax.map(c.x[k], r.x, r.x + r.w);
        double py = ay.map(std::clamp(c.y[k], ay.lo - 10 * (ay.hi - ay.lo), ay.hi * 10 + 1000),
                           r.y + r.h, r.y);
        if (!started)
            cairo_move_to(cr, px, py);
        else
            cairo_line_to(cr, px, py);
        started = true;
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

std::vector<double> decadeTicks(double lo, double hi)
{
    std::vector<double> ticks;
    for (double d = 1; d <= hi; d *= 10)
        for (double m : {1.0, 2.0, 5.0})
            if (d * m >= lo && d * m <= hi) ticks.push_back(d * m);
    return ticks;
}

bool finish(cairo_surface_t* surface, cairo_t* cr, const std::string& path, std::string& error)
{
    cairo_destroy(cr);
    cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS)
    {
        error = "cannot write " + path + ": " + cairo_status_to_string(status);
        return false;
    }
    return true;
}

} // namespace

std::vector<double> averagedSpectrumDb(const std::vector<float>& signal, double sampleRate,
                                       size_t fftSize, std::vector<double>& hz)
{
    std::vector<double> power(fftSize / 2 + 1, 0.0);
    std::vector<double> window(fftSize);
    double windowSum = 0;
    for (size_t k = 0; k < fftSize; ++k)
    {
        window[k] = 0.5 - 0.5 * std::cos(2 * M_PI * double(k) / double(fftSize));
        windowSum += window[k];
    }
    size_t frames = 0;
    std::vector<std::complex<double>> buf(fftSize);
    for (size_t start = 0; start + fftSize <= signal.size(); start += fftSize / 2, ++frames)
    {
        for (size_t k = 0; k < fftSize; ++k)
            buf[k] = signal[start + k] * window[k];
        tavelo::signal::fft(buf);
        for (size_t k = 0; k < power.size(); ++k)
            power[k] += std::norm(buf[k]);
    }
    hz.resize(power.size());
    std::vector<double> db(power.size());
    for (size_t k = 0; k < power.size(); ++k)
    {
        hz[k] = double(k) * sampleRate / double(fftSize);
        const double mean = frames ? power[k] / double(frames) : 0.0;
        const double amplitude = 2.0 * std::sqrt(mean) / windowSum; // a full-scale sine reads 0 dB
        db[k] = tavelo::signal::gainDb(std::max(amplitude, 1e-12));
    }
    return db;
}

bool plotVoicingPanels(const std::string& path, const std::vector<std::vector<Curve>>& panels,
                       const std::vector<std::string>& titles, double minHz, double maxHz,
                       std::string& error)
{
    const int columns = 4;
    const int rows = int((panels.size() + columns - 1) / columns);
    const double panelW = 300, panelH = 150, margin = 44, titleH = 64;
    const int width = int(columns * (panelW + margin) + margin);
    const int height = int(titleH + rows * (panelH + margin) + margin / 2);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0.96, 0.95, 0.92);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    drawText(cr, margin, 26, "Tavelo1 microphone voicings: magnitude in dB at 48 kHz", 18);
    if (!panels.empty())
    {
        std::string key;
        for (size_t c = 0; c < panels.front().size(); ++c)
            key +=
                (c ? ", " : "") + std::string(kPaletteNames[c % 4]) + " " + panels.front()[c].label;
        drawText(cr, margin, 46, key, 12);
    }

    // Shared dB range, from the first curve of each panel, so panels compare at a glance.
    double top = -1e9;
    for (const auto& p : panels)
        for (const auto& c : p)
            for (size_t k = 0; k < c.y.size() && &c == &p.front(); ++k)
                if (c.x[k] >= minHz && c.x[k] <= maxHz && std::isfinite(c.y[k]))
                    top = std::max(top, c.y[k]);
    top = std::ceil(top / 10.0) * 10.0;
    top += 10.0;
    const Axis ay{top - 60.0, top, false};
    const Axis ax{minHz, maxHz, true};
    std::vector<double> yTicks;
    for (double v = ay.lo; v <= ay.hi + 1e-9; v += 20)
        yTicks.push_back(v);

    for (size_t i = 0; i < panels.size(); ++i)
    {
        const Rect r{margin + double(i % columns) * (panelW + margin),
                     titleH + double(i / columns) * (panelH + margin), panelW, panelH};
        drawFrame(cr, r, ax, ay, decadeTicks(minHz, maxHz), yTicks, true, "");
        for (size_t c = 0; c < panels[i].size(); ++c)
            drawCurve(cr, r, ax, ay, panels[i][c], kPalette[c % 4], c == 0 ? 1.4 : 1.0);
        cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
        if (i < titles.size()) drawText(cr, r.x + 4, r.y - 5, titles[i], 11);
    }
    return finish(surface, cr, path, error);
}

bool plotRender(const std::string& path, const std::vector<float>& input,
                const std::vector<float>& output, double sampleRate, const std::string& title,
                std::string& error)
{
    const int width = 1200, height = 800;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0.96, 0.95, 0.92);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    drawText(cr, 60, 28, title, 18);

    const double seconds = double(std::max(input.size(), output.size())) / sampleRate;
    const Axis at{0.0, std::max(seconds, 1e-3), false};
    // Full scale, or the output's own peak when it runs hotter (rounded up to a whole number).
    float peak = 1.0f;
    for (float v : output)
        if (std::isfinite(v)) peak = std::max(peak, std::abs(v));
    const double range = std::ceil(peak);
    const Axis aw{-range, range, false};
    std::vector<double> tTicks;
    const double tStep = seconds > 10 ? 2.0 : (seconds > 2 ? 0.5 : 0.1);
    for (double t = 0; t <= seconds + 1e-9; t += tStep)
        tTicks.push_back(t);

    // Waveforms as min/max envelopes per pixel column.
    auto drawWave =
        [&](const Rect& r, const std::vector<float>& x, const double rgb[3], const char* name)
    {
        drawFrame(cr, r, at, aw, tTicks, {-range, -range / 2, 0.0, range / 2, range}, true, "");
        cairo_set_source_rgb(cr, rgb[0], rgb[1], rgb[2]);
        cairo_set_line_width(cr, 1.0);
        const int columns = int(r.w);
        for (int c = 0; c < columns && !x.empty(); ++c)
        {
            size_t a = size_t(double(c) / columns * seconds * sampleRate);
            size_t b = size_t(double(c + 1) / columns * seconds * sampleRate);
            a = std::min(a, x.size());
            b = std::min(std::max(b, a + 1), x.size());
            if (a >= b) continue;
            auto [lo, hi] = std::minmax_element(x.begin() + long(a), x.begin() + long(b));
            cairo_move_to(cr, r.x + c + 0.5,
                          aw.map(std::clamp(double(*hi), -range, range), r.y + r.h, r.y));
            cairo_line_to(cr, r.x + c + 0.5,
                          aw.map(std::clamp(double(*lo), -range, range), r.y + r.h, r.y) + 0.5);
        }
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
        drawText(cr, r.x + 4, r.y - 5, name, 12);
    };
    drawWave({60, 60, 1100, 180}, input, kPalette[0], "Input (DI)");
    drawWave({60, 290, 1100, 180}, output, kPalette[1], "Output");

    const size_t fftSize = 4096;
    std::vector<double> hz;
    Curve in{"input", {}, averagedSpectrumDb(input, sampleRate, fftSize, hz)};
    in.x = hz;
    Curve out{"output", {}, averagedSpectrumDb(output, sampleRate, fftSize, hz)};
    out.x = hz;
    const Rect rs{60, 520, 1100, 230};
    const Axis af{20.0, sampleRate / 2, true};
    const Axis adb{-140.0, 20.0, false};
    drawFrame(cr, rs, af, adb, decadeTicks(20.0, sampleRate / 2),
              {-140, -120, -100, -80, -60, -40, -20, 0, 20}, true, "");
    drawCurve(cr, rs, af, adb, in, kPalette[0], 1.2);
    drawCurve(cr, rs, af, adb, out, kPalette[1], 1.2);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    drawText(cr, rs.x + 4, rs.y - 5, "Average spectrum (dBFS): input blue, output orange", 12);
    drawText(cr, rs.x + rs.w / 2, rs.y + rs.h + 26, "Hz", 10, true);
    return finish(surface, cr, path, error);
}

} // namespace tavelo::cli
