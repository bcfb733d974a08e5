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

    std::optional<int> answerMessageBox(const ShownMessageBox& box) override
    {
        if (boxObserver)
            boxObserver(box);
        if (!active())
            return std::nullopt;
        shownBoxes.push_back(box);
        if (boxAnswers.empty())
            return DefaultMessageBoxAnswer(box.style);
        const int answer = boxAnswers.front();
        boxAnswers.pop_front();
        return answer;
    }

    std::optional<InputDialogAnswer> answerInputDialog(const ShownInputDialog& dialog) override
    {
        if (!active())
            return std::nullopt;
        shownInputs.push_back(dialog);
        if (inputAnswers.empty())
            return InputDialogAnswer{true, dialog.initial};
        InputDialogAnswer answer = std::move(inputAnswers.front());
        inputAnswers.pop_front();
        return answer;
    }

    std::optional<FileDialogAnswer> answerFileDialog(const ShownFileDialog& dialog) override
    {
        if (!filesActive)
            return std::nullopt;
        shownFiles.push_back(dialog);
        if (fileAnswers.empty())
            return FileDialogAnswer{};
        FileDialogAnswer answer = std::move(fileAnswers.front());
        fileAnswers.pop_front();
        return answer;
    }

    std::optional<int> answerPickList(const ShownPickList& list) override
    {
        if (!picksActive)
            return std::nullopt;
        shownPicks.push_back(list);
        if (pickAnswers.empty())
            return 0;
        const int answer = pickAnswers.front();
        pickAnswers.pop_front();
        return answer;
    }

    bool active() const { return boxesActive || inputsActive; }

    bool boxesActive = false;
    std::deque<int> boxAnswers;
    std::vector<ShownMessageBox> shownBoxes;
    std::function<void(const ShownMessageBox&)> boxObserver;

    bool inputsActive = false;
    std::deque<InputDialogAnswer> inputAnswers;
    std::vector<ShownInputDialog> shownInputs;

    bool filesActive = false;
    std::deque<FileDialogAnswer> fileAnswers;
    std::vector<ShownFileDialog> shownFiles;
    bool picksActive = false;
    std::deque<int> pickAnswers;
    std::vector<ShownPickList> shownPicks;
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
    s.filesActive = s.picksActive = false;
    s.fileAnswers.clear();
    s.shownFiles.clear();
    s.pickAnswers.clear();
    s.shownPicks.clear();
}

void EndInputDialogScript()
{
    DialogScript& s = DialogScript::Get();
    s.inputsActive = false;
    s.inputAnswers.clear();
    s.shownInputs.clear();
}

void ScriptFileDialogs(std::vector<FileDialogAnswer> answers)
{
    DialogScript& s = DialogScript::Get();
    s.filesActive = true;
    s.fileAnswers.assign(answers.begin(), answers.end());
    s.shownFiles.clear();
}

void ScriptPickLists(std::vector<int> answers)
{
    DialogScript& s = DialogScript::Get();
    s.picksActive = true;
    s.pickAnswers.assign(answers.begin(), answers.end());
    s.shownPicks.clear();
}

const std::vector<ShownFileDialog>& ShownFileDialogs() { return DialogScript::Get().shownFiles; }

const std::vector<ShownPickList>& ShownPickLists() { return DialogScript::Get().shownPicks; }

bool DialogScriptActive() { return DialogScript::Get().active(); }

bool InputDialogScriptActive() { return DialogScript::Get().inputsActive; }

const std::vector<ShownMessageBox>& ShownMessageBoxes() { return DialogScript::Get().shownBoxes; }

const std::vector<ShownInputDialog>& ShownInputDialogs() { return DialogScript::Get().shownInputs; }

void SetMessageBoxObserver(std::function<void(const ShownMessageBox&)> observer)
{
    DialogScript::Get().boxObserver = std::move(observer);
}

} // namespace mt::platform
