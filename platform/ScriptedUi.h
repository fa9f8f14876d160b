#pragma once
// A UiServices that answers from a script and records what it was asked: for tests.

#include "platform/UiServices.h"

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace cibrano {

class ScriptedUi : public UiServices {
public:
    struct Box {
        AnsiString caption;
        AnsiString text;
    };

    // Installs itself for its lifetime.
    ScriptedUi() { setUiServices(this); }
    ~ScriptedUi() override { setUiServices(nullptr); }

    // The next password prompt answers `password`; std::nullopt cancels it.
    void queuePassword(std::optional<AnsiString> password) {
        answers.push_back(std::move(password));
    }

    void showWarning(const AnsiString& caption, const AnsiString& text) override {
        warnings.push_back({caption, text});
    }
    bool askPassword(AnsiString& password) override {
        prompts.push_back(password);
        if (answers.empty())
            return false;
        auto answer = answers.front();
        answers.pop_front();
        if (!answer)
            return false;
        password = *answer;
        return true;
    }
    void showError(const AnsiString& caption, const AnsiString& text) override {
        errors.push_back({caption, text});
    }
    // Recorded; answered by `answerQuestion` when set, else No.
    bool askYesNo(const AnsiString& caption, const AnsiString& text, bool) override {
        questions.push_back({caption, text});
        return answerQuestion ? answerQuestion(text) : false;
    }
    std::function<bool(const AnsiString& text)> answerQuestion;
    std::vector<Box> questions;

    std::deque<std::optional<AnsiString>> answers;
    std::vector<AnsiString> prompts; // what each prompt was pre-filled with
    std::vector<Box> warnings;
    std::vector<Box> errors;
};

} // namespace cibrano
