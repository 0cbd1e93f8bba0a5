// The file and directory edits: names, dialogs and dropped files.
#include "controls/edits/file_edit.h"
#include "controls/util/file_utils.h"

#include "common/test_support.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct DialogHooks {
    QStringList seenNames, seenDirs;
    QString answer;
    bool accept = true;
    DialogHooks()
    {
        TOpenDialog::ExecuteHook = [this](TOpenDialog& d) {
            seenNames << d.FileName;
            seenDirs << d.InitialDir;
            if (accept)
                d.FileName = answer;
            return accept;
        };
        SetSelectDirectoryHook([this](QString& dir) {
            seenDirs << dir;
            if (accept)
                dir = answer;
            return accept;
        });
        TBrowseFolderDlg::ExecuteHook = [this](TBrowseFolderDlg& d) {
            seenDirs << "browse:" + d.FolderName;
            if (accept)
                d.FolderName = answer;
            return accept;
        };
    }
    ~DialogHooks()
    {
        TOpenDialog::ExecuteHook = nullptr;
        SetSelectDirectoryHook(nullptr);
        TBrowseFolderDlg::ExecuteHook = nullptr;
    }
};

QString makeFile(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    return path;
}

}  // namespace

TEST(FileNameParts, QuotingAndFirstItem)
{
    const QString dir = TempDir();
    const QString spaced = makeFile(dir + "/with blank.txt");
    struct Case {
        QString text;
        QString part;
    };
    const Case cases[] = {
        {spaced, spaced},  // an existing file is taken whole
        {"\"" + spaced + "\"", spaced},
        {"\"/no such/file.txt\" extra", "/no such/file.txt"},
        {"/plain/path.txt other", "/plain/path.txt"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileNamePart(c.text), c.part) << c.text.toStdString();
    EXPECT_EQ(QuoteFileName("/a b/c"), QString("\"/a b/c\""));
    EXPECT_EQ(QuoteFileName("/ab/c"), QString("/ab/c"));
    EXPECT_EQ(QuoteFileName("\"/a b/c\""), QString("\"/a b/c\""));
}

TEST(FilenameEdit, TheDialogFillsTheName)
{
    DialogHooks hooks;
    const QString dir = TempDir() + "/My Files";
    QDir().mkpath(dir);
    TFilenameEdit e;
    EXPECT_EQ(e.GlyphKind(), gkDefault);
    EXPECT_FALSE(e.Glyph().Empty());
    EXPECT_EQ(e.DialogTitle(), QString("Browse"));
    EXPECT_EQ(e.Filter(), QString("All files (*.*)|*.*"));
    // Unquoted, a name with a blank would be cut at the blank.
    e.setText(QuoteFileName(dir + "/old.txt"));
    hooks.answer = dir + "/a.txt";
    int before = 0, after = 0;
    e.OnBeforeDialog = [&](TObject*, QString& name, bool&) {
        ++before;
        EXPECT_EQ(name, dir + "/old.txt");
    };
    e.OnAfterDialog = [&](TObject*, QString& name, bool& action) {
        ++after;
        EXPECT_TRUE(action);
        EXPECT_EQ(name, dir + "/a.txt");
    };
    QTest::mouseClick(e.Button(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    ASSERT_EQ(hooks.seenNames.size(), 1);
    EXPECT_EQ(hooks.seenNames[0], dir + "/old.txt");
    EXPECT_EQ(hooks.seenDirs[0], dir);  // the name's folder exists: the dialog starts there
    EXPECT_EQ(e.text(), "\"" + dir + "/a.txt\"");
    EXPECT_EQ(e.FileName(), dir + "/a.txt");
    EXPECT_EQ(e.InitialDir(), dir);
    e.OnBeforeDialog = nullptr;
    e.OnAfterDialog = nullptr;

    // Cancelled, or vetoed before: the text stays.
    hooks.accept = false;
    QTest::mouseClick(e.Button(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(e.FileName(), dir + "/a.txt");
    hooks.accept = true;
    e.OnBeforeDialog = [](TObject*, QString&, bool& action) { action = false; };
    QTest::mouseClick(e.Button(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(hooks.seenNames.size(), 2);
}

TEST(FilenameEdit, InvalidNamesRaise)
{
    TFilenameEdit e;
    struct Case {
        const char* name;
        bool raises;
    };
    const Case cases[] = {{"a|b", true}, {"x[1].png", true}, {"/tmp/ok name.png", false}, {"", false}};
    for (const Case& c : cases) {
        if (c.raises) {
            try {
                e.SetFileName(c.name);
                ADD_FAILURE() << c.name;
            } catch (const EComboEditError& err) {
                EXPECT_EQ(err.Message(), QString("Invalid file name - %1").arg(c.name));
            }
        } else {
            EXPECT_NO_THROW(e.SetFileName(c.name)) << c.name;
            EXPECT_EQ(e.FileName(), QString(c.name));
        }
    }
}

TEST(FilenameEdit, DroppedNamesAreKeptWhole)
{
    TFilenameEdit e;
    e.SetAcceptFiles(true);
    const QString longName = "/" + QString(300, QLatin1Char('x')) + "/" + QString(300, QLatin1Char('y')) + ".png";
    int drops = 0;
    e.OnDropFiles = [&](TObject*) { ++drops; };
    e.DropNames({longName, "/second.png"});
    EXPECT_EQ(e.FileName(), longName);
    EXPECT_EQ(drops, 1);
    EXPECT_TRUE(e.Dialog()->Files.isEmpty());

    // With several names allowed, the first is the text and all go to the dialog.
    e.SetDialogOptions(ofAllowMultiSelect);
    e.DropNames({"/one.png", "/two.png"});
    EXPECT_EQ(e.FileName(), QString("/one.png"));
    EXPECT_EQ(e.Dialog()->Files, (QStringList{"/one.png", "/two.png"}));
    e.SetDialogOptions(ofHideReadOnly);
    EXPECT_TRUE(e.Dialog()->Files.isEmpty());
}

TEST(FilenameEdit, DialogKindKeepsTheSettings)
{
    TFilenameEdit e;
    e.SetFilter("Pictures|*.png;*.bmp");
    e.SetInitialDir("/tmp");
    e.SetDialogTitle("Pick");
    e.SetDialogKind(dkSavePicture);
    EXPECT_EQ(e.Dialog()->Mode(), fdSave);
    EXPECT_TRUE(e.Dialog()->Picture());
    EXPECT_EQ(e.Filter(), QString("Pictures|*.png;*.bmp"));
    EXPECT_EQ(e.InitialDir(), QString("/tmp"));
    EXPECT_EQ(e.DialogTitle(), QString("Pick"));
    EXPECT_EQ(TOpenDialog::QtFilters("All files (*.*)|*.*|Pictures|*.png;*.bmp"),
              (QStringList{"All files (*.*) (*)", "Pictures (*.png *.bmp)"}));
}

TEST(DirectoryEdit, StartsAtTheRootAndAppendsInMultipleMode)
{
    DialogHooks hooks;
    const QString a = TempDir() + "/first", b = TempDir() + "/second";
    QDir().mkpath(a);
    QDir().mkpath(b);
    TDirectoryEdit e;
    struct Case {
        bool multiple;
        const char* initial;
        QString text;
        QString answer;
        QString startAt;
        QString after;
    };
    const Case cases[] = {
        {false, "", "", a, "/", a},
        {false, "", "/no/such/dir", a, "/", a},
        {false, "", b, a, b, a},
        {true, "", a, b, a, a + ";" + b},
    };
    for (const Case& c : cases) {
        e.SetMultipleDirs(c.multiple);
        e.InitialDir = c.initial;
        e.setText(c.text);
        hooks.answer = c.answer;
        hooks.seenDirs.clear();
        QTest::mouseClick(e.Button(), Qt::LeftButton, {}, QPoint(5, 5));
        ASSERT_EQ(hooks.seenDirs.size(), 1);
        EXPECT_EQ(hooks.seenDirs[0], c.startAt);
        EXPECT_EQ(e.text(), c.after);
        EXPECT_EQ(e.InitialDir, c.answer);
    }
    // An empty text starts at InitialDir when there is one.
    e.SetMultipleDirs(false);
    e.setText("");
    e.InitialDir = b;
    hooks.seenDirs.clear();
    QTest::mouseClick(e.Button(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(hooks.seenDirs[0], b);
    // The shell-style kind goes through the folder browser.
    e.DialogKind = dkWin32;
    e.setText(a);
    hooks.seenDirs.clear();
    QTest::mouseClick(e.Button(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(hooks.seenDirs[0], "browse:" + a);
}

TEST(DirectoryEdit, DroppedFilesGiveTheirFolder)
{
    const QString base = TempDir();
    const QString dir = base + "/drop";
    const QString file = makeFile(dir + "/pic.png");
    TDirectoryEdit e;
    e.DropNames({file});
    EXPECT_EQ(e.text(), dir + "/");
    e.SetMultipleDirs(true);
    e.DropNames({dir, file});
    EXPECT_EQ(e.text(), dir + "/;" + dir + ";" + dir + "/");
    // Long names convert each item.
    e.setText(dir + ";;" + base + "/missing");
    EXPECT_EQ(e.LongNameOf(), dir + ";" + base + "/");
}
