#pragma once

#include <QLayout>
#include <QList>

class TControl;

// Places child widgets the way their controls are designed: alTop, alBottom, alLeft, alRight
// take the edges in that order, alClient the rest, alNone keeps its designed rectangle.
class AlignLayout : public QLayout {
public:
    explicit AlignLayout(QWidget* parent = nullptr);
    ~AlignLayout() override;

    // Adds a widget laid out after `control`'s alignment and bounds.
    void addControl(QWidget* widget, const TControl* control);
    // Forgets a widget (it is being removed or destroyed).
    void removeControlWidget(QWidget* widget);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

    // The rectangles the children get inside `rect`, in the order of the items; fixed
    // children count from `origin`.
    QList<QRect> arrange(const QRect& rect, QPoint origin) const;

private:
    // Widens captioned buttons at fixed places to their text and moves their right-hand
    // neighbours along; `fixed` are the visible entries placed by their designed rectangles.
    void makeRoomForCaptions(QList<int> fixed, QList<QRect>& out) const;

    struct Entry {
        QLayoutItem* item;
        const TControl* control;
    };
    QList<Entry> m_entries;
};
