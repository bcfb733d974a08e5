#include "platform/testing/dialog_script.h"

#include <deque>
#include <utility>

#include "platform/dialog_hook.h"

namespace mt::platform {
namespace {

// One store for both kinds of dialog. It sets itself as the dialog hook the
// first time a test uses it and stays set: with no script and no observer it
// answers nothing, and every dialog appears as without it.
class DialogScript final : public DialogHook {
public:
    static DialogScript& Get()
    {
        static DialogScript script;
        if (CurrentDialogHook() != &script)
            SetDialogHook(&script);
        return script;
    }

    std::optional<int> AnswerMessageBox(const ShownMessageBox& box) override
    {
        if (boxObserver)
            boxObserver(box);
        if (!Active())
            return std::nullopt;
        shownBoxes.push_back(box);
        if (boxAnswers.empty())
            return DefaultMessageBoxAnswer(box.style);
        const int answer = boxAnswers.front();
        boxAnswers.pop_front();
        return answer;
    }

    std::optional<InputDialogAnswer> AnswerInputDialog(const ShownInputDialog& dialog) override
    {
        if (!Active())
            return std::nullopt;
        shownInputs.push_back(dialog);
        if (inputAnswers.empty())
            return InputDialogAnswer{true, dialog.initial};
        InputDialogAnswer answer = std::move(inputAnswers.front());
        inputAnswers.pop_front();
        return answer;
    }

    bool Active() const { return boxesActive || inputsActive; }

    bool boxesActive = false;
    std::deque<int> boxAnswers;
    std::vector<ShownMessageBox> shownBoxes;
    std::function<void(const ShownMessageBox&)> boxObserver;

    bool inputsActive = false;
    std::deque<InputDialogAnswer> inputAnswers;
    std::vector<ShownInputDialog> shownInputs;
};

} // namespace

void ScriptMessageBoxes(std::vector<int> answers)
{
    DialogScript& s = DialogScript::Get();
    s.boxesActive = true;
    s.boxAnswers.assign(answers.begin(), answers.end());
    s.shownBoxes.clear();
}

void ScriptInputDialogs(std::vector<InputDialogAnswer> answers)
{
    DialogScript& s = DialogScript::Get();
    s.inputsActive = true;
    s.inputAnswers.assign(answers.begin(), answers.end());
    s.shownInputs.clear();
}

void EndDialogScript()
{
    DialogScript& s = DialogScript::Get();
    s.boxesActive = false;
    s.boxAnswers.clear();
    s.shownBoxes.clear();
    EndInputDialogScript();
}

void EndInputDialogScript()
{
    DialogScript& s = DialogScript::Get();
    s.inputsActive = false;
    s.inputAnswers.clear();
    s.shownInputs.clear();
}

bool DialogScriptActive() { return DialogScript::Get().Active(); }

bool InputDialogScriptActive() { return DialogScript::Get().inputsActive; }

const std::vector<ShownMessageBox>& ShownMessageBoxes() { return DialogScript::Get().shownBoxes; }

const std::vector<ShownInputDialog>& ShownInputDialogs() { return DialogScript::Get().shownInputs; }

void SetMessageBoxObserver(std::function<void(const ShownMessageBox&)> observer)
{
    DialogScript::Get().boxObserver = std::move(observer);
}

} // namespace mt::platform
