#pragma once

#include <QRectF>
#include <functional>
#include <map>

class QPainter;

// The pictures of an image list, drawn as vector shapes at whatever size and
// device pixel ratio they are painted, so they stay sharp. The image list of
// the store names the images (indexes, keys, size); this gives each index
// its picture.
class DrawnImages {
public:
    using Drawer = std::function<void(QPainter &, const QRectF &)>;

    void Set(int index, Drawer drawer);
    bool Has(int index) const;
    // Draws image index into box; an index without a picture draws nothing.
    void Draw(QPainter &p, int index, const QRectF &box) const;

    // The job table's pictures: 3 a folder, 4 the row marker, 5 post-
    // processing that runs after the downloads, 6 post-processing that is
    // set but started by hand.
    static DrawnImages JobImages();

private:
    std::map<int, Drawer> drawers;
};
