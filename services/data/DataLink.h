#pragma once

class TField;

// A listener that a control (grid, data-aware edit, view model) attaches to a TDataSource to
// follow its dataset. While the dataset's controls are disabled nothing is delivered; one
// dataSetChanged() follows EnableControls.
class DataLink {
public:
    virtual ~DataLink() = default;

    // The dataset was opened or closed.
    virtual void activeChanged() {}
    // Rows, their order or the filter changed: everything shown must be read again.
    virtual void dataSetChanged() {}
    // A value of the current row changed (field is null when several changed at once).
    virtual void recordChanged(TField* /*field*/) {}
    // The current row moved.
    virtual void dataSetScrolled() {}
    // The dataset went into or out of browse, edit or insert.
    virtual void stateChanged() {}
    // The fields were replaced or their properties changed.
    virtual void layoutChanged() {}
    // A post is about to store the current row (before BeforePost): a control holding a value
    // the operator is still typing writes it into its field now. Not sent while the controls
    // are disabled.
    virtual void updateData() {}
};
