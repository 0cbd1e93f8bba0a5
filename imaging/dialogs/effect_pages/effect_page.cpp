// The parts several effect pages are built from: rows of track bars with edits, rows of
// spin edits, and their captions.
#include "imaging/dialogs/effect_pages/effect_page.h"

#include "imaging/common/msg_tables.h"
#include "imaging/dialogs/effects_preview_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>

QWidget* TEffectPage::BuildTracks(TfPreviews& form, TEffectPage* page, const std::vector<int>& ranges, QSlider** bars,
                                  QLineEdit** edits, std::vector<QLabel*>& labels)
{
    auto* widget = new QWidget;
    auto* grid = new QGridLayout(widget);
    for (size_t i = 0; i < ranges.size(); ++i) {
        auto* label = new QLabel(widget);
        auto* bar = new QSlider(Qt::Horizontal, widget);
        bar->setRange(-ranges[i], ranges[i]);
        auto* edit = new QLineEdit(QStringLiteral("0"), widget);
        edit->setMaximumWidth(70);
        grid->addWidget(label, int(i), 0);
        grid->addWidget(bar, int(i), 1);
        grid->addWidget(edit, int(i), 2);
        bars[i] = bar;
        edits[i] = edit;
        labels.push_back(label);
        QObject::connect(bar, &QSlider::valueChanged, &form, [&form, page] {
            if (form.Updating())
                return;
            page->Read(form);
            form.Changed();
        });
        // Text that is no number counts as 0.
        QObject::connect(edit, &QLineEdit::textEdited, &form, [&form, bars, edits, n = ranges.size()] {
            if (form.Updating())
                return;
            for (size_t k = 0; k < n; ++k) {
                bool ok = false;
                const int v = edits[k]->text().toInt(&ok);
                if ((ok ? v : 0) != bars[k]->value())
                    bars[k]->setValue(ok ? v : 0);
            }
        });
    }
    return widget;
}

void TEffectPage::BuildSpins(TfPreviews& form, TEffectPage* page, QWidget* parent, QGridLayout* grid, QSpinBox** out,
                             int n, int lo, int hi, std::vector<QLabel*>& labels, int firstRow)
{
    for (int i = 0; i < n; ++i) {
        out[i] = NewSpin(parent, lo, hi);
        auto* label = new QLabel(parent);
        labels.push_back(label);
        grid->addWidget(label, firstRow + i, 0);
        grid->addWidget(out[i], firstRow + i, 1);
        QObject::connect(out[i], &QSpinBox::valueChanged, &form, [&form, page] {
            if (form.Updating())
                return;
            page->Read(form);
            form.Changed();
        });
    }
}

QSpinBox* TEffectPage::NewSpin(QWidget* parent, int lo, int hi, int step)
{
    auto* s = new QSpinBox(parent);
    s->setRange(lo, hi);
    s->setSingleStep(step);
    return s;
}

void TEffectPage::ZeroTracks(QSlider* const* bars, QLineEdit* const* edits, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        bars[i]->setValue(0);
        edits[i]->setText(QStringLiteral("0"));
    }
}

void TEffectPage::ReadTracks(TfPreviews& form, QSlider* const* bars, QLineEdit* const* edits, int* values, size_t n)
{
    form.SetUpdating(true);
    for (size_t i = 0; i < n; ++i) {
        values[i] = bars[i]->value();
        edits[i]->setText(QString::number(values[i]));
    }
    form.SetUpdating(false);
}

QString TEffectPage::Label(int row, TMsgLanguage language) { return LabelText(row, language); }

QString TEffectPage::Channel(int row, const char* tag, TMsgLanguage language)
{
    return LabelText(row, language) + QString::fromLatin1(tag);
}
