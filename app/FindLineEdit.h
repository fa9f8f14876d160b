#pragma once
// The find box as the user sees it: a one-line edit that shows the engine's find-box logic
// (TZerovFindEdit) and hands it every change of its text. The logic waits 100 ms after the
// last change and then searches. Characters Windows-1252 cannot hold are refused as typed.

#include <QLineEdit>

namespace cibrano {

class TZerovFindEdit;

class TFindLineEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TFindLineEdit(QWidget* parent = nullptr);
    ~TFindLineEdit() override;

    // The logic this edit shows (not owned; none detaches). The edit takes over its text and
    // follows it when the program changes it (the logic's OnChange is the edit's).
    void setFindEdit(TZerovFindEdit* findEdit);
    TZerovFindEdit* findEdit() const { return findEdit_; }

private:
    void forwardText(const QString& text);
    void showFindText();

    TZerovFindEdit* findEdit_ = nullptr;
};

} // namespace cibrano
