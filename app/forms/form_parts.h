// Helpers that make named buttons, labels, check boxes, combos and radio groups.
#pragma once
#include <QString>
#include <QStringList>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QToolButton;
class QWidget;
class TBitmap;
class TImageKit;

// Small pieces the application's dialogs are built from. Every control gets its
// objectName, so that the form translation finds it.
QPushButton* NamedButton(QWidget* parent, const char* name, const QString& caption);
QLabel* NamedLabel(QWidget* parent, const char* name, const QString& caption);
QCheckBox* NamedCheckBox(QWidget* parent, const char* name, const QString& caption);
QComboBox* NamedCombo(QWidget* parent, const char* name, const QStringList& items);
// A toggle that stays down, with a hint.
QToolButton* NamedToggle(QWidget* parent, const char* name, const QString& hint);
// A radio group: a titled box whose buttons (in item order) are the group's ids.
QGroupBox* NamedRadioGroup(QWidget* parent, const char* name, const QString& caption, const QStringList& items,
                           QButtonGroup*& group);
// The index of the checked button, −1 when none is.
int RadioIndex(const QButtonGroup* group);
// Checks the button of the index; an index outside the group leaves none checked.
void SetRadioIndex(QButtonGroup* group, int index);

// The help page of the current language becomes the one help requests open.
void SetFormHelpFile();

// A number typed in an edit; false for a text that is no number.
bool ReadNumber(const QString& text, double& value);

// The resampling filters' names in TResampleFilter order.
QStringList FilterNames();

// A preview image: a copy of the source shrunk (or grown) to the view's width with
// the aspect kept, no filter, fitted into the view. Previews keep no undo of their own.
void LoadPreview(TImageKit* preview, const TBitmap* source);
// Fits the preview's bitmap into the view and repaints it.
void FitPreview(TImageKit* preview);
