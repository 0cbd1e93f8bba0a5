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

    void Button1Click(int index);  // the eight help buttons, 0 … 7
    void Button9Click();           // bind the types
    void Button10Click();          // close
    void FormClose();

    // Runs when the window becomes active (the main window updates its buttons).
    std::function<void()> OnActivate;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    std::array<QPushButton*, 8> HelpButtons{};
    QCheckBox* CheckBox1 = nullptr;
    QPushButton* Button9 = nullptr;
    QPushButton* Button10 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    toptions& options_;
    QString programPath_;
};
