// The user filter page: nine weights and a divisor, presets, and filter files.
#include "imaging/common/msg_tables.h"
#include "imaging/dialogs/effect_pages/effect_page.h"
#include "imaging/dialogs/effects_preview_dialog.h"
#include "imaging/dialogs/file_filters.h"
#include "imaging/proc/user_filter.h"
#include "platform/ui/dialogs.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <climits>

namespace {

class TUserFilterPage : public TEffectPage {
public:
    TUserFilterPage() : TEffectPage(ppUserFilter, TEffectGroup::Effects) {}

    QString Caption(TMsgLanguage language) const override { return Label(LabelMsg::UserFilter, language); }

    QWidget* Build(TfPreviews& f) override
    {
        auto* filter = new QWidget;
        auto* fg = new QGridLayout(filter);
        values_ = new QGroupBox(filter);
        values_->setObjectName(QStringLiteral("FilterValues"));
        auto* vg = new QGridLayout(values_);
        for (int k = 0; k < 9; ++k) {
            f.WeightEdits[k] = NewSpin(values_, INT_MIN, INT_MAX);
            f.WeightEdits[k]->setMinimumWidth(60);
            vg->addWidget(f.WeightEdits[k], k / 3, k % 3);
            QObject::connect(f.WeightEdits[k], &QSpinBox::valueChanged, &f, [&f, k](int v) {
                if (f.Updating())
                    return;
                f.Filter.Weights[k] = v;
                f.Changed();
            });
        }
        f.DivisorEdit = NewSpin(values_, INT_MIN, INT_MAX);
        divisorLabel_ = new QLabel(values_);
        vg->addWidget(divisorLabel_, 3, 0);
        vg->addWidget(f.DivisorEdit, 3, 1, 1, 2);
        QObject::connect(f.DivisorEdit, &QSpinBox::valueChanged, &f, [&f](int v) {
            if (f.Updating())
                return;
            f.Filter.Divisor = v;
            f.Changed();
        });
        f.PresetList = new QComboBox(filter);
        f.PresetList->setObjectName(QStringLiteral("PresetList"));
        for (const auto& p : UserFilterPresets)
            f.PresetList->addItem(QString::fromLatin1(p.Name));
        QObject::connect(f.PresetList, &QComboBox::currentIndexChanged, &f, [&f](int i) {
            if (f.Updating() || i < 0)
                return;
            f.Filter = UserFilterPresets[size_t(i)].Filter;
            showFilter(f);
            f.Changed();
        });
        f.LoadButton = new QPushButton(filter);
        f.SaveButton = new QPushButton(filter);
        const auto ask = [&f](bool save) {
            if (f.AskFilterFile)
                return f.AskFilterFile(save);
            const QString filterText = QStringLiteral("Filter (*.flt)");
            return save ? QFileDialog::getSaveFileName(&f, QStringLiteral("Save filter"), {}, filterText)
                        : QFileDialog::getOpenFileName(&f, QStringLiteral("Load filter"), {}, filterText);
        };
        QObject::connect(f.LoadButton, &QPushButton::clicked, &f, [&f, ask] {
            const QString name = ask(false);
            if (name.isEmpty())
                return;
            // A bad file is reported as the default handler would, and changes nothing;
            // the exception must not unwind through the signal's frames.
            try {
                LoadFilterFromFile(name, f.Filter);
            } catch (const Exception& e) {
                ShowErrorBox(e.Message(), f.windowTitle());
                return;
            }
            showFilter(f);
            f.Changed();
        });
        QObject::connect(f.SaveButton, &QPushButton::clicked, &f, [&f, ask] {
            QString name = ask(true);
            if (name.isEmpty())
                return;
            // Only the file's own name decides: folders such as ~/.config have dots too.
            if (!HasExtension(name))
                name += QStringLiteral(".flt");
            SaveFilterToFile(name, f.Filter);
        });
        presetsLabel_ = new QLabel(filter);
        fg->addWidget(values_, 0, 0, 3, 1);
        fg->addWidget(presetsLabel_, 0, 1);
        fg->addWidget(f.PresetList, 1, 1);
        auto* lsv = new QHBoxLayout;
        lsv->addWidget(f.LoadButton);
        lsv->addWidget(f.SaveButton);
        fg->addLayout(lsv, 2, 1);
        return filter;
    }

    void Translate(TfPreviews& f, TMsgLanguage language) override
    {
        divisorLabel_->setText(Colon(Label(LabelMsg::Divisor, language)));
        presetsLabel_->setText(Colon(Label(LabelMsg::Presets, language)));
        values_->setTitle(QStringLiteral(" ") + Label(LabelMsg::FilterValues, language) + QStringLiteral(" "));
        f.LoadButton->setText(QStringLiteral("&") + Label(LabelMsg::Load, language));
        f.SaveButton->setText(QStringLiteral("&") + Label(LabelMsg::Save, language));
    }

    void Init(TfPreviews& f) override
    {
        f.Filter = UserFilterPresets[0].Filter;
        f.PresetList->setCurrentIndex(0);
        f.SetUpdating(false);
        showFilter(f);
    }

    void Apply(TfPreviews& f, TBitmap& bm, const TEffectTarget& t) override
    {
        ApplyUserFilter(bm, f.Filter, 0, 0, bm.Width() - 1, bm.Height() - 1, t.Progress);
    }

private:
    static void showFilter(TfPreviews& f)
    {
        const bool was = f.Updating();
        f.SetUpdating(true);
        for (int k = 0; k < 9; ++k)
            f.WeightEdits[size_t(k)]->setValue(f.Filter.Weights[size_t(k)]);
        f.DivisorEdit->setValue(f.Filter.Divisor);
        f.SetUpdating(was);
    }

    QGroupBox* values_ = nullptr;
    QLabel* divisorLabel_ = nullptr;
    QLabel* presetsLabel_ = nullptr;
};

}  // namespace

std::unique_ptr<TEffectPage> NewUserFilterPage() { return std::make_unique<TUserFilterPage>(); }
