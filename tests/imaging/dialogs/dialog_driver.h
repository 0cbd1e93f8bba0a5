// Drives the real file dialogs with QTest events from inside their modal loop.
#pragma once

#include "common/test_support.h"
#include "imaging/dialogs/open_dialog.h"
#include "imaging/io/image_kit_io.h"
#include "platform/graphics/bitmap.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace dlgtest {

constexpr int kWait = 20000;  // generous: the file list fills on a worker thread

// Runs `script` once the dialog shows; whatever the script leaves open is cancelled.
inline bool ExecuteWith(TOpenImageKitDialog& dialog, const std::function<void(TIKFileDialog&)>& script)
{
    dialog.OnShow = [&](TObject*) {
        QTimer::singleShot(0, &dialog, [&] {
            TIKFileDialog* d = dialog.Handle();
            if (!d)
                return;
            QPointer<TIKFileDialog> guard(d);
            script(*d);
            if (guard && guard->isVisible())
                guard->reject();
        });
    };
    return dialog.Execute();
}

inline QListView* ListView(TIKFileDialog& d) { return d.findChild<QListView*>(QStringLiteral("listView")); }

// The list's entry of a name in the current folder, once the list holds it.
inline QModelIndex WaitForEntry(TIKFileDialog& d, const QString& name)
{
    QListView* list = ListView(d);
    QModelIndex found;
    (void)QTest::qWaitFor(
        [&] {
            const QAbstractItemModel* model = list->model();
            const QModelIndex root = list->rootIndex();
            for (int r = 0; r < model->rowCount(root); ++r) {
                const QModelIndex i = model->index(r, 0, root);
                if (i.data().toString() == name) {
                    found = i;
                    return true;
                }
            }
            return false;
        },
        kWait);
    return found;
}

// Clicks an entry of the list as the user would.
inline bool ClickEntry(TIKFileDialog& d, const QString& name, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    const QModelIndex i = WaitForEntry(d, name);
    if (!i.isValid())
        return false;
    QListView* list = ListView(d);
    list->scrollTo(i);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, mods, list->visualRect(i).center());
    return true;
}

inline QPushButton* AcceptButton(TIKFileDialog& d)
{
    auto* box = d.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    return box->button(d.acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save : QDialogButtonBox::Open);
}

inline void ClickAccept(TIKFileDialog& d) { QTest::mouseClick(AcceptButton(d), Qt::LeftButton); }

// Chooses filter `index` (1-based) with the keyboard, as a user would.
inline void ChooseFilter(TIKFileDialog& d, int index)
{
    QComboBox* combo = d.FileTypeCombo();
    combo->setFocus();
    while (combo->currentIndex() + 1 < index)
        QTest::keyClick(combo, Qt::Key_Down);
    while (combo->currentIndex() + 1 > index)
        QTest::keyClick(combo, Qt::Key_Up);
}

inline void TypeName(TIKFileDialog& d, const QString& text)
{
    QLineEdit* edit = d.FileNameEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// A picture with some structure, saved through the input/output component.
inline void SaveImage(const QString& path, int w, int h, TPixelFormat format, int dpiX, int dpiY)
{
    TBitmap b(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.Image().setPixel(x, y,
                               format == pf1bit ? uint((x / 7 + y / 5) & 1) : qRgb(x & 255, y & 255, (x * y) & 255));
    TImageKitIO io;
    io.SetAttachedBitmap(&b);
    io.Params().DpiX = dpiX;
    io.Params().DpiY = dpiY;
    if (format == pf1bit) {
        io.Params().BitsPerSample = 1;
        io.Params().SamplesPerPixel = 1;
    }
    io.SaveToFile(path);
}

inline void WriteBytes(const QString& path, const QByteArray& data)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
}

}  // namespace dlgtest
