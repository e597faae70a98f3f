// File and folder choosers answered from a script, with a log of what was asked.
#pragma once

#include "desktop/choosers.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvane::test {

class ScriptedChoosers : public Choosers {
public:
    std::deque<std::optional<ChosenFile>> files;  // answers in order; nothing left: cancelled
    std::deque<std::string> folders;              // likewise; empty text: cancelled
    std::vector<std::string> fileTitles, fileFilters, folderPrompts, folderStarts;
    // Answers to previews: a function of the preview (nothing: cancelled); the previews seen.
    std::deque<std::function<std::optional<ReadOptions>(const ReadPreview&)>> readings;
    std::vector<ReadPreview> previews;

    std::optional<ChosenFile> chooseFile(const std::string& filter, const std::string& title) override
    {
        fileFilters.push_back(filter);
        fileTitles.push_back(title);
        if (files.empty()) return std::nullopt;
        auto answer = files.front();
        files.pop_front();
        return answer;
    }
    std::optional<ReadOptions> chooseReading(const ReadPreview& preview) override
    {
        previews.push_back(preview);
        if (readings.empty()) return std::nullopt;
        auto answer = readings.front();
        readings.pop_front();
        return answer(preview);
    }
    std::string chooseFolder(const std::string& prompt, const std::string& start) override
    {
        folderPrompts.push_back(prompt);
        folderStarts.push_back(start);
        if (folders.empty()) return {};
        std::string answer = folders.front();
        folders.pop_front();
        return answer;
    }
};

// A chooser answer for a full path.
inline ChosenFile chosen(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return {path.substr(slash + 1), path.substr(0, slash + 1)};
}

}  // namespace orvane::test
