#include "qt/ViewFactory.h"

#include "qt/ButtonView.h"
#include "qt/CheckView.h"
#include "qt/ComboView.h"
#include "qt/ContainerView.h"
#include "qt/DBTextView.h"
#include "qt/EditView.h"
#include "qt/GridView.h"
#include "qt/ImageView.h"
#include "qt/LabelView.h"
#include "qt/NavigatorView.h"
#include "qt/PageControlView.h"
#include "qt/PanelView.h"
#include "qt/TabSheetView.h"
#include "services/ui/TButton.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TComboBox.h"
#include "services/ui/TDBGrid.h"
#include "services/ui/TDBNavigator.h"
#include "services/ui/TDBText.h"
#include "services/ui/TEdit.h"
#include "services/ui/TGroupBox.h"
#include "services/ui/TImage.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TPanel.h"
#include "services/ui/TRadioButton.h"
#include "services/ui/TScrollBox.h"
#include "services/ui/TSpeedButton.h"
#include "services/ui/TTabSheet.h"

std::unique_ptr<ControlView> ViewFactory::create(FormView& form, TControl& control) {
    // Most derived first: a combo box is an edit, a flat button a button.
    if (auto* grid = dynamic_cast<TDBGrid*>(&control))
        return std::make_unique<GridView>(form, *grid);
    if (auto* combo = dynamic_cast<TComboBox*>(&control))
        return std::make_unique<ComboView>(form, *combo);
    if (auto* edit = dynamic_cast<TEdit*>(&control)) return std::make_unique<EditView>(form, *edit);
    if (dynamic_cast<TButton*>(&control) || dynamic_cast<TSpeedButton*>(&control))
        return std::make_unique<ButtonView>(form, control);
    if (dynamic_cast<TCheckBox*>(&control) || dynamic_cast<TRadioButton*>(&control))
        return std::make_unique<CheckView>(form, control);
    if (auto* pages = dynamic_cast<TPageControl*>(&control))
        return std::make_unique<PageControlView>(form, *pages);
    if (auto* sheet = dynamic_cast<TTabSheet*>(&control))
        return std::make_unique<TabSheetView>(form, *sheet);
    if (dynamic_cast<TPanel*>(&control) || dynamic_cast<TGroupBox*>(&control) ||
        dynamic_cast<TScrollBox*>(&control))
        return std::make_unique<PanelView>(form, control);
    if (dynamic_cast<TImage*>(&control)) return std::make_unique<ImageView>(form, control);
    if (auto* text = dynamic_cast<TDBText*>(&control))
        return std::make_unique<DBTextView>(form, *text);
    if (auto* nav = dynamic_cast<TDBNavigator*>(&control))
        return std::make_unique<NavigatorView>(form, *nav);
    if (dynamic_cast<TWinControl*>(&control)) return std::make_unique<ContainerView>(form, control);
    return std::make_unique<LabelView>(form, control);
}
