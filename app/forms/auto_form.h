#pragma once
#include <QDialog>

// The resident batch dialog; it lives for the whole run. Its controls and the batch
// settings come with batch recording and replay.
class Tautoform : public QDialog {
    Q_OBJECT
public:
    explicit Tautoform(QWidget* owner = nullptr);
    ~Tautoform() override;
};
