// The list of scanners the source manager knows, one of which becomes the default.
#pragma once

#include "imaging/common/types.h"
#include "platform/scan/sane_manager.h"

#include <QDialog>
#include <vector>

class QListWidget;

class TSelectSourceDialog : public QDialog {
    Q_OBJECT
public:
    TSelectSourceDialog(const std::vector<TSaneDevice>& devices, const QByteArray& current,
                        TMsgLanguage language = msEnglish, QWidget* parent = nullptr);
    QListWidget* List() const { return list_; }
    // The device picked, -1 when none.
    int ChosenIndex() const;

private:
    QListWidget* list_;
};
