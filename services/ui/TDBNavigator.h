#pragma once

#include "services/ui/TWinControl.h"

class TDataSource;

enum TNavigateBtn {
    nbFirst,
    nbPrior,
    nbNext,
    nbLast,
    nbInsert,
    nbDelete,
    nbEdit,
    nbPost,
    nbCancel,
    nbRefresh
};

// Buttons that move through and edit the data source's dataset.
class TDBNavigator : public TWinControl {
public:
    using TWinControl::TWinControl;
    TDataSource* DataSource() const { return m_dataSource; }
    void SetDataSource(TDataSource* source) {
        m_dataSource = source;
        Changed(Property::Data);
    }
    // Bit set of the TNavigateBtn shown (all by default).
    unsigned VisibleButtons() const { return m_visibleButtons; }
    void SetVisibleButtons(unsigned buttons) {
        m_visibleButtons = buttons;
        Changed(Property::Other);
    }
    // Whether the button can act now (dataset open, state and position allow it).
    bool ButtonEnabled(TNavigateBtn button) const;

    std::function<void(TObject* Sender, TNavigateBtn Button)> OnClick;
    // The operator presses a button: its dataset action, then OnClick.
    void BtnClick(TNavigateBtn button);

private:
    TDataSource* m_dataSource = nullptr;
    unsigned m_visibleButtons = 0x3FF;
};
