// Path routines and the folder browse dialog.
#include "controls/util/file_utils.h"

#include "common/test_support.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTimer>
#include <gtest/gtest.h>

TEST(PathRoutines, ValidFileNameRejectsTheSixCharacters)
{
    struct Case {
        const char* name;
        bool valid;
    };
    const Case cases[] = {
        {"/home/user/my file.png", true},
        {"a", true},
        {"", false},
        {"a|b", false},
        {"a[1]", false},
        {"x]", false},
        {"<in", false},
        {"out>", false},
        {"say \"hi\"", false},
        {"semi;colon*?", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ValidFileName(c.name), c.valid) << c.name;
}

TEST(PathRoutines, RemoveTrailingSlashKeepsTheRoot)
{
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {{"/", "/"}, {"/home/", "/home"}, {"/home", "/home"}, {"a/", "a"}, {"", ""}, {"//", "/"}};
    for (const Case& c : cases)
        EXPECT_EQ(RemoveTrailingSlash(c.in), QString(c.out)) << c.in;
}

TEST(PathRoutines, DirExistsOnlyForDirectories)
{
    const QString dir = TempDir();
    QFile f(dir + "/plain.txt");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_TRUE(DirExists(dir));
    EXPECT_TRUE(DirExists("/"));
    EXPECT_FALSE(DirExists(dir + "/plain.txt"));
    EXPECT_FALSE(DirExists(dir + "/missing"));
    EXPECT_FALSE(DirExists(""));
}

TEST(PathRoutines, LongAndShortPathsRebuildFromTheFileSystem)
{
    const QString dir = TempDir() + "/long path";
    ASSERT_TRUE(QDir().mkpath(dir + "/sub dir"));
    QFile f(dir + "/sub dir/File.TXT");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    struct Case {
        QString in;
        QString out;
    };
    const Case cases[] = {
        {dir + "/sub dir/File.TXT", dir + "/sub dir/File.TXT"},
        {dir + "/sub dir/", dir + "/sub dir/"},
        {dir + "/missing/File.TXT", dir + "//"},  // elements not found become empty
        {dir + "/sub dir/file.txt", dir + "/sub dir/"},
        {"relative", "relative"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LongPathOf(c.in), c.out) << c.in.toStdString();
        EXPECT_EQ(ShortPathOf(c.in), c.out) << c.in.toStdString();
    }
}

namespace {
// Answers the folder dialog once it runs: notes where it starts, then picks a folder.
void answerDialog(QString* startedAt, const QString& choose, bool accept)
{
    QTimer::singleShot(0, [=] {
        auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dlg)
            return;
        *startedAt = dlg->directory().absolutePath();
        if (!accept) {
            dlg->reject();
            return;
        }
        dlg->setDirectory(choose);
        dlg->selectFile(choose);
        static_cast<QDialog*>(dlg)->accept();
    });
}
}  // namespace

TEST(BrowseFolder, PreselectsAnExistingFolderAndReturnsTheChoice)
{
    const QString base = TempDir();
    ASSERT_TRUE(QDir().mkpath(base + "/start"));
    ASSERT_TRUE(QDir().mkpath(base + "/chosen"));
    TBrowseFolderDlg dlg;
    dlg.DialogText = "Pick";
    dlg.FolderName = base + "/start";
    QString startedAt;
    answerDialog(&startedAt, base + "/chosen", true);
    ASSERT_TRUE(dlg.Execute());
    EXPECT_EQ(startedAt, QDir(base + "/start").absolutePath());
    EXPECT_EQ(dlg.FolderName, QDir(base + "/chosen").absolutePath());
    EXPECT_FALSE(dlg.FolderName.endsWith('/'));
}

TEST(BrowseFolder, MissingInitialFolderStartsAtTheRootAndCancelKeepsTheName)
{
    TBrowseFolderDlg dlg;
    dlg.DesktopRoot = false;
    const QString missing = TempDir() + "/does/not/exist";
    dlg.FolderName = missing;
    QString startedAt;
    answerDialog(&startedAt, QString(), false);
    EXPECT_FALSE(dlg.Execute());
    EXPECT_EQ(startedAt, QString("/"));
    EXPECT_EQ(dlg.FolderName, missing);

    // Computers have no meaning here: the dialog shows folders from the root.
    dlg.BrowseKind = bfComputers;
    EXPECT_EQ(dlg.RootFolder(), QString("/"));
}
