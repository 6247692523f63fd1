#include "qt/AlignLayout.h"

#include "services/ui/TControl.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QHash>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>
#include <QWidgetItem>

#include <algorithm>

AlignLayout::AlignLayout(QWidget* parent) : QLayout(parent) {
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

AlignLayout::~AlignLayout() {
    for (auto& e : m_entries)
        delete e.item;
}

void AlignLayout::addControl(QWidget* widget, const TControl* control) {
    addChildWidget(widget);
    m_entries.append({new QWidgetItem(widget), control});
    invalidate();
}

void AlignLayout::removeControlWidget(QWidget* widget) {
    for (int i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].item->widget() == widget) {
            delete m_entries[i].item;
            m_entries.removeAt(i);
            invalidate();
            return;
        }
}

void AlignLayout::addItem(QLayoutItem* item) {
    m_entries.append({item, nullptr});
}

QLayoutItem* AlignLayout::itemAt(int index) const {
    return index >= 0 && index < m_entries.size() ? m_entries[index].item : nullptr;
}

QLayoutItem* AlignLayout::takeAt(int index) {
    if (index < 0 || index >= m_entries.size()) return nullptr;
    return m_entries.takeAt(index).item;
}

int AlignLayout::count() const {
    return static_cast<int>(m_entries.size());
}

QSize AlignLayout::sizeHint() const {
    // Enough for what stands at fixed places and for what the aligned containers hold, so a
    // screen narrower than its own buttons still shows them whole.
    int w = 0, h = 0, edges = 0;
    // Fixed places as laid out, captions that outgrew their design included.
    const QList<QRect> places = arrange(QRect(), QPoint(0, 0));
    for (int i = 0; i < m_entries.size(); ++i) {
        const Entry& e = m_entries[i];
        const TControl* c = e.control;
        if (!c || (e.item->widget() && e.item->widget()->isHidden())) continue;
        if (c->Align() == alNone) {
            w = std::max(w, places[i].x() + places[i].width());
            h = std::max(h, places[i].y() + places[i].height());
        } else if (c->Align() == alTop || c->Align() == alBottom) {
            w = std::max(w, e.item->sizeHint().width());
            edges += c->Height();
        } else {
            w = std::max(w, c->Width());
        }
    }
    return {w, std::max(h, edges)};
}

QSize AlignLayout::minimumSize() const {
    return {0, 0};
}

QList<QRect> AlignLayout::arrange(const QRect& rect, QPoint origin) const {
    QList<QRect> out(m_entries.size());
    QRect free = rect;
    auto visible = [](const Entry& e) {
        return e.item->widget() ? !e.item->widget()->isHidden() : true;
    };
    auto indexesOf = [&](TAlign align) {
        QList<int> idx;
        for (int i = 0; i < m_entries.size(); ++i)
            if (m_entries[i].control && m_entries[i].control->Align() == align &&
                visible(m_entries[i]))
                idx.append(i);
        return idx;
    };
    auto ctl = [&](int i) { return m_entries[i].control; };

    // Among siblings of one alignment, the designed position decides who is nearer the edge.
    QList<int> tops = indexesOf(alTop);
    std::stable_sort(tops.begin(), tops.end(),
                     [&](int a, int b) { return ctl(a)->Top() < ctl(b)->Top(); });
    for (int i : tops) {
        const int h = std::min(ctl(i)->Height(), std::max(0, free.height()));
        out[i] = QRect(free.left(), free.top(), free.width(), h);
        free.setTop(free.top() + h);
    }
    QList<int> bottoms = indexesOf(alBottom);
    std::stable_sort(bottoms.begin(), bottoms.end(),
                     [&](int a, int b) { return ctl(a)->Top() > ctl(b)->Top(); });
    for (int i : bottoms) {
        const int h = std::min(ctl(i)->Height(), std::max(0, free.height()));
        out[i] = QRect(free.left(), free.bottom() - h + 1, free.width(), h);
        free.setBottom(free.bottom() - h);
    }
    QList<int> lefts = indexesOf(alLeft);
    std::stable_sort(lefts.begin(), lefts.end(),
                     [&](int a, int b) { return ctl(a)->Left() < ctl(b)->Left(); });
    for (int i : lefts) {
        const int w = std::min(ctl(i)->Width(), std::max(0, free.width()));
        out[i] = QRect(free.left(), free.top(), w, free.height());
        free.setLeft(free.left() + w);
    }
    QList<int> rights = indexesOf(alRight);
    std::stable_sort(rights.begin(), rights.end(),
                     [&](int a, int b) { return ctl(a)->Left() > ctl(b)->Left(); });
    for (int i : rights) {
        const int w = std::min(ctl(i)->Width(), std::max(0, free.width()));
        out[i] = QRect(free.right() - w + 1, free.top(), w, free.height());
        free.setRight(free.right() - w);
    }
    for (int i : indexesOf(alClient))
        out[i] = free;
    QList<int> fixed;
    for (int i = 0; i < m_entries.size(); ++i) {
        const TControl* c = ctl(i);
        if (c && c->Align() == alNone) {
            int w = c->Width(), h = c->Height();
            // Captions size themselves to their text, so a wider font never clips them.
            if (auto* label = qobject_cast<QLabel*>(m_entries[i].item->widget())) {
                const QSize hint = label->sizeHint();
                w = std::max(w, hint.width());
                h = std::max(h, hint.height());
            }
            out[i] = QRect(origin.x() + c->Left(), origin.y() + c->Top(), w, h);
            if (visible(m_entries[i])) fixed.append(i);
        } else if (!c)
            out[i] = rect;
    }
    makeRoomForCaptions(fixed, out);
    return out;
}

void AlignLayout::makeRoomForCaptions(QList<int> fixed, QList<QRect>& out) const {
    auto ctl = [&](int i) { return m_entries[i].control; };
    std::stable_sort(fixed.begin(), fixed.end(),
                     [&](int a, int b) { return ctl(a)->Left() < ctl(b)->Left(); });
    // A button whose caption needs more than its designed width grows, and whatever stands to
    // its right on the same row moves along by as much, keeping the designed gaps: captions are
    // never cut and buttons never overlap.
    QHash<int, int> pushed; // how far an entry's right edge moved
    for (int j : fixed) {
        int shift = 0;
        for (int i : fixed) {
            if (i == j || !pushed.contains(i)) continue;
            const TControl* a = ctl(i);
            const TControl* b = ctl(j);
            const bool sameRow =
                a->Top() < b->Top() + b->Height() && b->Top() < a->Top() + a->Height();
            if (sameRow && a->Left() + a->Width() <= b->Left()) shift = std::max(shift, pushed[i]);
        }
        int grow = 0;
        auto* button = qobject_cast<QAbstractButton*>(m_entries[j].item->widget());
        if (button && !button->text().isEmpty() && !qobject_cast<QCheckBox*>(button) &&
            !qobject_cast<QRadioButton*>(button))
            grow = std::max(0, button->sizeHint().width() - out[j].width());
        out[j].translate(shift, 0);
        out[j].setWidth(out[j].width() + grow);
        pushed[j] = shift + grow;
    }
}

void AlignLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    // Fixed places count from the container's corner, bevel and caption included, as designed;
    // aligned children stay inside the frame.
    const QPoint origin = parentWidget() ? parentWidget()->rect().topLeft() : rect.topLeft();
    const QList<QRect> places = arrange(contentsRect(), origin);
    for (int i = 0; i < m_entries.size(); ++i)
        if (!places[i].isNull() || m_entries[i].control) m_entries[i].item->setGeometry(places[i]);
}
