// lv2_x11_capture WINDOW OUT.png REFERENCE.png: finds the largest window without children
// inside WINDOW (a host's top-level window: the embedded editor), writes what the X server shows
// there and says how much of it matches REFERENCE (the editor's faceplate), and where it is on
// the screen. Exit status 0 when at least 60 % of the pixels match.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <cairo.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
Window LargestLeaf(Display* display, Window window, long* area)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    XWindowAttributes a{};
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
    Window best = 0;
    if (count == 0 && XGetWindowAttributes(display, window, &a) && a.map_state == IsViewable &&
        long(a.width) * a.height > *area)
    {
        *area = long(a.width) * a.height;
        best = window;
    }
    for (unsigned k = 0; k < count; ++k)
        if (Window found = LargestLeaf(display, children[k], area)) best = found;
    if (children) XFree(children);
    return best;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::fprintf(stderr, "usage: %s WINDOW OUT.png REFERENCE.png\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display)
    {
        std::fprintf(stderr, "cannot open the X display\n");
        return 1;
    }
    long area = 0;
    const Window window = LargestLeaf(display, std::strtoul(argv[1], nullptr, 0), &area);
    XWindowAttributes attributes{};
    Window child = 0;
    int x = 0, y = 0;
    if (!XGetWindowAttributes(display, window, &attributes) ||
        !XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child))
    {
        std::fprintf(stderr, "no window %s\n", argv[1]);
        return 1;
    }
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, unsigned(attributes.width),
                              unsigned(attributes.height), AllPlanes, ZPixmap);
    if (!image) return std::fprintf(stderr, "cannot read the window's pixels\n"), 1;
    cairo_surface_t* shot =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, attributes.width, attributes.height);
    cairo_surface_t* reference = cairo_image_surface_create_from_png(argv[3]);
    const bool haveReference = cairo_surface_status(reference) == CAIRO_STATUS_SUCCESS;
    const int refWidth = haveReference ? cairo_image_surface_get_width(reference) : 0;
    const int refHeight = haveReference ? cairo_image_surface_get_height(reference) : 0;
    auto* pixels = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(shot));
    const int stride = cairo_image_surface_get_stride(shot) / 4;
    long matching = 0;
    for (int row = 0; row < attributes.height; ++row)
        for (int col = 0; col < attributes.width; ++col)
        {
            const uint32_t p = uint32_t(XGetPixel(image, col, row)) & 0xffffff;
            pixels[row * stride + col] = p;
            if (row >= refHeight || col >= refWidth) continue;
            const uint32_t r = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(
                reference))[row * cairo_image_surface_get_stride(reference) / 4 + col];
            bool close = true;
            for (int shift : {0, 8, 16})
                close =
                    close && std::abs(int((p >> shift) & 0xff) - int((r >> shift) & 0xff)) <= 24;
            matching += close;
        }
    cairo_surface_mark_dirty(shot);
    const bool written = cairo_surface_write_to_png(shot, argv[2]) == CAIRO_STATUS_SUCCESS;
    const double share = 100.0 * double(matching) / double(attributes.width * attributes.height);
    std::printf("editor %dx%d at %d %d: %.1f %% of its pixels match the faceplate\n",
                attributes.width, attributes.height, x, y, share);
    XDestroyImage(image);
    cairo_surface_destroy(shot);
    cairo_surface_destroy(reference);
    XCloseDisplay(display);
    return written && share >= 60.0 ? 0 : 1;
}
