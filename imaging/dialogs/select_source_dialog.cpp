// The dialog that picks the default scanner.
#include "imaging/dialogs/select_source_dialog.h"

#include "imaging/common/msg_tables.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TSelectSourceDialog::TSelectSourceDialog(const std::vector<TSaneDevice>& devices, const QByteArray& current,
                                         TMsgLanguage language, QWidget* parent)
    : QDialog(parent)
{
    // The message tables hold no texts for this dialog; German and English are the
    // languages the program sets, every other one reads English.
    const bool german = MsgColumn(language) == msGerman;
    setObjectName(QStringLiteral("TSelectSourceDialog"));
    setWindowTitle(german ? QStringLiteral("Quelle wählen") : QStringLiteral("Select Source"));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("SourceList"));
    for (const TSaneDevice& d : devices) {
        QString text = (d.Vendor + QLatin1Char(' ') + d.Model).trimmed();
        text = text.isEmpty() ? QString::fromUtf8(d.Name)
                              : text + QStringLiteral(" (%1)").arg(QString::fromUtf8(d.Name));
        list_->addItem(text);
        if (d.Name == current)
            list_->setCurrentRow(list_->count() - 1);
    }
    if (list_->currentRow() < 0 && list_->count() > 0)
        list_->setCurrentRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(german ? QStringLiteral("Wählen") : QStringLiteral("Select"));
    buttons->button(QDialogButtonBox::Cancel)->setText(PreviewText(PreviewMsg::Cancel, language));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("SelectButton"));
    buttons->button(QDialogButtonBox::Ok)->setEnabled(list_->count() > 0);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* top = new QVBoxLayout(this);
    top->addWidget(list_);
    top->addWidget(buttons);
}

int TSelectSourceDialog::ChosenIndex() const { return list_->currentRow(); }
