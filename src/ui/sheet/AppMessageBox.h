#pragma once

#include <functional>
#include <string>

class QWidget;

// The one message box of the program: the text, an OK button, the warning icon,
// the executable's base name as caption, modal over the main window. Returns
// when the operator has pressed OK.
void AppMessageBox(const std::string& text);

// The window the message box is modal over (the running sheet), or none.
void SetAppMainWindow(QWidget* window);
QWidget* AppMainWindow();

// The executable's file name without directory and without its last extension.
std::string ApplicationName();

// Tests replace the box with a recorder; an empty function restores the box.
using MessageBoxHandler = std::function<void(const std::string& text)>;
void SetMessageBoxHandler(MessageBoxHandler handler);
