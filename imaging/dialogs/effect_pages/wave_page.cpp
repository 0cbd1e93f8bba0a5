// The wave page: amplitude, wave length, phase and reflection. The source view keeps
// its fitted size here, since the wave's numbers are in pixels of the whole source.
#include "imaging/common/msg_tables.h"
#include "imaging/dialogs/effect_pages/effect_page.h"
#include "imaging/dialogs/effects_preview_dialog.h"
#include "imaging/proc/distort.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <array>

namespace {

class TWavePage : public TEffectPage {
public:
    TWavePage() : TEffectPage(ppWave, TEffectGroup::Effects) {}

    QString Caption(TMsgLanguage language) const override { return Label(LabelMsg::Wave, language); }

    QWidget* Build(TfPreviews& f) override
    {
        auto* page = new QWidget;
        auto* grid = new QGridLayout(page);
        BuildSpins(f, this, page, grid, edits_.data(), 3, 0, 32767, labels_);
        edits_[2]->setRange(0, 359);
        reflectiveBox_ = new QCheckBox(page);
        grid->addWidget(reflectiveBox_, 3, 1);
        QObject::connect(reflectiveBox_, &QCheckBox::toggled, &f, [this, &f] {
            if (f.Updating())
                return;
            Read(f);
            f.Changed();
        });
        f.WaveEdits = edits_;
        return page;
    }

    void Translate(TfPreviews&, TMsgLanguage language) override
    {
        const int rows[] = {LabelMsg::Amplitude, LabelMsg::WaveLength, LabelMsg::Phase};
        for (size_t i = 0; i < std::size(rows); ++i)
            labels_[i]->setText(Colon(Label(rows[i], language)));
        reflectiveBox_->setText(Label(LabelMsg::Reflective, language));
    }

    void Init(TfPreviews&) override
    {
        amplitude_ = 10, waveLength_ = 10, phase_ = 0, reflective_ = false;
        edits_[0]->setValue(amplitude_);
        edits_[1]->setValue(waveLength_);
        edits_[2]->setValue(phase_);
        reflectiveBox_->setChecked(false);
    }

    void Read(TfPreviews&) override
    {
        amplitude_ = edits_[0]->value(), waveLength_ = edits_[1]->value(), phase_ = edits_[2]->value();
        reflective_ = reflectiveBox_->isChecked();
    }

    void Apply(TfPreviews&, TBitmap& bitmap, const TEffectTarget& t) override
    {
        ApplyWave(bitmap, t.Size(amplitude_), t.Size(waveLength_), phase_, reflective_, t.Progress);
    }

    bool ZoomsSource() const override { return false; }

private:
    std::array<QSpinBox*, 3> edits_{};  // amplitude, wave length, phase
    QCheckBox* reflectiveBox_ = nullptr;
    std::vector<QLabel*> labels_;
    int amplitude_ = 10, waveLength_ = 10, phase_ = 0;
    bool reflective_ = false;
};

}  // namespace

std::unique_ptr<TEffectPage> NewWavePage() { return std::make_unique<TWavePage>(); }
