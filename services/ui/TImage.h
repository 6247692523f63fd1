#pragma once

#include "services/ui/TControl.h"

#include <string>

// A picture, named by the resource the renderer loads ("check", "uncheck", "gray", ...).
class TImage : public TControl {
public:
    using TControl::TControl;
    const std::string& Picture() const { return m_picture; }
    void SetPicture(const std::string& picture) {
        if (picture == m_picture) return;
        m_picture = picture;
        Changed(Property::Picture);
    }
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool stretch) { m_stretch = stretch; }
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent) { m_transparent = transparent; }

private:
    std::string m_picture;
    bool m_stretch = false;
    bool m_transparent = false;
};
