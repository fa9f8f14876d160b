#pragma once
// Refuses typed or pasted text that Windows-1252 cannot hold, so that an edit box bound to
// 8-bit text never holds a character the engine would have to drop or replace.

#include <QValidator>

namespace cibrano {

class AnsiValidator : public QValidator {
    Q_OBJECT
public:
    explicit AnsiValidator(QObject* parent = nullptr) : QValidator(parent) {}
    State validate(QString& input, int& pos) const override;
};

} // namespace cibrano
