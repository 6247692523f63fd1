#pragma once

// How Locate compares: texts without regard to letter case, and/or a text value that only has
// to start the field's text.
struct LocateOptions {
    bool caseInsensitive = false;
    bool partialKey = false;
};
