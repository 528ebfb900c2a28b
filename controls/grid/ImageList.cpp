#include "controls/grid/ImageList.h"

int ImageList::Add(const QString &key)
{
    keys.append(key);
    return static_cast<int>(keys.size());
}

int ImageList::Count() const
{
    return static_cast<int>(keys.size());
}

int ImageList::IndexOfKey(const QString &key) const
{
    if (key.isEmpty())
        return 0;
    return static_cast<int>(keys.indexOf(key)) + 1;
}

QString ImageList::KeyOf(int index) const
{
    return keys.value(index - 1);
}

void ImageList::SetImageSize(int w, int h)
{
    width = w;
    height = h;
}
