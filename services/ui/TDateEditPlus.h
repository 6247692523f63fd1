#pragma once

#include "services/ui/TMaskEdit.h"

// A date box "dd/mm/yyyy"; the date 0 stands for an empty box.
class TDateEditPlus : public TMaskEdit {
public:
    explicit TDateEditPlus(TComponent* owner);
    // The date typed (days since 30/12/1899); 0 when empty or not a date.
    double GetDate() const;
    // Shows the date; 0 empties the box.
    void SetDate(double days);
    // Whether the text is empty or a real date.
    bool IsValidDate() const;
    // Shows an error and stops the running handler when the text is not a date.
    void CheckValidDate() const;
};
