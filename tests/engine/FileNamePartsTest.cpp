#include "engine/FileNameParts.h"

#include <gtest/gtest.h>

TEST(FileNameParts, BaseNameAndExtension)
{
    const char *cases[][3] = {
        // name, base name, extension
        {"a.b.c", "a.b", "c"},
        {"readme", "", ""},
        {"", "", ""},
        {".profile", "", "profile"},
        {"name.", "name", ""},
        {"pre_dir/file.txt", "file", "txt"},
        // The last "\" wins over any "/", wherever it lies.
        {"a/b\\c.d", "c", "d"},
        {"a\\b/c.d", "b/c", "d"},
        // A "." only in a folder part: the file's own name has no extension.
        {"v1.2/readme", "", "2/readme"},
        {"v1.2\\readme", "", "2\\readme"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(BaseName(c[0]), c[1]) << c[0];
        EXPECT_EQ(Extension(c[0]), c[2]) << c[0];
    }
}
