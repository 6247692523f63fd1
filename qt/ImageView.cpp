#include "qt/ImageView.h"

#include "qt/Glyphs.h"
#include "services/ui/TImage.h"

#include <QLabel>

ImageView::ImageView(FormView& form, TControl& image) : ControlView(form, image) {
    m_label = new QLabel;
    m_label->setAlignment(Qt::AlignCenter);
    setWidget(m_label);
}

void ImageView::sync(Property property) {
    if (property == Property::Picture) {
        if (auto* image = dynamic_cast<TImage*>(&m_control))
            m_label->setPixmap(Glyphs::named(image->Picture()));
        return;
    }
    ControlView::sync(property);
}
