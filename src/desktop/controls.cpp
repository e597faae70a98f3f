#include "desktop/controls.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalBlocker>

#include <cmath>

namespace orvane {

double valueOf(const QWidget* control)
{
    if (auto* b = qobject_cast<const QAbstractButton*>(control)) return b->isChecked() ? 1 : 0;
    if (auto* s = qobject_cast<const QAbstractSlider*>(control)) return s->value() / double(kSliderScale);
    if (auto* l = qobject_cast<const QListWidget*>(control)) return l->currentRow() + 1;
    return 0;
}

void setValue(QWidget* control, double value)
{
    const QSignalBlocker quiet(control);
    if (auto* b = qobject_cast<QAbstractButton*>(control)) b->setChecked(value != 0);
    else if (auto* s = qobject_cast<QAbstractSlider*>(control)) s->setValue(int(std::lround(value * kSliderScale)));
    else if (auto* l = qobject_cast<QListWidget*>(control)) l->setCurrentRow(int(value) - 1);
}

std::string stringOf(const QWidget* control)
{
    if (auto* e = qobject_cast<const QLineEdit*>(control)) return e->text().toStdString();
    if (auto* b = qobject_cast<const QAbstractButton*>(control)) return b->text().toStdString();
    if (auto* l = qobject_cast<const QLabel*>(control)) return l->text().toStdString();
    if (auto* p = qobject_cast<const QPlainTextEdit*>(control)) return p->toPlainText().toStdString();
    if (control && control->isWindow()) return control->windowTitle().toStdString();
    return {};
}

void setString(QWidget* control, const std::string& text)
{
    const QString s = QString::fromStdString(text);
    const QSignalBlocker quiet(control);
    if (auto* e = qobject_cast<QLineEdit*>(control)) e->setText(s);
    else if (auto* b = qobject_cast<QAbstractButton*>(control)) b->setText(s);
    else if (auto* l = qobject_cast<QLabel*>(control)) l->setText(s);
    else if (auto* p = qobject_cast<QPlainTextEdit*>(control)) p->setPlainText(s);
    else if (control && control->isWindow()) control->setWindowTitle(s);
}

Enable enableOf(const QWidget* control)
{
    if (control->property("orvaneInactive").toBool()) return Enable::Inactive;
    if (!control->isEnabled()) return Enable::Off;
    if (auto* e = qobject_cast<const QLineEdit*>(control); e && e->isReadOnly()) return Enable::Inactive;
    return Enable::On;
}

void setEnable(QWidget* control, Enable state)
{
    control->setEnabled(state != Enable::Off);
    if (auto* e = qobject_cast<QLineEdit*>(control)) {
        e->setReadOnly(state == Enable::Inactive);
    } else {
        // Other controls have no read-only form: "inactive" keeps them visible and unusable.
        control->setProperty("orvaneInactive", state == Enable::Inactive);
        if (state == Enable::Inactive) control->setEnabled(false);
    }
}

void setSliderRange(QWidget* slider, double min, double max, double smallStep, double bigStep)
{
    auto* s = qobject_cast<QAbstractSlider*>(slider);
    if (!s) return;
    const QSignalBlocker quiet(s);
    s->setRange(int(std::lround(min * kSliderScale)), int(std::lround(max * kSliderScale)));
    s->setSingleStep(int(std::lround(smallStep * kSliderScale)));
    s->setPageStep(int(std::lround(bigStep * kSliderScale)));
}

}  // namespace orvane
