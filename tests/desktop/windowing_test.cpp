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

TEST(Callbacks, ControlsReachTheirHandlerByTagAndByNameAndErrorsGoToTheReporter)
{
    QWidget window;
    window.setObjectName("figure9");
    auto* radio = new QRadioButton(&window);
    radio->setObjectName("radiobutton901");
    auto* button = new QPushButton(&window);
    button->setObjectName("pushbutton901");
    auto* edit = new QLineEdit(&window);
    edit->setObjectName("edit901");
    auto* unhandled = new QSlider(&window);
    unhandled->setObjectName("slider901");
    auto* untagged = new QPushButton(&window);

    std::vector<std::string> calls;
    std::vector<std::string> errors;
    HandlerTable handlers;
    handlers["radiobutton901"] = [&calls](QWidget* control) {
        calls.push_back(control->objectName().toStdString() + "=" + std::to_string(int(valueOf(control))));
    };
    handlers["pushbutton901"] = [](QWidget*) { throw Error("cannot read \"x.txt\""); };
    handlers["pushbutton902"] = [&calls](QWidget*) { calls.push_back("pushbutton902"); };  // no such control
    const BindingCheck check = bindCallbacks(&window, handlers, {"edit901"}, [&errors](const std::string& callback,
                                                                                      const std::string& message) {
        errors.push_back(callback + ": " + message);
    });
    // The slider has neither handler nor state-only mark; the third handler has no control.
    EXPECT_EQ(check.unhandled, std::vector<std::string>{"slider901"});
    EXPECT_EQ(check.orphans, std::vector<std::string>{"pushbutton902_Callback"});
    EXPECT_FALSE(check.clean());
    EXPECT_THROW(bindCallbacks(&window, handlers, {}, {}), Error);  // bound once only

    radio->click();  // the toggle happens before the handler sees the value
    radio->click();
    button->click();
    untagged->click();
    unhandled->setValue(5);
    EXPECT_EQ(calls, (std::vector<std::string>{"radiobutton901=1", "radiobutton901=0"}));
    EXPECT_EQ(errors, std::vector<std::string>{"pushbutton901_Callback: cannot read \"x.txt\""});

    // By name, as the command line runs them.
    EXPECT_TRUE(runCallback(&window, "radiobutton901_Callback"));
    EXPECT_EQ(calls.back(), "radiobutton901=0");
    EXPECT_FALSE(runCallback(&window, "slider901_Callback"));
    EXPECT_FALSE(runCallback(&window, "radiobutton901"));
    EXPECT_EQ(windowWithCallback("radiobutton901_Callback"), &window);
    EXPECT_EQ(windowWithCallback("pushbutton902_Callback"), nullptr);  // its control is missing
}

}  // namespace
}  // namespace orvane
