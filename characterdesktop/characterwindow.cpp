// SPDX-License-Identifier: GPL-3.0-or-later
#include "characterdesktop/characterwindow.h"

#include <utility>

#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#ifdef ZUMBREL_HAVE_XCB
#include <xcb/shape.h>
#include <xcb/xcb.h>
#endif

using namespace Qt::StringLiterals;

namespace character {

const char *const CharacterWindow::ownWindowProperty = "zumbrelCharacterWindow";

bool desktopHasCompositor()
{
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(u"wayland"))
        return true;
#ifdef ZUMBREL_HAVE_XCB
    if (platform == u"xcb") {
        auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        if (!x11 || !x11->connection())
            return false;
        xcb_connection_t *connection = x11->connection();
        // A compositing manager owns the _NET_WM_CM_S<screen> selection.
        const QByteArray name = "_NET_WM_CM_S0";
        xcb_intern_atom_reply_t *atom =
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 1, uint16_t(name.size()), name.constData()), nullptr);
        if (!atom)
            return false;
        bool owned = false;
        if (atom->atom != XCB_ATOM_NONE) {
            xcb_get_selection_owner_reply_t *owner =
                xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom), nullptr);
            owned = owner && owner->owner != XCB_WINDOW_NONE;
            free(owner);
        }
        free(atom);
        return owned;
    }
#endif
    return false;
}

QRegion opaqueRegion(const QImage &image)
{
    const QImage argb = image.format() == QImage::Format_ARGB32_Premultiplied || image.format() == QImage::Format_ARGB32
        ? image
        : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // One band per row, runs left to right: the order QRegion::setRects expects.
    QList<QRect> runs;
    for (int y = 0; y < argb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        int x = 0;
        while (x < argb.width()) {
            while (x < argb.width() && qAlpha(line[x]) < 128)
                ++x;
            const int start = x;
            while (x < argb.width() && qAlpha(line[x]) >= 128)
                ++x;
            if (x > start)
                runs << QRect(start, y, x - start, 1);
        }
    }
    QRegion region;
    region.setRects(runs.constData(), int(runs.size()));
    return region;
}

void setWindowShape(QWidget *window, const QRegion &devicePixels)
{
    // An empty shape would mean no shape at all: the whole window would show.
    const QRegion shape = devicePixels.isEmpty() ? QRegion(0, 0, 1, 1) : devicePixels;
#ifdef ZUMBREL_HAVE_XCB
    if (QGuiApplication::platformName() == u"xcb") {
        auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        if (x11 && x11->connection()) {
            xcb_connection_t *connection = x11->connection();
            QList<xcb_rectangle_t> rects;
            rects.reserve(shape.rectCount());
            for (const QRect &r : shape)
                rects << xcb_rectangle_t{int16_t(r.x()), int16_t(r.y()), uint16_t(r.width()), uint16_t(r.height())};
            xcb_shape_rectangles(connection, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, XCB_CLIP_ORDERING_YX_BANDED,
                                 xcb_window_t(window->winId()), 0, 0, uint32_t(rects.size()), rects.constData());
            xcb_flush(connection);
            return;
        }
    }
#endif
    const qreal ratio = window->devicePixelRatioF();
    if (qFuzzyCompare(ratio, 1.0)) {
        window->setMask(shape);
        return;
    }
    QRegion logical;
    for (const QRect &r : shape)
        logical += QRectF(r.x() / ratio, r.y() / ratio, r.width() / ratio, r.height() / ratio).toAlignedRect();
    window->setMask(logical);
}

void keepOffTaskbar(QWidget *window)
{
#ifdef ZUMBREL_HAVE_XCB
    if (QGuiApplication::platformName() != u"xcb")
        return;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    xcb_connection_t *connection = x11->connection();
    // All three asked for before any answer is awaited: one round trip to the server.
    const char *const names[] = {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE"};
    xcb_intern_atom_cookie_t cookies[3];
    for (int i = 0; i < 3; ++i)
        cookies[i] = xcb_intern_atom(connection, 0, uint16_t(qstrlen(names[i])), names[i]);
    xcb_atom_t atoms[3];
    for (int i = 0; i < 3; ++i) {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookies[i], nullptr);
        atoms[i] = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
    }
    // Utility windows stay out of most task bars already; these states say it to all of them.
    // Qt keeps states it did not set when it maps the window.
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, xcb_window_t(window->winId()), atoms[2], XCB_ATOM_ATOM, 32, 2,
                        atoms);
    xcb_flush(connection);
#else
    Q_UNUSED(window);
#endif
}

namespace {

// A screen reader learns what the windows are: the character an animation, what he says a
// notification to read out, the listening tip a tip.
QAccessibleInterface *accessibleInterface(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (className == u"character::CharacterWindow")
        return new QAccessibleWidget(widget, QAccessible::Animation);
    if (className == u"character::BalloonWindow")
        return new QAccessibleWidget(widget, QAccessible::Notification);
    if (className == u"character::ListeningTip")
        return new QAccessibleWidget(widget, QAccessible::ToolTip);
    return nullptr;
}

} // namespace

