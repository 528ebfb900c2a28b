#pragma once

#include <QString>
#include <QStringList>

// The images a grid can show in its cells and rows, as far as the store
// needs them: indexes from 1 and optional keys. The view attaches pictures.
class ImageList {
public:
    // Appends an image and gives its index (from 1).
    int Add(const QString &key = QString());
    int Count() const;
    // The index of the image with this key; 0 when no image has it.
    int IndexOfKey(const QString &key) const;
    // The key of image index (from 1); empty when out of range.
    QString KeyOf(int index) const;
    // Every image of a list has the same size, in pixels.
    int ImageWidth() const { return width; }
    int ImageHeight() const { return height; }
    void SetImageSize(int w, int h);

private:
    QStringList keys;
    int width = 16;
    int height = 16;
};
