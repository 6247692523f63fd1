#pragma once

class TComponent;
class TWinControl;

// What changed on a component, so that a renderer updates only that.
enum class Property {
    Name,
    Caption,
    Text,
    Hint,
    Enabled,
    Visible,
    Bounds,
    Align,
    TabOrder,
    Font,
    Color,
    ReadOnly,
    Checked,
    Items,
    ItemIndex,
    MaxLength,
    Value,
    ActivePage,
    TabVisible,
    Columns,
    Selection,
    Options,
    Data,
    Picture,
    ShortCut,
    ActiveControl,
    ModalResult,
    WindowState,
    EditorText,
    Other
};

// Listener of one component (one slot per component): the renderer hears every property
// change through it.
class ControlObserver {
public:
    virtual ~ControlObserver() = default;
    // A property of the component changed.
    virtual void propertyChanged(TComponent& component, Property property) = 0;
    // A child control was added to or removed from the container.
    virtual void childrenChanged(TWinControl& parent) = 0;
    // The component is being destroyed; it must not be touched afterwards.
    virtual void destroyed(TComponent& component) = 0;
};
