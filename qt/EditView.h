#pragma once

#include "qt/ControlView.h"

class QLineEdit;
class TEdit;

// A one-line box: shows the edit's text and caret; the keys typed reach the edit through the
// form, which changes them, so the box never edits by itself. Caret moves made with the
// pointer go to the edit, so that typing lands where the operator sees the caret.
class EditView : public ControlView {
public:
    EditView(FormView& form, TEdit& edit);
    void sync(Property property) override;

private:
    void showSelection();
    void caretMovedByOperator();

    TEdit& m_edit;
    QLineEdit* m_line;
    bool m_showing = false;
};