void installAccessibleInterfaces()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

short shiftState(Qt::KeyboardModifiers modifiers)
{
    short state = 0;
    if (modifiers & Qt::ShiftModifier)
        state |= 1;
    if (modifiers & Qt::ControlModifier)
        state |= 2;
    if (modifiers & Qt::AltModifier)
        state |= 4;
    return state;
}

namespace {

short buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

} // namespace

CharacterWindow::CharacterWindow(bool translucent, QWidget *parent)
    : QWidget(parent,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus
                  | Qt::NoDropShadowWindowHint)
    , m_translucent(translucent)
{
    setObjectName(u"characterWindow"_s);
    setProperty(ownWindowProperty, true);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_TranslucentBackground, translucent);
    setAttribute(Qt::WA_NoSystemBackground);
    // Never by the mouse, so the child's typing stays in the answer box; a screen reader's
    // "focus" action is offered only to widgets that take the focus somehow.
    setFocusPolicy(Qt::TabFocus);
    setWindowTitle(QCoreApplication::translate("character", "Character"));
}

void CharacterWindow::setVisible(bool visible)
{
    // Said to the window system before the window is first mapped, not when it is made: a program
    // that loads a character while it builds its own window does not wait for the round trips.
    if (visible && !std::exchange(m_keptOffTaskbar, true))
        keepOffTaskbar(this);
    QWidget::setVisible(visible);
}

void CharacterWindow::setFrame(const QImage &frame)
{
    const QSize logical = (QSizeF(frame.size()) / frame.devicePixelRatio()).toSize();
    if (size() != logical)
        setFixedSize(logical);
    m_frame = frame;
    if (!m_translucent) {
        // Without a compositor only the shape shows through; only the character's own pixels
        // then take the mouse, too.
        QRegion shape = opaqueRegion(frame);
        if (shape != m_shape) {
            m_shape = std::move(shape);
            setWindowShape(this, m_shape);
        }
    }
    update();
}

bool CharacterWindow::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::ScreenChangeInternal && !m_frame.isNull()
        && !qFuzzyCompare(m_frame.devicePixelRatio(), devicePixelRatioF()))
        emit devicePixelRatioChanged();
    return handled;
}

void CharacterWindow::moveWithinWorkArea(QPoint topLeft)
{
    QScreen *screen = QGuiApplication::screenAt(topLeft + QPoint(width() / 2, height() / 2));
    if (!screen)
        screen = QGuiApplication::screenAt(topLeft);
    if (!screen)
        screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        topLeft.setX(std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() + 1 - width())));
        topLeft.setY(std::clamp(topLeft.y(), area.top(), std::max(area.top(), area.bottom() + 1 - height())));
    }
    move(topLeft);
}

void CharacterWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(QPointF(0, 0), m_frame);
}

void CharacterWindow::mousePressEvent(QMouseEvent *event)
{
    if (m_pressed != Qt::NoButton)
        return;
    m_pressed = event->button();
    m_pressGlobal = event->globalPosition().toPoint();
    m_pressWindowPos = pos();
    m_dragging = false;
    if (m_pressed == Qt::RightButton) {
        m_pressed = Qt::NoButton;
        emit menuRequested(m_pressGlobal);
    }
}

void CharacterWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (m_pressed != Qt::LeftButton)
        return;
    const QPoint delta = event->globalPosition().toPoint() - m_pressGlobal;
    if (!m_dragging && delta.manhattanLength() < QApplication::startDragDistance())
        return;
    m_dragging = true;
    moveWithinWorkArea(m_pressWindowPos + delta);
}

void CharacterWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != m_pressed)
        return;
    const Qt::MouseButton button = m_pressed;
    m_pressed = Qt::NoButton;
    const short shift = shiftState(event->modifiers());
    const QPoint where = event->globalPosition().toPoint();
    if (m_dragging) {
        m_dragging = false;
        emit dragged(buttonCode(button), shift, where);
    } else if (buttonCode(button) != 0) {
        emit clicked(buttonCode(button), shift, where);
    }
}

bool isMenuKey(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    return (event->key() == Qt::Key_Menu && modifiers == Qt::NoModifier)
        || (event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier);
}

void CharacterWindow::keyPressEvent(QKeyEvent *event)
{
    if (isMenuKey(event)) {
        event->accept();
        if (!event->isAutoRepeat())
            emit menuKeyPressed();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CharacterWindow::contextMenuEvent(QContextMenuEvent *event)
{
    // The mouse's right button has opened the menu on its press already.
    if (event->reason() == QContextMenuEvent::Keyboard)
        emit menuKeyPressed();
    event->accept();
}

void CharacterWindow::moveEvent(QMoveEvent *)
{
    emit moved();
}

void CharacterWindow::closeEvent(QCloseEvent *event)
{
    // Refusing would stop the application from quitting; the character shows itself again
    // if it still has something to do.
    event->accept();
    emit closedFromOutside();
}

} // namespace character
