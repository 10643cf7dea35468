// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/deferredicons.h"

#include <functional>
#include <memory>

#include <QApplication>
#include <QIconEngine>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>

namespace widgets {

namespace {

// Makes the icon once, at the first question anyone asks of it; copies share that icon.
class DeferredIconEngine final : public QIconEngine
{
public:
    explicit DeferredIconEngine(std::function<QIcon()> make)
        : m_icon(std::make_shared<Made>(Made{std::move(make), {}}))
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QString iconName() override { return icon().name(); }
    // Not known without making it, and a button that asks only wants to know whether to leave room.
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("deferred"); }
    QIconEngine *clone() const override { return new DeferredIconEngine(*this); }

private:
    struct Made
    {
        std::function<QIcon()> make;
        QIcon icon;
    };

    const QIcon &icon()
    {
        if (m_icon->make) {
            m_icon->icon = m_icon->make();
            m_icon->make = nullptr;
        }
        return m_icon->icon;
    }

    std::shared_ptr<Made> m_icon;
};

} // namespace

DeferredIconStyle::DeferredIconStyle(QStyle *base)
    : QProxyStyle(base)
{
}

QIcon DeferredIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option,
                                      const QWidget *widget) const
{
    const bool extensionButton
        = standardIcon == SP_ToolBarHorizontalExtensionButton || standardIcon == SP_ToolBarVerticalExtensionButton;
    // An option lives only for this call; with one, the icon is made now.
    if (!extensionButton || option)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    // Either may be gone by the time the icon is drawn. The arrow points the way the text ran
    // when the icon was asked for.
    const QPointer<QStyle> base = baseStyle();
    const QPointer<QWidget> asker = const_cast<QWidget *>(widget);
    const Qt::LayoutDirection direction = QGuiApplication::layoutDirection();
    return QIcon(new DeferredIconEngine([base, asker, standardIcon, direction] {
        QStyleOption asked;
        asked.direction = direction;
        return base ? base->standardIcon(standardIcon, &asked, asker.data()) : QIcon();
    }));
}

void deferExtensionIcons()
{
    QApplication::setStyle(new DeferredIconStyle(QStyleFactory::create(QApplication::style()->name())));
}

} // namespace widgets
