// Test doubles for the computation's seams: scripted dialogs and a figure recorder.
#pragma once

#include "analysis/dialogs.h"
#include "analysis/figure_sinks.h"
#include "base/types.h"

#include <deque>
#include <string>
#include <vector>

namespace orvane::test {

// Answers questions from a script (default button when the script is used up) and keeps
// a log of everything shown.
class ScriptedDialogs : public Dialogs {
public:
    std::deque<std::string> answers;
    std::vector<Question> questions;
    std::vector<std::string> warnings;
    std::vector<std::string> errors;
    std::vector<std::string> informed;

    std::string question(const Question& q) override
    {
        questions.push_back(q);
        if (answers.empty()) return q.defaultButton;
        std::string a = answers.front();
        answers.pop_front();
        return a;
    }
    void warning(const std::string& message, const std::string& title) override
    {
        warnings.push_back(title + ": " + message);
    }
    void error(const std::string& message, const std::string& title) override
    {
        errors.push_back(title + ": " + message);
    }
    void inform(const std::string& message, const std::string& title) override
    {
        informed.push_back(title + ": " + message);
    }
};

// Keeps a copy of every figure handed over.
struct RecordedFigure {
    GraphicMode mode;
    Vec x, y;
    std::string title, style;
    char colour;
    std::vector<double> extras;
};

class RecordingSink : public GraphicSink {
public:
    std::vector<RecordedFigure> figures;
    void graphic(const GraphicCall& c) override
    {
        figures.push_back({c.mode, {c.x.begin(), c.x.end()}, {c.y.begin(), c.y.end()}, c.title, c.style, c.colour,
                           c.extras});
    }
};

}  // namespace orvane::test
