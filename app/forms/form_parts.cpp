// Named controls and radio groups that the application's dialogs are built from.
#include "app/forms/form_parts.h"

#include "app/text/language.h"
#include "app/util/paths.h"
#include "controls/edits/num_edit.h"
#include "imaging/kit/image_kit.h"
#include "platform/core/number_format.h"
#include "platform/ui/application.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

QPushButton* NamedButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QLabel* NamedLabel(QWidget* parent, const char* name, const QString& caption)
{
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QCheckBox* NamedCheckBox(QWidget* parent, const char* name, const QString& caption)
{
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(QString::fromLatin1(name));
    return c;
}

QComboBox* NamedCombo(QWidget* parent, const char* name, const QStringList& items)
{
    auto* c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->addItems(items);
    return c;
}

QToolButton* NamedToggle(QWidget* parent, const char* name, const QString& hint)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setCheckable(true);
    b->setText(QStringLiteral("A"));
    return b;
}

QGroupBox* NamedRadioGroup(QWidget* parent, const char* name, const QString& caption, const QStringList& items,
                           QButtonGroup*& group)
{
    auto* box = new QGroupBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(box);
    group = new QButtonGroup(box);
    for (int i = 0; i < items.size(); ++i) {
        auto* r = new QRadioButton(items[i], box);
        layout->addWidget(r);
        group->addButton(r, i);
    }
    return box;
}

int RadioIndex(const QButtonGroup* group) { return group->checkedId(); }

void SetRadioIndex(QButtonGroup* group, int index)
{
    if (QAbstractButton* b = group->button(index)) {
        b->setChecked(true);
        return;
    }
    // An exclusive group never lets its last button go by itself.
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(false);
    group->setExclusive(true);
}

void SetFormHelpFile() { TApplication::SetHelpFile(ProgramDirectoryWithSlash() + HelpFileName(CurrentLanguage())); }

bool ReadNumber(const QString& text, double& value)
{
    const QString t = text.trimmed();
    return !t.isEmpty() && TryStrToFloat(ParseNumberText(t), value);
}

QStringList FilterNames()
{
    return {QStringLiteral("Keinen"),  QStringLiteral("Triangle"), QStringLiteral("Hermite"), QStringLiteral("Bell"),
            QStringLiteral("BSpline"), QStringLiteral("Lanczos3"), QStringLiteral("Mitchell")};
}

void LoadPreview(TImageKit* preview, const TBitmap* source)
{
    preview->SetAutoUndo(false);
    preview->Assign(source);
    preview->Proc()->Resample(preview->width(), -1, rfNone);
    FitPreview(preview);
}

void FitPreview(TImageKit* preview)
{
    preview->Fit();
    preview->update();
}
