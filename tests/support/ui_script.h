#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/toolkit/dialog_hooks.h"

struct ShownMessage { std::string title, text; };

// Stands in for the user: records every message box and answers file
// dialogs from a queue (an empty queue or nullopt answers Cancel).
struct UiScript final : DialogHooks {
    std::vector<ShownMessage> messages;
    // Runs as if inside the box's modal loop: a test can post messages here.
    std::function<void(const ShownMessage&)> whileMessageOpen;
    std::deque<std::optional<std::string>> fileAnswers;
    std::vector<FileDialogRequest> fileRequests;

    void ShowMessage(const std::string& caption, std::string_view text) override {
        messages.push_back({caption, std::string(text)});
        if (whileMessageOpen) whileMessageOpen(messages.back());
    }
    bool AnswerFileDialog(const FileDialogRequest& request, std::string& path) override {
        fileRequests.push_back(request);
        if (fileAnswers.empty()) return false;
        const std::optional<std::string> answer = fileAnswers.front();
        fileAnswers.pop_front();
        path = answer.value_or(path);
        return answer.has_value();
    }
};

inline void SetUiScript(UiScript* script) { SetDialogHooks(script); }
