// SPDX-License-Identifier: GPL-3.0-or-later
#include "shapecheck.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/shape.h>
#include <xcb/xcb.h>

namespace shapecheck {

namespace {

xcb_connection_t *connection()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t root()
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection())).data->root;
}

// The window's place on the root window, in device pixels.
QRect nativeGeometry(QWidget *window)
{
    xcb_connection_t *c = connection();
    const auto id = xcb_window_t(window->winId());
    xcb_get_geometry_reply_t *geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr);
    xcb_translate_coordinates_reply_t *at =
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, id, root(), 0, 0), nullptr);
    QRect rect;
    if (geometry && at)
        rect = QRect(at->dst_x, at->dst_y, geometry->width, geometry->height);
    free(geometry);
    free(at);
    return rect;
}

} // namespace

void paintBackdrop()
{
    xcb_connection_t *c = connection();
    const uint32_t pixel = backdrop & 0xffffff;
    xcb_change_window_attributes(c, root(), XCB_CW_BACK_PIXEL, &pixel);
    xcb_clear_area(c, 0, root(), 0, 0, 0, 0);
    xcb_flush(c);
}

QRegion xShape(QWidget *window)
{
    xcb_connection_t *c = connection();
    xcb_shape_get_rectangles_reply_t *reply = xcb_shape_get_rectangles_reply(
        c, xcb_shape_get_rectangles(c, xcb_window_t(window->winId()), XCB_SHAPE_SK_BOUNDING), nullptr);
    QRegion region;
    if (!reply)
        return region;
    const xcb_rectangle_t *rects = xcb_shape_get_rectangles_rectangles(reply);
    for (int i = 0; i < xcb_shape_get_rectangles_rectangles_length(reply); ++i)
        region += QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
    free(reply);
    return region;
}

QImage screenshot(QWidget *window)
{
    xcb_connection_t *c = connection();
    const QRect where = nativeGeometry(window);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    // A pixel or so of a window may hang off the screen at a fractional scale; that part stays
    // transparent here.
    const QRect visible = where & QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels);
    if (visible.isEmpty())
        return {};
    xcb_get_image_reply_t *reply = xcb_get_image_reply(
        c,
        xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root(), int16_t(visible.x()), int16_t(visible.y()),
                      uint16_t(visible.width()), uint16_t(visible.height()), ~0u),
        nullptr);
    if (!reply)
        return {};
    // A 24-bit server hands out 32-bit pixels, blue first: QImage's RGB32 on this machine.
    const QImage shot(xcb_get_image_data(reply), visible.width(), visible.height(), QImage::Format_RGB32);
    QImage image(where.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x)
            image.setPixel(visible.x() - where.x() + x, visible.y() - where.y() + y, shot.pixel(x, y) | 0xff000000);
    }
    free(reply);
    return image;
}

int shapeMismatches(QWidget *window, const QRegion &shape)
{
    const QImage shot = screenshot(window);
    if (shot.isNull())
        return -1;
    int mismatches = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (qAlpha(shot.pixel(x, y)) == 0)
                continue; // off the screen
            const bool shown = shot.pixel(x, y) != backdrop;
            mismatches += shown != shape.contains(QPoint(x, y));
        }
    }
    return mismatches;
}

} // namespace shapecheck
