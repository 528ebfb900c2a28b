#pragma once

// A window layout position in twips, relative to the container: left, top,
// width, height.
struct TwipsRect {
    int Left, Top, Width, Height;
};
