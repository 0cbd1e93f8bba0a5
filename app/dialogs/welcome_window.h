// The welcome window (Tinfoform) shown among the image windows.
#pragma once
#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
struct toptions;

// "Willkommen": the welcome window among the MDI children. Its buttons open help
// pages and can bind the image types to the program.
class Tinfoform : public QWidget {
    Q_OBJECT
public:
    Tinfoform(toptions& options, const QString& programPath, QWidget* parent = nullptr);

    void helpClicked(int index);  // the eight help buttons, 0 … 7
    void bindTypesClicked();      // bind the types
    void closeClicked();          // close
    void FormClose();

    // Runs when the window becomes active (the main window updates its buttons).
    std::function<void()> OnActivate;

    QLabel* welcomeLabel = nullptr;
    QLabel* introLabel = nullptr;
    std::array<QPushButton*, 8> HelpButtons{};
    QCheckBox* dontShowAgainCheck = nullptr;
    QPushButton* bindTypesButton = nullptr;
    QPushButton* closeButton = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    toptions& options_;
    QString programPath_;
};
