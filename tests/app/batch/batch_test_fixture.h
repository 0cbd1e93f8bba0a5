// The batch tests' main window, output folder and helpers.
#pragma once
#include "app/batch/batch_file.h"
#include "app/batch/batch_dialog.h"
#include "app/batch/batch_source_dialog.h"
#include "app/app_test_util.h"
#include "app/util/paths.h"
#include "imaging/io/image_kit_io.h"
#include "platform/core/streams.h"
#include "platform/ui/application.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

class Batch : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        make();
        TApplication::OnException = [this](const std::exception& e) { errors.push_back(QString::fromUtf8(e.what())); };
        out_ = TempDir() + QStringLiteral("/batchout%1").arg(serial_++);
        QDir().mkpath(out_);
    }
    void TearDown() override
    {
        SetInputQueryHook(nullptr);
        TApplication::OnException = nullptr;
        MainWindowTest::TearDown();
    }
    // A window whose pixels differ everywhere, so that turns and flips show.
    Tchild* patterned(int w, int h, int seed)
    {
        Tchild* c = imageWindow(w, h, RGB(0, 0, 0));
        TBitmap* bmp = c->imageKit->Bitmap();
        for (int y = 0; y < h; ++y) {
            uint8_t* row = bmp->ScanLine(y);
            for (int x = 0; x < w; ++x) {
                row[3 * x] = uint8_t(x * 13 + seed);
                row[3 * x + 1] = uint8_t(y * 29 + seed * 3);
                row[3 * x + 2] = uint8_t((x * y + seed) * 7);
            }
        }
        c->imageKit->Update();
        return c;
    }
    QString writeBatch(const QString& name, std::initializer_list<uint8_t> codes)
    {
        std::vector<QByteArray> blocks;
        tautomatitem item;
        for (uint8_t code : codes) {
            item.SetCode(code);
            blocks.push_back(item.ToByteArray());
        }
        const QString path = BatchFilePath(name);
        WriteBatchFile(path, blocks);
        return path;
    }
    void settings(int after, int existing = 0, int format = 1, bool keepformat = false, bool keepnames = false,
                  int start = 1)
    {
        Tautoform* a = form->autoform();
        a->work.after = after;
        a->work.startname.Assign(QStringLiteral("u"));
        a->work.existing = existing;
        a->work.formatindex = format;
        a->work.keepformat = keepformat;
        a->work.keepnames = keepnames;
        a->work.startnumber = start;
        a->FormActivate(form->options);
        a->SetDirectory(out_);
    }
    static TBitmap loadFile(const QString& path)
    {
        TImageKitIO io;
        TBitmap bmp;
        io.SetAttachedBitmap(&bmp);
        io.LoadFromFile(path);
        return bmp;
    }
    QString writeImage(const QString& path, TColor color)
    {
        Tchild* c = imageWindow(6, 4, color);
        c->imageKit->IO()->SaveToFile(path);
        closeAll();
        return path;
    }
    void closeAll()
    {
        for (QWidget* w : form->MDIChildren()) {
            if (auto* c = qobject_cast<Tchild*>(w))
                c->SetModified(false);
            w->parentWidget()->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Clicks a button of the next modal dialog once it shows.
    void clickInModal(const char* button)
    {
        QTimer::singleShot(0, form.get(), [button] {
            if (QWidget* m = QApplication::activeModalWidget())
                if (auto* b = m->findChild<QPushButton*>(QString::fromLatin1(button)))
                    b->click();
        });
    }
    static TColor negated(TColor c) { return RGB(255 - GetRValue(c), 255 - GetGValue(c), 255 - GetBValue(c)); }
    static bool samePixels(const TBitmap& a, const TBitmap& b)
    {
        if (a.Width() != b.Width() || a.Height() != b.Height())
            return false;
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                if (a.PixelColor(x, y) != b.PixelColor(x, y))
                    return false;
        return true;
    }
    QString out_;
    std::vector<QString> errors;
    static inline int serial_ = 0;
};
