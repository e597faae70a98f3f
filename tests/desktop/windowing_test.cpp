#include "desktop/callbacks.h"
#include "desktop/controls.h"
#include "desktop/handles.h"
#include "desktop/layouts.h"

#include "base/error.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <qcustomplot.h>

#include <gtest/gtest.h>

namespace orvane {
namespace {

void settle()
{
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

TEST(Layouts, OneWindowPerLayoutWithItsTaggedControls)
{
    QWidget* a = openLayout("loadata.fig");
    a->hide();
    EXPECT_EQ(openLayout("loadata"), a);  // reused and shown again, with or without ".fig"
    EXPECT_TRUE(a->isVisible());
    const Handles h(a);
    EXPECT_EQ(h.window(), a);
    EXPECT_TRUE(h.has("figure1"));
    for (int k = 1; k <= 8; ++k) {
        EXPECT_NO_THROW(h.get<QLineEdit>("edit" + std::to_string(100 + k)));
        EXPECT_NO_THROW(h.get<QPushButton>("pushbutton" + std::to_string(101 + k)));
    }
    EXPECT_THROW(h["edit109"], Error);
    EXPECT_THROW(h.get<QPushButton>("edit101"), Error);

    // Plot areas in a layout are real plot areas; radio buttons toggle on their own.
    QWidget* results = openLayout("results.fig");
    EXPECT_FALSE(results->findChildren<QCustomPlot*>().isEmpty());
    for (auto* r : results->findChildren<QRadioButton*>()) EXPECT_FALSE(r->autoExclusive()) << r->objectName().toStdString();

    // Deleted: the layout opens a new window, and the old record reports its controls gone.
    deleteWindow(a);
    EXPECT_EQ(openWindowOf("loadata.fig"), nullptr);
    settle();
    EXPECT_FALSE(h.has("edit101"));
    QWidget* b = openLayout("loadata.fig");
    EXPECT_NE(b, nullptr);
    deleteWindow(b);
    deleteWindow(results);
    settle();
    EXPECT_THROW(openLayout("no such layout"), Error);
}

TEST(Controls, ValueStringAndTheThreeEnableStates)
{
    QWidget window;
    auto* edit = new QLineEdit(&window);
    auto* button = new QPushButton(&window);
    auto* slider = new QSlider(&window);
    setEnable(edit, Enable::Inactive);
    EXPECT_EQ(enableOf(edit), Enable::Inactive);
    EXPECT_TRUE(edit->isEnabled());  // shows and selects its text, but cannot be edited
    EXPECT_TRUE(edit->isReadOnly());
    setEnable(edit, Enable::On);
    EXPECT_EQ(enableOf(edit), Enable::On);
    EXPECT_FALSE(edit->isReadOnly());
    setEnable(button, Enable::Inactive);
    EXPECT_EQ(enableOf(button), Enable::Inactive);
    setEnable(button, Enable::Off);
    EXPECT_EQ(enableOf(button), Enable::Off);
    setEnable(button, Enable::On);
    EXPECT_EQ(enableOf(button), Enable::On);

    setString(edit, "85.5");
    EXPECT_EQ(stringOf(edit), "85.5");
    setSliderRange(slider, 0, 100, 0.5, 1);
    setValue(slider, 85.5);
    EXPECT_DOUBLE_EQ(valueOf(slider), 85.5);
    button->setCheckable(true);
    setValue(button, 1);
    EXPECT_EQ(valueOf(button), 1);
}

TEST(Callbacks, ControlsReachTheirCallbackByNameAndErrorsGoToTheHandler)
{
    QWidget window;
    window.setObjectName("figure9");
    auto* radio = new QRadioButton(&window);
    radio->setObjectName("radiobutton901");
    auto* button = new QPushButton(&window);
    button->setObjectName("pushbutton901");
    auto* untagged = new QPushButton(&window);
    attachHandles(&window, Handles(&window));

    std::vector<std::string> calls;
    registerCallback("radiobutton901_Callback", [&calls](QWidget* control, const Handles& h) {
        calls.push_back(control->objectName().toStdString() + "=" + std::to_string(int(valueOf(control))) + " in " +
                        h.window()->objectName().toStdString());
    });
    registerCallback("pushbutton901_Callback", [](QWidget*, const Handles&) { throw Error("cannot read \"x.txt\""); });
    std::vector<std::string> errors;
    setCallbackErrorHandler([&errors](const std::string& callback, const std::string& message) {
        errors.push_back(callback + ": " + message);
    });
    connectCallbacks(&window);

    radio->click();  // the toggle happens before the callback sees the value
    radio->click();
    button->click();
    untagged->click();
    EXPECT_EQ(calls, (std::vector<std::string>{"radiobutton901=1 in figure9", "radiobutton901=0 in figure9"}));
    EXPECT_EQ(errors, std::vector<std::string>{"pushbutton901_Callback: cannot read \"x.txt\""});
    EXPECT_FALSE(runCallback("pushbutton902_Callback", button, Handles(&window)));
    setCallbackErrorHandler([](const std::string&, const std::string&) {});
}

}  // namespace
}  // namespace orvane
