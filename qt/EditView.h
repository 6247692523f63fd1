#pragma once

#include "qt/ControlView.h"

class QLineEdit;
class TEdit;

// A one-line box: shows the edit's text; the keys typed reach the edit through the form, which
// changes the text, so the box never edits by itself.
class EditView : public ControlView {
public:
    EditView(FormView& form, TEdit& edit);
    void sync(Property property) override;

private:
    TEdit& m_edit;
    QLineEdit* m_line;
};
