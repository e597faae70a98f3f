// The control properties the windows are driven by: value, string, enable and visible.
#pragma once

#include <QWidget>

#include <string>

namespace orvane {

// "on": usable; "off": greyed; "inactive": shows its text but cannot be edited.
enum class Enable { On, Off, Inactive };

// Radio buttons and check boxes: 1 checked, 0 not; sliders: their value.
double valueOf(const QWidget* control);
void setValue(QWidget* control, double value);  // does not run the control's callback

// The text of a button, label, edit box or window title.
std::string stringOf(const QWidget* control);
void setString(QWidget* control, const std::string& text);

Enable enableOf(const QWidget* control);
void setEnable(QWidget* control, Enable state);

// Sliders keep their value in steps of this scale, so fractional values survive.
inline constexpr int kSliderScale = 100;
void setSliderRange(QWidget* slider, double min, double max, double smallStep, double bigStep);

}  // namespace orvane
