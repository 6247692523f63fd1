#pragma once

#include "qt/LabelView.h"

class TDBText;

// A data-aware caption: the current row's value of its field.
class DBTextView : public LabelView {
public:
    DBTextView(FormView& form, TDBText& text);
    void sync(Property property) override;

private:
    TDBText& m_text;
};
