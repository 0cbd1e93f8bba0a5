// Filter strings, extensions and folders as the file dialogs handle them.

#include "imaging/dialogs/file_filters.h"

#include <gtest/gtest.h>

namespace {

const QString kFilter = QStringLiteral("All|*.jpg;*.jpeg;*.png|JPEG (JPG;JPEG)|*.jpg;*.jpeg|Any|*.*|PNG|*.png");

}  // namespace

TEST(FileFilters, MaskOfEachFilterByOneBasedIndex)
{
    const struct {
        int index;
        const char* mask;
    } rows[] = {{1, "*.jpg;*.jpeg;*.png"}, {2, "*.jpg;*.jpeg"}, {3, "*.*"}, {4, "*.png"}, {0, ""}, {5, ""}, {-2, ""}};
    for (const auto& r : rows)
        EXPECT_EQ(FilterMaskAt(kFilter, r.index), QLatin1String(r.mask)) << r.index;
    EXPECT_EQ(FilterCount(kFilter), 4);
    EXPECT_EQ(FilterCount(QString()), 0);
    // A description without its mask is no filter.
    EXPECT_EQ(FilterCount(QStringLiteral("A|*.a|B")), 1);
    EXPECT_EQ(FilterMaskAt(QStringLiteral("A|*.a|B"), 2), QString());
}

TEST(FileFilters, ExtensionIsTheFirstPatternsNeverAWildcardOrTheList)
{
    const struct {
        const char* mask;
        const char* ext;
    } rows[] = {{"*.png", ".png"},
                {"*.jpg;*.jpeg", ".jpg"},
                {" *.tif ; *.tiff", ".tif"},
                {"*.*", ""},
                {"*", ""},
                {"*.jp?", ""},
                {"*.[jJ]pg", ""},
                {"", ""},
                {"*.", ""},
                {"photo.tar.gz", ".gz"},
                {"dir.d/*", ""},
                {"*.*;*.png", ""}};
    for (const auto& r : rows)
        EXPECT_EQ(MaskExtension(QLatin1String(r.mask)), QLatin1String(r.ext)) << r.mask;
}

TEST(FileFilters, OnlyTheLastExtensionIsReplaced)
{
    const struct {
        const char* name;
        const char* replaced;
        bool hasExt;
    } rows[] = {{"bild.jpg", "bild.png", true},
                {"a.b.jpg", "a.b.png", true},
                {"bild", "bild.png", false},
                {"", ".png", false},
                {".png", ".png", true},
                {"bild.", "bild.png", false},
                {"v1.2/bild", "v1.2/bild.png", false},
                {"v1.2\\bild", "v1.2\\bild.png", false},
                {"/x/y.z/a.tif", "/x/y.z/a.png", true}};
    for (const auto& r : rows) {
        EXPECT_EQ(ReplaceExtension(QLatin1String(r.name), QStringLiteral(".png")), QLatin1String(r.replaced)) << r.name;
        EXPECT_EQ(HasExtension(QLatin1String(r.name)), r.hasExt) << r.name;
    }
}

TEST(FileFilters, DialogNameFiltersKeepDescriptionsAndListEveryPattern)
{
    EXPECT_EQ(DialogNameFilters(kFilter),
              QStringList({"All (*.jpg *.jpeg *.png)", "JPEG (JPG;JPEG) (*.jpg *.jpeg)", "Any (*.*)", "PNG (*.png)"}));
    EXPECT_TRUE(DialogNameFilters(QString()).isEmpty());
}

TEST(FileFilters, InitialDirLosesATrailingSeparatorButNotAtARoot)
{
    const struct {
        const char* in;
        const char* out;
    } rows[] = {{"C:\\", "C:\\"},        {"C:\\Bilder\\", "C:\\Bilder"}, {"/", "/"}, {"\\", "\\"},
                {"/home/u/", "/home/u"}, {"/home/u", "/home/u"},         {"", ""},   {"a/", "a"}};
    for (const auto& r : rows)
        EXPECT_EQ(NormalizedInitialDir(QLatin1String(r.in)), QLatin1String(r.out)) << r.in;
}
