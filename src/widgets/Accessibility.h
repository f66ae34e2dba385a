#pragma once

#include <QAccessible>
#include <QString>

class QWidget;

// What assistive technology (a screen reader) is told about the application's controls.
namespace Accessibility {

// Installs the application's own accessible interfaces, once; needs the application object.
// - A top-level window that is a plain widget presents as a window (a frame), not as the
//   anonymous container the toolkit makes of every plain widget.
// - A combo box is named by its accessible name, its text being its value: the toolkit
//   names a combo box on Linux by its text, so that a filled food chooser would be called
//   by its food and an empty one by nothing.
// - A widget given a role with presentAs() has that role.
void install();

// Gives `widget` its accessible name; an editable combo box's line edit gets the same name,
// since a screen reader lands on the line edit when the combo box takes the focus.
void setName(QWidget* widget, const QString& name);
// The name and a description (what the control does or shows, in words).
void setName(QWidget* widget, const QString& name, const QString& description);

// The widget presents to assistive technology with `role` (a chart drawn by the
// application is a chart, not a container); a scroll area so presented is one whole,
// without its viewport and scroll bars. Before the widget is first asked for.
void presentAs(QWidget* widget, QAccessible::Role role);

} // namespace Accessibility
