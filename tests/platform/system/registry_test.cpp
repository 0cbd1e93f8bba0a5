// The registry stand-in: keys, values, deletion and a damaged store.
#include "platform/system/registry.h"
#include "platform/core/streams.h"
#include "common/test_support.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class Registry : public ::testing::Test {
protected:
    void SetUp() override { qputenv("KANDRIVEL_HOME", TempDir().toUtf8()); }
};

}  // namespace

TEST_F(Registry, KeysAreCreatedWithTheirParentsOnlyWhenAsked)
{
    TRegistry r;
    r.SetRootKey(HKEY_CLASSES_ROOT);
    EXPECT_FALSE(r.OpenKey(QStringLiteral("A\\B\\C"), false));
    EXPECT_FALSE(r.KeyExists(QStringLiteral("A")));
    EXPECT_TRUE(r.OpenKey(QStringLiteral("A\\B\\C"), true));
    EXPECT_EQ(r.CurrentPath(), QStringLiteral("A\\B\\C"));
    r.CloseKey();
    EXPECT_TRUE(r.KeyExists(QStringLiteral("A")));
    EXPECT_TRUE(r.KeyExists(QStringLiteral("a\\b")));
    EXPECT_TRUE(r.KeyExists(QStringLiteral("\\A\\B\\C")));
}

TEST_F(Registry, RelativeKeysOpenBelowTheCurrentOne)
{
    TRegistry r;
    r.SetRootKey(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(r.OpenKey(QStringLiteral("Klasse"), true));
    ASSERT_TRUE(r.OpenKey(QStringLiteral("Shell\\Open\\Command"), true));
    EXPECT_EQ(r.CurrentPath(), QStringLiteral("Klasse\\Shell\\Open\\Command"));
    r.WriteString(QString(), QStringLiteral("/usr/bin/x %1"));
    // A leading separator starts at the root again.
    ASSERT_TRUE(r.OpenKey(QStringLiteral("\\Klasse"), false));
    EXPECT_EQ(r.CurrentPath(), QStringLiteral("Klasse"));
    EXPECT_TRUE(r.ReadString(QString()).isEmpty());
    ASSERT_TRUE(r.OpenKey(QStringLiteral("shell\\open\\command"), false));
    EXPECT_EQ(r.ReadString(QString()), QStringLiteral("/usr/bin/x %1"));
}

TEST_F(Registry, ValuesPersistAndCompareWithoutCase)
{
    {
        TRegistry r;
        r.SetRootKey(HKEY_CURRENT_USER);
        ASSERT_TRUE(r.OpenKey(QStringLiteral("\\Control Panel\\desktop"), true));
        r.WriteString(QStringLiteral("Wallpaper"), QStringLiteral("/tmp/ä.bmp"));
        r.WriteString(QStringLiteral("WALLPAPER"), QStringLiteral("/tmp/b.bmp"));
        r.WriteString(QStringLiteral("TileWallPaper"), QStringLiteral("1"));
    }
    TRegistry r;
    r.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(r.OpenKey(QStringLiteral("control panel\\Desktop"), false));
    EXPECT_EQ(r.ReadString(QStringLiteral("wallpaper")), QStringLiteral("/tmp/b.bmp"));
    EXPECT_TRUE(r.ValueExists(QStringLiteral("tilewallpaper")));
    EXPECT_FALSE(r.ValueExists(QStringLiteral("Pattern")));
    EXPECT_TRUE(r.ReadString(QStringLiteral("Pattern")).isEmpty());
    EXPECT_TRUE(r.DeleteValue(QStringLiteral("TILEWALLPAPER")));
    EXPECT_FALSE(r.ValueExists(QStringLiteral("TileWallPaper")));
    // The roots are apart.
    r.SetRootKey(HKEY_CLASSES_ROOT);
    EXPECT_FALSE(r.KeyExists(QStringLiteral("Control Panel")));
}

TEST_F(Registry, DeleteKeyTakesTheSubtreeAndNothingElse)
{
    TRegistry r;
    r.SetRootKey(HKEY_CLASSES_ROOT);
    r.OpenKey(QStringLiteral("JPGGrafik\\Shell\\Open\\Command"), true);
    r.CloseKey();
    r.OpenKey(QStringLiteral("JPGGrafik2"), true);
    r.CloseKey();
    r.OpenKey(QStringLiteral(".jp"), true);
    r.CloseKey();
    r.OpenKey(QStringLiteral(".jpg"), true);
    r.CloseKey();
    EXPECT_TRUE(r.DeleteKey(QStringLiteral("jpggrafik")));
    EXPECT_FALSE(r.KeyExists(QStringLiteral("JPGGrafik\\Shell")));
    EXPECT_FALSE(r.KeyExists(QStringLiteral("JPGGrafik")));
    EXPECT_TRUE(r.KeyExists(QStringLiteral("JPGGrafik2")));
    EXPECT_TRUE(r.DeleteKey(QStringLiteral(".jp")));
    EXPECT_TRUE(r.KeyExists(QStringLiteral(".jpg")));
    EXPECT_FALSE(r.DeleteKey(QStringLiteral(".jp")));
}

TEST_F(Registry, DamagedStoreIsReportedAndLeftAlone)
{
    const QByteArray junk = "{\"hkey_classes_root\\\\.jpg\": 5";
    WriteFileSafely(TRegistry::StoreFileName(), junk);
    TRegistry r;
    r.SetRootKey(HKEY_CLASSES_ROOT);
    EXPECT_THROW(r.OpenKey(QStringLiteral(".jpg"), true), ERegistryException);
    EXPECT_THROW(r.KeyExists(QStringLiteral(".jpg")), ERegistryException);
    EXPECT_EQ(ReadWholeFile(TRegistry::StoreFileName()), junk);

    // Well-formed JSON of the wrong shape is refused as well.
    WriteFileSafely(TRegistry::StoreFileName(), "{\"x\": {\"path\": 1, \"values\": {}}}");
    EXPECT_THROW(r.KeyExists(QStringLiteral("x")), ERegistryException);
}
