// The questions and messages the computation puts to its user. The desktop program answers
// them with windows, the batch command from its options, and tests from a script.
#pragma once

#include <string>
#include <vector>

namespace orvane {

// A modal question: message, title, one to three buttons and the default button.
struct Question {
    Question(std::string message_, std::string title_, std::vector<std::string> buttons_, std::string default_,
             std::string detail_ = {})
        : message(std::move(message_)), title(std::move(title_)), buttons(std::move(buttons_)),
          defaultButton(std::move(default_)), detail(std::move(detail_))
    {
    }
    std::string message;
    std::string title;
    std::vector<std::string> buttons;
    std::string defaultButton;
    std::string detail;  // what the message is about (a file), for front ends without a window
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The text of the pressed button, or the empty text when the dialog was closed.
    virtual std::string question(const Question& q) = 0;
    // A warning the user acknowledges (title "!! Warning !!" unless told otherwise).
    virtual void warning(const std::string& message, const std::string& title) = 0;
    // A modal error with its own title (such as "Bad Input").
    virtual void error(const std::string& message, const std::string& title) = 0;
    // What was done, such as where a file went; the work goes on meanwhile.
    virtual void inform(const std::string& message, const std::string& title) { warning(message, title); }
};

inline constexpr const char* kWarningTitle = "!! Warning !!";
inline constexpr const char* kQuitTitle = "Quit Program";

}  // namespace orvane
