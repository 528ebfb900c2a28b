#include "engine/FileNameParts.h"

#include <gtest/gtest.h>

struct FileNameCase {
    const char *name;
    const char *baseName;
    const char *extension;
};

TEST(FileNameParts, BaseNameAndExtension)
{
    const FileNameCase cases[] = {
        {"img_05.jpg", "img_05", "jpg"},
        {"a.b.c", "a.b", "c"},
        {"readme", "", ""},
        {"", "", ""},
        {".profile", "", "profile"},
        {"name.", "name", ""},
        {"pre_dir\\file.txt", "file", "txt"},
        {"pre_dir/file.txt", "file", "txt"},
        // The last "\" wins over any "/", wherever it lies.
        {"a/b\\c.d", "c", "d"},
        {"a\\b/c.d", "b/c", "d"},
        // A "." only in a folder part: the file's own name has no extension.
        {"v1.2/readme", "", "2/readme"},
        {"v1.2\\readme", "", "2\\readme"},
    };
    for (const FileNameCase &c : cases) {
        EXPECT_EQ(BaseName(c.name), c.baseName) << c.name;
        EXPECT_EQ(Extension(c.name), c.extension) << c.name;
    }
}
