// The scanner's own user interface: the options that shape a scan (mode, depth,
// resolution, scan area, document source) with Scan and Cancel. It is modeless; the
// acquisition's message loop runs while it is up and reacts to its two requests.
// Its own texts are German or English by the language given.
#pragma once

#include "imaging/common/types.h"
#include "platform/scan/scan_source.h"

#include <QDialog>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;
class QWidget;

class TScanSourceDialog : public QDialog {
    Q_OBJECT
public:
    TScanSourceDialog(TScanSource& source, const QString& caption, QWidget* parent = nullptr,
                      TMsgLanguage language = msEnglish);

    // False when the device's options cannot be read at all.
    bool Valid() const { return valid_; }
    // Re-reads every value, range and active state from the device.
    void Reload();
    // While a transfer runs the controls rest; Cancel stays, and stops the transfer.
    void SetBusy(bool busy);
    void SetProgress(int percent);
    void SetStatus(const QString& text);

    QPushButton* ScanButton() const { return scan_; }
    QPushButton* CancelButton() const { return cancel_; }
    // The control of an option by its device name ("mode", "resolution", ...), or null.
    QWidget* OptionControl(const QByteArray& name) const;

signals:
    void ScanRequested();
    void CancelRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    struct Row {
        TScanOption Option;
        QLabel* Label = nullptr;
        QWidget* Control = nullptr;
    };
    void build();
    void fill(Row& row);
    void apply(Row& row);

    TScanSource& source_;
    std::vector<Row> rows_;
    QPushButton* scan_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    TMsgLanguage language_ = msEnglish;
    bool valid_ = false;
    bool filling_ = false;
};
