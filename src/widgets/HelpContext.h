#pragma once

class QWidget;

// Help context numbers of the controls: each control carries the number of its help
// topic; a control without one uses its nearest parent's, up to its window.
namespace HelpContext {
void set(QWidget* widget, int context);
// The control's own number, or 0 when it has none.
int own(const QWidget* widget);
// The number that applies to the control: its own or its nearest parent's; 0 for none.
int of(const QWidget* widget);
} // namespace HelpContext
