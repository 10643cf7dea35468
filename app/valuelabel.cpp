// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/valuelabel.h"

#include <QAccessibleWidget>
#include <QLabel>

namespace app {

namespace {

const char valueLabelProperty[] = "zumbrelValueLabel";

class ValueLabelAccessible final : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit ValueLabelAccessible(QLabel *label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text which) const override
    {
        switch (which) {
        case QAccessible::Name:
            return widget()->accessibleName().isEmpty() ? label()->text() : widget()->accessibleName();
        case QAccessible::Value:
            return label()->text();
        default:
            return QAccessibleWidget::text(which);
        }
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // Read only, without a caret or a selection.
    void selection(int, int *startOffset, int *endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void scrollToSubstring(int, int) override {}

    QString text(int startOffset, int endOffset) const override
    {
        const QString value = label()->text();
        const int start = qBound(0, startOffset, int(value.size()));
        const int end = endOffset < 0 ? int(value.size()) : qBound(start, endOffset, int(value.size()));
        return value.mid(start, end - start);
    }

    int characterCount() const override { return int(label()->text().size()); }

    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint &) const override { return -1; }

    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    QLabel *label() const { return static_cast<QLabel *>(widget()); }
};

QAccessibleInterface *valueLabelFactory(const QString &, QObject *object)
{
    auto *label = qobject_cast<QLabel *>(object);
    if (label && label->property(valueLabelProperty).toBool())
        return new ValueLabelAccessible(label);
    return nullptr;
}

} // namespace

void exposeValueAsText(QLabel *label)
{
    static const bool installed = [] {
        QAccessible::installFactory(&valueLabelFactory);
        return true;
    }();
    Q_UNUSED(installed);
    label->setProperty(valueLabelProperty, true);
    // Setting the caption may already have made Qt build and keep the plain interface of a
    // label; drop it so that the next query builds ours.
    QAccessibleInterface *existing = QAccessible::queryAccessibleInterface(label);
    if (existing && !dynamic_cast<ValueLabelAccessible *>(existing))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(existing));
}

} // namespace app
